// The export editing window and the "Add to Invoice" dispatch, on the offscreen platform.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include "fake_services.h"
#include "viewer/background_work.h"
#include "viewer/frm_export.h"
#include "viewer/hand_offs.h"

namespace fennick::viewer {

namespace {

const core::ExportTarget kTarget{"\\\\FS1\\CATCON\\", "\\\\FS1\\CATCON\\unitexport.12", "12"};

core::UnitRow pickRow(const std::string& unit, const std::string& model) {
    core::UnitRow row;
    row.unit = unit;
    row.lineCode = "CTR";
    row.listedModel = model;
    row.description = "Tractor \xE4";
    row.suggestedList = Currency::fromWhole(1200);
    row.dealerList = Currency::fromWhole(1000);
    return row;
}

// Clicks a button of the modal window that opens next, once it is up.
void clickInNextModal(const QString& buttonText) {
    QTimer::singleShot(0, [buttonText] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        for (auto* button : modal->findChildren<QPushButton*>())
            if (button->text() == buttonText) return button->click();
        QFAIL("no such button");
    });
}

}  // namespace

class TstFrmExport : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        share = std::make_unique<platform::MemoryFileSystem>();
        share->addDirectory(kTarget.share);
    }

    void gridFromThePickList() {
        FrmExport window({pickRow("U1", "M1"), pickRow("U2", "M2")}, *share, kTarget);
        QTableWidget* grid = window.grid();
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(grid->horizontalHeaderItem(9)->text(), QString("Policy Cost"));
        QVERIFY(grid->isColumnHidden(12));
        QCOMPARE(grid->item(0, 3)->text(), QString::fromUtf8("Tractor \xC3\xA4"));
        QCOMPARE(grid->item(0, 4)->checkState(), Qt::Unchecked);
        QCOMPARE(grid->item(1, 5)->text(), QString("1000.00"));
        QVERIFY(!(grid->item(0, 2)->flags() & Qt::ItemIsEditable));
        QVERIFY(grid->item(0, 6)->flags() & Qt::ItemIsEditable);
    }

    void doneWritesTheLongRecords() {
        core::UnitRow dealer = pickRow("U\xE9", "M1");
        FrmExport window({dealer, pickRow("U2", "M2")}, *share, kTarget);
        QTableWidget* grid = window.grid();
        grid->item(0, 4)->setCheckState(Qt::Checked);
        grid->item(0, 5)->setText("950.00");
        grid->item(0, 6)->setText(QString::fromUtf8("12 \xE2\x82\xAC"));
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        grid->editItem(grid->item(1, 8));  // still being edited when "&Done" is pressed
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->setText("-300.5");
        window.cmdDone()->click();
        QCOMPARE(window.result(), int(QDialog::Accepted));

        core::ExportGridRow first = core::exportGridRow(dealer),
                            second = core::exportGridRow(pickRow("U2", "M2"));
        first[core::xcol::kTax] = "-1";
        first[core::xcol::kNet] = "950.00";
        first[core::xcol::kWarrantyPeriod] = "12 \x80";
        second[core::xcol::kPolicyAmount] = "-300.5";
        QCOMPARE(*share->contents(kTarget.path), core::longRecordExport({first, second}));
    }

    void cancelWritesNothing() {
        share->setFile(kTarget.path, "earlier");
        FrmExport window({pickRow("U1", "M1")}, *share, kTarget);
        window.show();
        window.cmdCancel()->click();
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QCOMPARE(*share->contents(kTarget.path), std::string("earlier"));

        FrmExport empty({}, *share, kTarget);  // headings only: "&Done" writes an empty file
        empty.show();
        empty.cmdDone()->click();
        QCOMPARE(*share->contents(kTarget.path), std::string());
    }

    void failedWriteKeepsTheWindowOpen() {
        platform::MemoryFileSystem noShare;
        FrmExport window({pickRow("U1", "M1")}, noShare, kTarget);
        window.show();
        window.cmdDone()->click();
        QVERIFY(window.isVisible());
        QCOMPARE(messages.messages.size(), std::size_t(1));
        QCOMPARE(messages.messages[0].icon, platform::MessageIcon::Critical);
        QVERIFY(messages.messages[0].text.endsWith(
            " in Add to Invoice function\n\nCould not create Export file.\n" +
            QString::fromStdString(kTarget.path)));
        QCOMPARE(noShare.contents(kTarget.path), nullptr);
    }

    // A typed cell must be what the point of sale can read: Done names the first wrong cell
    // and writes nothing; the wrong cells are marked.
    void doneRefusesAWrongCell_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");  // empty: written
        QTest::newRow("net with text") << 5 << "12O0.00"
                                       << "Row 1, Net: \"12O0.00\" is not a number (a sign, "
                                          "digits and one point).";
        QTest::newRow("two points") << 8 << "1.2.3"
                                    << "Row 1, Policy Amt.: \"1.2.3\" is not a number (a sign, "
                                       "digits and one point).";
        QTest::newRow("sign only") << 9 << "-"
                                   << "Row 1, Policy Cost: \"-\" is not a number (a "
                                      "sign, digits and one point).";
        QTest::newRow("price too long") << 5 << "123456789012345678901"
                                        << "Row 1, Net: \"123456789012345678901\" is longer than "
                                           "its 20 characters.";
        QTest::newRow("warranty too long") << 6 << "1234567"
                                           << "Row 1, Warr. Period: \"1234567\" is longer than "
                                              "its 5 characters.";
        QTest::newRow("signed price") << 5 << "+950."
                                      << "";
        QTest::newRow("emptied price") << 8 << ""
                                       << "";
        QTest::newRow("warranty fits") << 7 << "36 mo"
                                       << "";
    }
    void doneRefusesAWrongCell() {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        FrmExport window({pickRow("U1", "M1")}, *share, kTarget);
        window.show();
        QTableWidgetItem* cell = window.grid()->item(0, column);
        cell->setText(typed);
        QCOMPARE(cell->background().color() == QColor(255, 200, 200), !message.isEmpty());
        window.cmdDone()->click();
        QCOMPARE(window.isVisible(), !message.isEmpty());
        QCOMPARE(share->contents(kTarget.path) != nullptr, message.isEmpty());
        if (message.isEmpty()) {
            QVERIFY(messages.messages.empty());
            return;
        }
        QCOMPARE(messages.messages.size(), std::size_t(1));
        QCOMPARE(messages.messages[0].text, message);
        QCOMPARE(window.grid()->currentColumn(), column);
    }

    // Escape or the close box after a change asks first; No keeps the window and its edits.
    void leavingAfterChangesAsks_data() {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("closeBox");
        QTest::addColumn<bool>("answer");
        QTest::newRow("unchanged, escape") << false << false << false;
        QTest::newRow("changed, escape, no") << true << false << false;
        QTest::newRow("changed, close box, no") << true << true << false;
        QTest::newRow("changed, escape, yes") << true << false << true;
        QTest::newRow("changed, close box, yes") << true << true << true;
    }
    void leavingAfterChangesAsks() {
        QFETCH(bool, changed);
        QFETCH(bool, closeBox);
        QFETCH(bool, answer);
        FrmExport window({pickRow("U1", "M1")}, *share, kTarget);
        window.show();
        if (changed) window.grid()->item(0, 4)->setCheckState(Qt::Checked);
        messages.answers = {answer};
        if (closeBox)
            window.close();
        else
            QTest::keyClick(&window, Qt::Key_Escape);
        QCOMPARE(messages.questions.size(), std::size_t(changed ? 1 : 0));
        const bool left = !changed || answer;
        QCOMPARE(window.isVisible(), !left);
        if (left) QCOMPARE(window.result(), int(QDialog::Rejected));
        QCOMPARE(share->contents(kTarget.path), nullptr);
    }

    void addToInvoiceDispatch_data() {
        QTest::addColumn<bool>("pickListUsed");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("question");
        QTest::addColumn<int>("records");
        QTest::newRow("single unit, stay")
            << false << false << "Export file created... exit larkmoor now?" << 1;
        QTest::newRow("single unit, leave")
            << false << true << "Export file created... exit larkmoor now?" << 1;
        QTest::newRow("pick list")
            << true << true << "Multi Item Export File Created... exit larkmoor now?" << 3;
    }
    void addToInvoiceDispatch() {
        QFETCH(bool, pickListUsed);
        QFETCH(bool, answer);
        QFETCH(QString, question);
        QFETCH(int, records);
        core::UnitRow current = pickRow("U9", "M9   ");
        std::vector<core::UnitRow> pickList = {pickRow("U1", "M1"), pickRow("U2", "M1"),
                                               pickRow("U3", "M2")};
        InvoiceHandOff handOff{false, pickListUsed, &current, pickList, share.get(), system()};
        messages.answers = {answer};
        QCOMPARE(handOver(handOff), answer);
        QCOMPARE(messages.questions.size(), std::size_t(1));
        QCOMPARE(messages.questions[0].text, question);
        const std::string& bytes = *share->contents(kTarget.path);
        QCOMPARE(bytes.size(), records * core::kShortRecordLength);
        if (records == 1) QCOMPARE(bytes, core::shortRecord("CTR", "M9", "U9"));
    }

    void pointOfSaleOpensTheEditorAndEnds_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("written");
        QTest::newRow("done") << "&Done" << true;
        QTest::newRow("cancel") << "&Cancel" << false;
    }
    void pointOfSaleOpensTheEditorAndEnds() {
        QFETCH(QString, button);
        QFETCH(bool, written);
        core::UnitRow current = pickRow("U9", "M9");
        InvoiceHandOff handOff{true, false, &current, {pickRow("U1", "M1")}, share.get(), system()};
        clickInNextModal(button);
        QVERIFY(handOver(handOff));
        QVERIFY(messages.questions.empty());
        QCOMPARE(share->contents(kTarget.path) != nullptr, written);
        if (written) QCOMPARE(share->contents(kTarget.path)->size(), core::kLongRecordLength);
    }

    // Runs "Add to Invoice", its file written on a worker; tells whether the viewer is to end.
    static bool handOver(const InvoiceHandOff& handOff) {
        BackgroundWork work;
        bool left = false;
        addToInvoice(nullptr, work, handOff, [&left] { left = true; });
        if (!work.waitUntilIdle(5000)) qFatal("the export file was not written in time");
        return left;
    }

    void cleanup() {
        messages.messages.clear();
        messages.questions.clear();
        messages.answers.clear();
    }

  private:
    static cSystem system() {
        cSystem s;
        s.mUNCDrive = "FS1";
        s.xTermid = "12";
        return s;
    }

    test_support::FakeDialogServices messages;
    std::unique_ptr<platform::MemoryFileSystem> share;
};

}  // namespace fennick::viewer

QTEST_MAIN(fennick::viewer::TstFrmExport)
#include "tst_frm_export.moc"
