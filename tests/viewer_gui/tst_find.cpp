// The finder above the tree: Ctrl+F and Escape, matches after the pause with their stock, a
// pick by Enter or click shown as node, row and detail panel (or, when the unit is not in stock,
// the status bar says so), a long list capped, and a unit row picked while the stock is being
// checked.

#include <QHeaderView>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include "window_driver.h"

using namespace fennick;
using namespace fennick::test_support;
using namespace std::chrono_literals;

namespace {

const QString kNotInStock =
    "Unit %1 is not in stock: it is sold or held by an open ticket or pending invoice.";

QStringList column(QTreeWidget* list, int c) {
    QStringList cells;
    for (int r = 0; r < list->topLevelItemCount(); ++r)
        cells << list->topLevelItem(r)->text(c);
    return cells;
}

// Sixty units of one model: more than the drop-down lists.
demo::DealerData manyUnits() {
    demo::DealerData d = windowData();
    for (int i = 1; i <= 60; ++i) {
        demo::UnitSpec unit = d.units.front();
        unit.unitNumber = QString("K%1").arg(i, 2, 10, QChar('0')).toStdString();
        unit.serial = "S" + unit.unitNumber;
        unit.notes.clear();
        d.units.push_back(unit);
    }
    return d;
}

struct Finder {
    explicit Finder(WindowDriver& w)
        : field(w.part<QLineEdit>("unitFinder")),
          dropDown(w.part<QWidget>("unitFinderDropDown")),
          list(w.part<QTreeWidget>("unitFinderList")) {}

    QLineEdit* field;
    QWidget* dropDown;
    QTreeWidget* list;
};

}  // namespace

