#pragma once
// frmUnitData: the unit report in an editable box in a fixed-pitch font, to be saved as a
// rich-text file or printed. A new window is made for each opening.

#include <QDialog>
#include <QFont>
#include <string>
#include <vector>

#include "core/unit_detail.h"
#include "core/unit_list.h"

class QLabel;
class QPrinter;
class QPushButton;
class QTextEdit;

namespace fennick::viewer {

class FrmUnitData : public QDialog {
    Q_OBJECT

  public:
    // `report` is the report text as the core builds it (Windows-1252, CR LF line ends).
    explicit FrmUnitData(const std::string& report, QWidget* parent = nullptr);

    QTextEdit* rtb1() const { return rtb1_; }
    QPushButton* cmdSave() const { return cmdSave_; }
    QPushButton* cmdPrint() const { return cmdPrint_; }
    QPushButton* cmdExit() const { return cmdExit_; }

    // Prints the box's text on a printer already set up; false when the printer failed.
    bool printOn(QPrinter& printer) const;

  public slots:
    // "E&xit", Escape and the close box: edits not yet saved or printed are only thrown away
    // once the user agrees.
    void reject() override;

  private:
    void build();
    void fitReport();
    void save();
    void print();

    QTextEdit* rtb1_ = nullptr;
    QPushButton* cmdExit_ = nullptr;
    QPushButton* cmdSave_ = nullptr;
    QPushButton* cmdPrint_ = nullptr;
};

// The report's font: "Courier New" at `points`, or the system's fixed-pitch font at that size
// where Courier New would not come out fixed-pitch.
QFont reportFont(int points = 10);

// The main window's "&Print" button and the grid menu's "Print": builds the report of the unit
// row (headings: the unit grid's 30 headings; grids: the unit's option grids as the detail
// panel shows them) and shows it in a new modal window.
void showUnitData(QWidget* parent, const std::vector<std::string>& headings,
                  const core::UnitRow& row, const core::NoteGrids& grids);

}  // namespace fennick::viewer
