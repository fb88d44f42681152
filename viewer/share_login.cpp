#include "share_login.h"

#include <qt6keychain/keychain.h>

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialog_services.h"

namespace fennick::viewer {

namespace {

const QString kKeyringService = "Fennick";

QString keyringKey(const std::string& server) {
    return "smb:" + QString::fromStdString(server);
}

// The keyring entry holds domain, user and password separated by NUL bytes.
QByteArray packed(const platform::SmbCredentials& c) {
    QByteArray bytes = QByteArray::fromStdString(c.domain);
    bytes += '\0';
    bytes += QByteArray::fromStdString(c.username);
    bytes += '\0';
    bytes += QByteArray(c.password().data(), static_cast<qsizetype>(c.password().size()));
    return bytes;
}

std::optional<platform::SmbCredentials> unpacked(QByteArray bytes) {
    auto parts = bytes.split('\0');
    bytes.fill('\0');
    if (parts.size() != 3) return std::nullopt;
    platform::SmbCredentials c(parts[1].toStdString(), parts[0].toStdString(),
                               std::string_view(parts[2].constData(), parts[2].size()));
    for (auto& part : parts)
        part.fill('\0');
    return c;
}

// Runs a keyring job to its end; the keyring never falls back to a plain file. Its failure,
// or nothing.
std::string finish(QKeychain::Job& job, const std::string& server) {
    job.setAutoDelete(false);
    job.setInsecureFallback(false);
    job.setKey(keyringKey(server));
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    if (job.error() == QKeychain::NoError || job.error() == QKeychain::EntryNotFound) return "";
    return job.errorString().toStdString();
}

struct Kept {
    std::optional<platform::SmbCredentials> credentials;
    std::string problem;
};

Kept fromKeyring(const std::string& server) {
    QKeychain::ReadPasswordJob job(kKeyringService);
    Kept kept;
    kept.problem = finish(job, server);
    if (job.error() == QKeychain::NoError) kept.credentials = unpacked(job.binaryData());
    return kept;
}

std::string toKeyring(const std::string& server, const platform::SmbCredentials& credentials) {
    QKeychain::WritePasswordJob job(kKeyringService);
    QByteArray bytes = packed(credentials);
    job.setBinaryData(bytes);
    bytes.fill('\0');
    return finish(job, server);
}

std::string forgetKeyring(const std::string& server) {
    QKeychain::DeletePasswordJob job(kKeyringService);
    return finish(job, server);
}

QString refusalText(const platform::LogonRefusal& r) {
    std::string text = r.passwordRefused()
                           ? "The server " + r.server + " refused the user name or password for " +
                                 r.tried + ", or does not let that account use the share " +
                                 r.share + "."
                           : "The server " + r.server + " refuses access to the share " + r.share +
                                 " for " + r.tried + ".";
    return QString::fromStdString(text + "\nLog on to " + r.server + " as:");
}

QString cannotRemember(const std::string& problem) {
    return QString::fromStdString("The password cannot be remembered: no keyring answers (" +
                                  problem + ").");
}

}  // namespace

std::optional<LoginAnswer> askShareLogin(const LoginQuestion& question) {
    const platform::LogonRefusal& refused = question.refused;
    QDialog dialog;
    dialog.setObjectName("shareLogin");
    dialog.setWindowTitle(QString::fromStdString("Log on to " + refused.server));
    auto* text = new QLabel(refusalText(refused));
    text->setObjectName("refused");
    text->setWordWrap(true);
    auto* user = new QLineEdit(QString::fromStdString(refused.username));
    user->setObjectName("user");
    auto* domain = new QLineEdit(QString::fromStdString(refused.domain));
    domain->setObjectName("domain");
    auto* password = new QLineEdit;
    password->setObjectName("password");
    password->setEchoMode(QLineEdit::Password);
    auto* remember = new QCheckBox("&Remember");
    remember->setObjectName("remember");
    remember->setChecked(question.kept);
    auto* forget = new QPushButton("&Forget the kept password");
    forget->setObjectName("forget");
    forget->setEnabled(question.kept && question.forget);
    auto* keyring = new QLabel;
    keyring->setObjectName("keyring");
    keyring->setWordWrap(true);
    if (!question.keyringProblem.empty()) {
        remember->setEnabled(false);
        keyring->setText(cannotRemember(question.keyringProblem));
    }
    keyring->setVisible(!keyring->text().isEmpty());
    QObject::connect(forget, &QPushButton::clicked, &dialog, [&] {
        std::string problem = question.forget();
        keyring->setText(problem.empty()
                             ? QString::fromStdString("The password kept for " + refused.server +
                                                      " is forgotten.")
                             : QString::fromStdString("It cannot be forgotten: " + problem));
        keyring->setVisible(true);
        if (problem.empty()) {
            forget->setEnabled(false);
            remember->setChecked(false);
        }
    });
    auto* form = new QFormLayout;
    form->addRow("&User:", user);
    form->addRow("&Domain:", domain);
    form->addRow("&Password:", password);
    auto* keeping = new QHBoxLayout;
    keeping->addWidget(remember);
    keeping->addStretch();
    keeping->addWidget(forget);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addLayout(form);
    layout->addLayout(keeping);
    layout->addWidget(keyring);
    layout->addWidget(buttons);
    (refused.username.empty() ? user : password)->setFocus();
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    QByteArray typed = password->text().toUtf8();
    LoginAnswer answer{
        {user->text().trimmed().toStdString(), domain->text().trimmed().toStdString(),
         std::string_view(typed.constData(), typed.size())},
        remember->isEnabled() && remember->isChecked()};
    typed.fill('\0');
    password->clear();
    return answer;
}

std::optional<platform::SmbCredentials> ShareLogin::operator()(
    const platform::LogonRefusal& refused) {
    const std::string& server = refused.server;
    if (!keyringTried_) {
        keyringTried_ = true;
        Kept kept = fromKeyring(server);
        keyringProblem_ = kept.problem;
        kept_ = kept.credentials.has_value();
        if (kept.credentials) return kept.credentials;
    }
    LoginQuestion question{refused, kept_,
                           [&] {
                               std::string problem = forgetKeyring(server);
                               if (problem.empty()) kept_ = false;
                               return problem;
                           },
                           keyringProblem_};
    auto answer = askShareLogin(question);
    if (!answer) return std::nullopt;
    if (answer->remember) {
        std::string problem = toKeyring(server, answer->credentials);
        if (problem.empty()) kept_ = true;
        if (!problem.empty())
            dialogServices().message(
                nullptr, cannotRemember(problem) + "\nYou are logged on this time only.",
                QString::fromStdString("Log on to " + server), platform::MessageIcon::Exclamation);
    }
    return std::move(answer->credentials);
}

}  // namespace fennick::viewer
