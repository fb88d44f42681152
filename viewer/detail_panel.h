#pragma once
// The tab "Unit details": 18 captioned values of the selected unit, each caption right-aligned
// against its value, in three columns as designed ("Days in Stock" standing above its value),
// or in two or one when the panel is too narrow for three: captions and values stay as wide as
// their text. The panel scrolls up and down in its tab when the columns are taller than the
// tab; only a window too narrow for one column cuts a label, which then shows its whole text
// as a tip.

#include <QLabel>
#include <QScrollArea>
#include <array>
#include <string>
#include <vector>

#include "core/unit_detail.h"

QT_BEGIN_NAMESPACE
class QGridLayout;
QT_END_NAMESPACE

namespace fennick::viewer {

class DetailPanel : public QWidget {
    Q_OBJECT

  public:
    explicit DetailPanel(QWidget* parent = nullptr);

    void setCaptions(const std::vector<std::string>& captions);
    void showValues(const core::DetailValues& values);
    void clear();
    QString value(std::size_t k) const { return values_[k]->text(); }
    QString caption(std::size_t k) const { return captions_[k]->text(); }
    // Column pairs shown: 3 as designed, fewer when the panel is narrower than they need.
    int columns() const { return columns_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The width `columns` column pairs need for the texts shown.
    int widthFor(int columns) const;
    void reflow();
    void place(int columns);

    QGridLayout* grid_;
    std::array<QLabel*, core::kDetailValues> captions_{};
    std::array<QLabel*, core::kDetailValues> values_{};
    int columns_ = 0;
};

// The panel in a scroll area of its own that scrolls up and down only, for a tab.
QScrollArea* scrollingDetails(DetailPanel* panel, QWidget* parent);

}  // namespace fennick::viewer
