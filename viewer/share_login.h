#pragma once
// What the window does when the file server refuses the account it tried: it offers the
// account kept in the desktop's keyring for that server (once), then asks for a user, domain
// and password in a dialog whose "Remember" keeps them in the keyring and whose "Forget"
// removes the kept ones. The password is held only in memory and in the keyring; it is never
// shown, logged or written to a file, and when no keyring answers the window says so.

#include <functional>
#include <optional>
#include <string>

#include "platform/smb_credentials.h"

namespace fennick::viewer {

class ShareLogin {
  public:
    std::optional<platform::SmbCredentials> operator()(const platform::LogonRefusal& refused);

  private:
    bool keyringTried_ = false;
    bool kept_ = false;           // the keyring holds an account for the server
    std::string keyringProblem_;  // why the keyring cannot be used; empty when it can
};

// The dialog alone: what the server refused (its user and domain are filled in), whether the
// keyring holds an account for the server (then "Remember" starts ticked and "Forget" removes
// it: `forget` answers its failure, or nothing), and why nothing can be remembered.
struct LoginQuestion {
    platform::LogonRefusal refused;
    bool kept = false;
    std::function<std::string()> forget;
    std::string keyringProblem;
};
struct LoginAnswer {
    platform::SmbCredentials credentials;
    bool remember = false;
};
// Nothing when the user cancels.
std::optional<LoginAnswer> askShareLogin(const LoginQuestion& question);

}  // namespace fennick::viewer
