// The question the window asks when the file server refuses, and the keyring behind it. The
// dialog names the server, says what was refused and keeps the refused user and domain; what
// the user types comes back as the account, the password never shown. Against a real smbd and
// a real Secret Service (gnome-keyring-daemon on a private session bus, unlocked for the test):
// "Remember" keeps the account, the next start uses it, a password changed on the server makes
// the window ask again and keep the new one, and "Forget" removes it. Without a Secret Service
// the dialog says it cannot remember, and the password lands in no file under $HOME.

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDialog>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>

#include "platform/smb_file_system.h"
#include "samba_server.h"
#include "tests/viewer_dialogs/fake_services.h"
#include "viewer/share_login.h"

using namespace fennick;
namespace fs = std::filesystem;

namespace {

// The dialog as a test sees it when it opens.
struct SeenDialog {
    QString title, refused, user, domain, keyring;
    bool remember = false, rememberEnabled = false, forgetEnabled = false;
};

const QString kWorkgroup = "WORKGROUP";  // the test server's

// Answers each log-on dialog the window opens with the next step; records what it showed.
class DialogAnswers : public QObject {
  public:
    using Step = std::function<void(QDialog&)>;
    explicit DialogAnswers(std::deque<Step> steps) : steps_(std::move(steps)) {
        connect(&poll_, &QTimer::timeout, this, [this] { answer(); });
        poll_.start(20);
    }
    std::vector<SeenDialog> seen;

  private:
    void answer() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != "shareLogin" ||
            dialog->property("answered").toBool())
            return;
        dialog->setProperty("answered", true);
        auto* remember = dialog->findChild<QCheckBox*>("remember");
        seen.push_back({dialog->windowTitle(), dialog->findChild<QLabel*>("refused")->text(),
                        dialog->findChild<QLineEdit*>("user")->text(),
                        dialog->findChild<QLineEdit*>("domain")->text(),
                        dialog->findChild<QLabel*>("keyring")->text(), remember->isChecked(),
                        remember->isEnabled(),
                        dialog->findChild<QPushButton*>("forget")->isEnabled()});
        if (steps_.empty()) {
            dialog->reject();
            return;
        }
        Step step = std::move(steps_.front());
        steps_.pop_front();
        step(*dialog);
    }
    std::deque<Step> steps_;
    QTimer poll_;
};

DialogAnswers::Step logOn(const QString& password, bool remember) {
    return [=](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("user")->setText(
            QString::fromStdString(test_support::SambaServer::user()));
        dialog.findChild<QLineEdit*>("domain")->setText(kWorkgroup);
        dialog.findChild<QLineEdit*>("password")->setText(password);
        auto* box = dialog.findChild<QCheckBox*>("remember");
        if (box->isEnabled()) box->setChecked(remember);
        dialog.accept();
    };
}

DialogAnswers::Step forgetAndCancel() {
    return [](QDialog& dialog) {
        dialog.findChild<QPushButton*>("forget")->click();
        dialog.reject();
    };
}

const QString kFirst = "First-Pw-31x", kSecond = "Second-Pw-47y";

// A process the test started, ended with the test.
struct Helper {
    pid_t pid = -1;
    void end() {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
        pid = -1;
    }
    ~Helper() { end(); }
};

// Starts `argv` with `input` on its standard input and its output discarded.
pid_t spawn(const std::vector<std::string>& argv, const std::string& input) {
    int in[2];
    if (::pipe(in) != 0) return -1;
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(in[0], 0);
        ::close(in[1]);
        int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, 1);
        ::dup2(quiet, 2);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(in[0]);
    if (::write(in[1], input.data(), input.size()) < 0) {
    }
    ::close(in[1]);
    return pid;
}

}  // namespace

class TstShareLogin : public QObject {
    Q_OBJECT

  public:
    explicit TstShareLogin(QString home) : home_(std::move(home)) {}

  private slots:
    void initTestCase() {
        fs::path share = (home_ + "/share").toStdString();
        fs::create_directories(share / "TARNLNK");
        std::ofstream(share / "TARNLNK" / "ttymap") << "WS 1\n";
        server_ = std::make_unique<test_support::SambaServer>(
            share / "server", std::vector<test_support::SambaShare>{{"TARNLNK", share / "TARNLNK"}},
            test_support::SambaAccount{kFirst.toStdString()});
        server_->start();
    }
    void cleanupTestCase() {
        keyring_.end();
        server_.reset();
    }

