#pragma once
// A grid of text rows (the note grids, the stock ageing table): the dealer's Windows-1252 text
// shown as Unicode under given headings, some columns right-aligned. Everything else a grid
// does is GridView's.

#include <string>
#include <vector>

#include "grid_view.h"

namespace fennick::viewer {

class TextRows;

class TextGrid : public GridView {
    Q_OBJECT

  public:
    explicit TextGrid(const QString& objectName, QWidget* parent = nullptr);

    void setHeadings(const std::vector<std::string>& headings);
    // Which columns stand right-aligned (the first ones; the others are left-aligned).
    void setRightAligned(const std::vector<bool>& columns);
    // Replaces every row; no row is current afterwards and rowPicked is not raised.
    void showRows(const std::vector<std::vector<std::string>>& rows);
    void showRows(const std::vector<std::string>& singleColumnRows);

  private:
    TextRows* rows_;
};

}  // namespace fennick::viewer
