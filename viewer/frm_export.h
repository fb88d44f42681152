#pragma once
// frmExport: when the point of sale started the viewer, "Add to Invoice" lists the pick-list
// units here for the salesperson to complete tax, price and warranty figures. "&Done" writes
// the long-record export file; "&Cancel" writes nothing. Either way the viewer ends after.

#include <QDialog>
#include <vector>

#include "platform/file_system.h"
#include "viewer/core/export_file.h"
#include "viewer/core/unit_list.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace fennick::viewer {

class FrmExport : public QDialog {
    Q_OBJECT

  public:
    FrmExport(const std::vector<UnitRow>& pickList, platform::FileSystem& share,
              ExportTarget target, QWidget* parent = nullptr);

    QTableWidget* grid() const { return VSFlexGrid1_; }
    QPushButton* cmdDone() const { return cmdDone_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    // The grid's unit rows as the export file takes them: dealer bytes where a cell is as it
    // was filled, the typed text in the dealer's code page where the salesperson changed it.
    std::vector<ExportGridRow> rows() const;

  private:
    void build();
    void addRow(const ExportGridRow& row);
    void done();

    platform::FileSystem& share_;
    ExportTarget target_;
    QTableWidget* VSFlexGrid1_ = nullptr;
    QPushButton* cmdDone_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

// Opens the export editing window on the pick list (rows in grid order) and returns when it
// has closed, by "&Done" (file written) or "&Cancel" (nothing written).
void showExportEditor(QWidget* parent, const std::vector<UnitRow>& pickList,
                      platform::FileSystem& share, const ExportTarget& target);

}  // namespace fennick::viewer
