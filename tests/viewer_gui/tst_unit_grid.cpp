// The unit grid's model and sort proxy on their own: a heading click sorts by the column's
// typed value (texts by their bytes, numbers, money and dates by value, not by the text shown)
// and leaves the model's rows where they are, so that the row the user sees current is the
// model's own row.

#include <QHeaderView>
#include <QTest>

#include "viewer/unit_grid.h"

using namespace fennick;
using Column = core::UnitColumn;

namespace {

constexpr int kUnit = static_cast<int>(Column::Unit);
constexpr int kMake = static_cast<int>(Column::Make);
constexpr int kDateReceived = static_cast<int>(Column::DateReceived);
constexpr int kDealerList = static_cast<int>(Column::DealerList);

core::UnitRow unit(const char* number, const char* make, int year, Date received,
                   std::int64_t dealerCents) {
    core::UnitRow row;
    row.unit = number;
    row.make = make;
    row.year = year;
    row.received = received;
    row.dealerList = Currency::fromCents(dealerCents);
    return row;
}

// Values whose shown texts sort otherwise than they do (a dealer list of 75.00 below 500.00,
// 11/15/2022 before 1/1/2023), and makes whose byte order is neither the order without regard
// to case ("Zeta" before "apex") nor the locale's (the code page's "É", 0xC9, after "a").
std::vector<core::UnitRow> rows() {
    using namespace std::chrono;
    return {unit("U10", "apex", 2019, Date{year{2022} / 11 / 15}, 999999),
            unit("U9", "Zeta", 2021, Date{year{2025} / 10 / 3}, 7500),
            unit("U2",
                 "\xC9"
                 "clair",
                 2020, Date{year{2023} / 1 / 1}, 50000),
            unit("U1", "Beta", 2018, Date{year{2024} / 2 / 9}, 120000)};
}

void clickHeading(viewer::UnitGrid& grid, int column, int times) {
    for (int i = 0; i < times; ++i)
        emit grid.horizontalHeader()->sectionClicked(column);
}

}  // namespace

class TstUnitGrid : public QObject {
    Q_OBJECT

  private slots:
    // The units from top to bottom after one heading click (ascending) or two (descending).
    void headingClickSortsByTheTypedValue_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("unit") << kUnit << 1 << QStringList({"U1", "U10", "U2", "U9"});
        QTest::newRow("unit, descending") << kUnit << 2 << QStringList({"U9", "U2", "U10", "U1"});
        QTest::newRow("make, by bytes") << kMake << 1 << QStringList({"U1", "U9", "U10", "U2"});
        QTest::newRow("date received")
            << kDateReceived << 1 << QStringList({"U10", "U2", "U1", "U9"});
        QTest::newRow("dealer list") << kDealerList << 1 << QStringList({"U9", "U2", "U1", "U10"});
        QTest::newRow("dealer list, descending")
            << kDealerList << 2 << QStringList({"U10", "U1", "U2", "U9"});
        QTest::newRow("third click: as listed")
            << kDealerList << 3 << QStringList({"U10", "U9", "U2", "U1"});
    }
    void headingClickSortsByTheTypedValue() {
        QFETCH(int, column);
        QFETCH(int, clicks);
        viewer::UnitGrid grid("grid");
        grid.enableSorting();
        grid.showRows(rows());
        const core::UnitRow* stored = grid.rows().data();
        clickHeading(grid, column, clicks);

        QStringList shown;
        for (int r = 0; r < grid.rowCount(); ++r)
            shown << grid.cellText(r, kUnit);
        QTEST(shown, "shown");
        // The model's rows stay in place and in their order; the top row maps onto one of them.
        QVERIFY(grid.rows() == rows());
        QVERIFY(grid.rows().data() == stored);
        grid.selectRowQuietly(grid.dataRowAt(0));
        QVERIFY(grid.currentUnit());
        QCOMPARE(QString::fromStdString(grid.currentUnit()->unit), shown.front());
        QVERIFY(grid.currentUnit() == &grid.rows()[static_cast<std::size_t>(grid.dataRowAt(0))]);
    }

    // A new list keeps the sort: its rows come in sorted, none of them current.
    void aNewListKeepsTheSort() {
        viewer::UnitGrid grid("grid");
        grid.enableSorting();
        grid.showRows(rows());
        clickHeading(grid, kDealerList, 1);
        grid.selectRowQuietly(0);
        std::vector<core::UnitRow> next = rows();
        next.pop_back();
        grid.showRows(next);
        QCOMPARE(grid.currentRow(), -1);
        QCOMPARE(grid.cellText(0, 0), QString("U9"));
        QCOMPARE(grid.cellText(2, 0), QString("U10"));
    }
};

QTEST_MAIN(TstUnitGrid)
#include "tst_unit_grid.moc"
