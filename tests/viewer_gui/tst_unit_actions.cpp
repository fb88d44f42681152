// The unit buttons and the grid menu at work on the real window: the totals window and the
// unit report on the current unit, the invoice export file written into the share's CATCON
// folder with the window closing on Yes, the quick-payment program started or reported
// missing, and which grid menu items are enabled.

#include <QApplication>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>

#include "tests/viewer_dialogs/fake_services.h"
#include "viewer/frm_totals.h"
#include "viewer/frm_unit_data.h"
#include "window_driver.h"

using namespace fennick;
using namespace fennick::test_support;

namespace {

// Runs `look` on the modal window the next action opens (at once, or once the worker has read
// what it needs), then closes that window. Tells whether a window of type T came up.
template <class T>
std::shared_ptr<bool> inNextModal(std::function<void(T&)> look) {
    auto opened = std::make_shared<bool>(false);
    auto* poll = new QTimer;
    poll->setInterval(10);
    QTimer::singleShot(5000, poll, &QObject::deleteLater);
    QObject::connect(poll, &QTimer::timeout, [poll, opened, look] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!window) return;
        poll->deleteLater();
        poll->stop();
        *opened = true;
        look(*window);
        window->reject();
    });
    poll->start();
    return opened;
}

std::string shortRecord(const std::string& line, const std::string& model,
                        const std::string& unit) {
    std::string record(65, ' ');
    record.replace(0, line.size(), line);
    record.replace(4, model.size(), model);
    record.replace(29, unit.size(), unit);
    return record + "\n";
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

QList<bool> itemsEnabled(WindowDriver& w) {
    QList<bool> on;
    for (int i = 0; i < 5; ++i)
        on << w.menuItem("GridPrint", i)->isEnabled();
    return on;
}

}  // namespace

