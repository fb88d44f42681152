#pragma once
// frmTotals: a small modal calculator on the selected unit. It opens with the unit's suggested
// list price and cost and shows profit and margin; changing the list price, the margin or the
// profit recomputes the other two from the fixed cost, once the user leaves the box or presses
// Enter in it; the figure typed is then shown formatted as the others. The window is made once
// per main window and only hidden by "&Done"; each opening fills it again.

#include <QDialog>
#include <QString>
#include <array>
#include <string_view>

#include "core/totals.h"
#include "core/unit_list.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace fennick::viewer {

class FrmTotals : public QDialog {
    Q_OBJECT

  public:
    explicit FrmTotals(QWidget* parent = nullptr);

    // The unit row's cost and suggested list price, as the grid shows them.
    void fill(const core::UnitRow& row);

    QLineEdit* meCost() const { return meCost_; }
    QLineEdit* meTotal(core::TotalsBox box) const { return meTotal_[static_cast<int>(box)]; }
    QLabel* img1() const { return img1_; }
    QPushButton* cmdCalc() const { return cmdCalc_; }
    QPushButton* cmdOk() const { return cmdOk_; }

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build();
    // From the box `from`; `typed` when the user changed it (a failure is then reported).
    void recompute(core::TotalsBox from, bool typed);
    // The box was left or Enter pressed in it: recomputes when the user changed its text.
    void entered(int index);
    int boxIndexOf(QObject* watched) const;

    QLineEdit* meCost_ = nullptr;
    std::array<QLineEdit*, 3> meTotal_{};
    // What each box held when the window last wrote or recomputed from it: a box left with
    // another text was changed by the user.
    std::array<QString, 3> written_;
    QLabel* img1_ = nullptr;
    QPushButton* cmdCalc_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
};

// The main window's "&Totals" button and the grid menu's "Totals": fills the window (made on
// first use, kept as a child of `parent`) from the unit row and shows it modally.
void showTotals(QWidget* parent, const core::UnitRow& row);

// Starts the first of the usual desktop calculators found on the PATH; false when there is
// none or it would not start (the button then says so).
bool startCalculator();
constexpr std::string_view kNoCalculatorText =
    "No calculator program was found. Install one of gnome-calculator, kcalc, galculator or "
    "xcalc.";

}  // namespace fennick::viewer
