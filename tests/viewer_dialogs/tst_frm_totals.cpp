// The totals window on the offscreen platform: the recomputations as the user leaves a box,
// the warning picture, the key check, the data entry error and the calculator button.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "fake_services.h"
#include "viewer/frm_totals.h"

namespace fennick::viewer {

namespace {

UnitRow unitRow(const std::string& suggestedList, const std::string& cost) {
    UnitRow row(kUnitColumns);
    row[21] = suggestedList;
    row[col::kCost] = cost;
    return row;
}

// Types into a box and leaves it the way a user does, by moving the focus on.
void enterAndLeave(FrmTotals& window, TotalsBox box, const QString& text) {
    QLineEdit* edit = window.meTotal(box);
    edit->setFocus(Qt::TabFocusReason);
    edit->setText(text);
    window.cmdOk()->setFocus(Qt::TabFocusReason);
}

void showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

}  // namespace

class TstFrmTotals : public QObject {
    Q_OBJECT

  private slots:
    void opensOnTheUnitRow() {
        FrmTotals window;
        window.fill(unitRow("1200.00", "1000.00"));
        showActive(window);
        QCOMPARE(window.windowTitle(), QString("Totals"));
        QCOMPARE(window.meCost()->text(), QString("1000.00"));
        QCOMPARE(window.meTotal(TotalsBox::ListPrice)->text(), QString("1200.00"));
        QCOMPARE(window.meTotal(TotalsBox::Margin)->text(), QString("16.67"));
        QCOMPARE(window.meTotal(TotalsBox::Profit)->text(), QString("200.00"));
        QVERIFY(window.img1()->isHidden());
        QCOMPARE(QApplication::focusWidget(), window.meCost());
    }

    void leavingABoxRecomputes_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("margin");
        QTest::addColumn<QString>("profit");
        QTest::newRow("margin 20") << 1 << "20"
                                   << "1250.00"
                                   << "20"
                                   << "250.00";
        QTest::newRow("profit 500") << 2 << "500"
                                    << "1500.00"
                                    << "33.33"
                                    << "500";
        QTest::newRow("list 0") << 0 << "0"
                                << "0"
                                << "0.00"
                                << "-1000.00";
    }
    void leavingABoxRecomputes() {
        QFETCH(int, box);
        QFETCH(QString, entry);
        FrmTotals window;
        window.fill(unitRow("1200.00", "1000.00"));
        showActive(window);
        enterAndLeave(window, static_cast<TotalsBox>(box), entry);
        QTEST(window.meTotal(TotalsBox::ListPrice)->text(), "list");
        QTEST(window.meTotal(TotalsBox::Margin)->text(), "margin");
        QTEST(window.meTotal(TotalsBox::Profit)->text(), "profit");
        QVERIFY(services.messages.empty());
    }

    void zeroCostShowsTheWarning() {
        FrmTotals window;
        window.fill(unitRow("1200.00", "0.00"));
        window.show();
        QVERIFY(window.img1()->isVisible());
        QCOMPARE(window.meTotal(TotalsBox::Margin)->text(), QString("100.00"));
        window.hide();
        window.fill(unitRow("1200.00", "5.00"));
        window.show();
        QVERIFY(window.img1()->isHidden());
    }

    void marginOfHundredIsADataEntryError() {
        FrmTotals window;
        window.fill(unitRow("1200.00", "1000.00"));
        showActive(window);
        enterAndLeave(window, TotalsBox::Margin, "100");
        QCOMPARE(services.messages.size(), std::size_t(1));
        QCOMPARE(services.messages[0].text, QString("Data entry error... numeric only!"));
        QCOMPARE(services.messages[0].icon, platform::MessageIcon::Critical);
        QCOMPARE(window.meTotal(TotalsBox::ListPrice)->text(), QString("1200.00"));
        QCOMPARE(window.meTotal(TotalsBox::Profit)->text(), QString("200.00"));
    }

    void aLetterIsPointedOutButTyped() {
        FrmTotals window;
        window.fill(unitRow("1200.00", "1000.00"));
        showActive(window);
        QLineEdit* profit = window.meTotal(TotalsBox::Profit);
        profit->setFocus();
        profit->clear();
        QTest::keyClicks(profit, "5-.");
        QTest::keyClick(profit, Qt::Key_Backspace);
        QTest::keyClick(profit, Qt::Key_Left);  // types nothing: no complaint
        QVERIFY(services.messages.empty());
        profit->setFocus();
        QTest::keyClick(profit, Qt::Key_End);
        QTest::keyClicks(profit, "x");
        QCOMPARE(services.messages.size(), std::size_t(1));
        QCOMPARE(services.messages[0].text, QString("Invalid entry... numeric only!"));
        QCOMPARE(services.messages[0].icon, platform::MessageIcon::Exclamation);
        QCOMPARE(profit->text(), QString("5-x"));
        QCOMPARE(QApplication::focusWidget(), profit);
        window.cmdOk()->setFocus(Qt::TabFocusReason);
        QCOMPARE(services.messages.back().text, QString("Data entry error... numeric only!"));
    }

    void doneHidesAndTheNextOpeningFillsAgain() {
        QWidget main;
        QTimer::singleShot(0, [] {
            auto* window = qobject_cast<FrmTotals*>(QApplication::activeModalWidget());
            QVERIFY(window);
            QCOMPARE(window->meTotal(TotalsBox::ListPrice)->text(), QString("1200.00"));
            window->meTotal(TotalsBox::Margin)->setText("edited");
            window->cmdOk()->click();
        });
        showTotals(&main, unitRow("1200.00", "1000.00"));
        auto* kept = main.findChild<FrmTotals*>();
        QVERIFY(kept && kept->isHidden());
        QTimer::singleShot(0, [kept] {
            QCOMPARE(QApplication::activeModalWidget(), kept);
            QCOMPARE(kept->meTotal(TotalsBox::Margin)->text(), QString("50.00"));
            kept->cmdOk()->click();
        });
        showTotals(&main, unitRow("2000.00", "1000.00"));
        QCOMPARE(main.findChildren<FrmTotals*>().size(), 1);
    }

    void calculatorIsTheFirstFoundOnThePath() {
        QTemporaryDir bin;
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit());
        FrmTotals window;
        window.cmdCalc()->click();
        QVERIFY(services.started.empty());
        for (const char* name : {"xcalc", "kcalc"}) {
            QFile program(bin.filePath(name));
            QVERIFY(program.open(QIODevice::WriteOnly));
            program.write("#!/bin/sh\n");
            program.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        }
        window.cmdCalc()->click();
        qputenv("PATH", savedPath);
        QCOMPARE(services.started.size(), std::size_t(1));
        QCOMPARE(services.started[0], QStringList{bin.filePath("kcalc")});
    }

    void cleanup() {
        services.messages.clear();
        services.started.clear();
    }

  private:
    testing::FakeDialogServices services;
};

}  // namespace fennick::viewer

QTEST_MAIN(fennick::viewer::TstFrmTotals)
#include "tst_frm_totals.moc"
