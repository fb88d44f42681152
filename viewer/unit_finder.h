#pragma once
// The search field above the model tree and its drop-down of matching units. The field only
// shows: typing settles, after a short pause, into textSettled(); the window answers with
// showMatches() and later tells which matches are in stock; a pick (Enter, a click) is reported
// by its line. The drop-down is laid over the window instead of being a window of its own, so
// the keyboard stays in the field while Up, Down, Page Up and Page Down move in the list;
// Escape closes the list and hands the keyboard back (escaped()).

#include <QLineEdit>
#include <optional>
#include <vector>

class QFrame;
class QLabel;
class QTimer;
class QTreeWidget;

namespace fennick::viewer {

class UnitFinder : public QLineEdit {
    Q_OBJECT

  public:
    static constexpr int kPauseMs = 250;

    // One match as the drop-down shows it; `listed` is unknown until the stock is checked.
    struct Line {
        QString unit, serial, line, model;  // the stock shows as not checked yet
    };

    // The drop-down is a child of `window`, laid over it below the field.
    UnitFinder(QWidget* window, QWidget* parent);

    // Opens the drop-down on these lines, the first one current, with `note` below them (how
    // many more there are, or that there are none).
    void showMatches(const std::vector<Line>& lines, const QString& note);
    // The stock of the first lines, in line order; the drop-down is placed once for them all.
    void showListed(const std::vector<bool>& listed);
    void showNote(const QString& note);
    void closeDropDown();
    bool dropDownShown() const;

  signals:
    void textSettled(const QString& text);
    void picked(int line);
    void dropDownClosed();
    void escaped();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void settleNow();
    void pickCurrent();
    void place();

    QWidget* window_;
    QTimer* pause_ = nullptr;
    QFrame* dropDown_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLabel* note_ = nullptr;
};

}  // namespace fennick::viewer
