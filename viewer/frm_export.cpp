#include "frm_export.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/cp1252.h"
#include "core/dealer_text.h"
#include "dialog_services.h"
#include "twips.h"

namespace fennick::viewer {

namespace {

constexpr int kDealerBytesRole = Qt::UserRole;     // the cell's bytes as filled
constexpr int kFilledTextRole = Qt::UserRole + 1;  // the text shown for them
const QColor kWrongCell(255, 200, 200);
const char* const kDiscardQuestion = "Discard the changes made to the export lines?";

QTableWidgetItem* cellItem(const std::string& bytes, bool editable) {
    QString shown = QString::fromStdString(core::cp1252ToUtf8(bytes));
    auto* item = new QTableWidgetItem(shown);
    item->setData(kDealerBytesRole, QByteArray::fromStdString(bytes));
    item->setData(kFilledTextRole, shown);
    if (!editable) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

QTableWidgetItem* taxItem(const std::string& value) {
    auto* item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(value == core::kTaxTicked ? Qt::Checked : Qt::Unchecked);
    return item;
}

QString exportTitleText() {
    return QString::fromUtf8(core::kExportTitle.data(), core::kExportTitle.size());
}

std::string cellBytes(const QTableWidgetItem* item) {
    if (!item) return {};
    if (item->text() == item->data(kFilledTextRole).toString())
        return item->data(kDealerBytesRole).toByteArray().toStdString();
    return core::utf8ToCp1252(item->text().toStdString());
}

}  // namespace

FrmExport::FrmExport(const std::vector<core::UnitRow>& pickList, platform::FileSystem& share,
                     core::ExportTarget target, QWidget* parent)
    : FrmExport(
          pickList,
          [&share, target](std::string bytes, std::function<void(std::exception_ptr)> written) {
              try {
                  core::writeExportFile(share, target, bytes);
              } catch (const std::exception&) {
                  return written(std::current_exception());
              }
              written(nullptr);
          },
          target, parent) {}

FrmExport::FrmExport(const std::vector<core::UnitRow>& pickList, ExportWriter write,
                     core::ExportTarget target, QWidget* parent)
    : QDialog(parent), write_(std::move(write)), target_(std::move(target)) {
    setWindowTitle("Export");
    setModal(true);
    build();
    for (const auto& pickRow : pickList)
        addRow(core::exportGridRow(pickRow));
    connect(VSFlexGrid1_, &QTableWidget::itemChanged, this, &FrmExport::cellChanged);
}

// A changed cell is checked at once: a wrong one is marked and says why in its tool tip.
void FrmExport::cellChanged(QTableWidgetItem* item) {
    changed_ = true;
    const std::optional<QString> problem = cellProblem(item);
    QSignalBlocker quiet(VSFlexGrid1_);
    item->setData(Qt::BackgroundRole, problem ? QVariant(QBrush(kWrongCell)) : QVariant());
    item->setToolTip(problem.value_or(QString()));
}

std::optional<QString> FrmExport::cellProblem(const QTableWidgetItem* item) const {
    const auto column = static_cast<std::size_t>(item->column());
    if (column == core::xcol::kTax || item->text() == item->data(kFilledTextRole).toString())
        return std::nullopt;
    auto problem = core::exportCellProblem(column, cellBytes(item));
    if (!problem) return std::nullopt;
    return QString::fromStdString(*problem);
}

bool FrmExport::reportWrongCell() {
    for (int r = 0; r < VSFlexGrid1_->rowCount(); ++r)
        for (int c = 0; c < VSFlexGrid1_->columnCount(); ++c) {
            const QTableWidgetItem* item = VSFlexGrid1_->item(r, c);
            const std::optional<QString> problem = item ? cellProblem(item) : std::nullopt;
            if (!problem) continue;
            VSFlexGrid1_->setCurrentCell(r, c);
            const QString heading = VSFlexGrid1_->horizontalHeaderItem(c)->text();
            dialogServices().message(
                this,
                QString("Row %1, %2: \"%3\" %4.").arg(r + 1).arg(heading, item->text(), *problem),
                exportTitleText(), platform::MessageIcon::Exclamation);
            return true;
        }
    return false;
}

void FrmExport::reject() {
    if (writing_) return;  // the file is being written: Done's outcome decides
    if (changed_ && !dialogServices().askYesNo(this, kDiscardQuestion, exportTitleText(),
                                               platform::MessageIcon::Exclamation))
        return;
    QDialog::reject();
}

void FrmExport::build() {
    const auto& columns = core::exportColumns();
    VSFlexGrid1_ = new QTableWidget(0, static_cast<int>(columns.size()), this);
    VSFlexGrid1_->setObjectName("VSFlexGrid1");
    QStringList headings;
    for (const auto& column : columns)
        headings << QString::fromUtf8(column.heading.data(), column.heading.size());
    VSFlexGrid1_->setHorizontalHeaderLabels(headings);
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        VSFlexGrid1_->setColumnWidth(c, twipsToPixels(columns[c].widthTwips, this));
        VSFlexGrid1_->setColumnHidden(c, columns[c].hidden);
    }
    VSFlexGrid1_->verticalHeader()->hide();
    VSFlexGrid1_->setMinimumWidth(twipsToPixels(15000, this));

