#include "grid_view.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <set>

#include "core/csv.h"
#include "cut_text_tips.h"
#include "frozen_column.h"
#include "menu_key.h"
#include "twips.h"

namespace fennick::viewer {

namespace {

// A cell guarded as the CSV files guard theirs, its tabs made blanks.
QString tabbedCell(const QString& text) {
    QString cell = QString::fromStdString(core::spreadsheetCell(text.toStdString()));
    cell.replace('\t', ' ');
    return cell;
}

}  // namespace

GridView::GridView(const QString& objectName, QWidget* parent)
    : QTableView(parent), proxy_(new QSortFilterProxyModel(this)) {
    setObjectName(objectName);
    // Sorting by the sort role's values as they are: numbers by value, texts by their
    // characters (a model that sorts bytes hands them over as Latin-1, which keeps their order).
    proxy_->setSortRole(kSortRole);
    proxy_->setSortCaseSensitivity(Qt::CaseSensitive);
    proxy_->setSortLocaleAware(false);
    setModel(proxy_);
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
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) emit rowPicked(proxy_->mapToSource(current).row());
            });
    connect(this, &QAbstractItemView::doubleClicked, this, &GridView::doubleClickedAt);
}

// The frozen column goes first: it follows the grid's model and selection.
GridView::~GridView() {
    delete frozen_;
}

void GridView::setSourceModel(QAbstractItemModel* source) {
    proxy_->setSourceModel(source);
}

void GridView::setColumnWidthsTwips(const std::vector<int>& widths) {
    for (std::size_t c = 0; c < widths.size() && static_cast<int>(c) < columnCount(); ++c)
        setColumnWidth(static_cast<int>(c), twipsToPixels(widths[c], this));
}

void GridView::enableSorting() {
    horizontalHeader()->setSectionsClickable(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &GridView::sortBy);
}

void GridView::freezeFirstColumn() {
    if (frozen_) return;
    frozen_ = new FrozenColumn(this);
    connect(frozen_, &QAbstractItemView::doubleClicked, this, &GridView::doubleClickedAt);
}

void GridView::setEmptyText(const QString& text) {
    emptyText_ = text;
    viewport()->update();
}

void GridView::doubleClickedAt(const QModelIndex& shown) {
    if (shown.isValid()) emit rowDoubleClicked(proxy_->mapToSource(shown).row());
}

void GridView::sortBy(int column) {
    if (column != sortColumn_) {
        sortColumn_ = column;
        descending_ = false;
    } else if (!descending_) {
        descending_ = true;
    } else {
        sortColumn_ = -1;
    }
    const Qt::SortOrder order = descending_ ? Qt::DescendingOrder : Qt::AscendingOrder;
    horizontalHeader()->setSortIndicatorShown(sortColumn_ >= 0);
    horizontalHeader()->setSortIndicator(sortColumn_, order);
    if (frozen_) frozen_->followSortIndicator();
    proxy_->sort(sortColumn_, order);  // -1: the model's order
    if (currentIndex().isValid()) scrollTo(currentIndex());
}

int GridView::shownRowOf(int row) const {
    if (!proxy_->sourceModel() || row < 0 || row >= proxy_->sourceModel()->rowCount()) return -1;
    return proxy_->mapFromSource(proxy_->sourceModel()->index(row, 0)).row();
}

// The whole row shows selected; the current column stays where the user left it, so that
// selecting a row never scrolls the grid sideways.
void GridView::selectRowQuietly(int row) {
    const int column = std::max(currentIndex().column(), 0);
    QSignalBlocker quiet(this);
    const int shown = shownRowOf(row);
    setCurrentIndex(shown < 0 ? QModelIndex() : proxy_->index(shown, column));
}

void GridView::selectTopRowQuietly() {
    if (rowCount() > 0) selectRowQuietly(dataRowAt(0));
}

int GridView::currentDataRow() const {
    return dataRowAt(currentRow());
}

int GridView::dataRowAt(int shownRow) const {
    if (shownRow < 0 || shownRow >= rowCount()) return -1;
    return proxy_->mapToSource(proxy_->index(shownRow, 0)).row();
}

int GridView::rowCount() const {
    return proxy_->rowCount();
}

int GridView::columnCount() const {
    return proxy_->columnCount();
}

int GridView::currentRow() const {
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

QString GridView::cellText(int shownRow, int column) const {
    return proxy_->index(shownRow, column).data(Qt::DisplayRole).toString();
}

QString GridView::headingText(int column) const {
    return proxy_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

QString GridView::selectedRowsText() const {
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
    QString text = line([this](int c) { return headingText(c); });
    for (int row : rows)
        text += line([this, row](int c) { return cellText(row, c); });
    return text;
}

void GridView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        if (QString text = selectedRowsText(); !text.isEmpty())
            QGuiApplication::clipboard()->setText(text);
        return event->accept();
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit enterPressed();
        return event->accept();
    }
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        emit insertPressed();
        return event->accept();
    }
    if (openMenuFromKey(*this, *event)) return event->accept();
    QTableView::keyPressEvent(event);
}

void GridView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (rowCount() > 0 || emptyText_.isEmpty()) return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const int margin = fontMetrics().height();
    painter.drawText(viewport()->rect().adjusted(margin, margin, -margin, -margin),
                     Qt::AlignCenter | Qt::TextWordWrap, emptyText_);
}

void GridView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    if (frozen_) frozen_->fit();
}

void GridView::updateGeometries() {
    QTableView::updateGeometries();
    if (frozen_) frozen_->fit();
}

}  // namespace fennick::viewer
