#include "frm_stock_ageing.h"

#include <QChartView>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QVBoxLayout>

#include "ageing_chart.h"
#include "background_work.h"
#include "core/list_csv.h"
#include "data_store.h"
#include "engine/codec.h"
#include "event_guard.h"
#include "save_file.h"
#include "shown_text.h"
#include "store/store.h"
#include "text_grid.h"
#include "work_status.h"

namespace fennick::viewer {

namespace {

const char* const kTitle = "Stock Ageing";
constexpr int kWidth = 1000, kHeight = 640;  // at the design's 96 dots per inch

QString timeLeft(double ms) {
    const auto seconds = static_cast<qint64>(ms / 1000 + 0.5);
    if (seconds < 60) return QString("%1 s").arg(seconds);
    return QString("%1 min %2 s").arg(seconds / 60).arg(seconds % 60);
}

// The rate at which units are settled, measured from the first step that counts units.
class UnitRate {
  public:
    double perUnitMs(const core::ProgressStep& step) {
        if (step.total <= 0) return -1;
        if (!timer_.isValid()) {
            timer_.start();
            first_ = step.done;
        }
        const std::int64_t settled = step.done - first_;
        return settled > 0 ? static_cast<double>(timer_.elapsed()) / settled : -1;
    }

  private:
    QElapsedTimer timer_;
    std::int64_t first_ = 0;
};

}  // namespace

QString ageingStepText(const core::ProgressStep& step, double perUnitMs) {
    if (step.total <= 0)
        return QString("Stock ageing: reading the models of %1")
            .arg(shownText(codec::trun(step.text)));
    const QLocale locale;
    const std::int64_t done = std::min(step.done, step.total);
    QString text = QString("Stock ageing: %1 of %2 units (%3 %)")
                       .arg(locale.toString(static_cast<qint64>(done)),
                            locale.toString(static_cast<qint64>(step.total)))
                       .arg(done * 100 / step.total);
    if (perUnitMs >= 0)
        text += ", " + timeLeft(perUnitMs * static_cast<double>(step.total - done)) + " left";
    return text;
}

FrmStockAgeing::FrmStockAgeing(QWidget* parent) : QDialog(parent), work_(new BackgroundWork(this)) {
    build();
    start();
}

FrmStockAgeing::~FrmStockAgeing() = default;

void FrmStockAgeing::build() {
    setObjectName("frmStockAgeing");
    setWindowTitle(kTitle);
    table_ = new TextGrid("grdAgeing", this);
    chart_ = new QChartView(this);
    chart_->setObjectName("chartAgeing");
    chart_->setRenderHint(QPainter::Antialiasing);
    chart_->setMinimumHeight(200);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(table_);
    split->addWidget(chart_);
    split->setChildrenCollapsible(false);
    split->setSizes({kHeight / 2, kHeight / 2});  // scaled to the room there is

    status_ = new WorkStatus(*work_, this);
    cmdSave_ = new QPushButton("&Save as CSV...", this);
    cmdSave_->setObjectName("cmdSaveCsv");
    cmdClose_ = new QPushButton("&Close", this);
    cmdClose_->setObjectName("cmdClose");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(status_);
    buttons->addStretch(1);
    buttons->addWidget(cmdSave_);
    buttons->addWidget(cmdClose_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);

    connect(cmdSave_, &QPushButton::clicked, this, &FrmStockAgeing::saveCsv);
    connect(cmdClose_, &QPushButton::clicked, this, &FrmStockAgeing::reject);
    connect(table_, &TextGrid::rowPicked, this, &FrmStockAgeing::chartRow);

    // The design size, or what the screen has room for.
    QSize size(kWidth, kHeight);
    if (const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen())
        size = size.boundedTo(screen->availableSize() * 9 / 10);
    resize(size);
}

// The pass opens its own store and works on a copy the window takes over when it ends; a
// window closed meanwhile is gone by then, and its result is dropped.
void FrmStockAgeing::start() {
    working_ = true;
    cmdSave_->setEnabled(false);
    auto result = std::make_shared<core::StockAgeing>();
    QPointer<FrmStockAgeing> self(this);
    auto rate = std::make_shared<UnitRate>();
    work_->start(
        JobKind::Ageing,
        [result, open = storeBesideOpener()](core::WorkProgress& progress) {
            std::unique_ptr<store::Store> own = open();
            if (!own) throw std::runtime_error("The dealer's files could not be opened again");
            *result = core::stockAgeing(*own, &progress);
        },
        [self, result](std::exception_ptr failure) {
            if (self) self->showResult(failure, *result);
        },
        [rate](const core::ProgressStep& step) {
            return ageingStepText(step, rate->perUnitMs(step));
        });
}

void FrmStockAgeing::showResult(std::exception_ptr failure, const core::StockAgeing& ageing) {
    working_ = false;
    if (failure) {
        guarded("stockAgeing", [&] { std::rethrow_exception(failure); });
        return status_->setOutcome("The stock ageing could not be worked out");
    }
    if (ageing.cancelled) return status_->setOutcome("The stock ageing was cancelled");
    ageing_ = ageing;
    auto rows = core::ageingTable(ageing_);
    table_->setHeadings(rows.front());
    rows.erase(rows.begin());
    std::vector<bool> rightAligned(rows.front().size(), true);
    rightAligned[0] = rightAligned[1] = false;
    table_->setRightAligned(rightAligned);
    table_->showRows(rows);
    table_->resizeColumnsToContents();
    cmdSave_->setEnabled(true);
    chartRow(-1);
}

void FrmStockAgeing::chartRow(int row) {
    const bool oneLine = row >= 0 && row < static_cast<int>(ageing_.rows.size());
    const std::string code = oneLine ? ageing_.rows[static_cast<std::size_t>(row)].code : "";
    const QString title = oneLine ? QString("Cost by days in stock, line %1").arg(shownText(code))
                                  : QString("Cost by days in stock, all lines");
    QChart* old = chart_->chart();
    chart_->setChart(ageingChart(ageingChartSets(ageing_, code), title));
    delete old;
}

void FrmStockAgeing::saveCsv() {
    if (working_) return;
    saveThroughDialog(this, {"Save as CSV", "Stock ageing.csv", "CSV files (*.csv)", "csv"},
                      core::ageingCsv(ageing_));
}

void FrmStockAgeing::reject() {
    if (working_) work_->cancel();
    QDialog::reject();
}

FrmStockAgeing* openStockAgeing(QWidget* parent) {
    auto* window = parent->findChild<FrmStockAgeing*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) {
        window = new FrmStockAgeing(parent);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowModality(Qt::NonModal);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace fennick::viewer
