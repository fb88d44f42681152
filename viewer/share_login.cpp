#include "share_login.h"

#include <qt6keychain/keychain.h>

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

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
    bytes += QByteArray::fromStdString(c.password);
    return bytes;
}

std::optional<platform::SmbCredentials> unpacked(QByteArray bytes) {
    auto parts = bytes.split('\0');
    bytes.fill('\0');
    if (parts.size() != 3) return std::nullopt;
    platform::SmbCredentials c(parts[1].toStdString(), parts[0].toStdString(),
                               parts[2].toStdString());
    for (auto& part : parts)
        part.fill('\0');
    return c;
}

// Runs a keyring job to its end; the keyring never falls back to a plain file.
void finish(QKeychain::Job& job) {
    job.setAutoDelete(false);
    job.setInsecureFallback(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
}

std::optional<platform::SmbCredentials> fromKeyring(const std::string& server) {
    QKeychain::ReadPasswordJob job(kKeyringService);
    job.setKey(keyringKey(server));
    finish(job);
    if (job.error() != QKeychain::NoError) return std::nullopt;
    return unpacked(job.binaryData());
}

void toKeyring(const std::string& server, const platform::SmbCredentials& credentials) {
    QKeychain::WritePasswordJob job(kKeyringService);
    job.setKey(keyringKey(server));
    QByteArray bytes = packed(credentials);
    job.setBinaryData(bytes);
    bytes.fill('\0');
    finish(job);
}

}  // namespace

std::optional<LoginAnswer> askShareLogin(const std::string& server, const std::string& share,
                                         const std::string& refusedAccount) {
    QDialog dialog;
    dialog.setObjectName("shareLogin");
    dialog.setWindowTitle("Connection Error");
    auto* text = new QLabel(
        QString::fromStdString("The server " + server + " refuses access to the share " + share +
                               " for " + refusedAccount + ".\nLog on to " + server + " as:"));
    auto* user = new QLineEdit;
    user->setObjectName("user");
    auto* domain = new QLineEdit;
    domain->setObjectName("domain");
    auto* password = new QLineEdit;
    password->setObjectName("password");
    password->setEchoMode(QLineEdit::Password);
    auto* remember = new QCheckBox("&Remember");
    remember->setObjectName("remember");
    auto* form = new QFormLayout;
    form->addRow("&User:", user);
    form->addRow("&Domain:", domain);
    form->addRow("&Password:", password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addLayout(form);
    layout->addWidget(remember);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    LoginAnswer answer{{user->text().trimmed().toStdString(),
                        domain->text().trimmed().toStdString(), password->text().toStdString()},
                       remember->isChecked()};
    password->clear();
    return answer;
}

std::optional<platform::SmbCredentials> ShareLogin::operator()(const std::string& server,
                                                               const std::string& share,
                                                               const std::string& refusedAccount) {
    if (!keyringTried_) {
        keyringTried_ = true;
        if (auto kept = fromKeyring(server)) return kept;
    }
    auto answer = askShareLogin(server, share, refusedAccount);
    if (!answer) return std::nullopt;
    if (answer->remember) toKeyring(server, answer->credentials);
    return std::move(answer->credentials);
}

}  // namespace fennick::viewer
