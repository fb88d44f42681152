// The main window at work: a model click lists its units and shows the first, selecting and
// Enter show a unit with its notes, the pick list (each unit once, by menu, button, double-click
// or Insert) with its totals and ordering, the button rules and what a disabled "Add to Invoice"
// waits for, and read errors that leave the window going.

#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

#include "engine/codec.h"
#include "tools/mkdemo/record_encoders.h"

#include "window_driver.h"

using namespace fennick;
using namespace fennick::test_support;

namespace {

bool unitButtons(WindowDriver& w, bool totalsQpPrint, bool addToInvoice) {
    return w.enabled("cmdTotals") == totalsQpPrint && w.enabled("cmdQp") == totalsQpPrint &&
           w.enabled("cmdPrint") == totalsQpPrint && w.enabled("cmdAddToInvoice") == addToInvoice;
}

}  // namespace

class TstUnits : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { share_ = std::make_unique<GuiShare>(windowData()); }

    void modelClickListsUnitsAndShowsTheFirst() {
        WindowDriver w(*share_);
        QVERIFY(w.load());
        w.clickNode(w.node(0, "M100"));
        QCOMPARE(w.column("grdUnit", 0), (QStringList{"U1", "U2"}));
        QCOMPARE(w.column("grdUnit", 28), (QStringList{"CTR", "CTR"}));
        QCOMPARE(w.grid()->currentRow(), 0);
        QCOMPARE(w.detail(0), QString("SERU1"));
        QCOMPARE(w.detail(14), QString("1200.00"));
        QCOMPARE(w.detail(15), QString("1000.00"));
        QCOMPARE(w.detail(16), QString("ABCD.E0"));  // cost 1234.50 in letter code
        QCOMPARE(w.detail(17), QString("10"));
        QCOMPARE(w.column("grdUnitChain_0", 0), QStringList{"CAB"});
        QCOMPARE(w.column("grdUnitChain_0", 3), QStringList{"2500.00"});
        QCOMPARE(w.column("grdUnitChain_1", 1), QStringList{"4"});
        QCOMPARE(w.column("grdUnitChain_2", 2), QStringList{"Loader"});
        QCOMPARE(w.column("grdUnitChain_3", 0), QStringList{"Checked in"});
        QVERIFY(unitButtons(w, true, true));

        w.clickRow("grdUnit", 1);
        QCOMPARE(w.detail(0), QString("SERU2"));
        QCOMPARE(w.detail(16), QString("0.00"));
        for (const char* grid : {"grdUnitChain_0", "grdUnitChain_1", "grdUnitChain_3"})
            QCOMPARE(w.grid(grid)->rowCount(), 0);

        // Clicking the model's node again lists it anew and shows its first unit.
        w.clickNode(w.node(0, "M100"));
        QCOMPARE(w.grid()->currentRow(), 0);
        QCOMPARE(w.detail(0), QString("SERU1"));

        // A line node lists the units without a model number: none here.
        w.clickNode(w.node(0));
        QCOMPARE(w.grid()->rowCount(), 0);
        QCOMPARE(w.detail(0), QString());
        QVERIFY(unitButtons(w, false, false));
        QVERIFY(w.part<QPushButton>("cmdAddToInvoice")->toolTip().startsWith("Choose a unit"));
    }

    void sameNamedLinesKeepTheirOwnModels() {
        WindowDriver w(*share_);
        QVERIFY(w.load());
        w.clickNode(w.node(1, "X5"));
        QCOMPARE(w.column("grdUnit", 0), QStringList{"X1"});
        QCOMPARE(w.column("grdUnit", 28), QStringList{"CTX"});
    }

    void enterKey() {
        WindowDriver w(*share_);
        QVERIFY(w.load());
        w.grid()->setFocus();
        QTest::keyClick(w.grid(), Qt::Key_Return);  // no units: nothing to show
        QCOMPARE(w.detail(0), QString());
        QVERIFY(unitButtons(w, false, false));
        emit w.grid()->customContextMenuRequested(QPoint(4, 4));
        QVERIFY(!w.part<QMenu>("GridPrint")->isVisible());

        w.clickNode(w.node(0, "M100"));
        w.moveQuietly("grdUnit", 1);
        QCOMPARE(w.detail(0), QString("SERU1"));
        QTest::keyClick(w.grid(), Qt::Key_Enter);
        QCOMPARE(w.detail(0), QString("SERU2"));
        QCOMPARE(w.grid("grdPL")->rowCount(), 0);  // Enter shows, it does not add
        emit w.grid()->customContextMenuRequested(QPoint(4, 4));
        QVERIFY(w.part<QMenu>("GridPrint")->isVisible());
        w.part<QMenu>("GridPrint")->hide();
    }

    // A unit goes on the pick list once, whichever way it is added; the second time its row
    // is selected and the status bar says why nothing was added.
    void addingToThePickList_data() {
        QTest::addColumn<QString>("way");
        for (const char* way :
             {"menu", "button", "double-click", "double-click on the Unit column", "Insert"})
            QTest::newRow(way) << way;
    }
    void addingToThePickList() {
        QFETCH(QString, way);
        WindowDriver w(*share_);
        QVERIFY(w.load());
        QVERIFY(!w.enabled("cmdAddToPickList"));
        w.clickNode(w.node(0, "M100"));
        QVERIFY(w.enabled("cmdAddToPickList"));
        for (int time = 0; time < 2; ++time) {
            addRow(w, way, 1);
            QCOMPARE(w.detail(0), QString("SERU2"));
            QCOMPARE(w.column("grdPL", 0), QStringList{"U2"});
            QCOMPARE(w.grid("grdPL")->currentRow(), time == 0 ? -1 : 0);
            QCOMPARE(w.window().statusBar()->currentMessage(),
                     time == 0 ? QString()
                               : QString("Unit U2 is on the pick list already: its row is "
                                         "selected"));
        }
        addRow(w, way, 0);
        QCOMPARE(w.column("grdPL", 0), (QStringList{"U2", "U1"}));
        QCOMPARE(w.label("lblpltot_0"), QString("1800.00"));
    }

    void pickList() {
        WindowDriver w(*share_);
        QVERIFY(w.load());
        QCOMPARE(w.label("lblpltot_0"), QString("0.00"));
        w.clickNode(w.node(0, "M100"));
        QAction* add = w.menuItem("GridPrint", 4);
        add->trigger();
        QCOMPARE(w.part<QTabWidget>("SSTab1")->currentIndex(), 5);
        QCOMPARE(w.label("lblpltot_0"), QString("1200.00"));
        QCOMPARE(w.label("lblpltot_1"), QString("1000.00"));
        w.clickRow("grdUnit", 1);
        add->trigger();
        QCOMPARE(w.column("grdPL", 0), (QStringList{"U1", "U2"}));
        QCOMPARE(w.label("lblpltot_0"), QString("1800.00"));
        QCOMPARE(w.label("lblpltot_1"), QString("1500.00"));
        QVERIFY(!w.enabled("cmdDelPL"));

        w.clickRow("grdPL", 0);
        QVERIFY(w.enabled("cmdDelPL"));
        w.click("cmdItemUp");  // the first row stays first, still selected
        QCOMPARE(w.column("grdPL", 0), (QStringList{"U1", "U2"}));
        QCOMPARE(w.grid("grdPL")->currentRow(), 0);
        w.click("cmdItemDown");
        QCOMPARE(w.column("grdPL", 0), (QStringList{"U2", "U1"}));
        QCOMPARE(w.grid("grdPL")->currentRow(), 1);
        w.click("cmdItemDown");  // the last row stays last
        QCOMPARE(w.column("grdPL", 0), (QStringList{"U2", "U1"}));
        QCOMPARE(w.grid("grdPL")->currentRow(), 1);

        w.click("cmdDelPL");
        QCOMPARE(w.column("grdPL", 0), QStringList{"U2"});
        QCOMPARE(w.label("lblpltot_1"), QString("500.00"));
        QVERIFY(w.window().pickList().used());
        w.click("cmdDelPL");
        QCOMPARE(w.grid("grdPL")->rowCount(), 0);
        QCOMPARE(w.label("lblpltot_0"), QString("0.00"));
        QCOMPARE(w.label("lblpltot_1"), QString("0.00"));
        QVERIFY(!w.enabled("cmdDelPL"));
        QVERIFY(!w.window().pickList().used());
        QVERIFY(w.enabled("cmdAddToInvoice"));  // a unit is still shown

        add->trigger();
        // Another model, another unit or the finder leave the totals of the rows there.
        w.clickNode(w.node(2, "Z9"));
        QCOMPARE(w.label("lblpltot_0"), QString("600.00"));
        QCOMPARE(w.grid("grdPL")->rowCount(), 1);
        w.click("cmdClearPL");
        QCOMPARE(w.grid("grdPL")->rowCount(), 0);
        QCOMPARE(w.label("lblpltot_1"), QString("0.00"));
        QVERIFY(!w.window().pickList().used());
    }

    void pointOfSaleAddToInvoiceFollowsThePickList() {
        WindowDriver w(*share_, "cfzelt");
        QVERIFY(w.load());
        w.clickNode(w.node(0, "M100"));
        QVERIFY(unitButtons(w, true, false));
        auto* addToInvoice = w.part<QPushButton>("cmdAddToInvoice");
        QVERIFY(addToInvoice->toolTip().startsWith("Add units to the pick list first"));
        w.menuItem("GridPrint", 4)->trigger();
        QVERIFY(unitButtons(w, true, true));
        QCOMPARE(addToInvoice->toolTip(), QString());
        w.clickRow("grdUnit", 1);
        QVERIFY(unitButtons(w, true, true));
        w.clickNode(w.node(0, "M200"));
        QVERIFY(unitButtons(w, false, true));
        w.menuItem("mnuTree", 3)->trigger();
        QVERIFY(w.idle());
        QVERIFY(unitButtons(w, false, true));
        w.part<QTabWidget>("SSTab1")->setCurrentIndex(5);
        w.clickRow("grdPL", 0);
        w.click("cmdDelPL");
        QVERIFY(unitButtons(w, false, true));
        w.click("cmdClearPL");
        QVERIFY(unitButtons(w, false, false));
    }

    // The index entry of M200's unit is made to point past the end of UNITL after start-up.
    void readErrorsLeaveTheWindowGoing() {
        GuiShare damaged(windowData());
        WindowDriver w(damaged);
        QVERIFY(w.load());
        w.clickNode(w.node(2, "Z9"));
        w.menuItem("GridPrint", 4)->trigger();
        std::string pointer(4, '\0');
        codec::pack("L", pointer, 99999, 1);
        QVERIFY(
            damaged.overwriteAfter("UNIT.DB", demo::unitIndexKey(windowData().units[3]), pointer));

        w.clickNode(w.node(0, "M200"));
        QCOMPARE(w.messages.boxes.size(), std::size_t(1));
        QString box = QString::fromStdString(w.messages.boxes[0]);
        QVERIFY2(box.startsWith("Error|Error 81") && box.endsWith(" in larkmoor.LoadUnits"),
                 qPrintable(box));
        QCOMPARE(w.grid()->rowCount(), 0);
        QVERIFY(unitButtons(w, false, false));
        QCOMPARE(w.column("grdPL", 0), QStringList{"Z1"});
        w.clickNode(w.node(0, "M100"));
        QCOMPARE(w.column("grdUnit", 0), (QStringList{"U1", "U2"}));
        QCOMPARE(w.messages.boxes.size(), std::size_t(1));
    }

  private:
    // Adds the unit list's row `row` to the pick list `way`.
    static void addRow(WindowDriver& w, const QString& way, int row) {
        viewer::GridView* grid = w.grid();
        if (way.startsWith("double-click")) {
            const bool frozen = way.endsWith("Unit column");
            auto* view = frozen ? grid->findChild<QTableView*>("frozenColumn")
                                : static_cast<QTableView*>(grid);
            const QRect cell = view->visualRect(view->model()->index(row, frozen ? 0 : 2));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
            return;
        }
        w.clickRow("grdUnit", row);
        if (way == "menu")
            w.menuItem("GridPrint", 4)->trigger();
        else if (way == "button")
            w.click("cmdAddToPickList");
        else
            QTest::keyClick(grid, Qt::Key_Insert);
    }

    std::unique_ptr<GuiShare> share_;
};

QTEST_MAIN(TstUnits)
#include "tst_units.moc"
