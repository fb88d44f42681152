// The totals window on the offscreen platform: recomputing as the user leaves a box or presses
// Enter, the warning picture, the data entry error, reopening and the calculator.
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

core::UnitRow unitRow(const std::string& suggestedList, const std::string& cost) {
    core::UnitRow row;
    row.suggestedList = Currency::parse(suggestedList).value();
    row.cost = Currency::parse(cost).value();
    return row;
}

void openActive(FrmTotals& window, const core::UnitRow& row) {
    window.fill(row);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

QStringList boxes(const FrmTotals& window) {
    QStringList texts;
    for (auto box : {core::TotalsBox::ListPrice, core::TotalsBox::Margin, core::TotalsBox::Profit})
        texts << window.meTotal(box)->text();
    return texts;
}

}  // namespace

class TstFrmTotals : public QObject {
    Q_OBJECT

  private slots:
    void leavingABoxRecomputes_data() {
        QTest::addColumn<int>("box");  // -1: only opened
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("opened") << -1 << "" << QStringList{"1200.00", "16.67", "200.00"};
        QTest::newRow("margin 20") << 1 << "20" << QStringList{"1250.00", "20.00", "250.00"};
        QTest::newRow("profit 500") << 2 << "500" << QStringList{"1500.00", "33.33", "500.00"};
    }
    void leavingABoxRecomputes() {
        QFETCH(int, box);
        QFETCH(QString, entry);
        FrmTotals window;
        openActive(window, unitRow("1200.00", "1000.00"));
        QCOMPARE(QApplication::focusWidget(), window.meCost());
        if (box >= 0) {
            QLineEdit* edit = window.meTotal(static_cast<core::TotalsBox>(box));
            edit->setFocus(Qt::TabFocusReason);
            edit->setText(entry);
            window.cmdOk()->setFocus(Qt::TabFocusReason);
        }
        QTEST(boxes(window), "expected");
        QVERIFY(window.img1()->isHidden());
        QVERIFY(services.messages.empty());
    }

    void zeroCostShowsTheWarningUntilTheNextOpening() {
        FrmTotals window;
        openActive(window, unitRow("1200.00", "0.00"));
        QVERIFY(window.img1()->isVisible());
        window.hide();
        openActive(window, unitRow("1200.00", "5.00"));
        QVERIFY(window.img1()->isHidden());
    }

    // An entry is checked when the box is left or Enter is pressed in it, never per key: a
    // wrong one draws one message and stays in its box, selected, and leaving it again unchanged
    // says nothing more; a number is shown formatted.
    void entryCheckedOnLeavingOrEnter_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("wrong");
        QTest::newRow("list price, tab")
            << 0 << "1000" << int(Qt::Key_Tab) << QStringList{"1000.00", "0.00", "0.00"} << false;
        QTest::newRow("margin, enter") << 1 << "20" << int(Qt::Key_Return)
                                       << QStringList{"1250.00", "20.00", "250.00"} << false;
        QTest::newRow("letters, tab")
            << 0 << "abc" << int(Qt::Key_Tab) << QStringList{"abc", "16.67", "200.00"} << true;
        QTest::newRow("margin 100, enter")
            << 1 << "100" << int(Qt::Key_Return) << QStringList{"1200.00", "100", "200.00"} << true;
        QTest::newRow("stray minus, tab")
            << 2 << "5-x" << int(Qt::Key_Tab) << QStringList{"1200.00", "16.67", "5-x"} << true;
    }
    void entryCheckedOnLeavingOrEnter() {
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(bool, wrong);
        FrmTotals window;
        openActive(window, unitRow("1200.00", "1000.00"));
        QLineEdit* edit = window.meTotal(static_cast<core::TotalsBox>(box));
        edit->setFocus(Qt::TabFocusReason);
        edit->clear();
        QTest::keyClicks(edit, typed);
        QVERIFY(services.messages.empty());
        QTest::keyClick(edit, Qt::Key(key));
        QTEST(boxes(window), "expected");
        QCOMPARE(services.messages.size(), std::size_t(wrong ? 1 : 0));
        if (!wrong) return;
        QCOMPARE(services.messages[0].text, QString("Data entry error... numeric only!"));
        QCOMPARE(services.messages[0].icon, platform::MessageIcon::Critical);
        QCOMPARE(QApplication::focusWidget(), edit);
        QTRY_COMPARE(edit->selectedText(), typed);  // once the focus has settled
        QTest::keyClick(edit, Qt::Key_Tab);
        QCOMPARE(services.messages.size(), std::size_t(1));
    }

    void doneHidesAndTheNextOpeningFillsAgain() {
        QWidget main;
        QTimer::singleShot(0, [] {
            auto* window = qobject_cast<FrmTotals*>(QApplication::activeModalWidget());
            QVERIFY(window);
            window->meTotal(core::TotalsBox::Margin)->setText("edited");
            window->cmdOk()->click();
        });
        showTotals(&main, unitRow("1200.00", "1000.00"));
        auto* kept = main.findChild<FrmTotals*>();
        QVERIFY(kept && kept->isHidden());
        QTimer::singleShot(0, [kept] {
            QCOMPARE(QApplication::activeModalWidget(), kept);
            QCOMPARE(boxes(*kept), (QStringList{"2000.00", "50.00", "1000.00"}));
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
        QCOMPARE(services.messages.size(), std::size_t(1));  // none installed: it says so
        QCOMPARE(services.messages[0].text, QString::fromUtf8(kNoCalculatorText.data()));
        for (const char* name : {"xcalc", "kcalc"}) {
            QFile program(bin.filePath(name));
            QVERIFY(program.open(QIODevice::WriteOnly));
            program.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        }
        window.cmdCalc()->click();
        qputenv("PATH", savedPath);
        QCOMPARE(services.started, (std::vector<QStringList>{{bin.filePath("kcalc")}}));
        QCOMPARE(services.messages.size(), std::size_t(1));
    }

    // Moving through boxes the user did not change leaves every figure as it was, even where
    // the shown margin is rounded; a program-written figure never draws a complaint.
    void passingThroughChangesNothing_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("cost");
        QTest::newRow("rounded margin") << "1200.00"
                                        << "1000.00";
        QTest::newRow("odd cents") << "999.99"
                                   << "123.45";
        QTest::newRow("no cost") << "1200.00"
                                 << "0.00";
        QTest::newRow("list price 0") << "0.00"
                                      << "1000.00";
    }
    void passingThroughChangesNothing() {
        QFETCH(QString, list);
        QFETCH(QString, cost);
        FrmTotals window;
        openActive(window, unitRow(list.toStdString(), cost.toStdString()));
        const QStringList opened = boxes(window);
        for (auto box :
             {core::TotalsBox::ListPrice, core::TotalsBox::Margin, core::TotalsBox::Profit,
              core::TotalsBox::Margin, core::TotalsBox::ListPrice})
            window.meTotal(box)->setFocus(Qt::TabFocusReason);
        window.cmdOk()->setFocus(Qt::TabFocusReason);
        QCOMPARE(boxes(window), opened);
        QVERIFY(services.messages.empty());
    }

    void cleanup() {
        services.messages.clear();
        services.started.clear();
    }

  private:
    test_support::FakeDialogServices services;
};

}  // namespace fennick::viewer

QTEST_MAIN(fennick::viewer::TstFrmTotals)
#include "tst_frm_totals.moc"
