#include "detail_panel.h"

#include <QEvent>
#include <QGridLayout>
#include <algorithm>

#include "shown_text.h"
#include "twips.h"

namespace fennick::viewer {

namespace {

constexpr int kDesignColumns = 3, kDesignRows = 7;  // pairs per column as designed
constexpr int kPairs = static_cast<int>(core::kDetailValues);
constexpr int kDaysInStock = kPairs - 1;

// A label cut short by a window narrower than the panel needs shows its whole text as a tip.
void tipWhenCut(QLabel* label) {
    const bool cut = label->width() < label->sizeHint().width();
    label->setToolTip(cut ? label->text() : QString());
}

int rowsFor(int columns) {
    return columns == kDesignColumns ? kDesignRows : (kPairs + columns - 1) / columns;
}

// As designed, "Days in Stock" stands above its value in the value's column; in fewer columns
// it is a pair like the others.
bool captionAbove(int columns, int k) {
    return columns == kDesignColumns && k == kDaysInStock;
}

}  // namespace

DetailPanel::DetailPanel(QWidget* parent) : QWidget(parent), grid_(new QGridLayout(this)) {
    setObjectName("detailPanel");
    grid_->setHorizontalSpacing(twipsToPixels(120, this));
    grid_->setVerticalSpacing(twipsToPixels(90, this));
    for (std::size_t k = 0; k < core::kDetailValues; ++k) {
        captions_[k] = new QLabel(this);
        captions_[k]->setObjectName(QString("label1_%1").arg(k));
        captions_[k]->installEventFilter(this);
        values_[k] = new QLabel(this);
        values_[k]->setObjectName(QString("lblDetail_%1").arg(k));
        values_[k]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        values_[k]->installEventFilter(this);
        QFont bold = values_[k]->font();
        bold.setBold(true);
        values_[k]->setFont(bold);
    }
    place(kDesignColumns);
    // The panel gives way to a narrow window rather than push it off a small screen: its
    // values are then cut, with tips. Its height is what its columns need.
    setMinimumWidth(1);
}

void DetailPanel::place(int columns) {
    for (std::size_t k = 0; k < core::kDetailValues; ++k) {
        grid_->removeWidget(captions_[k]);
        grid_->removeWidget(values_[k]);
    }
    for (int c = 0; c < 2 * kDesignColumns; ++c)
        grid_->setColumnStretch(c, 0);
    for (int r = 0; r <= kPairs; ++r)
        grid_->setRowStretch(r, 0);
    const int rows = rowsFor(columns);
    for (int k = 0; k < kPairs; ++k) {
        QLabel* caption = captions_[static_cast<std::size_t>(k)];
        QLabel* value = values_[static_cast<std::size_t>(k)];
        const int column = k / rows, row = k % rows;
        if (captionAbove(columns, k)) {
            grid_->addWidget(caption, rows - 2, 2 * column + 1, Qt::AlignLeft);
            grid_->addWidget(value, rows - 1, 2 * column + 1);
            continue;
        }
        grid_->addWidget(caption, row, 2 * column, Qt::AlignRight);
        grid_->addWidget(value, row, 2 * column + 1);
    }
    // What is left of the width goes to the last column, the height below the last row.
    grid_->setColumnStretch(2 * columns - 1, 1);
    grid_->setRowStretch(rows, 1);
    columns_ = columns;
}

int DetailPanel::widthFor(int columns) const {
    const int rows = rowsFor(columns);
    std::array<int, 2 * kDesignColumns> widest{};
    for (int k = 0; k < kPairs; ++k) {
        const int column = 2 * (k / rows);
        const auto at = static_cast<std::size_t>(k);
        int& captionColumn =
            widest[static_cast<std::size_t>(captionAbove(columns, k) ? column + 1 : column)];
        captionColumn = std::max(captionColumn, captions_[at]->sizeHint().width());
        int& valueColumn = widest[static_cast<std::size_t>(column + 1)];
        valueColumn = std::max(valueColumn, values_[at]->sizeHint().width());
    }
    int width = grid_->horizontalSpacing() * (2 * columns - 1);
    for (int c = 0; c < 2 * columns; ++c)
        width += widest[static_cast<std::size_t>(c)];
    const QMargins margins = grid_->contentsMargins();
    return width + margins.left() + margins.right();
}

// As many column pairs as the width holds, down to one.
void DetailPanel::reflow() {
    int columns = kDesignColumns;
    while (columns > 1 && widthFor(columns) > width())
        --columns;
    if (columns != columns_) place(columns);
}

void DetailPanel::setCaptions(const std::vector<std::string>& captions) {
    for (std::size_t k = 0; k < core::kDetailValues && k < captions.size(); ++k) {
        captions_[k]->setText(shownText(captions[k]));
        tipWhenCut(captions_[k]);
    }
    reflow();
}

void DetailPanel::showValues(const core::DetailValues& values) {
    for (std::size_t k = 0; k < core::kDetailValues; ++k) {
        values_[k]->setText(shownText(values[k]));
        tipWhenCut(values_[k]);
    }
    reflow();
}

void DetailPanel::clear() {
    for (QLabel* value : values_) {
        value->clear();
        value->setToolTip(QString());
    }
    reflow();
}

void DetailPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    reflow();
}

bool DetailPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) tipWhenCut(static_cast<QLabel*>(watched));
    return QWidget::eventFilter(watched, event);
}

QScrollArea* scrollingDetails(DetailPanel* panel, QWidget* parent) {
    auto* scroll = new QScrollArea(parent);
    scroll->setObjectName("detailScroll");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setWidget(panel);
    // The tab's own background shows through, as without the scroll area.
    panel->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);
    return scroll;
}

}  // namespace fennick::viewer
