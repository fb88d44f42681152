#include "text_grid.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <numeric>
#include <set>

#include "cut_text_tips.h"
#include "frozen_column.h"
#include "grid_order.h"
#include "menu_key.h"
#include "shown_text.h"
#include "twips.h"

namespace fennick::viewer {

TextGrid::TextGrid(const QString& objectName, QWidget* parent) : QTableWidget(parent) {
    setObjectName(objectName);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setTabKeyNavigation(false);  // Tab leaves the grid; the arrows move in it
    setItemDelegate(new CutTextTips(this));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setSectionsClickable(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
        if (row >= 0 && row != previous && row < static_cast<int>(order_.size()))
            emit rowPicked(order_[static_cast<std::size_t>(row)]);
    });
}

// The frozen column goes first: it follows the grid's model, which the grid's own destruction
// resets.
TextGrid::~TextGrid() {
    delete frozen_;
}

void TextGrid::setHeadings(const std::vector<std::string>& headings) {
    setColumnCount(static_cast<int>(headings.size()));
    QStringList labels;
    for (const auto& heading : headings)
        labels << shownText(heading);
    setHorizontalHeaderLabels(labels);
}

void TextGrid::setColumnWidthsTwips(const std::vector<int>& widths) {
    for (std::size_t c = 0; c < widths.size() && static_cast<int>(c) < columnCount(); ++c)
        setColumnWidth(static_cast<int>(c), twipsToPixels(widths[c], this));
}

void TextGrid::setRightAligned(const std::vector<bool>& columns) {
    rightAligned_ = columns;
    for (std::size_t c = 0; c < rightAligned_.size() && static_cast<int>(c) < columnCount(); ++c)
        if (QTableWidgetItem* heading = horizontalHeaderItem(static_cast<int>(c)))
            heading->setTextAlignment(Qt::AlignVCenter |
                                      (rightAligned_[c] ? Qt::AlignRight : Qt::AlignLeft));
    fill(currentDataRow());
}

void TextGrid::enableSorting() {
    horizontalHeader()->setSectionsClickable(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &TextGrid::sortBy);
}

void TextGrid::freezeFirstColumn() {
    if (!frozen_) frozen_ = new FrozenColumn(this);
}

void TextGrid::sortBy(int column) {
    if (column != sortColumn_) {
        sortColumn_ = column;
        descending_ = false;
    } else if (!descending_) {
        descending_ = true;
    } else {
        sortColumn_ = -1;
    }
    if (sortColumn_ < 0)
        horizontalHeader()->setSortIndicatorShown(false);
    else {
        horizontalHeader()->setSortIndicatorShown(true);
        horizontalHeader()->setSortIndicator(
            sortColumn_, descending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
    }
    fill(currentDataRow());
}

void TextGrid::showRows(const std::vector<std::vector<std::string>>& rows,
                        ColumnComparison compare) {
    rows_ = rows;
    compare_ = std::move(compare);
    fill(-1);
}

void TextGrid::showRows(const std::vector<std::string>& singleColumnRows) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& text : singleColumnRows)
        rows.push_back({text});
    showRows(rows);
}

void TextGrid::fill(int keep) {
    order_.resize(rows_.size());
    std::iota(order_.begin(), order_.end(), 0);
    if (sortColumn_ >= 0) {
        const int by = sortColumn_;
        order_ = sortedOrder(
            static_cast<int>(rows_.size()),
            [&](int a, int b) {
                if (compare_) return compare_(a, b, by);
                return QString::compare(cellOf(a, by), cellOf(b, by), Qt::CaseInsensitive);
            },
            descending_);
    }
    const int column = std::max(currentColumn(), 0);
    QSignalBlocker quiet(this);
    clearContents();
    setRowCount(static_cast<int>(rows_.size()));
    for (int r = 0; r < rowCount(); ++r) {
        const auto& row = rows_[static_cast<std::size_t>(order_[static_cast<std::size_t>(r)])];
        for (int c = 0; c < columnCount() && c < static_cast<int>(row.size()); ++c) {
            auto* item = new QTableWidgetItem(shownText(row[static_cast<std::size_t>(c)]));
            const auto column = static_cast<std::size_t>(c);
            if (column < rightAligned_.size() && rightAligned_[column])
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            setItem(r, c, item);
        }
    }
    const int shown = shownRowOf(keep);
    setCurrentCell(shown, shown < 0 ? -1 : column);
}

QString TextGrid::cellOf(int row, int column) const {
    const auto& cells = rows_[static_cast<std::size_t>(row)];
    const auto c = static_cast<std::size_t>(column);
    return c < cells.size() ? shownText(cells[c]) : QString();
}

int TextGrid::shownRowOf(int row) const {
    for (std::size_t r = 0; r < order_.size(); ++r)
        if (order_[r] == row) return static_cast<int>(r);
    return -1;
}

// The whole row shows selected; the current column stays where the user left it, so that
// selecting a row never scrolls the grid sideways.
void TextGrid::selectRowQuietly(int row) {
    int column = std::max(currentColumn(), 0);
    QSignalBlocker quiet(this);
    setCurrentCell(shownRowOf(row), column);
}

void TextGrid::selectTopRowQuietly() {
    if (!order_.empty()) selectRowQuietly(order_.front());
}

int TextGrid::currentDataRow() const {
    int row = currentRow();
    if (row < 0 || row >= rowCount() || row >= static_cast<int>(order_.size())) return -1;
    return order_[static_cast<std::size_t>(row)];
}

QString TextGrid::cellText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

int TextGrid::dataRowAt(int shownRow) const {
    if (shownRow < 0 || shownRow >= static_cast<int>(order_.size())) return -1;
    return order_[static_cast<std::size_t>(shownRow)];
}

namespace {

QString tabbedCell(QString text) {
    for (QChar& c : text)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return text;
}

}  // namespace

QString TextGrid::selectedRowsText() const {
    std::set<int> rows;  // shown rows, top to bottom
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        rows.insert(index.row());
    if (rows.empty()) return QString();
    std::vector<int> columns;  // logical columns, in the order they stand
    for (int visual = 0; visual < horizontalHeader()->count(); ++visual) {
        const int column = horizontalHeader()->logicalIndex(visual);
        if (!isColumnHidden(column)) columns.push_back(column);
    }
    auto line = [&](auto cell) {
        QStringList cells;
        for (int column : columns)
            cells << tabbedCell(cell(column));
        return cells.join('\t') + '\n';
    };
    QString text = line([this](int c) {
        const QTableWidgetItem* heading = horizontalHeaderItem(c);
        return heading ? heading->text() : QString();
    });
    for (int row : rows)
        text += line([this, row](int c) { return cellText(row, c); });
    return text;
}

void TextGrid::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        if (QString text = selectedRowsText(); !text.isEmpty())
            QGuiApplication::clipboard()->setText(text);
        return event->accept();
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit enterPressed();
        event->accept();
        return;
    }
    if (openMenuFromKey(*this, *event)) return event->accept();
    QTableWidget::keyPressEvent(event);
}

void TextGrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    if (frozen_) frozen_->fit();
}

void TextGrid::updateGeometries() {
    QTableWidget::updateGeometries();
    if (frozen_) frozen_->fit();
}

}  // namespace fennick::viewer
