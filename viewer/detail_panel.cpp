#include "detail_panel.h"

#include <QEvent>
#include <QGridLayout>

#include "shown_text.h"
#include "twips.h"

namespace fennick::viewer {

namespace {

constexpr int kRows = 7;  // pairs per column
constexpr std::size_t kDaysInStock = 17;

// A label cut short by a window narrower than the panel needs shows its whole text as a tip.
void tipWhenCut(QLabel* label) {
    const bool cut = label->width() < label->sizeHint().width();
    label->setToolTip(cut ? label->text() : QString());
}

}  // namespace

DetailPanel::DetailPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("detailPanel");
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(twipsToPixels(120, this));
    grid->setVerticalSpacing(twipsToPixels(90, this));
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
        int column = static_cast<int>(k) / kRows, row = static_cast<int>(k) % kRows;
        if (k == kDaysInStock) {
            // Its caption sits above the value, in the value's column.
            grid->addWidget(captions_[k], kRows - 2, 2 * column + 1, Qt::AlignLeft);
            grid->addWidget(values_[k], kRows - 1, 2 * column + 1);
            continue;
        }
        grid->addWidget(captions_[k], row, 2 * column, Qt::AlignRight);
        grid->addWidget(values_[k], row, 2 * column + 1);
    }
    // What is left of the width goes to the last column, the height below the last row.
    grid->setColumnStretch(5, 1);
    grid->setRowStretch(kRows, 1);
    // The panel gives way to a narrow window rather than push it off a small screen: its
    // values are then cut, with tips.
    setMinimumSize(1, 1);
}

void DetailPanel::setCaptions(const std::vector<std::string>& captions) {
    for (std::size_t k = 0; k < core::kDetailValues && k < captions.size(); ++k) {
        captions_[k]->setText(shownText(captions[k]));
        tipWhenCut(captions_[k]);
    }
}

void DetailPanel::showValues(const core::DetailValues& values) {
    for (std::size_t k = 0; k < core::kDetailValues; ++k) {
        values_[k]->setText(shownText(values[k]));
        tipWhenCut(values_[k]);
    }
}

void DetailPanel::clear() {
    for (QLabel* value : values_) {
        value->clear();
        value->setToolTip(QString());
    }
}

bool DetailPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) tipWhenCut(static_cast<QLabel*>(watched));
    return QWidget::eventFilter(watched, event);
}

}  // namespace fennick::viewer
