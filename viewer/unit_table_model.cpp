#include "unit_table_model.h"

#include "grid_view.h"
#include "shown_text.h"

namespace fennick::viewer {

namespace {

constexpr int kColumns = static_cast<int>(core::kUnitColumns);

int alignment(const core::UnitColumnInfo& column) {
    const Qt::Alignment side =
        column.align == core::ColumnAlign::Right ? Qt::AlignRight : Qt::AlignLeft;
    return (side | Qt::AlignVCenter).toInt();
}

const core::UnitColumnInfo& info(int column) {
    return core::unitColumns()[static_cast<std::size_t>(column)];
}

}  // namespace

UnitTableModel::UnitTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void UnitTableModel::setHeadings(const std::vector<std::string>& headings) {
    headings_ = headings;
    shownHeadings_.clear();
    for (const auto& heading : headings_)
        shownHeadings_ << shownText(heading);
    emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
}

void UnitTableModel::setRows(std::vector<core::UnitRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

const core::UnitRow* UnitTableModel::row(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return nullptr;
    return &rows_[static_cast<std::size_t>(row)];
}

int UnitTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int UnitTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant UnitTableModel::data(const QModelIndex& index, int role) const {
    const core::UnitRow* unit = row(index.row());
    if (!unit || index.column() < 0 || index.column() >= kColumns) return {};
    const core::UnitColumnInfo& column = info(index.column());
    switch (role) {
        case Qt::DisplayRole:
            return shownText(column.text(*unit));
        case Qt::TextAlignmentRole:
            return alignment(column);
        case GridView::kSortRole: {
            if (column.number) return QVariant::fromValue<qlonglong>(column.number(*unit));
            const std::string text = column.text(*unit);
            return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
        }
        default:
            return {};
    }
}

QVariant UnitTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns) return {};
    if (role == Qt::TextAlignmentRole) return alignment(info(section));
    if (role == Qt::DisplayRole) return shownHeadings_.value(section);
    return {};
}

}  // namespace fennick::viewer
