#pragma once
// The tab "Unit details": 18 captioned values of the selected unit in three columns, each
// caption right-aligned against its value; "Days in Stock" stands above its value. Captions and
// values are as wide as their text; only a window too narrow for them cuts a label, which then
// shows its whole text as a tip.

#include <QLabel>
#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "core/unit_detail.h"

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

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::array<QLabel*, core::kDetailValues> captions_{};
    std::array<QLabel*, core::kDetailValues> values_{};
};

}  // namespace fennick::viewer
