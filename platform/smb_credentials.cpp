#include "smb_credentials.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "file_system.h"
#include "text.h"

namespace fennick::platform {

namespace {

void wipe(std::string& secret) {
    volatile char* p = secret.data();
    for (std::size_t i = 0; i < secret.size(); ++i)
        p[i] = '\0';
    secret.clear();
}

std::string* field(SmbCredentials& credentials, const std::string& key) {
    std::string k = upperAscii(key);
    if (k == "USERNAME" || k == "USER") return &credentials.username;
    if (k == "PASSWORD" || k == "PASS") return &credentials.password;
    if (k == "DOMAIN" || k == "DOM" || k == "WORKGROUP") return &credentials.domain;
    return nullptr;
}

constexpr std::string_view kBlankOrTab = " \t";

}  // namespace

SmbCredentials::~SmbCredentials() {
    wipe(password);
}

std::string SmbCredentials::account() const {
    if (username.empty()) return "guest";
    return domain.empty() ? username : domain + "\\" + username;
}

SmbCredentials parseCredentials(std::string_view text) {
    SmbCredentials credentials;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        auto eq = line.find('=');
        std::string key(trimBlanks(line.substr(0, eq), kBlankOrTab));
        if (eq == std::string::npos || key.empty() || key[0] == '#') continue;
        if (std::string* target = field(credentials, key))
            *target = target == &credentials.password
                          ? std::string(line.substr(eq + 1))
                          : std::string(trimBlanks(line.substr(eq + 1), kBlankOrTab));
    }
    return credentials;
}

SmbCredentials readCredentialsFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        throw CredentialsError("The credentials file " + path +
                               " cannot be read: " + std::strerror(errno));
    if (info.st_mode & (S_IRWXG | S_IRWXO))
        throw CredentialsError("The credentials file " + path +
                               " can be read by others than its owner and is not used; make it "
                               "private (chmod 600) first.");
    std::optional<std::string> text;
    try {
        text = readLocalFile(path);
    } catch (const IoError& failure) {
        throw CredentialsError("The credentials file " + path +
                               " cannot be read: " + failure.what());
    }
    if (!text) throw CredentialsError("The credentials file " + path + " cannot be read.");
    SmbCredentials credentials = parseCredentials(*text);
    wipe(*text);
    return credentials;
}

}  // namespace fennick::platform
