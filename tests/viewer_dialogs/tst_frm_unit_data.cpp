// The unit report window (font, save as RTF read back, print to PDF) and the quick-payment
// hand-off, on the offscreen platform.
#include <QApplication>
#include <QFontInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include "core/cp1252.h"
#include "core/dealer_text.h"
#include "core/startup.h"
#include "core/unit_report.h"
#include "fake_services.h"
#include "rtf_reader.h"
#include "viewer/frm_unit_data.h"
#include "viewer/hand_offs.h"

namespace fennick::viewer {

namespace {

core::UnitRow unitRow() {
    core::UnitRow row;
    row.unit = "C1";
    row.make =
        "Br\xE4"
        "ckwater";
    row.suggestedList = Currency::fromCents(119950);
    row.cost = Currency::fromCents(123450);
    return row;
}

std::string report() {
    core::NoteGrids grids;
    grids.factory = {{"CAB", "2", "Cab", "1500.00"}};
    return core::buildUnitReport(
        core::unitGridHeadings({"User Defined Numeric 1", "User Defined Numeric 2",
                                "User Defined Alpha 1", "User Defined Alpha 2"}),
        unitRow(), grids, "1/2/2025 - 10:00");
}

std::string fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

}  // namespace

class TstFrmUnitData : public QObject {
    Q_OBJECT

  private slots:
    void showsTheReportInAFixedPitchFont() {
        FrmUnitData window(report());
        QString text = window.rtb1()->toPlainText();
        QCOMPARE(text, QString::fromUtf8(core::cp1252ToUtf8(report())).replace("\r\n", "\n"));
        QVERIFY(
            text.contains(QString::fromUtf8("Make  : Br\xC3\xA4"
                                            "ckwater")));
        // The columns line up whichever fonts are installed: every line of the report is as
        // wide as its number of characters (the font's fixed-pitch flag is not always set).
        const QFontMetricsF metrics(window.rtb1()->font());
        const qreal width = metrics.horizontalAdvance(QChar('M'));
        for (const QString& line : text.split('\n'))
            QVERIFY2(qAbs(metrics.horizontalAdvance(line) - width * line.size()) < 1.0,
                     qPrintable(line));
        QVERIFY(!window.rtb1()->isReadOnly());
        // Opened, it shows every line whole (the long user-defined headings too).
        QVERIFY(text.contains("User Defined Numeric 1  : "));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.rtb1()->horizontalScrollBar()->maximum(), 0);
    }

    void saveWritesRichTextThatReadsBack() {
        FrmUnitData window(report());
        window.rtb1()->append(
            QString::fromUtf8("Edited: \xE2\x82\xAC 5 {x} \\ \xE4\xB8\xAD \xF0\x9F\x98\x80\t."));
        services.saveAnswer = dir->filePath("unit.rtf");
        window.cmdSave()->click();
        QVERIFY(services.saveDialogs.at(0).text.endsWith("/Unitdata.rtf"));
        QCOMPARE(services.lastSuffix, QString("rtf"));
        test_support::RtfContent content = test_support::readRtf(fileBytes(services.saveAnswer));
        QVERIFY(content.wellFormed);
        QCOMPARE(content.fontName, QString("Courier New"));
        QCOMPARE(content.halfPoints, 20);
        QCOMPARE(content.text, window.rtb1()->toPlainText());
    }

    void cancelledOrFailedSaveKeepsTheWindow() {
        FrmUnitData window(report());
        window.show();
        services.saveAnswer.clear();
        window.cmdSave()->click();
        QVERIFY(QDir(dir->path()).isEmpty());
        QVERIFY(!QFile::exists("Unitdata.rtf"));
        QVERIFY(services.messages.empty());

        services.saveAnswer = dir->filePath("missing/unit.rtf");
        window.cmdSave()->click();
        QVERIFY(window.isVisible());
        QCOMPARE(services.messages.size(), std::size_t(1));
        QCOMPARE(services.messages[0].title, QString("Save Your Data"));
        QVERIFY(services.messages[0].text.contains("missing/unit.rtf"));
    }

    void printsToAPdfFile() {
        FrmUnitData window(report());
        const QString pdf = dir->filePath("unit.pdf");
        services.setUpPrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        };
        window.cmdPrint()->click();
        QCOMPARE(services.printDialogs, 1);
        std::string bytes = fileBytes(pdf);
        QVERIFY(bytes.rfind("%PDF", 0) == 0);
        QVERIFY(bytes.find("/Type /Page") != std::string::npos);

