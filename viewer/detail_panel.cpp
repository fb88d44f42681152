#include "detail_panel.h"

#include <QGridLayout>

#include "shown_text.h"
#include "twips.h"

namespace fennick::viewer {

namespace {

constexpr int kRows = 7;       // pairs per column
constexpr int kNarrowest = 6;  // characters of a value when the window is narrow
constexpr std::size_t kDaysInStock = 17;

}  // namespace

DetailPanel::DetailPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("detailPanel");
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(twipsToPixels(120, this));
    grid->setVerticalSpacing(twipsToPixels(90, this));
    for (std::size_t k = 0; k < core::kDetailValues; ++k) {
        captions_[k] = new QLabel(this);
        captions_[k]->setObjectName(QString("label1_%1").arg(k));
        values_[k] = new QLabel(this);
        values_[k]->setObjectName(QString("lblDetail_%1").arg(k));
        // As wide as its text where there is room; a narrow window cuts values (their tool tips
        // show them whole) rather than push the window off a small screen.
        values_[k]->setMinimumWidth(values_[k]->fontMetrics().averageCharWidth() * kNarrowest);
        values_[k]->setTextInteractionFlags(Qt::TextSelectableByMouse);
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
    // Values take the width of their text; what is left goes to the last column, so that a
    // long value (the description) is not cut while there is room.
    grid->setColumnStretch(5, 1);
    grid->setRowStretch(kRows, 1);
}

void DetailPanel::setCaptions(const std::vector<std::string>& captions) {
    for (std::size_t k = 0; k < core::kDetailValues && k < captions.size(); ++k)
        captions_[k]->setText(shownText(captions[k]));
}

void DetailPanel::showValues(const core::DetailValues& values) {
    // A value wider than its place is cut at the edge; its tool tip shows it whole.
    for (std::size_t k = 0; k < core::kDetailValues; ++k) {
        values_[k]->setText(shownText(values[k]));
        values_[k]->setToolTip(values_[k]->text());
    }
}

void DetailPanel::clear() {
    for (QLabel* value : values_) {
        value->clear();
        value->setToolTip(QString());
    }
}

}  // namespace fennick::viewer
