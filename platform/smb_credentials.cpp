#include "smb_credentials.h"

#include "text.h"

namespace fennick::platform {

namespace {

enum class Key { User, Password, Domain, Other };

Key keyOf(std::string_view key) {
    std::string k = upperAscii(key);
    if (k == "USERNAME" || k == "USER") return Key::User;
    if (k == "PASSWORD" || k == "PASS") return Key::Password;
    if (k == "DOMAIN" || k == "DOM" || k == "WORKGROUP") return Key::Domain;
    return Key::Other;
}

constexpr std::string_view kBlankOrTab = " \t";

}  // namespace

std::shared_ptr<const WipedBytes> SmbCredentials::kept(std::string_view password) {
    return std::make_shared<const WipedBytes>(password);
}

std::string SmbCredentials::account() const {
    if (username.empty()) return "guest";
    return domain.empty() ? username : domain + "\\" + username;
}

SmbCredentials parseCredentials(std::string_view text) {
    std::string username, domain;
    std::string_view password;
    std::string_view rest = text;
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::size_t eq = line.find('=');
        std::string_view key = trimBlanks(line.substr(0, eq), kBlankOrTab);
        if (eq == std::string_view::npos || key.empty() || key[0] == '#') continue;
        std::string_view value = line.substr(eq + 1);
        switch (keyOf(key)) {
            case Key::User:
                username = trimBlanks(value, kBlankOrTab);
                break;
            case Key::Domain:
                domain = trimBlanks(value, kBlankOrTab);
                break;
            case Key::Password:
                password = value;
                break;
            case Key::Other:
                break;
        }
    }
    return SmbCredentials(std::move(username), std::move(domain), password);
}

SmbCredentials readCredentialsFile(const std::string& path) {
    std::optional<WipedBytes> file;
    try {
        file.emplace(readLocalFile(path, kCredentialsFile, FileTrust::Private));
    } catch (const LocalFileError& refused) {
        throw CredentialsError(refused.what());
    }
    return parseCredentials(file->view());
}

}  // namespace fennick::platform
