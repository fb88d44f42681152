// The kept tree at the start: it shows before the share has answered a read of the tree, with
// its age, and the window can be used meanwhile; the fresh tree then takes its place, keeping
// the selected node and unit row, and is kept for the next start. A kept file that cannot be
// trusted is ignored and replaced; one kept while the server is lost stays. Showing a unit reads
// off the window's thread: the values show at once, the notes follow, and a unit picked meanwhile
// replaces the one being read.

#include <QTest>
#include <fstream>

#include "core/formats.h"
#include "window_driver.h"

using namespace fennick;
using namespace fennick::test_support;
using namespace std::chrono_literals;

namespace {

constexpr int kTimeoutMs = 5000;

QStringList lineTexts(QTreeWidget* tree) {
    QStringList texts;
    for (int l = 0; l < tree->topLevelItemCount(); ++l)
        texts << tree->topLevelItem(l)->text(0);
    return texts;
}

// The tree as the window data's share builds it, but for the last line (MOWERS), which the
// fresh tree brings.
core::ModelTreeData treeWithoutMowers() {
    core::ModelTreeData tree;
    tree.lines = {
        {"COMPACT TRACTORS", "COMPACT TRACTORS", "CTR", {{"M100", core::modelTag("CTR", "M100")}}},
        {"COMPACT TRACTORS", "COMPACT TRACTORS", "CTX", {{"X5", core::modelTag("CTX", "X5")}}}};
    tree.directory = {{1, "U1", "SERU1", "CTR", "M100"}};
    return tree;
}

const QStringList kFreshLines{"COMPACT TRACTORS", "COMPACT TRACTORS", "MOWERS"};

}  // namespace