    cmdDone_ = new QPushButton("&Done", this);
    cmdCancel_ = new QPushButton("&Cancel", this);
    for (auto* button : {cmdDone_, cmdCancel_})
        button->setAutoDefault(false);  // Enter finishes a cell edit, not the window
    connect(cmdDone_, &QPushButton::clicked, this, &FrmExport::done);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdDone_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel("Add or Edit Unit & Warranty Information", this);
    caption->setObjectName("Label1");
    layout->addWidget(caption);
    layout->addWidget(VSFlexGrid1_);
    layout->addLayout(buttons);
}

void FrmExport::addRow(const core::ExportGridRow& row) {
    const int r = VSFlexGrid1_->rowCount();
    VSFlexGrid1_->insertRow(r);
    const auto& columns = core::exportColumns();
    for (std::size_t c = 0; c < row.size(); ++c) {
        auto* item =
            c == core::xcol::kTax ? taxItem(row[c]) : cellItem(row[c], columns[c].editable);
        VSFlexGrid1_->setItem(r, static_cast<int>(c), item);
    }
}

std::vector<core::ExportGridRow> FrmExport::rows() const {
    std::vector<core::ExportGridRow> out;
    for (int r = 0; r < VSFlexGrid1_->rowCount(); ++r) {
        core::ExportGridRow row;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const QTableWidgetItem* item = VSFlexGrid1_->item(r, static_cast<int>(c));
            if (c == core::xcol::kTax)
                row[c] = item && item->checkState() == Qt::Checked
                             ? std::string(core::kTaxTicked)
                             : std::string(core::kTaxUnticked);
            else
                row[c] = cellBytes(item);
        }
        out.push_back(std::move(row));
    }
    return out;
}

// Writes the file and closes; when writing fails the window stays open for another try or
// "&Cancel".
void FrmExport::done() {
    // A cell still being edited (Done reached by its shortcut) hands its text over on losing
    // the focus.
    cmdDone_->setFocus();
    if (reportWrongCell()) return;
    writing_ = true;
    setEnabled(false);
    write_(core::longRecordExport(rows()),
           [this](std::exception_ptr failure) { written(std::move(failure)); });
}

void FrmExport::written(std::exception_ptr failure) {
    writing_ = false;
    setEnabled(true);
    if (!failure) return accept();
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        dialogServices().message(this, messageText(core::exportFailureText(error, target_.path)),
                                 exportTitleText(), platform::MessageIcon::Critical);
    }
}

void showExportEditor(QWidget* parent, const std::vector<core::UnitRow>& pickList,
                      ExportWriter write, const core::ExportTarget& target) {
    FrmExport window(pickList, std::move(write), target, parent);
    window.exec();
}

}  // namespace fennick::viewer
