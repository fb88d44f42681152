#include "window_driver.h"

#include <QSignalBlocker>

namespace fennick::test_support {

demo::DealerData windowData() {
    demo::DealerData d;
    d.lines = {{1, "CTR", "COMPACT TRACTORS", 'U', "C"},
               {2, "PRT", "PARTS COUNTER", 'P', "P"},
               {3, "CTX", "COMPACT TRACTORS", 'U', "X"},
               {4, "MWR", "MOWERS", 'U', "M"}};
    auto unit = [](std::int32_t line, const char* model, const char* number) {
        demo::UnitSpec u;
        u.line = line;
        u.model = model;
        u.unitNumber = number;
        u.make = "HALDEN";
        u.description = "TRACTOR";
        u.serial = std::string("SER") + number;
        u.year = 2024;
        u.received = todayPlus(-10);
        return u;
    };
    demo::UnitSpec u1 = unit(1, "M100", "U1");
    u1.dealerListCents = 100000;
    u1.suggestedListCents = 120000;
    u1.ledgerCents = {100000, 23450};
    Date day = todayPlus(-3);
    u1.notes = {{2, "CAB", 1, day, "Cab with heat", 0, 250000},
                {1, "", 0, day, "Checked in"},
                {7, "X", 0, day, "not shown"},
                {3, "WTS", 4, day, "Rear weights", 0, 19999},
                {4, "A5", 1, day, "Loader", 0, 0}};
    demo::UnitSpec u2 = unit(1, "M100", "U2");
    u2.dealerListCents = 50000;
    u2.suggestedListCents = 60000;
    demo::UnitSpec u3 = unit(1, "M100", "U3");
    u3.sold = todayPlus(-1);
    demo::UnitSpec s1 = unit(1, "M200", "S1");
    s1.soldInvoice = 9;
    d.units = {u1, u2, u3, s1, unit(3, "X5", "X1"), unit(4, "Z9", "Z1")};
    d.userNames = {"WIDTH   ", "        ", "HOURS   ", "AXLES   "};
    return d;
}

WindowDriver::WindowDriver(const GuiShare& share, std::string commandLine, bool slow,
                           const QString& cacheHome) {
    if (cacheHome.isEmpty()) ownCache_ = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CACHE_HOME", (cacheHome.isEmpty() ? ownCache_->path() : cacheHome).toUtf8());
    store::StoreStart start;
    start.settingsFile = share.ini();
    start.share.uncRoot = share.root();
    start.decorate = [this, slow](std::unique_ptr<platform::FileSystem> inner) {
        auto held = std::make_unique<HeldFileSystem>(std::move(inner));
        heldShare = held.get();
        if (holdFromStart) held->hold();
        if (!slow) return std::unique_ptr<platform::FileSystem>(std::move(held));
        auto made = std::make_unique<platform::LatencyFileSystem>(std::move(held));
        slowShare = made.get();
        return std::unique_ptr<platform::FileSystem>(std::move(made));
    };
    viewer::FrmUnits::Options options{std::move(commandLine), start, &settings, &windowSettings};
    window_ = std::make_unique<viewer::FrmUnits>(options);
}

bool WindowDriver::load() {
    if (!window_->Form_Load()) return false;
    window_->show();
    return QTest::qWaitForWindowExposed(window_.get()) && idle() && !window_->startFailed();
}

QString WindowDriver::workText() {
    QWidget* strip = part<QWidget>("workStatus");
    return strip->isHidden() ? QString() : part<QLabel>("workText")->text();
}

QAction* WindowDriver::menuItem(const char* menu, int index) {
    return part<QMenu>(menu)->actions().value(index);
}

QTreeWidgetItem* WindowDriver::node(int line, const QString& text) {
    QTreeWidgetItem* lineNode = tree()->topLevelItem(line);
    if (!lineNode || text.isEmpty()) return lineNode;
    for (int m = 0; m < lineNode->childCount(); ++m)
        if (lineNode->child(m)->text(0) == text) return lineNode->child(m);
    return nullptr;
}

void WindowDriver::clickNode(QTreeWidgetItem* target, bool wait) {
    QTreeWidget* view = tree();
    view->scrollToItem(target);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(target).center());
    if (wait) QVERIFY(idle());
}

void WindowDriver::clickRow(const char* gridName, int row, bool wait) {
    viewer::GridView* g = grid(gridName);
    QRect cell = g->visualRect(g->model()->index(row, 0));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell.center());
    if (wait) QVERIFY(idle());
}

void WindowDriver::moveQuietly(const char* gridName, int row) {
    viewer::GridView* g = grid(gridName);
    QSignalBlocker quiet(g);
    g->setCurrentIndex(g->model()->index(row, 0));
}

QStringList WindowDriver::column(const char* gridName, int c) {
    QStringList cells;
    viewer::GridView* g = grid(gridName);
    for (int r = 0; r < g->rowCount(); ++r)
        cells << g->cellText(r, c);
    return cells;
}

}  // namespace fennick::test_support
