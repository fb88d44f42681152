#include "text_grid.h"

#include <QAbstractTableModel>

#include "shown_text.h"

namespace fennick::viewer {

// The rows as shown, converted once; a row shorter than the headings shows empty cells.
class TextRows : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;

    void setHeadings(const std::vector<std::string>& headings) {
        beginResetModel();
        headings_.clear();
        for (const auto& heading : headings)
            headings_ << shownText(heading);
        endResetModel();
    }
    void setRightAligned(const std::vector<bool>& columns) {
        rightAligned_ = columns;
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
        if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
    void setRows(const std::vector<std::vector<std::string>>& rows) {
        beginResetModel();
        rows_.clear();
        rows_.reserve(rows.size());
        for (const auto& row : rows) {
            QStringList cells;
            for (const auto& cell : row)
                cells << shownText(cell);
            rows_.push_back(cells);
        }
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(headings_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount()) return {};
        if (role == Qt::TextAlignmentRole) return alignment(index.column());
        if (role != Qt::DisplayRole && role != GridView::kSortRole) return {};
        return rows_[static_cast<std::size_t>(index.row())].value(index.column());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
        if (role == Qt::TextAlignmentRole) return alignment(section);
        return role == Qt::DisplayRole ? QVariant(headings_[section]) : QVariant();
    }

  private:
    QVariant alignment(int column) const {
        const auto c = static_cast<std::size_t>(column);
        const bool right = c < rightAligned_.size() && rightAligned_[c];
        return (Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft)).toInt();
    }

    QStringList headings_;
    std::vector<QStringList> rows_;
    std::vector<bool> rightAligned_;
};

TextGrid::TextGrid(const QString& objectName, QWidget* parent)
    : GridView(objectName, parent), rows_(new TextRows(this)) {
    setSourceModel(rows_);
}

void TextGrid::setHeadings(const std::vector<std::string>& headings) {
    rows_->setHeadings(headings);
}

void TextGrid::setRightAligned(const std::vector<bool>& columns) {
    rows_->setRightAligned(columns);
}

void TextGrid::showRows(const std::vector<std::vector<std::string>>& rows) {
    rows_->setRows(rows);
}

void TextGrid::showRows(const std::vector<std::string>& singleColumnRows) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& text : singleColumnRows)
        rows.push_back({text});
    showRows(rows);
}

}  // namespace fennick::viewer