class TstFind : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { share_ = std::make_unique<GuiShare>(windowData()); }

    void typingShowsMatchesAfterThePause() {
        WindowDriver w(*share_);
        QVERIFY(w.load());
        Finder f(w);
        QTest::keyClick(&w.window(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.field));
        QTest::keyClicks(f.field, "u");
        QVERIFY(!f.dropDown->isVisible());  // not before the pause
        QTRY_VERIFY(f.dropDown->isVisible());
        QVERIFY(w.idle());
        QCOMPARE(column(f.list, 0), (QStringList{"U1", "U2", "U3"}));
        QCOMPARE(column(f.list, 1), (QStringList{"SERU1", "SERU2", "SERU3"}));
        QCOMPARE(column(f.list, 2), (QStringList{"CTR", "CTR", "CTR"}));
        QCOMPARE(column(f.list, 3), (QStringList{"M100", "M100", "M100"}));
        QCOMPARE(column(f.list, 4), (QStringList{"", "", "not in stock"}));
        QCOMPARE(w.label("unitFinderNote"), QString());

        QTest::keyClicks(f.field, "zz");
        QTRY_COMPARE(w.label("unitFinderNote"),
                     QString("No unit or serial number contains \"uzz\""));
        QCOMPARE(f.list->topLevelItemCount(), 0);

        QTest::keyClick(f.field, Qt::Key_Escape);
        QVERIFY(!f.dropDown->isVisible());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.tree()));
        QCOMPARE(w.grid()->rowCount(), 0);  // nothing was picked
    }

    // After a start on one model the tree is folded away, and the field with it: Ctrl+F brings
    // both back.
    void ctrlFUnfoldsTheTree() {
        WindowDriver w(*share_, "cfzelt,CTR,M100");
        QVERIFY(w.load());
        QVERIFY(!w.window().treeShown());
        QTest::keyClick(&w.window(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(w.window().treeShown());
        QVERIFY(Finder(w).field->width() > 0);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Finder(w).field));
    }

    // How: "enter" waits for the list, moves down `downs` lines and presses Enter; "at once"
    // presses Enter before the pause has ended; "click" clicks the line.
    void pick_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("downs");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("unit");  // the unit row shown; empty: not in stock
        QTest::newRow("lower case, second match") << "u"
                                                  << "enter" << 1 << 0 << "M100"
                                                  << "U2";
        QTest::newRow("serial, at once") << "serx1"
                                         << "at once" << 0 << 1 << "X5"
                                         << "X1";
        QTest::newRow("click") << "1"
                               << "click" << 3 << 2 << "Z9"
                               << "Z1";
        QTest::newRow("sold by date") << "U3"
                                      << "enter" << 0 << 0 << "M100"
                                      << "";
        QTest::newRow("on a sold invoice") << "s1"
                                           << "click" << 0 << 0 << "M200"
                                           << "";
    }
    void pick() {
        QFETCH(QString, text);
        QFETCH(QString, how);
        QFETCH(int, downs);
        QFETCH(int, line);
        QFETCH(QString, model);
        QFETCH(QString, unit);
        WindowDriver w(*share_);
        QVERIFY(w.load());
        w.clickNode(w.node(1, "X5"));  // another model is listed and shown before
        Finder f(w);
        f.field->setFocus();
        QTest::keyClicks(f.field, text);
        if (how != "at once") QTRY_VERIFY(f.dropDown->isVisible());
        for (int i = 0; i < downs && how != "click"; ++i)
            QTest::keyClick(f.field, Qt::Key_Down);
        if (how == "click") {
            QTreeWidgetItem* item = f.list->topLevelItem(downs);
            QVERIFY(item);
            QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {},
                              f.list->visualItemRect(item).center());
        } else {
            QTest::keyClick(f.field, Qt::Key_Return);
        }
        QVERIFY(w.idle());
        QVERIFY(!f.dropDown->isVisible());
        QCOMPARE(w.tree()->currentItem(), w.node(line, model));
        if (unit.isEmpty()) {
            QCOMPARE(w.window().statusBar()->currentMessage(), kNotInStock.arg(text.toUpper()));
            QCOMPARE(w.grid()->currentRow(), -1);
            QCOMPARE(w.detail(0), QString());
            return;
        }
        QCOMPARE(w.window().statusBar()->currentMessage(), QString());
        QCOMPARE(w.grid()->cellText(w.grid()->currentRow(), 0), unit);
        QCOMPARE(w.detail(0), "SER" + unit);
        QVERIFY(w.enabled("cmdTotals"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.grid()));
    }

    void longListsAreCapped() {
        GuiShare share(manyUnits());
        WindowDriver w(share);
        QVERIFY(w.load());
        Finder f(w);
        f.field->setFocus();
        QTest::keyClicks(f.field, "k");
        QTRY_VERIFY(f.dropDown->isVisible());
        QCOMPARE(f.list->topLevelItemCount(), 50);
        QCOMPARE(w.label("unitFinderNote"),
                 QString("10 more: type more of the number to narrow the list"));
        QVERIFY(f.dropDown->geometry().bottom() <= w.window().height());
        QVERIFY(w.idle());
    }

    // A unit row picked while the stock check reads a slow share shows once the check has
    // given way; the check does not start again for a closed list.
    void rowPickedDuringTheStockCheck() {
        WindowDriver w(*share_, "", true);
        QVERIFY(w.load());
        w.clickNode(w.node(0, "M100"));
        Finder f(w);
        f.field->setFocus();
        w.slowShare->setLatency(50ms);
        QTest::keyClicks(f.field, "ser");
        QTRY_VERIFY(f.dropDown->isVisible());
        QVERIFY(!w.enabled("cmdTotals"));  // the check has the worker
        w.clickRow("grdUnit", 1);
        QVERIFY(!f.dropDown->isVisible());
        QVERIFY(w.idle());
        w.slowShare->setLatency(0ms);
        QCOMPARE(w.detail(0), QString("SERU2"));
        QVERIFY(w.enabled("cmdTotals"));
    }

  private:
    std::unique_ptr<GuiShare> share_;
};

QTEST_MAIN(TstFind)
#include "tst_find.moc"
