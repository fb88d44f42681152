// The main window on the screen and under the keyboard: it fits the screen it opens on (this
// test also runs on small and scaled screens), keeps its place, splitters and column widths
// across a restart, Tab moves between its parts, the menu keys open the pop-up menus, Ctrl+PgUp
// and Ctrl+PgDn switch tabs, a right click on the tree loads nothing, access keys are unique;
// the unit grid sorts by heading clicks while every action keeps to the unit the user sees,
// keeps its Unit column in view, right-aligns figures, tips cut cells and counts its units.

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>

#include "window_driver.h"

using namespace fennick;
using namespace fennick::test_support;

namespace {

QString where(const QWidget* widget) {
    const QRect r(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    return QString("%1 at %2,%3 %4x%5")
        .arg(widget->objectName())
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height());
}

// The window's dealer data with two more units of M100, received on other days and priced
// so that sorting their texts would give another order than sorting their values.
demo::DealerData sortingData() {
    demo::DealerData d = windowData();
    demo::UnitSpec u10 = d.units[0], u9 = d.units[0];
    u10.unitNumber = "U10";
    u10.serial = "SERU10";
    u10.received = Date{std::chrono::year{2024} / 11 / 15};
    u10.dealerListCents = 999999;
    u10.notes.clear();
    u9.unitNumber = "U9";
    u9.serial = "SERU9";
    u9.received = Date{std::chrono::year{2025} / 10 / 3};
    u9.dealerListCents = 7500;
    u9.notes.clear();
    d.units.push_back(u10);
    d.units.push_back(u9);
    return d;
}

void clickHeading(viewer::GridView* grid, int column) {
    grid->scrollTo(grid->model()->index(0, column));
    QHeaderView* header = grid->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

int alignment(const viewer::GridView* grid, int column) {
    return grid->model()->index(0, column).data(Qt::TextAlignmentRole).toInt();
}

bool onScreen(const QWidget* widget, const QRect& screen) {
    return screen.contains(QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()));
}

QChar accessKey(const QString& caption) {
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] != '&') return caption[i + 1].toUpper();
        ++i;
    }
    return QChar();
}

}  // namespace