class TstKeptTree : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { share_ = std::make_unique<GuiShare>(windowData()); }

    void keptTreeFirstThenTheFresh_data() {
        QTest::addColumn<int>("daysOld");
        QTest::addColumn<QString>("status");
        QTest::newRow("kept today") << 0 << "Tree as of 08:02, checking the server...";
        QTest::newRow("kept yesterday") << 1 << "Tree as of %1 08:02, checking the server...";
    }
    void keptTreeFirstThenTheFresh() {
        QFETCH(int, daysOld);
        QFETCH(QString, status);
        QTemporaryDir cacheHome;
        platform::LocalDateTime readAt = platform::localNow();
        const Date day = todayPlus(-daysOld);
        const std::chrono::year_month_day ymd{day};
        readAt = {static_cast<int>(ymd.year()),
                  static_cast<int>(unsigned(ymd.month())),
                  static_cast<int>(unsigned(ymd.day())),
                  8,
                  2,
                  0};
        const core::TreeCache cache(cacheHome.path().toStdString() + "/fennick");
        QVERIFY(cache.save(share_->treeKey(), treeWithoutMowers(), readAt));

        WindowDriver w(*share_, "", false, cacheHome.path());
        w.holdFromStart = true;  // the tree's reads wait; the start-up's pass
        w.window().show();
        QVERIFY(w.window().Form_Load());
        QCOMPARE(lineTexts(w.tree()), (QStringList{"COMPACT TRACTORS", "COMPACT TRACTORS"}));
        QCOMPARE(w.workText(), status.arg(QString::fromStdString(core::shortDateText(day))));
        QVERIFY(w.cancelButton()->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(w.heldShare->waiting(), 1, kTimeoutMs);
        QCOMPARE(lineTexts(w.tree()), (QStringList{"COMPACT TRACTORS", "COMPACT TRACTORS"}));

        // A model of the kept tree lists live, the fresh tree giving way to it; its row is
        // picked before the fresh tree comes.
        w.clickNode(w.node(0, "M100"), false);
        w.heldShare->release();
        QTRY_COMPARE_WITH_TIMEOUT(w.grid()->rowCount(), 2, kTimeoutMs);
        w.clickRow("grdUnit", 1, false);
        QVERIFY(w.idle());
        QCOMPARE(lineTexts(w.tree()), kFreshLines);
        QCOMPARE(w.tree()->currentItem(), w.node(0, "M100"));
        QCOMPARE(w.grid()->currentRow(), 1);
        QCOMPARE(w.detail(0), QString("SERU2"));
        QVERIFY(w.workText().isEmpty());
        QVERIFY(w.messages.boxes.empty());

        const std::optional<core::KeptTree> kept = cache.load(share_->treeKey());
        QVERIFY(kept);
        QCOMPARE(kept->tree.lines.size(), std::size_t(3));
        QCOMPARE(kept->tree.directory.size(), std::size_t(6));
    }

    // A first start keeps its tree; the next one shows it at once, and the finder searches it.
    void secondStartShowsTheFirstStartsTree() {
        QTemporaryDir cacheHome;
        {
            WindowDriver first(*share_, "", false, cacheHome.path());
            QVERIFY(first.load());
        }
        WindowDriver w(*share_, "", false, cacheHome.path());
        w.holdFromStart = true;
        w.window().show();
        QVERIFY(w.window().Form_Load());
        QCOMPARE(lineTexts(w.tree()), kFreshLines);
        QVERIFY(w.workText().startsWith("Tree as of "));
        w.cancelButton()->click();  // the kept tree stays, and says how old it is
        w.heldShare->release();
        QVERIFY(w.idle());
        QCOMPARE(lineTexts(w.tree()), kFreshLines);
        QVERIFY2(w.workText().endsWith(": checking the server was cancelled"),
                 qPrintable(w.workText()));
    }

    // The server lost while the fresh tree is read: the message names the failure, the window
    // stays on the kept tree and says it is old.
    void keptTreeStaysWhenTheCheckFails() {
        QTemporaryDir cacheHome;
        const core::TreeCache cache(cacheHome.path().toStdString() + "/fennick");
        QVERIFY(cache.save(share_->treeKey(), treeWithoutMowers(), platform::localNow()));
        WindowDriver w(*share_, "", false, cacheHome.path());
        w.holdFromStart = true;
        w.window().show();
        QVERIFY(w.window().Form_Load());
        QTRY_COMPARE_WITH_TIMEOUT(w.heldShare->waiting(), 1, kTimeoutMs);
        w.heldShare->cut();
        QVERIFY(w.idle());
        QVERIFY(w.window().isVisible());
        QCOMPARE(lineTexts(w.tree()), (QStringList{"COMPACT TRACTORS", "COMPACT TRACTORS"}));
        QVERIFY2(w.workText().endsWith(": checking the server failed"), qPrintable(w.workText()));
        QCOMPARE(w.messages.boxes.size(), std::size_t(1));
        QVERIFY2(QString::fromStdString(w.messages.boxes[0]).contains("stopped answering"),
                 w.messages.boxes[0].c_str());
    }

    void untrustedKeptTreeIsIgnoredAndReplaced_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("link");
        QTest::newRow("garbage") << QByteArray("not a tree") << false;
        QTest::newRow("truncated") << QByteArray("FNCKTREE\x01") << false;
        QTest::newRow("a link to a good file") << QByteArray() << true;
    }
    void untrustedKeptTreeIsIgnoredAndReplaced() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, link);
        QTemporaryDir cacheHome;
        const core::TreeCache cache(cacheHome.path().toStdString() + "/fennick");
        const std::filesystem::path file = cache.fileOf(share_->treeKey());
        QVERIFY(cache.save(share_->treeKey(), treeWithoutMowers(), platform::localNow()));
        if (link) {
            std::filesystem::rename(file, file.string() + ".real");
            std::filesystem::create_symlink(file.string() + ".real", file);
        } else {
            std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes.toStdString();
        }
        WindowDriver w(*share_, "", false, cacheHome.path());
        w.holdFromStart = true;
        QVERIFY(w.window().Form_Load());
        QCOMPARE(w.tree()->topLevelItemCount(), 0);  // no kept tree: the tree is being read
        QVERIFY(w.workText().isEmpty());
        w.heldShare->release();
        QVERIFY(w.idle());
        QCOMPARE(lineTexts(w.tree()), kFreshLines);
        QVERIFY(w.messages.boxes.empty());
        QVERIFY(!std::filesystem::is_symlink(file));
        QCOMPARE(cache.load(share_->treeKey())->tree.lines.size(), std::size_t(3));
    }

    // U1 has notes, read slowly; U2 has none.
    void showingAUnitReadsOffTheWindowsThread() {
        WindowDriver w(*share_, "", true);
        QVERIFY(w.load());
        w.clickNode(w.node(0, "M100"));
        w.clickRow("grdUnit", 1);
        w.slowShare->setLatency(300ms);
        w.clickRow("grdUnit", 0, false);
        QCOMPARE(w.detail(0), QString("SERU1"));  // the values at once
        QCOMPARE(w.grid("grdUnitChain_0")->rowCount(), 0);
        QVERIFY(!w.enabled("cmdTotals"));
        QVERIFY(w.idle());
        QCOMPARE(w.column("grdUnitChain_0", 0), QStringList{"CAB"});
        QVERIFY(w.enabled("cmdTotals"));

        // A unit picked while another is being read replaces it: the notes read for the first
        // never show.
        w.clickRow("grdUnit", 1);
        w.clickRow("grdUnit", 0, false);
        w.clickRow("grdUnit", 1, false);
        w.slowShare->setLatency(0ms);
        QVERIFY(w.idle());
        QCOMPARE(w.detail(0), QString("SERU2"));
        QCOMPARE(w.grid("grdUnitChain_0")->rowCount(), 0);
        QCOMPARE(w.grid("grdUnitChain_3")->rowCount(), 0);
    }

  private:
    std::unique_ptr<GuiShare> share_;
};

QTEST_MAIN(TstKeptTree)
#include "tst_kept_tree.moc"