    void asks_data() {
        QTest::addColumn<QString>("refusedUser");
        QTest::addColumn<QString>("refusedDomain");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("accept");
        QTest::newRow("guest refused")
            << ""
            << ""
            << "The server FS1 refuses access to the share TARNLNK for guest.\nLog on to FS1 as:"
            << " ann " << true;
        QTest::newRow("password refused, user and domain kept")
            << "ann"
            << "SHOP"
            << "The server FS1 refused the user name or password for SHOP\\ann, or does not let "
               "that account use the share TARNLNK.\nLog on to FS1 as:"
            << "ann" << true;
        QTest::newRow("cancelled") << ""
                                   << ""
                                   << "The server FS1 refuses access to the share TARNLNK for "
                                      "guest.\nLog on to FS1 as:"
                                   << "eve" << false;
    }
    void asks() {
        QFETCH(QString, refusedUser);
        QFETCH(QString, refusedDomain);
        QFETCH(QString, says);
        QFETCH(QString, user);
        QFETCH(bool, accept);
        bool hidden = false;
        DialogAnswers answers({[&](QDialog& dialog) {
            if (user != refusedUser) dialog.findChild<QLineEdit*>("user")->setText(user);
            auto* password = dialog.findChild<QLineEdit*>("password");
            password->setText("p w");
            hidden = password->echoMode() == QLineEdit::Password;
            dialog.findChild<QCheckBox*>("remember")->setChecked(true);
            accept ? dialog.accept() : dialog.reject();
        }});
        platform::LogonRefusal refused{"FS1", "TARNLNK", "guest", refusedUser.toStdString(),
                                       refusedDomain.toStdString()};
        if (!refusedUser.isEmpty()) refused.tried = "SHOP\\ann";
        auto answer = viewer::askShareLogin({refused, false, {}, ""});
        QVERIFY(hidden);
        QCOMPARE(answers.seen.size(), std::size_t(1));
        QCOMPARE(answers.seen[0].title, QString("Log on to FS1"));
        QCOMPARE(answers.seen[0].refused, says);
        QCOMPARE(answers.seen[0].user + "/" + answers.seen[0].domain,
                 refusedUser + "/" + refusedDomain);
        QCOMPARE(answer.has_value(), accept);
        if (!answer) return;
        QCOMPARE(QString::fromStdString(answer->credentials.username), user.trimmed());
        QCOMPARE(QString::fromStdString(answer->credentials.domain), refusedDomain);
        QCOMPARE(answer->credentials.password(), std::string_view("p w"));
        QVERIFY(answer->remember);
    }

    // Runs before any Secret Service is on the bus.
    void withoutAKeyringTheDialogSaysItCannotRemember() {
        test_support::FakeDialogServices services;
        DialogAnswers answers({logOn(kFirst, true)});
        QVERIFY2(start(), qPrintable(lastProblem_));
        QCOMPARE(answers.seen.size(), std::size_t(1));
        QVERIFY(!answers.seen[0].rememberEnabled);
        QVERIFY2(answers.seen[0].keyring.startsWith("The password cannot be remembered"),
                 qPrintable(answers.seen[0].keyring));
        QVERIFY(services.messages.empty());
    }