class TstUnitActions : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { share_ = std::make_unique<GuiShare>(windowData()); }

    void gridMenuItemsFollowTheShownUnit() {
        WindowDriver w(*share_);
        QVERIFY(w.load());
        QCOMPARE(itemsEnabled(w), (QList<bool>{false, false, false, false, true}));
        w.clickNode(w.node(0, "M100"));
        QCOMPARE(itemsEnabled(w), (QList<bool>{true, true, true, true, true}));
        QVERIFY(w.menuItem("GridPrint", 0)->isVisible());
        w.clickNode(w.node(0));  // a line node: no unit shown
        QCOMPARE(itemsEnabled(w), (QList<bool>{false, false, false, false, true}));

        WindowDriver pos(*share_, "cfzelt");
        QVERIFY(pos.load());
        pos.clickNode(pos.node(0, "M100"));
        QVERIFY(!pos.menuItem("GridPrint", 0)->isVisible());
        QCOMPARE(itemsEnabled(pos), (QList<bool>{false, true, true, true, true}));
    }

    void totalsOpenOnTheCurrentUnit() {
        WindowDriver w(*share_);
        QVERIFY(w.load());
        w.clickNode(w.node(0, "M100"));
        QString cost, list;
        auto read = [&](viewer::FrmTotals& t) {
            cost = t.meCost()->text();
            list = t.meTotal(core::TotalsBox::ListPrice)->text();
        };
        auto opened = inNextModal<viewer::FrmTotals>(read);
        w.click("cmdTotals");
        QTRY_VERIFY(*opened);
        QCOMPARE(cost, QString("1234.50"));
        QCOMPARE(list, QString("1200.00"));

        w.clickRow("grdUnit", 1);
        opened = inNextModal<viewer::FrmTotals>(read);
        w.menuItem("GridPrint", 2)->trigger();
        QTRY_VERIFY(*opened);
        QCOMPARE(list, QString("600.00"));
        QVERIFY(w.window().isVisible());
    }

    // The report pairs the row with its own notes, also when the current row was moved
    // without showing its unit.
    void printShowsTheCurrentUnitsReport() {
        WindowDriver w(*share_);
        QVERIFY(w.load());
        w.clickNode(w.node(0, "M100"));
        QString text;
        auto read = [&](viewer::FrmUnitData& report) { text = report.rtb1()->toPlainText(); };
        auto opened = inNextModal<viewer::FrmUnitData>(read);
        w.click("cmdPrint");
        QTRY_VERIFY(*opened);
        QVERIFY(text.contains("SERU1"));
        QVERIFY(text.contains("WIDTH"));  // the headings carry the user-defined names
        QVERIFY(text.contains("Cab with heat"));
        QVERIFY(text.contains("Loader"));

        w.moveQuietly("grdUnit", 1);
        opened = inNextModal<viewer::FrmUnitData>(read);
        w.menuItem("GridPrint", 1)->trigger();
        QTRY_VERIFY(*opened);
        QVERIFY(text.contains("SERU2"));
        QVERIFY(!text.contains("Cab with heat"));
    }

    void addToInvoiceWritesTheExportFile() {
        GuiShare share(windowData());
        std::filesystem::path file =
            std::filesystem::path(share.root()) / "DEMOSRV" / "CATCON" / "unitexport.7";
        FakeDialogServices dialogs;
        WindowDriver w(share);
        QVERIFY(w.load());
        w.clickNode(w.node(0, "M100"));
        w.clickRow("grdUnit", 1);
        dialogs.answers = {false};
        w.click("cmdAddToInvoice");
        QVERIFY(w.idle());  // written on the worker
        QCOMPARE(readFile(file), shortRecord("CTR", "M100", "U2"));
        QCOMPARE(dialogs.questions.size(), std::size_t(1));
        QCOMPARE(dialogs.questions[0].text, QString("Export file created... exit larkmoor now?"));
        QVERIFY(w.window().isVisible());

        // With the pick list in use the whole list goes, in grid order, row 1 made current.
        w.menuItem("GridPrint", 4)->trigger();
        w.clickRow("grdUnit", 0);
        w.menuItem("GridPrint", 4)->trigger();
        w.clickRow("grdPL", 1);
        dialogs.answers = {true};
        w.menuItem("GridPrint", 0)->trigger();
        QVERIFY(w.idle());
        QCOMPARE(readFile(file),
                 shortRecord("CTR", "M100", "U2") + shortRecord("CTR", "M100", "U1"));
        QCOMPARE(dialogs.questions.back().text,
                 QString("Multi Item Export File Created... exit larkmoor now?"));
        QCOMPARE(w.grid("grdPL")->currentRow(), 0);
        QVERIFY(dialogs.messages.empty());
        QVERIFY(!w.window().isVisible());
    }

    void addToInvoiceWithoutCatconStaysOpen() {
        GuiShare share(windowData());
        std::filesystem::remove_all(std::filesystem::path(share.root()) / "DEMOSRV" / "CATCON");
        FakeDialogServices dialogs;
        WindowDriver w(share);
        QVERIFY(w.load());
        w.clickNode(w.node(0, "M100"));
        w.click("cmdAddToInvoice");
        QVERIFY(w.idle());
        QCOMPARE(dialogs.messages.size(), std::size_t(1));
        QVERIFY2(dialogs.messages[0].text.endsWith(
                     "Could not create Export file.\n\\\\DEMOSRV\\CATCON\\unitexport.7"),
                 qPrintable(dialogs.messages[0].text));
        QVERIFY(dialogs.questions.empty());
        QVERIFY(w.window().isVisible());
    }

    void quickPaymentStartsTheProgramOrSaysItIsMissing() {
        FakeDialogServices dialogs;
        WindowDriver w(*share_);
        w.settings.values["QuickPayment"] = "/nonexistent/qvTally";
        QVERIFY(w.load());
        w.clickNode(w.node(0, "M100"));
        w.click("cmdQp");
        QCOMPARE(dialogs.messages.size(), std::size_t(1));
        QVERIFY2(dialogs.messages[0].text.endsWith(
                     "Could not find QuickPayment program.\n/nonexistent/qvTally"),
                 qPrintable(dialogs.messages[0].text));
        QVERIFY(dialogs.started.empty());
        QVERIFY(w.window().isVisible());

        QString program = QStandardPaths::findExecutable("true");
        QVERIFY(!program.isEmpty());
        w.settings.values["QuickPayment"] = program.toStdString();
        w.click("cmdQp");
        w.clickRow("grdUnit", 1);
        w.menuItem("GridPrint", 3)->trigger();
        QCOMPARE(dialogs.started, (std::vector<QStringList>{{program, "1200"}, {program, "600"}}));
        QCOMPARE(dialogs.messages.size(), std::size_t(1));
    }

  private:
    std::unique_ptr<GuiShare> share_;
};

QTEST_MAIN(TstUnitActions)
#include "tst_unit_actions.moc"
