#include "text_grid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QSignalBlocker>

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
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
        if (row >= 0 && row != previous) emit rowPicked(row);
    });
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

void TextGrid::showRows(const std::vector<std::vector<std::string>>& rows) {
    QSignalBlocker quiet(this);
    clearContents();
    setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < rowCount(); ++r) {
        const auto& row = rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < columnCount() && c < static_cast<int>(row.size()); ++c)
            setItem(r, c, new QTableWidgetItem(shownText(row[static_cast<std::size_t>(c)])));
    }
    setCurrentCell(-1, -1);
}

void TextGrid::showRows(const std::vector<std::string>& singleColumnRows) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& text : singleColumnRows)
        rows.push_back({text});
    showRows(rows);
}

// The whole row shows selected; the current column stays where the user left it, so that
// selecting a row never scrolls the grid sideways.
void TextGrid::selectRowQuietly(int row) {
    int column = std::max(currentColumn(), 0);
    QSignalBlocker quiet(this);
    setCurrentCell(row, column);
}

int TextGrid::currentDataRow() const {
    int row = currentRow();
    return row >= 0 && row < rowCount() ? row : -1;
}

QString TextGrid::cellText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

void TextGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit enterPressed();
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

}  // namespace fennick::viewer