    void theKeyringKeepsReplacesAndForgets() {
        if (QString missing = startKeyring(); !missing.isEmpty()) QSKIP(qPrintable(missing));
        auto bus = QDBusConnection::sessionBus().interface();
        QTRY_VERIFY_WITH_TIMEOUT(bus->isServiceRegistered("org.freedesktop.secrets"), 10000);
        test_support::FakeDialogServices services;
        {  // the first start asks and remembers; the next one asks nothing
            DialogAnswers answers({logOn(kFirst, true)});
            QVERIFY2(start(), qPrintable(lastProblem_));
            QVERIFY2(start(), qPrintable(lastProblem_));
            QCOMPARE(answers.seen.size(), std::size_t(1));
            QVERIFY(answers.seen[0].rememberEnabled);
            QVERIFY(!answers.seen[0].forgetEnabled);
        }
        server_->changePassword(kSecond.toStdString());
        {  // the kept password is refused: asked again with the kept user, the new one kept
            DialogAnswers answers({logOn(kSecond, true)});
            QVERIFY2(start(), qPrintable(lastProblem_));
            QVERIFY2(start(), qPrintable(lastProblem_));
            QCOMPARE(answers.seen.size(), std::size_t(1));
            QVERIFY2(answers.seen[0].refused.contains("refused the user name or password"),
                     qPrintable(answers.seen[0].refused));
            QCOMPARE(answers.seen[0].user + "/" + answers.seen[0].domain,
                     QString::fromStdString(test_support::SambaServer::user()) + "/" + kWorkgroup);
            QVERIFY(answers.seen[0].remember);
            QVERIFY(answers.seen[0].forgetEnabled);
        }
        server_->changePassword(kFirst.toStdString());
        {  // "Forget": the next start has nothing kept and asks at once
            DialogAnswers answers({forgetAndCancel(), logOn(kFirst, false)});
            QVERIFY(!start());
            QVERIFY2(start(), qPrintable(lastProblem_));
            QCOMPARE(answers.seen.size(), std::size_t(2));
            QVERIFY(!answers.seen[1].forgetEnabled);
            QCOMPARE(answers.seen[1].user, QString());
        }
        QVERIFY(services.messages.empty());
    }

    // Last: every password the test typed, searched for in every file under $HOME (the
    // keyring's own file is encrypted).
    void noPasswordInAPlainFile() {
        int files = 0;
        QDirIterator it(home_, QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (!file.open(QIODevice::ReadOnly)) continue;
            ++files;
            QByteArray bytes = file.readAll();
            for (const QString& password : {kFirst, kSecond})
                QVERIFY2(!bytes.contains(password.toUtf8()), qPrintable(file.fileName()));
        }
        QVERIFY(files > 0);
    }

  private:
    // One start of the window: a new share connection whose refusals the window answers.
    bool start() {
        platform::SmbOptions options;
        options.port = server_->port();
        options.askCredentials = viewer::ShareLogin();
        platform::SmbFileSystem smb(options);
        bool in = smb.isDirectory("\\\\127.0.0.1\\TARNLNK\\");
        lastProblem_ = QString::fromStdString(smb.lastProblem());
        return in;
    }
    // Why the machine has no Secret Service to start; empty when it runs.
    QString startKeyring() {
        if (!QDBusConnection::sessionBus().isConnected()) return "no session bus (dbus-daemon)";
        std::string daemon;
        try {
            daemon = test_support::installedProgram("gnome-keyring-daemon", "gnome-keyring");
        } catch (const std::runtime_error& missing) {
            return missing.what();
        }
        keyring_.pid =
            spawn({daemon, "--foreground", "--unlock", "--components=secrets"}, "keyring-pw\n");
        return "";
    }

    QString home_;
    QString lastProblem_;
    std::unique_ptr<test_support::SambaServer> server_;
    Helper keyring_;
};

// $HOME and the desktop folders are a private folder, with a session bus of the test's own
// that starts no service by itself.
int main(int argc, char** argv) {
    QTemporaryDir home;
    const std::string h = home.path().toStdString();
    for (const char* sub : {"/config", "/data", "/cache", "/run"})
        fs::create_directories(h + sub);
    fs::permissions(h + "/run", fs::perms::owner_all);
    ::setenv("HOME", h.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (h + "/config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (h + "/data").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (h + "/cache").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (h + "/run").c_str(), 1);
    std::ofstream(h + "/bus.conf")
        << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
           "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig><type>session</type><listen>unix:path="
        << h << "/run/bus</listen><auth>EXTERNAL</auth><policy context=\"default\">"
        << "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
           "<allow own=\"*\"/></policy></busconfig>\n";
    Helper bus;
    try {
        bus.pid = spawn({test_support::installedProgram("dbus-daemon", "dbus-daemon"),
                         "--config-file=" + h + "/bus.conf", "--nofork", "--nopidfile"},
                        "");
    } catch (const std::runtime_error& missing) {
        std::cerr << missing.what() << "\n";
    }
    for (int i = 0; i < 200 && !fs::exists(h + "/run/bus"); ++i)
        ::usleep(20000);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + h + "/run/bus").c_str(), 1);
    QApplication app(argc, argv);
    TstShareLogin test(home.path());
    return QTest::qExec(&test, argc, argv);
}

#include "tst_share_login.moc"
