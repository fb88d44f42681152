#pragma once
// Who the program is on the dealer's file server: user, domain and password. A credentials
// file holds them in the form mount.cifs reads ("username=", "password=", "domain=" lines); it
// must be private to its owner, because it holds a password in the clear.

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace fennick::platform {

struct SmbCredentials {
    std::string username;  // empty: guest
    std::string domain;
    std::string password;

    SmbCredentials() = default;
    SmbCredentials(std::string user, std::string dom, std::string pass)
        : username(std::move(user)), domain(std::move(dom)), password(std::move(pass)) {}
    SmbCredentials(const SmbCredentials&) = default;
    SmbCredentials& operator=(const SmbCredentials&) = default;
    SmbCredentials(SmbCredentials&&) = default;
    SmbCredentials& operator=(SmbCredentials&&) = default;
    // The password does not linger in freed memory.
    ~SmbCredentials();

    // "DOMAIN\user", "user" or "guest": how messages name the account, never with a password.
    std::string account() const;
};

// What the server refused: how messages name what was tried ("DEALER\alice", "guest (no
// Kerberos ticket)", ...) and, when it was a user name and password, that user and domain.
struct LogonRefusal {
    std::string server, share, tried;
    std::string username, domain;  // empty for guest or a Kerberos ticket
    bool passwordRefused() const { return !username.empty(); }
};

// Asked when the server refuses access to a share; nothing gives up.
using AskCredentials = std::function<std::optional<SmbCredentials>(const LogonRefusal&)>;

// A credentials file that cannot be used; the message says why and never holds the password.
class CredentialsError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The credentials a credentials file's text holds. Blank lines and lines starting with "#" are
// skipped; keys are matched without regard to letter case ("user", "pass", "workgroup" are read
// too); the value is everything after the first "=" with a trailing carriage return removed.
SmbCredentials parseCredentials(std::string_view text);

// Reads a credentials file (see parseCredentials). Throws when the file cannot be read, naming
// it and the reason, or when it can be read by others than its owner.
SmbCredentials readCredentialsFile(const std::string& path);

}  // namespace fennick::platform
