#include "unit_finder.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace fennick::viewer {

namespace {

constexpr int kStockColumn = 4;
constexpr int kRowsInView = 12;
constexpr int kMargin = 1;
const char* const kNotInStock = "not in stock";
const char* const kUnknown = "…";

void showStock(QTreeWidgetItem& item, std::optional<bool> listed) {
    item.setText(kStockColumn, !listed ? kUnknown : *listed ? "" : kNotInStock);
    item.setToolTip(kStockColumn, listed ? QString() : QString("Stock not checked yet"));
}

}  // namespace

UnitFinder::UnitFinder(QWidget* window, QWidget* parent) : QLineEdit(parent), window_(window) {
    setObjectName("unitFinder");
    setPlaceholderText("Find unit or serial");
    setClearButtonEnabled(true);
    pause_ = new QTimer(this);
    pause_->setSingleShot(true);
    pause_->setInterval(kPauseMs);
    connect(pause_, &QTimer::timeout, this, &UnitFinder::settleNow);
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.trimmed().isEmpty()) {
            pause_->stop();
            return closeDropDown();
        }
        pause_->start();
    });

    // Nothing in the drop-down takes the keyboard: clicks pick, the keys stay in the field.
    dropDown_ = new QFrame(window);
    dropDown_->setObjectName("unitFinderDropDown");
    dropDown_->setFrameShape(QFrame::StyledPanel);
    dropDown_->setAutoFillBackground(true);
    dropDown_->setFocusPolicy(Qt::NoFocus);
    auto* column = new QVBoxLayout(dropDown_);
    column->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    column->setSpacing(0);
    list_ = new QTreeWidget(dropDown_);
    list_->setObjectName("unitFinderList");
    list_->setFocusPolicy(Qt::NoFocus);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderLabels({"Unit", "Serial #", "Line", "Model", "Stock"});
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->header()->setStretchLastSection(false);  // the columns take what their texts need
    note_ = new QLabel(dropDown_);
    note_->setObjectName("unitFinderNote");
    note_->setContentsMargins(4, 2, 4, 2);
    column->addWidget(list_, 1);
    column->addWidget(note_);
    dropDown_->hide();
    connect(list_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        const int line = list_->indexOfTopLevelItem(item);
        closeDropDown();
        emit picked(line);
    });
    window_->installEventFilter(this);
}

void UnitFinder::showMatches(const std::vector<Line>& lines, const QString& note) {
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (const Line& line : lines) {
        auto* item =
            new QTreeWidgetItem(QStringList{line.unit, line.serial, line.line, line.model});
        showStock(*item, std::nullopt);
        items << item;
    }
    list_->addTopLevelItems(items);
    list_->setVisible(!items.isEmpty());
    if (!items.isEmpty()) list_->setCurrentItem(items.front());
    showNote(note);
    dropDown_->show();
    dropDown_->raise();
    place();
}

void UnitFinder::showListed(const std::vector<bool>& listed) {
    for (std::size_t line = 0; line < listed.size(); ++line)
        if (QTreeWidgetItem* item = list_->topLevelItem(static_cast<int>(line)))
            showStock(*item, listed[line]);
    if (dropDown_->isVisible()) place();
}

void UnitFinder::showNote(const QString& note) {
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
    if (dropDown_->isVisible()) place();
}

void UnitFinder::closeDropDown() {
    if (!dropDown_->isVisible()) return;
    dropDown_->hide();
    emit dropDownClosed();
}

bool UnitFinder::dropDownShown() const {
    return dropDown_->isVisible();
}

void UnitFinder::settleNow() {
    pause_->stop();
    if (!text().trimmed().isEmpty()) emit textSettled(text());
}

void UnitFinder::pickCurrent() {
    const int line = list_->currentItem() ? list_->indexOfTopLevelItem(list_->currentItem()) : -1;
    if (line < 0 || !dropDown_->isVisible()) return;
    closeDropDown();
    emit picked(line);
}

void UnitFinder::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            if (!dropDown_->isVisible() || pause_->isActive()) {
                settleNow();  // Down on a closed list opens it again on the text as it stands
            } else {
                QKeyEvent forwarded(event->type(), event->key(), Qt::NoModifier);
                QCoreApplication::sendEvent(list_, &forwarded);
            }
            return event->accept();
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (pause_->isActive() || !dropDown_->isVisible()) settleNow();
            pickCurrent();
            return event->accept();
        case Qt::Key_Escape:
            pause_->stop();
            closeDropDown();
            emit escaped();
            return event->accept();
        default:
            QLineEdit::keyPressEvent(event);
    }
}

// The field's own pop-up menu leaves the drop-down open; anything else that takes the keyboard
// closes it.
void UnitFinder::focusOutEvent(QFocusEvent* event) {
    if (event->reason() != Qt::PopupFocusReason) {
        pause_->stop();
        closeDropDown();
    }
    QLineEdit::focusOutEvent(event);
}

void UnitFinder::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    if (dropDown_->isVisible()) place();
}

bool UnitFinder::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Resize && dropDown_->isVisible()) place();
    return QLineEdit::eventFilter(watched, event);
}

// Below the field, as wide as its columns need (at least as wide as the field) and the window
// allows, and tall enough for a dozen lines; a longer list scrolls.
void UnitFinder::place() {
    const QPoint at = mapTo(window_, QPoint(0, height()));
    const int around = 2 * (dropDown_->frameWidth() + kMargin);
    int wide = 0, tall = 0;
    if (!list_->isHidden()) {
        const int gap = list_->fontMetrics().averageCharWidth() * 2;  // between the columns
        for (int c = 0; c < list_->columnCount(); ++c) {
            list_->resizeColumnToContents(c);
            list_->setColumnWidth(c, list_->columnWidth(c) + gap);
            wide += list_->columnWidth(c);
        }
        const int rows = std::min(list_->topLevelItemCount(), kRowsInView);
        wide += 2 * list_->frameWidth() + list_->verticalScrollBar()->sizeHint().width();
        tall += list_->header()->sizeHint().height() + rows * list_->sizeHintForRow(0) +
                2 * list_->frameWidth();
    }
    if (!note_->isHidden()) {
        wide = std::max(wide, note_->sizeHint().width());
        tall += note_->sizeHint().height();
    }
    wide = std::min(std::max(wide + around, width()), window_->width() - at.x());
    tall = std::min(tall + around, window_->height() - at.y());
    dropDown_->setGeometry(at.x(), at.y(), wide, tall);
}

}  // namespace fennick::viewer
