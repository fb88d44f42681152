// The question the window asks when the file server refuses: what the user types comes back as
// the account to log on with, the password is never shown, and Cancel gives up.

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include "viewer/share_login.h"

using namespace fennick;

class TstShareLogin : public QObject {
    Q_OBJECT

  private slots:
    void answers_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("domain");
        QTest::addColumn<bool>("remember");
        QTest::addColumn<bool>("accept");
        QTest::newRow("remembered") << " ann "
                                    << "SHOP" << true << true;
        QTest::newRow("this time") << "bob"
                                   << "" << false << true;
        QTest::newRow("cancelled") << "eve"
                                   << "X" << true << false;
    }
    void answers() {
        QFETCH(QString, user);
        QFETCH(QString, domain);
        QFETCH(bool, remember);
        QFETCH(bool, accept);
        bool hidden = false;
        QString shown;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            shown = dialog->findChild<QLabel*>()->text();
            dialog->findChild<QLineEdit*>("user")->setText(user);
            dialog->findChild<QLineEdit*>("domain")->setText(domain);
            auto* password = dialog->findChild<QLineEdit*>("password");
            password->setText("p w");
            hidden = password->echoMode() == QLineEdit::Password;
            dialog->findChild<QCheckBox*>("remember")->setChecked(remember);
            accept ? dialog->accept() : dialog->reject();
        });
        auto answer = viewer::askShareLogin("FS1", "TARNLNK", "guest");
        QVERIFY(hidden);
        QCOMPARE(shown, QString("The server FS1 refuses access to the share TARNLNK for guest.\n"
                                "Log on to FS1 as:"));
        QCOMPARE(answer.has_value(), accept);
        if (!answer) return;
        QCOMPARE(QString::fromStdString(answer->credentials.username), user.trimmed());
        QCOMPARE(QString::fromStdString(answer->credentials.domain), domain);
        QCOMPARE(answer->credentials.password, std::string("p w"));
        QCOMPARE(answer->remember, remember);
    }
};

QTEST_MAIN(TstShareLogin)
#include "tst_share_login.moc"