class TstWindow : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { share_ = std::make_unique<GuiShare>(windowData()); }

    void fitsTheScreen() {
        WindowDriver w(*share_);
        QVERIFY(w.load());
        w.clickNode(w.node(0, "M100"));
        viewer::FrmUnits& window = w.window();
        const QRect screen = window.screen()->availableGeometry();
        const QString seen = QString("screen %1x%2 at ratio %3, window %4")
                                 .arg(screen.width())
                                 .arg(screen.height())
                                 .arg(window.devicePixelRatioF())
                                 .arg(where(&window));
        QVERIFY2(screen.contains(window.frameGeometry()), qPrintable(seen));
        QVERIFY2(window.minimumSizeHint().width() <= screen.width() &&
                     window.minimumSizeHint().height() <= screen.height(),
                 qPrintable(seen));
        for (const char* name : {"cmdAddToInvoice", "cmdQp", "cmdTotals", "cmdPrint", "cmdExit"}) {
            auto* button = w.part<QPushButton>(name);
            QVERIFY2(onScreen(button, screen), qPrintable(seen + ", " + where(button)));
            QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(where(button)));
        }
        QVERIFY2(onScreen(window.statusBar(), screen), qPrintable(seen));
        // A first start takes most of the screen, in its middle.
        const QRect frame = window.frameGeometry();
        QVERIFY2(
            frame.width() >= screen.width() * 3 / 4 && frame.height() >= screen.height() * 3 / 4,
            qPrintable(seen));
        QVERIFY2(qAbs((frame.left() - screen.left()) - (screen.right() - frame.right())) <= 8,
                 qPrintable(seen));
        // The details and the options' figures show whole, without tips, once laid out.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        for (int k = 0; k < 18; ++k)
            for (const char* part : {"label1_%1", "lblDetail_%1"}) {
                auto* label = w.part<QLabel>(QString(part).arg(k).toUtf8().constData());
                QVERIFY2(label->width() >= label->sizeHint().width() && label->toolTip().isEmpty(),
                         qPrintable(seen + ", " + where(label) + " " + label->text()));
            }
        w.part<QTabWidget>("SSTab1")->setCurrentIndex(1);
        viewer::GridView* options = w.grid("grdUnitChain_0");
        for (int c : {0, 1, 3}) {
            const int right = options->columnViewportPosition(c) + options->columnWidth(c);
            QVERIFY2(right <= options->viewport()->width() &&
                         options->columnWidth(c) >=
                             static_cast<QAbstractItemView*>(options)->sizeHintForColumn(c),
                     qPrintable(seen + ", " + where(options) + " column " + QString::number(c)));
        }
        QVERIFY(alignment(options, 3) & Qt::AlignRight);
        // The tree's pictures are drawn for the screen's pixels, not blown up.
        const qreal ratio = window.devicePixelRatioF();
        for (int line : {0, 1}) {
            QTreeWidgetItem* node = line == 0 ? w.node(0) : w.node(0, "M100");
            QPixmap picture = node->icon(0).pixmap(QSize(16, 16), ratio);
            QCOMPARE(picture.size(), QSize(qRound(16 * ratio), qRound(16 * ratio)));
        }
    }

    // Kept places: as kept when on the screen, brought onto it when not, centred when missing
    // or unreadable. The default offscreen screen is 800 x 800.
    void opensWhereItWasKept_data() {
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QRect>("expected");  // null: the design size centred
        QTest::newRow("on the screen") << "20,50,770,520" << QRect(20, 50, 770, 520);
        QTest::newRow("off the screen") << "5000,-300,600,400" << QRect();
        QTest::newRow("larger than the screen") << "0,0,3000,2000" << QRect();
        QTest::newRow("missing") << "" << QRect();
        QTest::newRow("unreadable") << "10,x,500,400" << QRect();
        QTest::newRow("empty size") << "10,10,0,400" << QRect();
    }
    void opensWhereItWasKept() {
        QFETCH(QString, kept);
        QFETCH(QRect, expected);
        WindowDriver w(*share_);
        if (!kept.isEmpty()) w.windowSettings.values["Geometry"] = kept.toStdString();
        QVERIFY(w.load());
        const QRect screen = w.window().screen()->availableGeometry();
        QVERIFY2(screen.contains(w.window().frameGeometry()), qPrintable(where(&w.window())));
        if (expected.isValid()) QCOMPARE(w.window().geometry(), expected);
    }

    void layoutSurvivesARestart() {
        std::map<std::string, std::string> kept;
        QList<int> treeSizes;
        {
            WindowDriver w(*share_);
            QVERIFY(w.load());
            w.window().setGeometry(30, 40, 760, 560);
            w.grid()->setColumnWidth(2, 211);
            auto* split = w.part<QSplitter>("treeSplit");
            split->setSizes({220, 540});  // within both panes' minimums
            treeSizes = split->sizes();
            w.window().close();
            kept = w.windowSettings.values;
        }
        WindowDriver w(*share_);
        w.windowSettings.values = kept;
        QVERIFY(w.load());
        QCOMPARE(w.window().geometry(), QRect(30, 40, 760, 560));
        QCOMPARE(w.grid()->columnWidth(2), 211);
        QCOMPARE(w.part<QSplitter>("treeSplit")->sizes(), treeSizes);
    }

    void panesKeepTheirMinimums() {
        WindowDriver w(*share_);
        QVERIFY(w.load());
        auto* split = w.part<QSplitter>("treeSplit");
        split->setSizes({5, 2000});  // dragged almost shut: the tree keeps its line names
        const int lineName = w.tree()->fontMetrics().horizontalAdvance("COMPACT TRACTORS");
        QVERIFY(split->sizes()[0] == 0 || split->sizes()[0] > lineName);
        w.clickNode(w.node(0, "M100"));
        split->setSizes({2000, 5});
        // Too narrow for the details: a cut caption or value shows its whole text as a tip.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        int cut = 0;
        for (auto* label : w.part<QWidget>("detailPanel")->findChildren<QLabel*>()) {
            const bool shortened = label->width() < label->sizeHint().width();
            cut += shortened;
            QCOMPARE(label->toolTip(), shortened ? label->text() : QString());
        }
        QVERIFY(cut > 0);
        int fourColumns = 0;
        for (int c = 0; c < 4; ++c)
            fourColumns += w.grid()->columnWidth(c);
        QVERIFY2(w.grid()->width() > fourColumns, qPrintable(where(w.grid())));
    }

    void tabMovesBetweenParts() {
        WindowDriver w(*share_);
        QVERIFY(w.load());
        w.clickNode(w.node(0, "M100"));
        w.grid()->setFocus();
        QTest::keyClick(w.grid(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(),
                 static_cast<QWidget*>(w.part<QTabWidget>("SSTab1")->tabBar()));
        w.grid()->setFocus();
        QTest::keyClick(w.grid(), Qt::Key_Backtab, Qt::ShiftModifier);
        auto* add = w.part<QPushButton>("cmdAddToPickList");
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(add));
        QTest::keyClick(add, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.tree()));
        QCOMPARE(w.grid()->currentRow(), 0);  // Tab did not move through the cells
    }

    void menuKeysOpenThePopUpMenus_data() {
        QTest::addColumn<bool>("onTree");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("menu");
        QTest::newRow("grid shift+F10")
            << false << int(Qt::Key_F10) << int(Qt::ShiftModifier) << "GridPrint";
        QTest::newRow("grid menu key") << false << int(Qt::Key_Menu) << 0 << "GridPrint";
        QTest::newRow("tree shift+F10")
            << true << int(Qt::Key_F10) << int(Qt::ShiftModifier) << "mnuTree";
        QTest::newRow("tree menu key") << true << int(Qt::Key_Menu) << 0 << "mnuTree";
    }
    void menuKeysOpenThePopUpMenus() {
        QFETCH(bool, onTree);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, menu);
        WindowDriver w(*share_);
        QVERIFY(w.load());
        w.clickNode(w.node(0, "M100"));
        QWidget* view = onTree ? static_cast<QWidget*>(w.tree()) : w.grid();
        view->setFocus();
        QTest::keyClick(view, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        auto* popUp = w.part<QMenu>(menu.toUtf8().constData());
        QTRY_VERIFY(popUp->isVisible());
        popUp->hide();
        QCOMPARE(w.grid()->rowCount(), 2);  // nothing else happened
    }

    void ctrlPageKeysSwitchTabs() {
        WindowDriver w(*share_);
        QVERIFY(w.load());
        auto* tabs = w.part<QTabWidget>("SSTab1");
        w.tree()->setFocus();
        QTest::keyClick(w.tree(), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        QTest::keyClick(w.tree(), Qt::Key_PageUp, Qt::ControlModifier);
        QTest::keyClick(w.tree(), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), tabs->count() - 1);
    }

    void rightClickOnTheTreeLoadsNothing() {
        WindowDriver w(*share_);
        QVERIFY(w.load());
        w.clickNode(w.node(0, "M100"));
        QTreeWidgetItem* other = w.node(1, "X5");
        const QPoint at = w.tree()->visualItemRect(other).center();
        QTest::mouseClick(w.tree()->viewport(), Qt::RightButton, {}, at);
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at,
                                    w.tree()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(w.tree()->viewport(), &menuEvent);
        QVERIFY(w.idle());
        auto* menu = w.part<QMenu>("mnuTree");
        QVERIFY(menu->isVisible());
        menu->hide();
        QCOMPARE(w.tree()->currentItem(), w.node(0, "M100"));
        QCOMPARE(w.column("grdUnit", 0), (QStringList{"U1", "U2"}));
    }

    void accessKeysDoNotClash() {
        WindowDriver w(*share_);
        QVERIFY(w.load());
        QMap<QChar, QString> taken;
        for (auto* button : w.window().findChildren<QAbstractButton*>()) {
            const QChar key = accessKey(button->text());
            if (key.isNull()) continue;
            QVERIFY2(!taken.contains(key), qPrintable(button->text() + " and " + taken[key]));
            taken[key] = button->text();
        }
        for (const char* name : {"cmdItemUp", "cmdItemDown", "cmdDelPL"})
            QVERIFY2(!accessKey(w.part<QPushButton>(name)->text()).isNull(), name);
    }

    // Heading clicks: ascending, descending, then the order the units were listed in. Numbers
    // sort as numbers and dates as dates.
    void headingClicksSort_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("ascending");
        QTest::addColumn<QStringList>("descending");
        QTest::newRow("unit") << 0 << QStringList{"U1", "U10", "U2", "U9"}
                              << QStringList{"U9", "U2", "U10", "U1"};
        QTest::newRow("dealer list")
            << 22 << QStringList{"U9", "U2", "U1", "U10"} << QStringList{"U10", "U1", "U2", "U9"};
        QTest::newRow("date received")
            << 5 << QStringList{"U10", "U9", "U1", "U2"} << QStringList{"U1", "U2", "U9", "U10"};
    }
    void headingClicksSort() {
        QFETCH(int, column);
        GuiShare share(sortingData());
        WindowDriver w(share);
        QVERIFY(w.load());
        w.clickNode(w.node(0, "M100"));
        const QStringList listed = w.column("grdUnit", 0);
        QCOMPARE(listed.size(), 4);
        // The frozen Unit column's heading shows the grid's sort indicator, or none.
        QHeaderView* frozen = w.grid()->findChild<QTableView*>("frozenColumn")->horizontalHeader();
        auto indicator = [frozen] {
            return frozen->isSortIndicatorShown() ? frozen->sortIndicatorSection() : -1;
        };
        clickHeading(w.grid(), column);
        QTEST(w.column("grdUnit", 0), "ascending");
        QCOMPARE(indicator(), column);
        clickHeading(w.grid(), column);
        QTEST(w.column("grdUnit", 0), "descending");
        QCOMPARE(frozen->sortIndicatorOrder(), Qt::DescendingOrder);
        clickHeading(w.grid(), column);
        QCOMPARE(w.column("grdUnit", 0), listed);
        QCOMPARE(indicator(), -1);
    }

    // After sorting, the row the user sees selected is the unit Enter shows, the pick list
    // takes and the buttons act on; a new listing shows its first row as sorted.
    void sortingThenEnterActsOnTheSeenUnit() {
        GuiShare share(sortingData());
        WindowDriver w(share);
        QVERIFY(w.load());
        w.clickNode(w.node(0, "M100"));
        clickHeading(w.grid(), 22);  // dealer list: U9, U2, U1, U10
        w.moveQuietly("grdUnit", 3);
        w.grid()->setFocus();
        QTest::keyClick(w.grid(), Qt::Key_Return);
        QCOMPARE(w.detail(0), QString("SERU10"));
        QCOMPARE(w.detail(15), QString("9999.99"));
        w.menuItem("GridPrint", 4)->trigger();
        QCOMPARE(w.column("grdPL", 0), QStringList{"U10"});
        w.clickRow("grdUnit", 0);
        QCOMPARE(w.detail(0), QString("SERU9"));
        QCOMPARE(w.window().currentUnitRow()->unit, std::string("U9"));
        w.clickNode(w.node(0, "M100"));  // listed again, still sorted: the top row is shown
        QCOMPARE(w.column("grdUnit", 0), (QStringList{"U9", "U2", "U1", "U10"}));
        QCOMPARE(w.detail(0), QString("SERU9"));
    }

    void unitCountAboveTheGrid_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("count");
        QTest::newRow("two") << 0 << "M100"
                             << "2 units";
        QTest::newRow("one") << 1 << "X5"
                             << "1 unit";
        QTest::newRow("none in stock") << 0 << "M200"
                                       << "No units in stock";
    }
    void unitCountAboveTheGrid() {
        QFETCH(int, line);
        QFETCH(QString, model);
        WindowDriver w(*share_);
        QVERIFY(w.load());
        QCOMPARE(w.label("lblUnitCount"), QString());
        QCOMPARE(w.grid()->emptyText(),
                 QString("Choose a model on the left, or press Ctrl+F to find a unit"));
        w.clickNode(w.node(line, model));
        QTEST(w.label("lblUnitCount"), "count");
        QCOMPARE(w.grid()->emptyText(), QString());  // the count says it
    }

    // Scrolled to its last column, the grid still shows the Unit column; figures stand
    // right-aligned; a cut cell shows its whole text as a tip, a whole one none.
    void unitColumnFiguresAndTips() {
        WindowDriver w(*share_);
        QVERIFY(w.load());
        w.clickNode(w.node(0, "M100"));
        viewer::GridView* grid = w.grid();
        grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
        QVERIFY(grid->horizontalScrollBar()->value() > 0);
        auto* frozen = grid->findChild<QTableView*>("frozenColumn");
        QVERIFY(frozen && frozen->isVisible());
        QCOMPARE(frozen->geometry().left(), grid->frameWidth());
        QCOMPARE(frozen->model()->index(1, 0).data().toString(), QString("U2"));
        QVERIFY(frozen->visualRect(frozen->model()->index(1, 0)).isValid());
        for (int c : {13, 21, 22, 23, 24})
            QVERIFY2(alignment(grid, c) & Qt::AlignRight, qPrintable(QString::number(c)));
        QVERIFY(!(alignment(grid, 1) & Qt::AlignRight));

        grid->horizontalScrollBar()->setValue(0);
        grid->setColumnWidth(1, 12);  // "HALDEN" no longer fits
        for (int c : {2, 1}) {
            const QRect cell = grid->visualRect(grid->model()->index(0, c));
            QHelpEvent tip(QEvent::ToolTip, cell.center(),
                           grid->viewport()->mapToGlobal(cell.center()));
            QApplication::sendEvent(grid->viewport(), &tip);
            QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(),
                     c == 1 ? QString("HALDEN") : QString());
        }
        QToolTip::hideText();
    }

  private:
    std::unique_ptr<GuiShare> share_;
};

QTEST_MAIN(TstWindow)
#include "tst_window.moc"
