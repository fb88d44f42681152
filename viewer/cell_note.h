#pragma once
// A short note that stands beside one cell of a grid, in the tool tip's colours: what is wrong
// with the cell being typed in, or with the current one. It stays beside its cell while the
// grid scrolls or resizes: on the cell's right where there is room, else on its left, else
// below it, and hides while the cell is out of view.

#include <QLabel>
#include <QPersistentModelIndex>

class QAbstractItemView;

namespace fennick::viewer {

class CellNote : public QLabel {
    Q_OBJECT

  public:
    // The note lies over `window`, which holds `grid`.
    CellNote(QAbstractItemView* grid, QWidget* window);

    void showBeside(const QModelIndex& cell, const QString& text);
    void clearNote();
    QModelIndex cell() const { return cell_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void place();

    QAbstractItemView* grid_;
    QPersistentModelIndex cell_;
};

}  // namespace fennick::viewer
