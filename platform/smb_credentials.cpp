#include "smb_credentials.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>

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

SmbCredentials readCredentialsFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        throw CredentialsError("The credentials file " + path +
                               " cannot be read: " + std::strerror(errno));
    if (info.st_mode & (S_IRWXG | S_IRWXO))
        throw CredentialsError("The credentials file " + path +
                               " can be read by others than its owner and is not used; make it "
                               "private (chmod 600) first.");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw CredentialsError("The credentials file " + path + " cannot be read.");
    SmbCredentials credentials;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        auto eq = line.find('=');
        std::string key(trimBlanks(std::string_view(line).substr(0, eq), kBlankOrTab));
        if (eq == std::string::npos || key.empty() || key[0] == '#') {
            wipe(line);
            continue;
        }
        if (std::string* target = field(credentials, key))
            *target =
                target == &credentials.password
                    ? line.substr(eq + 1)
                    : std::string(trimBlanks(std::string_view(line).substr(eq + 1), kBlankOrTab));
        wipe(line);
    }
    return credentials;
}

}  // namespace fennick::platform
