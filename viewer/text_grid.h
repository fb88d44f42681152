#pragma once
// A read-only grid of text rows under a heading row, as the main window's grids are: one whole
// row selected at a time, some columns hidden, Enter reported as its own signal. Cells hold the
// dealer's Windows-1252 text and show it as Unicode.

#include <QTableWidget>
#include <string>
#include <vector>

namespace fennick::viewer {

class TextGrid : public QTableWidget {
    Q_OBJECT

  public:
    explicit TextGrid(const QString& objectName, QWidget* parent = nullptr);

    void setHeadings(const std::vector<std::string>& headings);
    // Widths of the first columns, in twips.
    void setColumnWidthsTwips(const std::vector<int>& widths);
    // Replaces every row; no row is current afterwards and rowPicked is not raised.
    void showRows(const std::vector<std::vector<std::string>>& rows);
    void showRows(const std::vector<std::string>& singleColumnRows);
    // Makes `row` current and selected without raising rowPicked.
    void selectRowQuietly(int row);
    // The current row, or -1 when the grid has no rows or none is current.
    int currentDataRow() const;
    // The shown text of a cell, empty when there is no such cell.
    QString cellText(int row, int column) const;

  signals:
    // The user made another row current, by mouse or keyboard.
    void rowPicked(int row);
    void enterPressed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace fennick::viewer
