// The export editing window and the "Add to Invoice" dispatch, on the offscreen platform.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include "fake_services.h"
#include "viewer/frm_export.h"
#include "viewer/hand_offs.h"

namespace fennick::viewer {

namespace {

const ExportTarget kTarget{"\\\\FS1\\CATCON\\", "\\\\FS1\\CATCON\\unitexport.12"};

UnitRow pickRow(const std::string& unit, const std::string& model) {
    UnitRow row;
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
        UnitRow dealer = pickRow("U\xE9", "M1");
        FrmExport window({dealer, pickRow("U2", "M2")}, *share, kTarget);
        QTableWidget* grid = window.grid();
        grid->item(0, 4)->setCheckState(Qt::Checked);
        grid->item(0, 5)->setText("950.00");
        grid->item(0, 6)->setText("1234567");
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        grid->editItem(grid->item(1, 8));  // still being edited when "&Done" is pressed
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->setText(QString::fromUtf8("300 \xE2\x82\xAC"));
        window.cmdDone()->click();
        QCOMPARE(window.result(), int(QDialog::Accepted));

        ExportGridRow first = exportGridRow(dealer), second = exportGridRow(pickRow("U2", "M2"));
        first[xcol::kTax] = "-1";
        first[xcol::kNet] = "950.00";
        first[xcol::kWarrantyPeriod] = "1234567";
        second[xcol::kPolicyAmount] = "300 \x80";
        QCOMPARE(*share->contents(kTarget.path), longRecordExport({first, second}));
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
            " in Add to Invoice function\n\nCould not create Export file."));
        QCOMPARE(noShare.contents(kTarget.path), nullptr);
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
        UnitRow current = pickRow("U9", "M9   ");
        std::vector<UnitRow> pickList = {pickRow("U1", "M1"), pickRow("U2", "M1"),
                                         pickRow("U3", "M2")};
        InvoiceHandOff handOff{false, pickListUsed, &current, pickList, share.get(), system()};
        messages.answers = {answer};
        QCOMPARE(addToInvoice(nullptr, handOff), answer);
        QCOMPARE(messages.questions.size(), std::size_t(1));
        QCOMPARE(messages.questions[0].text, question);
        const std::string& bytes = *share->contents(kTarget.path);
        QCOMPARE(bytes.size(), records * kShortRecordLength);
        if (records == 1) QCOMPARE(bytes, shortRecord("CTR", "M9", "U9"));
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
        UnitRow current = pickRow("U9", "M9");
        InvoiceHandOff handOff{true, false, &current, {pickRow("U1", "M1")}, share.get(), system()};
        clickInNextModal(button);
        QVERIFY(addToInvoice(nullptr, handOff));
        QVERIFY(messages.questions.empty());
        QCOMPARE(share->contents(kTarget.path) != nullptr, written);
        if (written) QCOMPARE(share->contents(kTarget.path)->size(), kLongRecordLength);
    }

    void cleanup() {
        messages.messages.clear();
        messages.questions.clear();
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
