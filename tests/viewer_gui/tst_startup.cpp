// The main window's start-up: caption, status bar, grids, tree, the saved filter, the command
// line of the point of sale, start-up failures and the picture --screenshot saves.

#include <QHeaderView>
#include <QImage>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

#include "engine/global_connectivity.h"
#include "platform/workstation.h"
#include "viewer/launch.h"
#include "viewer/qt_services.h"
#include "window_driver.h"

using namespace fennick;
using namespace fennick::test_support;

namespace {

QStringList treeTexts(QTreeWidget* tree) {
    QStringList texts;
    for (int l = 0; l < tree->topLevelItemCount(); ++l) {
        QTreeWidgetItem* line = tree->topLevelItem(l);
        texts << line->text(0) + (line->isExpanded() ? "" : " (collapsed)");
        for (int m = 0; m < line->childCount(); ++m)
            texts << "  " + line->child(m)->text(0);
    }
    return texts;
}

const QStringList kFullTree{"COMPACT TRACTORS", "  M100", "  M200", "COMPACT TRACTORS", "  X5",
                            "MOWERS",           "  Z9"};

}  // namespace

class TstStartup : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { share_ = std::make_unique<GuiShare>(windowData()); }

    void commandLine_data() {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("addToInvoiceItem");
        QTest::addColumn<int>("units");
        QTest::addColumn<bool>("treeShown");
        QTest::newRow("none") << ""
                              << "7.05.0003" << true << 0 << true;
        QTest::newRow("point of sale") << "cfzelt"
                                       << "7.05.0003w" << false << 0 << true;
        QTest::newRow("two elements") << "cfzelt,CTR"
                                      << "7.05.0003w" << false << 0 << true;
        QTest::newRow("line and model") << "x,CTR,M100"
                                        << "7.05.0003" << false << 2 << false;
        QTest::newRow("caller is case-sensitive") << "CFZELT,MWR,Z9"
                                                  << "7.05.0003" << false << 1 << false;
        QTest::newRow("unknown model") << "cfzelt,CTR,NOPE"
                                       << "7.05.0003w" << false << 0 << true;
        QTest::newRow("model of another line") << "cfzelt,CTR,Z9"
                                               << "7.05.0003w" << false << 0 << true;
    }
    void commandLine() {
        QFETCH(QString, commandLine);
        WindowDriver w(*share_, commandLine.toStdString());
        QVERIFY(w.load());
        QFETCH(QString, version);
        QCOMPARE(w.window().windowTitle(),
                 "Tarnwell Larkmoor" + QString(13, ' ') + "Version   " + version);
        QFETCH(bool, addToInvoiceItem);
        QCOMPARE(w.menuItem("GridPrint", 0)->isVisible(), addToInvoiceItem);
        QFETCH(int, units);
        QCOMPARE(w.grid()->rowCount(), units);
        QFETCH(bool, treeShown);
        QCOMPARE(w.window().treeShown(), treeShown);
        QCOMPARE(w.tree()->width() > 0, treeShown);
        // A preselected model lists its units but shows none of them yet.
        QCOMPARE(w.detail(0), QString());
        QVERIFY(!w.enabled("cmdTotals") && !w.enabled("cmdAddToInvoice"));
        QVERIFY(w.messages.boxes.empty());
    }

    void gridsTreeAndStatusBar() {
        WindowDriver w(*share_);
        QVERIFY(w.load());
        QCOMPARE(treeTexts(w.tree()), kFullTree);
        QCOMPARE(w.label("sb1_1"), QString::fromStdString("Client :" + platform::hostName()));
        QCOMPARE(w.label("sb1_2"), QString("Host :DEMOSRV"));
        QCOMPARE(w.label("sb1_3"), QString("Terminal :7"));
        QCOMPARE(w.label("sb1_4"), QString("Source :DLR001      Store # 001"));
        // The icon is drawn from the SVG resource: a missing resource or SVG engine shows here.
        QVERIFY(!w.window().windowIcon().pixmap(32, 32).isNull());
        const QStringList names{"WIDTH", "User Defined Numeric 2", "HOURS", "AXLES"};
        for (const char* name : {"grdUnit", "grdPL"}) {
            viewer::GridView* grid = w.grid(name);
            QCOMPARE(grid->columnCount(), 30);
            QCOMPARE(grid->headingText(0), QString("Unit"));
            for (int c = 0; c < 4; ++c)
                QCOMPARE(grid->headingText(16 + c), names[c]);
            for (int c = 0; c < 30; ++c)
                QCOMPARE(grid->isColumnHidden(c), c >= 25);
        }
        for (int k = 0; k < 4; ++k)
            QCOMPARE(w.label(QString("label1_%1").arg(9 + k).toUtf8().constData()), names[k]);
        QCOMPARE(w.part<QTabWidget>("SSTab1")->currentIndex(), 0);
        for (const char* button : {"cmdAddToInvoice", "cmdQp", "cmdTotals", "cmdPrint"})
            QVERIFY(!w.enabled(button));
    }

    // Switching the filter keeps the model listed, with its row and the unit shown, while the
    // new tree holds the model; a model the tree drops leaves the list and the details empty.
    void filterSwitchKeepsTheModel_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("inStock");
        QTest::newRow("units in stock") << "M100" << true;
        QTest::newRow("none in stock") << "M200" << false;
    }
    void filterSwitchKeepsTheModel() {
        QFETCH(QString, model);
        QFETCH(bool, inStock);
        WindowDriver w(*share_);
        QVERIFY(w.load());
        QAction* filter = w.menuItem("mnuTree", 3);
        QVERIFY(!filter->isChecked());
        w.clickNode(w.node(0, model));
        if (inStock) w.clickRow("grdUnit", 1);
        const QString shown = w.detail(0);
        for (const bool on : {true, false}) {
            filter->trigger();
            QVERIFY(w.idle());
            QCOMPARE(filter->isChecked(), on);
            QCOMPARE(w.settings.values["Ckbox"], std::string(on ? "1" : "0"));
            QCOMPARE(treeTexts(w.tree()).contains("  M200"), !on);
            if (!inStock) {
                QCOMPARE(w.grid()->rowCount(), 0);
                QCOMPARE(w.detail(0), QString());
                QVERIFY(!w.enabled("cmdTotals"));
                continue;
            }
            QVERIFY(w.tree()->currentItem());
            QCOMPARE(w.tree()->currentItem()->text(0), model);
            QCOMPARE(w.column("grdUnit", 0), (QStringList{"U1", "U2"}));
            QCOMPARE(w.grid()->currentRow(), 1);
            QCOMPARE(w.detail(0), shown);
            QVERIFY(w.enabled("cmdTotals"));
        }
        QCOMPARE(treeTexts(w.tree()), kFullTree);
    }

    void savedFilter() {
        WindowDriver w(*share_);
        w.settings.values["Ckbox"] = "yes";  // anything but "0" keeps only models in stock
        QVERIFY(w.load());
        QVERIFY(w.menuItem("mnuTree", 3)->isChecked());
        QVERIFY(!treeTexts(w.tree()).contains("  M200"));
    }

    void missingFile0EndsWithItsName() {
        GuiShare damaged(windowData());
        std::filesystem::remove(damaged.companyFolder() / "FILE0");
        WindowDriver w(damaged);
        QVERIFY(!w.load());
        QCOMPARE(w.messages.boxes.size(), std::size_t(1));
        QString box = QString::fromStdString(w.messages.boxes[0]);
        QVERIFY2(box.contains("FILE0") && box.endsWith(" in larkmoor.Form_Load"), qPrintable(box));
        QVERIFY(!mGlobalConnectivity::instance().BusinessBasic);
    }

    void closeReleasesTheEngine() {
        WindowDriver w(*share_);
        QVERIFY(w.load());
        QVERIFY(mGlobalConnectivity::instance().BusinessBasic);
        w.click("cmdExit");
        QVERIFY(!w.window().isVisible());
        QVERIFY(!mGlobalConnectivity::instance().BusinessBasic);
    }

    void screenshotShowsTheFirstModel() {
        WindowDriver w(*share_);
        QVERIFY(w.window().Form_Load());
        QTemporaryDir dir;
        QString path = dir.filePath("window.png");
        QVERIFY(viewer::saveScreenshot(w.window(), path));
        QImage picture(path);
        QCOMPARE(picture.size(), w.window().size() * w.window().devicePixelRatio());
        QCOMPARE(w.tree()->currentItem(), w.node(0, "M100"));
        QCOMPARE(w.grid()->rowCount(), 2);
        QCOMPARE(w.detail(0), QString("SERU1"));
    }

    // The filter setting lives in the user's settings of application "Larkmoor", group
    // "Settings", where earlier runs left it.
    void settingsStore() {
        QTemporaryDir home;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
        viewer::QtSettingsStore store;
        QCOMPARE(store.value("Ckbox", "0"), std::string("0"));
        store.save("Ckbox", "1");
        QCOMPARE(viewer::QtSettingsStore().value("Ckbox", "0"), std::string("1"));
        QSettings written(home.filePath("Larkmoor.conf"), QSettings::IniFormat);
        QCOMPARE(written.value("Settings/Ckbox").toString(), QString("1"));
    }

    void launchOptions() {
        std::string error;
        auto options = viewer::parseLaunchOptions(
            {"--ini", "a.ini", "cfzelt,CTR,BIG", "MODEL", "--screenshot", "s.png"}, error);
        QVERIFY(options);
        QCOMPARE(options->ini, std::string("a.ini"));
        QCOMPARE(options->screenshot, std::string("s.png"));
        QCOMPARE(options->commandLine, std::string("cfzelt,CTR,BIG MODEL"));
        QVERIFY(!viewer::parseLaunchOptions({"--unc-root"}, error));
        QVERIFY(!error.empty());
    }

  private:
    std::unique_ptr<GuiShare> share_;
};

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
