#include "frozen_column.h"

#include <QHeaderView>
#include <QScrollBar>

namespace fennick::viewer {

FrozenColumn::FrozenColumn(QTableView* grid) : QTableView(grid), grid_(grid) {
    setObjectName("frozenColumn");
    setModel(grid->model());
    setSelectionModel(grid->selectionModel());
    setItemDelegate(grid->itemDelegate());
    setFocusPolicy(Qt::NoFocus);  // the keyboard works in the grid itself
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(grid->selectionBehavior());
    setSelectionMode(grid->selectionMode());
    setAlternatingRowColors(grid->alternatingRowColors());
    setWordWrap(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(grid->verticalScrollMode());
    setFrameShape(QFrame::NoFrame);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(grid->verticalHeader()->defaultSectionSize());
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(grid->horizontalHeader()->defaultAlignment());
    grid->viewport()->stackUnder(this);

    connect(grid->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) {
                if (column != 0) return;
                setColumnWidth(0, width);
                fit();
            });
    connect(grid->verticalHeader(), &QHeaderView::sectionResized, this,
            [this](int row, int, int height) { setRowHeight(row, height); });
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, grid->verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(grid->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, grid->horizontalHeader(),
            &QHeaderView::sectionClicked);
    connect(grid->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            &FrozenColumn::followSortIndicator);
    connect(this, &QWidget::customContextMenuRequested, grid, [this](const QPoint& at) {
        emit grid_->customContextMenuRequested(
            grid_->viewport()->mapFromGlobal(viewport()->mapToGlobal(at)));
    });
    connect(model(), &QAbstractItemModel::columnsInserted, this,
            &FrozenColumn::showOnlyFirstColumn);
    connect(model(), &QAbstractItemModel::modelReset, this, &FrozenColumn::showOnlyFirstColumn);
    connect(model(), &QAbstractItemModel::rowsInserted, this, &FrozenColumn::fit);
    connect(model(), &QAbstractItemModel::rowsRemoved, this, &FrozenColumn::fit);
    showOnlyFirstColumn();
}

void FrozenColumn::showOnlyFirstColumn() {
    for (int c = 0; c < model()->columnCount(); ++c)
        setColumnHidden(c, c != 0);
    if (model()->columnCount() > 0) setColumnWidth(0, grid_->columnWidth(0));
    followSortIndicator();
    fit();
}

void FrozenColumn::followSortIndicator() {
    const QHeaderView* heading = grid_->horizontalHeader();
    horizontalHeader()->setSortIndicatorShown(heading->isSortIndicatorShown());
    horizontalHeader()->setSortIndicator(heading->sortIndicatorSection(),
                                         heading->sortIndicatorOrder());
}

void FrozenColumn::fit() {
    const int frame = grid_->frameWidth();
    const int width = model()->columnCount() > 0 ? grid_->columnWidth(0) : 0;
    const int rowHeadings =
        grid_->verticalHeader()->isHidden() ? 0 : grid_->verticalHeader()->width();
    setGeometry(frame + rowHeadings, frame, width,
                grid_->viewport()->height() + grid_->horizontalHeader()->height());
    horizontalHeader()->setFixedHeight(grid_->horizontalHeader()->height());
    // Without rows the grid's own heading shows the column, and the grid may say what to do.
    setVisible(width > 0 && model()->rowCount() > 0);
}

}  // namespace fennick::viewer
