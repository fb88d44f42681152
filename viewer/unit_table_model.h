#pragma once
// The listed units as a table model: one row per core::UnitRow, the 30 columns of the unit
// column table (numbered by core::UnitColumn), each cell as the column shows it, figures
// right-aligned, hidden columns included. Under GridView::kSortRole a cell gives the value its
// column sorts by: numbers, money and dates as whole numbers, texts as their bytes (Latin-1,
// which keeps the byte order). The model owns its rows; a sort proxy orders them without
// moving or copying them.

#include <QAbstractTableModel>
#include <QStringList>
#include <string>
#include <vector>

#include "core/unit_row.h"

namespace fennick::viewer {

class UnitTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    using Column = core::UnitColumn;

    explicit UnitTableModel(QObject* parent = nullptr);

    // The 30 headings, the user-defined names among them.
    void setHeadings(const std::vector<std::string>& headings);
    const std::vector<std::string>& headings() const { return headings_; }
    void setRows(std::vector<core::UnitRow> rows);
    const std::vector<core::UnitRow>& rows() const { return rows_; }
    // The row `row`, or null when there is none.
    const core::UnitRow* row(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<std::string> headings_;
    QStringList shownHeadings_;
    std::vector<core::UnitRow> rows_;
};

}  // namespace fennick::viewer
