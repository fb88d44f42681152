// The viewer never writes to the dealer's share: a scripted session over the real window (start,
// tree, the in-stock filter twice, models listed, units selected, the pick list, totals, the
// report saved elsewhere, Add to Invoice) leaves every file of the share byte for byte as it
// was; only the hand-off file in CATCON may be new.

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "tests/viewer_dialogs/fake_services.h"
#include "viewer/frm_totals.h"
#include "viewer/frm_unit_data.h"
#include "window_driver.h"

using namespace fennick;
using namespace fennick::test_support;
namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> shareFiles(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[fs::relative(entry.path(), root).string()] = {std::istreambuf_iterator<char>(in),
                                                            std::istreambuf_iterator<char>()};
    }
    return files;
}

// Runs `act` on the modal window the next action opens, then closes it.
template <class T>
void inNextModal(std::function<void(T&)> act) {
    QTimer::singleShot(0, [act] {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
            act(*window);
            window->reject();
        }
    });
}

}  // namespace

class TstNeverWrites : public QObject {
    Q_OBJECT

  private slots:
    void aSessionLeavesTheShareAsItWas() {
        GuiShare share(windowData());
        QTemporaryDir elsewhere;
        const fs::path root = share.root();
        const auto before = shareFiles(root);
        QVERIFY(before.size() > 5);

        FakeDialogServices dialogs;
        dialogs.saveAnswer = elsewhere.filePath("report.rtf");
        WindowDriver w(share);
        QVERIFY(w.load());
        w.menuItem("mnuTree", 3)->trigger();
        w.menuItem("mnuTree", 3)->trigger();
        w.clickNode(w.node(0, "M200"));
        w.clickNode(w.node(0, "M100"));
        w.clickRow("grdUnit", 1);
        w.clickRow("grdUnit", 0);
        w.menuItem("GridPrint", 4)->trigger();  // onto the pick list
        inNextModal<viewer::FrmTotals>([](viewer::FrmTotals&) {});
        w.click("cmdTotals");
        inNextModal<viewer::FrmUnitData>(
            [](viewer::FrmUnitData& report) { report.cmdSave()->click(); });
        w.click("cmdPrint");
        QVERIFY(fs::exists(elsewhere.filePath("report.rtf").toStdString()));
        dialogs.answers = {false};
        w.click("cmdAddToInvoice");
        QVERIFY(w.idle());
        QVERIFY(w.window().isVisible());

        auto after = shareFiles(root);
        for (const auto& [path, bytes] : before) {
            QVERIFY2(after.count(path), path.c_str());
            QVERIFY2(after[path] == bytes, path.c_str());
        }
        std::vector<std::string> added;
        for (const auto& [path, bytes] : after)
            if (!before.count(path)) added.push_back(path);
        QCOMPARE(added.size(), std::size_t(1));
        QCOMPARE(fs::path(added[0]).parent_path().filename().string(), std::string("CATCON"));
    }
};

QTEST_MAIN(TstNeverWrites)
#include "tst_never_writes.moc"
