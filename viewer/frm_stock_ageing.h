#pragma once
// The stock ageing window: for every model with units in stock, how many units have stood how
// long, with their cost and dealer list price per age bucket and a totals row, above a chart
// of the cost per bucket for the line of the selected row (every line for the totals row).
// The figures are worked out on a worker thread of the window's own, over a store of its own
// (its own engine and share connections), while the window shows the units settled of all, a
// percentage and the time left, and offers Cancel. The window is not modal: the main window
// goes on reading its own store meanwhile.

#include <QDialog>
#include <memory>

#include "core/stock_ageing.h"

QT_BEGIN_NAMESPACE
class QChartView;
class QPushButton;
QT_END_NAMESPACE

namespace fennick::viewer {

class BackgroundWork;
class TextGrid;
class WorkStatus;

class FrmStockAgeing : public QDialog {
    Q_OBJECT

  public:
    // Starts the pass.
    explicit FrmStockAgeing(QWidget* parent);
    ~FrmStockAgeing() override;

    // The pass is still running.
    bool working() const { return working_; }
    const core::StockAgeing& ageing() const { return ageing_; }
    TextGrid* table() const { return table_; }
    QChartView* chart() const { return chart_; }

  public slots:
    // "Save as CSV...": the table as the window shows it, in a file the user picks.
    void saveCsv();
    // Close, Escape and the close box; a running pass is cancelled.
    void reject() override;

  private:
    void build();
    void start();
    void showResult(std::exception_ptr failure, const core::StockAgeing& ageing);
    // The chart for the line of table row `row` (a row as given); all lines for the totals row.
    void chartRow(int row);

    BackgroundWork* work_ = nullptr;
    core::StockAgeing ageing_;
    bool working_ = false;
    TextGrid* table_ = nullptr;
    QChartView* chart_ = nullptr;
    WorkStatus* status_ = nullptr;
    QPushButton* cmdSave_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
};

// Opens the window over `parent`, or brings back the one already open; the window deletes
// itself once closed.
FrmStockAgeing* openStockAgeing(QWidget* parent);

// A step of the pass as the window shows it: the units settled of all, a percentage and the
// time left, estimated from `perUnitMs` (negative: not known yet).
QString ageingStepText(const core::ProgressStep& step, double perUnitMs);

}  // namespace fennick::viewer