        QFile::remove(pdf);
        services.setUpPrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return false;  // cancelled
        };
        window.cmdPrint()->click();
        QVERIFY(!QFile::exists(pdf));
    }

    // Closing with edits that were not saved or printed asks first; No keeps the window.
    void closingWithEditsAsks_data() {
        QTest::addColumn<bool>("edited");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("closed");
        QTest::newRow("unchanged") << false << false << false << true;
        QTest::newRow("edited, keep") << true << false << false << false;
        QTest::newRow("edited, discard") << true << false << true << true;
        QTest::newRow("edited then saved") << true << true << false << true;
    }
    void closingWithEditsAsks() {
        QFETCH(bool, edited);
        QFETCH(bool, saved);
        QFETCH(bool, answer);
        QFETCH(bool, closed);
        FrmUnitData window(report());
        window.show();
        if (edited) window.rtb1()->append("note");
        if (saved) {
            services.saveAnswer = dir->filePath("unit.rtf");
            window.cmdSave()->click();
        }
        services.answers = {answer};
        QTest::keyClick(&window, Qt::Key_Escape);
        QCOMPARE(services.questions.size(), std::size_t(edited && !saved ? 1 : 0));
        QCOMPARE(window.isVisible(), !closed);
        if (closed) return;
        services.answers = {true};
        window.cmdExit()->click();  // E&xit asks the same question
        QCOMPARE(services.questions.size(), std::size_t(2));
        QVERIFY(!window.isVisible());
    }

    void showUnitDataOpensAModalReport() {
        QTimer::singleShot(0, [] {
            auto* window = qobject_cast<FrmUnitData*>(QApplication::activeModalWidget());
            QVERIFY(window);
            QVERIFY(window->rtb1()->toPlainText().contains("Detailed Unit Information"));
            window->cmdExit()->click();
        });
        QWidget main;
        showUnitData(&main,
                     core::unitGridHeadings({"User Defined Numeric 1", "User Defined Numeric 2",
                                             "User Defined Alpha 1", "User Defined Alpha 2"}),
                     unitRow(), core::NoteGrids{});
        QVERIFY(main.findChildren<FrmUnitData*>().isEmpty());
    }

    void quickPaymentStartsTheProgramWithoutAShell() {
        // A program whose path has blanks and a shell's separator in it.
        QDir(dir->path()).mkpath("Pay Programs; x");
        const QString program = dir->filePath("Pay Programs; x/qv tally");
        const QString log = dir->filePath("args.txt");
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(("#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '" + log + "'\n").toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        services.reallyStart = true;
        quickPayment(nullptr, unitRow(), program);
        QCOMPARE(services.started.size(), std::size_t(1));
        QCOMPARE(services.started[0], (QStringList{program, "1199.5"}));
        QTRY_COMPARE(QString::fromStdString(fileBytes(log)), QString("1|1199.5|"));
        QVERIFY(services.messages.empty());
    }

    void quickPaymentFailures_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing program")
            << "/nonexistent/qvTally"
            << " Error 53  File not found\n sub.qpayment\n\nCould not find QuickPayment "
               "program.\n/nonexistent/qvTally";
        QTest::newRow("not a program")
            << "/etc/passwd"
            << " Error 75  Path/File access error\n sub.qpayment\n\n/etc/passwd";
    }
    void quickPaymentFailures() {
        QFETCH(QString, program);
        quickPayment(nullptr, unitRow(), program);
        QVERIFY(services.started.empty());
        QCOMPARE(services.messages.size(), std::size_t(1));
        QCOMPARE(services.messages[0].title, QString("Error"));
        QTEST(services.messages[0].text, "message");
    }

    void init() { dir = std::make_unique<QTemporaryDir>(); }
    void cleanup() {
        services.messages.clear();
        services.questions.clear();
        services.answers.clear();
        services.saveDialogs.clear();
        services.started.clear();
        services.printDialogs = 0;
        services.reallyStart = false;
    }

  private:
    test_support::FakeDialogServices services;
    std::unique_ptr<QTemporaryDir> dir;
};

}  // namespace fennick::viewer

QTEST_MAIN(fennick::viewer::TstFrmUnitData)
#include "tst_frm_unit_data.moc"
