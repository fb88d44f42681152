// The export editing window and the "Add to Invoice" dispatch, on the offscreen platform.
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include "fake_services.h"
#include "viewer/background_work.h"
#include "viewer/cell_note.h"
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
        QVERIFY(window.cmdDone()->isEnabled());
        // Headings whole, money right-aligned.
        for (int c = 0; c < 12; ++c) {
            QVERIFY2(grid->columnWidth(c) >= grid->horizontalHeader()->sectionSizeHint(c),
                     qPrintable(grid->horizontalHeaderItem(c)->text()));
            const bool money = c == 5 || (c >= 8 && c <= 11);
            QCOMPARE(bool(grid->item(0, c)->textAlignment() & Qt::AlignRight), money);
        }
    }

    void doneWritesTheLongRecords() {
        core::UnitRow dealer = pickRow("U\xE9", "M1");
        FrmExport window({dealer, pickRow("U2", "M2")}, *share, kTarget);
        QTableWidget* grid = window.grid();
        grid->item(0, 4)->setCheckState(Qt::Checked);
        grid->item(0, 5)->setText("950.00");
        grid->item(0, 6)->setText("12");
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        grid->editItem(grid->item(1, 8));  // still being edited when "&Done" is pressed
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->setText("300.5");
        window.cmdDone()->click();
        QCOMPARE(window.result(), int(QDialog::Accepted));

        core::ExportGridRow first = core::exportGridRow(dealer),
                            second = core::exportGridRow(pickRow("U2", "M2"));
        first[core::xcol::kTax] = "-1";
        first[core::xcol::kNet] = "950.00";
        first[core::xcol::kWarrantyPeriod] = "12";
        second[core::xcol::kPolicyAmount] = "300.5";
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

    // A cell is checked as it is typed and when it is left: a wrong one says why beside it
    // and keeps "&Done" disabled, also once another cell is current; nothing is written.
    void wrongCellsHoldDone_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("reason");  // empty: the cell is right
        QTest::newRow("negative net") << 5 << "-5"
                                      << "\"-5\" is negative";
        QTest::newRow("months as text") << 6 << "abc"
                                        << "\"abc\" is not a whole number of months";
        QTest::newRow("extended months as text") << 7 << "xyz"
                                                 << "\"xyz\" is not a whole number of months";
        QTest::newRow("three decimals") << 8 << "1.005"
                                        << "\"1.005\" has more than two decimals";
        QTest::newRow("amount") << 9 << "250.75"
                                << "";
        QTest::newRow("months") << 7 << "24"
                                << "";
    }
    void wrongCellsHoldDone() {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, reason);
        FrmExport window({pickRow("U1", "M1"), pickRow("U2", "M2")}, *share, kTarget);
        QLineEdit* editor = openEditor(window, 1, column);
        QVERIFY(editor);
        QTest::keyClicks(editor, typed);
        QCOMPARE(window.note()->isVisible(), !reason.isEmpty());  // as it is typed
        QCOMPARE(window.note()->text(), reason);
        QCOMPARE(window.cmdDone()->isEnabled(), reason.isEmpty());

        QTest::keyClick(editor, Qt::Key_Return);  // left
        QTableWidget* grid = window.grid();
        QTRY_COMPARE(grid->item(1, column)->text(), typed);  // handed over queued
        QCOMPARE(grid->item(1, column)->background().color() == QColor(255, 200, 200),
                 !reason.isEmpty());
        QCOMPARE(window.note()->text(), reason);
        QCOMPARE(window.cmdDone()->isEnabled(), reason.isEmpty());
        if (!reason.isEmpty()) {
            const QRect cell(grid->viewport()->mapTo(
                                 &window, grid->visualItemRect(grid->item(1, column)).topLeft()),
                             grid->visualItemRect(grid->item(1, column)).size());
            const QRect note = window.note()->geometry();
            QVERIFY(note.left() > cell.right() || note.right() < cell.left() ||
                    note.top() > cell.bottom());
            QVERIFY(note.adjusted(-4, -4, 4, 4).intersects(cell));  // beside it
        }

        grid->setCurrentCell(0, 2);
        QVERIFY(!window.note()->isVisible());
        QCOMPARE(window.cmdDone()->isEnabled(), reason.isEmpty());
        window.cmdDone()->click();
        QCOMPARE(share->contents(kTarget.path) != nullptr, reason.isEmpty());
        QVERIFY(messages.messages.empty());
    }

    // Escape in a cell being typed in drops the entry, and with it what held "&Done".
    void escapeDropsAWrongEntry() {
        FrmExport window({pickRow("U1", "M1")}, *share, kTarget);
        QLineEdit* editor = openEditor(window, 0, 5);
        QVERIFY(editor);
        QTest::keyClicks(editor, "-5");
        QVERIFY(!window.cmdDone()->isEnabled());
        QTest::keyClick(editor, Qt::Key_Escape);
        QVERIFY(window.cmdDone()->isEnabled());
        QVERIFY(!window.note()->isVisible());
        QCOMPARE(window.grid()->item(0, 5)->text(), QString("1000.00"));
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
    // Shows the window and opens an empty editor on the cell.
    static QLineEdit* openEditor(FrmExport& window, int row, int column) {
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window)) return nullptr;
        QTableWidget* grid = window.grid();
        grid->setCurrentCell(row, column);
        grid->editItem(grid->item(row, column));
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (editor) editor->clear();
        return editor;
    }

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
