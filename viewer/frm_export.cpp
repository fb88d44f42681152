#include "frm_export.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "cell_note.h"
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
const char* const kDoneWaits = "Correct the marked cells first: each says what is wrong with it";
// The share of the screen's width the window may take at most.
constexpr double kLargestScreenShare = 0.95;

bool isMoneyColumn(std::size_t column) {
    namespace x = core::xcol;
    return column == x::kNet || column == x::kPolicyAmount || column == x::kPolicyCost ||
           column == x::kDealerList || column == x::kSuggestedList;
}

QTableWidgetItem* cellItem(const std::string& bytes, std::size_t column) {
    QString shown = QString::fromStdString(core::cp1252ToUtf8(bytes));
    auto* item = new QTableWidgetItem(shown);
    item->setData(kDealerBytesRole, QByteArray::fromStdString(bytes));
    item->setData(kFilledTextRole, shown);
    item->setTextAlignment(Qt::AlignVCenter |
                           (isMoneyColumn(column) ? Qt::AlignRight : Qt::AlignLeft));
    if (!core::exportColumns()[column].editable)
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
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

// Cells edited in a line editor aligned as the cell, which reports its text as it is typed.
class TypedCells : public QStyledItemDelegate {
  public:
    using Typed = std::function<void(const QModelIndex&, const QString&)>;
    TypedCells(Typed typed, QObject* parent)
        : QStyledItemDelegate(parent), typed_(std::move(typed)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setAlignment(Qt::Alignment::fromInt(index.data(Qt::TextAlignmentRole).toInt()));
        connect(editor, &QLineEdit::textChanged, editor,
                [typed = typed_, cell = QPersistentModelIndex(index)](const QString& text) {
                    typed(cell, text);
                });
        return editor;
    }

  private:
    Typed typed_;
};

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
    sizeColumns();
    connect(VSFlexGrid1_, &QTableWidget::itemChanged, this, &FrmExport::cellChanged);
    connect(VSFlexGrid1_, &QTableWidget::currentCellChanged, this, &FrmExport::showCurrentProblem);
}

// A changed cell is checked at once: a wrong one is marked and says why in its tool tip.
void FrmExport::cellChanged(QTableWidgetItem* item) {
    changed_ = true;
    const std::optional<QString> problem = cellProblem(item->row(), item->column(), item->text());
    {
        QSignalBlocker quiet(VSFlexGrid1_);
        item->setData(Qt::BackgroundRole, problem ? QVariant(QBrush(kWrongCell)) : QVariant());
        item->setToolTip(problem.value_or(QString()));
    }
    if (problem)
        wrongCells_.insert({item->row(), item->column()});
    else
        wrongCells_.erase({item->row(), item->column()});
    showCurrentProblem();
    enableDone();
}

void FrmExport::typed(const QModelIndex& cell, const QString& text) {
    const std::optional<QString> problem = cellProblem(cell.row(), cell.column(), text);
    editorWrong_ = problem.has_value();
    if (problem)
        note_->showBeside(cell, *problem);
    else
        note_->clearNote();
    enableDone();
}

void FrmExport::editEnded() {
    editorWrong_ = false;
    showCurrentProblem();
    enableDone();
}

std::optional<QString> FrmExport::cellProblem(int row, int column, const QString& text) const {
    const QTableWidgetItem* item = VSFlexGrid1_->item(row, column);
    if (!item || column == static_cast<int>(core::xcol::kTax) ||
        text == item->data(kFilledTextRole).toString())
        return std::nullopt;
    const auto problem = core::exportCellProblem(static_cast<std::size_t>(column),
                                                 core::utf8ToCp1252(text.toStdString()));
    if (!problem) return std::nullopt;
    return QString("\"%1\" %2").arg(text, QString::fromStdString(*problem));
}

void FrmExport::showCurrentProblem() {
    const QTableWidgetItem* current = VSFlexGrid1_->currentItem();
    if (current && wrongCells_.count({current->row(), current->column()}))
        note_->showBeside(VSFlexGrid1_->indexFromItem(current), current->toolTip());
    else
        note_->clearNote();
}

void FrmExport::enableDone() {
    const bool right = wrongCells_.empty() && !editorWrong_;
    cmdDone_->setEnabled(right);
    cmdDone_->setToolTip(right ? QString() : QString(kDoneWaits));
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
    VSFlexGrid1_->verticalHeader()->hide();
    auto* cells = new TypedCells(
        [this](const QModelIndex& cell, const QString& text) { typed(cell, text); }, this);
    connect(cells, &QAbstractItemDelegate::closeEditor, this, &FrmExport::editEnded);
    VSFlexGrid1_->setItemDelegate(cells);
    note_ = new CellNote(VSFlexGrid1_, this);

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

// Each column as wide as the design says, or as its heading and cells need when that is more;
// the window shows them all where the screen has room.
void FrmExport::sizeColumns() {
    const auto& columns = core::exportColumns();
    QHeaderView* heading = VSFlexGrid1_->horizontalHeader();
    int total = 0;
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        VSFlexGrid1_->setColumnHidden(c, columns[c].hidden);
        if (columns[c].hidden) continue;
        const int width =
            std::max({twipsToPixels(columns[c].widthTwips, this), heading->sectionSizeHint(c),
                      static_cast<QAbstractItemView*>(VSFlexGrid1_)->sizeHintForColumn(c)});
        VSFlexGrid1_->setColumnWidth(c, width);
        total += width;
    }
    total += 2 * VSFlexGrid1_->frameWidth() + VSFlexGrid1_->verticalScrollBar()->sizeHint().width();
    const int margins = layout()->contentsMargins().left() + layout()->contentsMargins().right();
    int wanted = total + margins;
    if (const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen())
        wanted = std::min(wanted, int(shown->availableGeometry().width() * kLargestScreenShare));
    resize(wanted, sizeHint().height());
}

void FrmExport::addRow(const core::ExportGridRow& row) {
    const int r = VSFlexGrid1_->rowCount();
    VSFlexGrid1_->insertRow(r);
    for (std::size_t c = 0; c < row.size(); ++c) {
        auto* item = c == core::xcol::kTax ? taxItem(row[c]) : cellItem(row[c], c);
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
    // the focus, and is checked then.
    cmdDone_->setFocus();
    if (!cmdDone_->isEnabled()) return;
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
