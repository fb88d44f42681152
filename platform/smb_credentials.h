#pragma once
// Who the program is on the dealer's file server: user, domain and password. A credentials
// file holds them in the form mount.cifs reads ("username=", "password=", "domain=" lines); it
// must be private to its owner, because it holds a password in the clear.

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "local_file.h"

namespace fennick::platform {

struct SmbCredentials {
    std::string username;  // empty: guest
    std::string domain;

    SmbCredentials() = default;
    SmbCredentials(std::string user, std::string dom, std::string_view pass)
        : username(std::move(user)), domain(std::move(dom)), password_(kept(pass)) {}

    // The password is held in one buffer for as long as anything uses it (a reconnect needs
    // it): copies of the credentials share that buffer, and it is wiped when the last goes.
    std::string_view password() const { return password_ ? password_->view() : std::string_view(); }

    // "DOMAIN\user", "user" or "guest": how messages name the account, never with a password.
    std::string account() const;

  private:
    static std::shared_ptr<const WipedBytes> kept(std::string_view password);
    std::shared_ptr<const WipedBytes> password_;
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
// too); the value is everything after the first "=" with a trailing carriage return removed
// (blanks around it too, except for the password).
SmbCredentials parseCredentials(std::string_view text);

// Reads a credentials file (see parseCredentials), which must be private (readLocalFile's
// FileTrust::Private). The file's bytes are wiped once read. Throws CredentialsError.
SmbCredentials readCredentialsFile(const std::string& path);

}  // namespace fennick::platform
