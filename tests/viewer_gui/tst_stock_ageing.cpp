// The stock ageing window opened from the tree menu on a share whose units stand in every age
// bucket: its totals against a count made here from the share's own units, the chart of the
// selected line, and the table saved as CSV.

#include <QBarSet>
#include <QChartView>
#include <QDir>
#include <QPointer>
#include <QStackedBarSeries>
#include <QTemporaryDir>
#include <fstream>

#include "tests/viewer_dialogs/fake_services.h"
#include "viewer/frm_stock_ageing.h"
#include "viewer/text_grid.h"
#include "window_driver.h"

using namespace fennick;
using namespace fennick::test_support;

namespace {

struct AgedUnit {
    std::int32_t line;
    const char* model;
    const char* number;
    int days;  // in stock; a negative number: received after today
    std::vector<std::int64_t> ledgerCents;
    std::int64_t listCents;
    bool sold;
};

// CTR M300 has only a sold unit; PRT is no unit line.
const std::vector<AgedUnit> kUnits = {
    {1, "M100", "A1", 5, {100000, 2345}, 120000, false},
    {1, "M100", "A2", -3, {5000}, 6000, false},
    {1, "M100", "A3", 90, {30000, -45000}, 0, false},
    {1, "M100", "A4", 200, {99900}, 99900, true},
    {1, "M200", "B1", 91, {70000}, 80000, false},
    {1, "M200", "B2", 365, {1}, 2, false},
    {1, "M300", "C1", 10, {1000}, 1000, true},
    {3, "Z9", "Z1", 731, {77777}, 1, false},
    {3, "Z9", "Z2", 366, {250}, 300, false},
    {3, "Z9", "Z3", 730, {-1250}, 0, false},
};

demo::DealerData agedData() {
    demo::DealerData d;
    d.lines = {{1, "CTR", "COMPACT TRACTORS", 'U', "C"},
               {2, "PRT", "PARTS COUNTER", 'P', "P"},
               {3, "MWR", "MOWERS", 'U', "M"}};
    for (const AgedUnit& a : kUnits) {
        demo::UnitSpec u;
        u.line = a.line;
        u.model = a.model;
        u.unitNumber = a.number;
        u.serial = std::string("SER") + a.number;
        u.received = todayPlus(-a.days);
        u.ledgerCents = a.ledgerCents;
        u.dealerListCents = a.listCents;
        if (a.sold) u.sold = todayPlus(-1);
        d.units.push_back(u);
    }
    return d;
}

int bucketOf(int days) {
    int bucket = 0;
    for (int end : {90, 180, 365, 730})
        bucket += days > end;
    return bucket;
}

QString money(std::int64_t cents) {
    return QString::number(static_cast<double>(cents) / 100, 'f', 2);
}

// The totals row counted from the units above: count, cost and list per bucket.
QStringList expectedTotals() {
    std::array<std::int64_t, 5> count{}, cost{}, list{};
    for (const AgedUnit& a : kUnits) {
        if (a.sold) continue;
        int b = bucketOf(a.days);
        ++count[b];
        for (auto cents : a.ledgerCents)
            cost[b] += cents;
        list[b] += a.listCents;
    }
    QStringList cells{"Total", ""};
    for (auto n : count)
        cells << QString::number(n);
    for (auto cents : cost)
        cells << money(cents);
    for (auto cents : list)
        cells << money(cents);
    return cells;
}

QStringList rowTexts(viewer::TextGrid* grid, int row) {
    QStringList cells;
    for (int c = 0; c < grid->columnCount(); ++c)
        cells << grid->cellText(row, c);
    return cells;
}

std::string readFile(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

class TstStockAgeing : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        share_ = std::make_unique<GuiShare>(agedData());
        driver_ = std::make_unique<WindowDriver>(*share_, "", true);
        QVERIFY(driver_->load());
        QAction* item = driver_->part<QAction>("stockAgeing");
        QVERIFY(item && item->isEnabled());
        item->trigger();
        ageing_ = driver_->window().findChild<viewer::FrmStockAgeing*>();
        QVERIFY(ageing_ && !ageing_->isModal());
        QVERIFY(driver_->idle());  // the main window's work is not the pass
        QTRY_VERIFY_WITH_TIMEOUT(!ageing_->working(), 10000);
    }
    void cleanupTestCase() { driver_.reset(); }

    void tableHasAListedModelPerRowAndTheTotals() {
        viewer::TextGrid* table = ageing_->table();
        QCOMPARE(table->rowCount(), 4);
        QCOMPARE((QStringList{table->cellText(0, 1), table->cellText(1, 1), table->cellText(2, 1)}),
                 (QStringList{"M100", "M200", "Z9"}));
        QCOMPARE(rowTexts(table, 3), expectedTotals());
    }

