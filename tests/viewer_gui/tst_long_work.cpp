// Long work in the main window, on a share that answers slowly: progress shows with Cancel,
// Cancel leaves the window sensible, a second model click during a listing lists the second
// model, and F5 or Refresh rebuild the tree keeping the selected node and unit row.

#include <QTest>

#include "window_driver.h"

using namespace fennick;
using namespace fennick::test_support;
using namespace std::chrono_literals;

namespace {

constexpr int kProgressTimeoutMs = 5000;

int modelCount(QTreeWidget* tree) {
    int models = 0;
    for (int l = 0; l < tree->topLevelItemCount(); ++l)
        models += tree->topLevelItem(l)->childCount();
    return models;
}

}  // namespace

class TstLongWork : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { share_ = std::make_unique<GuiShare>(windowData()); }

    void cancel_data() {
        QTest::addColumn<bool>("tree");
        QTest::addColumn<QString>("progress");
        QTest::addColumn<QString>("cancelled");
        QTest::newRow("tree") << true << "Reading line "
                              << "Building the tree was cancelled";
        QTest::newRow("unit list") << false << "Listing M100: "
                                   << "Listing model M100 was cancelled";
    }
    void cancel() {
        QFETCH(bool, tree);
        WindowDriver w(*share_, "", true);
        QVERIFY(w.load());
        w.clickNode(w.node(0, "M100"));
        // The small share's files are read whole, a few reads in all: each waits long enough
        // for the progress to show while they are read.
        w.slowShare->setLatency(1000ms);
        if (tree)
            QTest::keyClick(&w.window(), Qt::Key_F5);
        else
            w.clickNode(w.node(0, "M100"), false);
        QVERIFY(w.workText().isEmpty());  // nothing shows at once
        QTRY_VERIFY_WITH_TIMEOUT(w.cancelButton()->isVisible(), kProgressTimeoutMs);
        QFETCH(QString, progress);
        QVERIFY2(w.workText().startsWith(progress), qPrintable(w.workText()));
        QVERIFY(!w.enabled("cmdTotals"));  // the unit buttons wait for the work
        QTest::mouseClick(w.cancelButton(), Qt::LeftButton);
        QVERIFY(w.idle());
        QFETCH(QString, cancelled);
        QVERIFY2(w.workText().startsWith(cancelled), qPrintable(w.workText()));
        QVERIFY(!w.cancelButton()->isVisible());
        QCOMPARE(w.grid()->rowCount(), 0);
        QCOMPARE(w.detail(0), QString());
        if (tree) QVERIFY(modelCount(w.tree()) < 4);  // the lines read before the cancel

        // The next piece of work starts afresh.
        w.slowShare->setLatency(0ms);
        QTest::keyClick(&w.window(), Qt::Key_F5);
        QVERIFY(w.idle());
        QCOMPARE(modelCount(w.tree()), 4);
        QVERIFY(w.workText().isEmpty());
        QVERIFY(w.messages.boxes.empty());
    }

    void secondClickListsTheSecondModel() {
        WindowDriver w(*share_, "", true);
        QVERIFY(w.load());
        w.slowShare->setLatency(100ms);
        w.clickNode(w.node(0, "M100"), false);
        QTRY_VERIFY_WITH_TIMEOUT(w.cancelButton()->isVisible(), kProgressTimeoutMs);
        w.clickNode(w.node(2, "Z9"), false);
        w.slowShare->setLatency(0ms);
        QVERIFY(w.idle());
        QCOMPARE(w.column("grdUnit", 0), QStringList{"Z1"});
        QCOMPARE(w.tree()->currentItem(), w.node(2, "Z9"));
        QCOMPARE(w.detail(0), QString("SERZ1"));
        QVERIFY(w.workText().isEmpty());
    }

    void refreshKeepsTheSelection_data() {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("F5") << true;
        QTest::newRow("tree menu") << false;
    }
    void refreshKeepsTheSelection() {
        QFETCH(bool, byKey);
        WindowDriver w(*share_);
        QVERIFY(w.load());
        w.clickNode(w.node(0, "M100"));
        w.clickRow("grdUnit", 1);
        if (byKey)
            QTest::keyClick(&w.window(), Qt::Key_F5);
        else
            w.menuItem("mnuTree", 5)->trigger();
        QVERIFY(w.idle());
        QCOMPARE(w.tree()->currentItem(), w.node(0, "M100"));
        QCOMPARE(w.column("grdUnit", 0), (QStringList{"U1", "U2"}));
        QCOMPARE(w.grid()->currentRow(), 1);
        QCOMPARE(w.detail(0), QString("SERU2"));
        QVERIFY(w.enabled("cmdTotals"));

        // A line node has no model part: the refreshed tree keeps it, with nothing listed.
        w.clickNode(w.node(1));
        QTest::keyClick(&w.window(), Qt::Key_F5);
        QVERIFY(w.idle());
        QCOMPARE(w.tree()->currentItem(), w.node(1));
        QCOMPARE(w.grid()->rowCount(), 0);
    }

  private:
    std::unique_ptr<GuiShare> share_;
};

QTEST_MAIN(TstLongWork)
#include "tst_long_work.moc"
