#pragma once
// frmExport: when the point of sale started the viewer, "Add to Invoice" lists the pick-list
// units here for the salesperson to complete tax, price and warranty figures. Each cell is
// checked as it is typed and when it is left: a wrong one is marked, the reason stands beside
// it, and "&Done" waits until every cell is right. "&Done" writes the long-record export file;
// "&Cancel" writes nothing. Either way the viewer ends after.

#include <QDialog>
#include <QString>
#include <exception>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/export_file.h"
#include "core/unit_list.h"
#include "platform/file_system.h"

class QModelIndex;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace fennick::viewer {

// Writes the export file's bytes and hands over the failure, or null, once written; it may
// return before that (the main window writes on its worker).
using ExportWriter =
    std::function<void(std::string bytes, std::function<void(std::exception_ptr)> written)>;

class CellNote;

class FrmExport : public QDialog {
    Q_OBJECT

  public:
    // Writes the file to `share` at once.
    FrmExport(const std::vector<core::UnitRow>& pickList, platform::FileSystem& share,
              core::ExportTarget target, QWidget* parent = nullptr);
    // The window stays open, and waits, until `write` says the file is written.
    FrmExport(const std::vector<core::UnitRow>& pickList, ExportWriter write,
              core::ExportTarget target, QWidget* parent = nullptr);

    QTableWidget* grid() const { return VSFlexGrid1_; }
    QPushButton* cmdDone() const { return cmdDone_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    // The reason beside the wrong cell being typed in or made current; hidden without one.
    CellNote* note() const { return note_; }
    // The grid's unit rows as the export file takes them: dealer bytes where a cell is as it
    // was filled, the typed text in the dealer's code page where the salesperson changed it.
    std::vector<core::ExportGridRow> rows() const;

  public slots:
    // Escape, the close box and "&Cancel": after any change, asks before throwing it away.
    void reject() override;

  private:
    void build();
    void sizeColumns();
    void addRow(const core::ExportGridRow& row);
    void done();
    void written(std::exception_ptr failure);
    void cellChanged(QTableWidgetItem* item);
    // The text in an open editor of `cell`, as it is typed.
    void typed(const QModelIndex& cell, const QString& text);
    void editEnded();
    // What is wrong with `text` in the cell at `row`, `column`, if anything; a cell as it was
    // filled is never wrong.
    std::optional<QString> cellProblem(int row, int column, const QString& text) const;
    // The note beside the current cell, when it is wrong; "&Done" follows the wrong cells.
    void showCurrentProblem();
    void enableDone();

    ExportWriter write_;
    core::ExportTarget target_;
    QTableWidget* VSFlexGrid1_ = nullptr;
    QPushButton* cmdDone_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    CellNote* note_ = nullptr;
    std::set<std::pair<int, int>> wrongCells_;  // row, column
    bool editorWrong_ = false;
    bool changed_ = false;
    bool writing_ = false;
};

// Opens the export editing window on the pick list (rows in grid order) and returns when it
// has closed, by "&Done" (file written) or "&Cancel" (nothing written).
void showExportEditor(QWidget* parent, const std::vector<core::UnitRow>& pickList,
                      ExportWriter write, const core::ExportTarget& target);

}  // namespace fennick::viewer