    void chartStacksTheSelectedLine_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("sets");
        QTest::addColumn<QList<qreal>>("firstBucket");
        QTest::newRow("a line: its models")
            << 1 << QStringList{"M100", "M200"} << QList<qreal>{923.45, 0};
        QTest::newRow("the totals: every line")
            << 3 << QStringList{"CTR", "MWR"} << QList<qreal>{923.45, 0};
    }
    void chartStacksTheSelectedLine() {
        QFETCH(int, row);
        QFETCH(QStringList, sets);
        QFETCH(QList<qreal>, firstBucket);
        driver_->clickRow("grdAgeing", row);
        auto* series =
            qobject_cast<QStackedBarSeries*>(ageing_->chart()->chart()->series().value(0));
        QVERIFY(series);
        QStringList names;
        QList<qreal> first;
        for (QBarSet* set : series->barSets()) {
            names << set->label();
            first << set->at(0);
        }
        QCOMPARE(names, sets);
        for (int s = 0; s < first.size(); ++s)
            QVERIFY2(qAbs(first[s] - firstBucket[s]) < 0.005, qPrintable(names[s]));
    }

    void savesTheTableAsCsv() {
        QTemporaryDir folder;
        FakeDialogServices dialogs;
        dialogs.saveAnswer = folder.filePath("ageing.csv");
        QTest::mouseClick(ageing_->findChild<QPushButton*>("cmdSaveCsv"), Qt::LeftButton);
        QVERIFY(dialogs.messages.empty());
        std::string expected =
            "Line,Model,0-90,91-180,181-365,366-730,731+,Cost 0-90,Cost "
            "91-180,Cost 181-365,Cost 366-730,Cost 731+,List 0-90,List "
            "91-180,List 181-365,List 366-730,List 731+\r\n";
        viewer::TextGrid* table = ageing_->table();
        for (int r = 0; r < table->rowCount(); ++r)
            expected += rowTexts(table, r).join(',').toStdString() + "\r\n";
        QCOMPARE(readFile(dialogs.saveAnswer), expected);
    }

    // The pass runs on a store of its own: the main window's work is not held up, and asking
    // again brings back the one window. Closing the window cancels the pass.
    void closingDuringThePassCancelsIt() {
        QPointer<viewer::FrmStockAgeing> first(ageing_);
        ageing_->reject();
        QTRY_VERIFY(!first);
        QAction* item = driver_->part<QAction>("stockAgeing");
        item->trigger();
        QPointer<viewer::FrmStockAgeing> second(
            driver_->window().findChild<viewer::FrmStockAgeing*>());
        QVERIFY(second && second->working() && item->isEnabled());
        QVERIFY(driver_->idle());
        item->trigger();
        QCOMPARE(driver_->window().findChildren<viewer::FrmStockAgeing*>().size(), 1);
        second->reject();
        QTRY_VERIFY(!second);
    }

    void progressShowsUnitsPercentageAndTimeLeft_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("done");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<double>("perUnitMs");
        QTest::addColumn<QString>("shown");
        QTest::newRow("the tree") << "MOWERS" << qint64(1) << qint64(0) << -1.0
                                  << "Stock ageing: reading the models of MOWERS";
        QTest::newRow("no rate yet") << "CTR M100" << qint64(0) << qint64(200000) << -1.0
                                     << "Stock ageing: 0 of 200,000 units (0 %)";
        QTest::newRow("seconds left") << "" << qint64(50000) << qint64(200000) << 0.1
                                      << "Stock ageing: 50,000 of 200,000 units (25 %), 15 s left";
        QTest::newRow("minutes left")
            << "" << qint64(1000) << qint64(200000) << 1.0
            << "Stock ageing: 1,000 of 200,000 units (0 %), 3 min 19 s left";
        QTest::newRow("more than all") << "" << qint64(7) << qint64(5) << 1.0
                                       << "Stock ageing: 5 of 5 units (100 %), 0 s left";
    }
    void progressShowsUnitsPercentageAndTimeLeft() {
        QFETCH(QString, text);
        QFETCH(qint64, done);
        QFETCH(qint64, total);
        QFETCH(double, perUnitMs);
        QFETCH(QString, shown);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        core::ProgressStep step{text.toStdString(), done, total};
        QCOMPARE(viewer::ageingStepText(step, perUnitMs), shown);
    }

  private:
    std::unique_ptr<GuiShare> share_;
    std::unique_ptr<WindowDriver> driver_;
    viewer::FrmStockAgeing* ageing_ = nullptr;
};

QTEST_MAIN(TstStockAgeing)
#include "tst_stock_ageing.moc"
