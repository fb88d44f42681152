#pragma once
// What the window does when the file server refuses the account it tried: it offers the
// account kept in the desktop's keyring for that server (once), then asks for a user, domain
// and password in a dialog whose "Remember" keeps them in the keyring. The password is held
// only in memory and in the keyring; it is never shown, logged or written to a file.

#include <optional>
#include <string>

#include "platform/smb_credentials.h"

namespace fennick::viewer {

class ShareLogin {
  public:
    std::optional<platform::SmbCredentials> operator()(const std::string& server,
                                                       const std::string& share,
                                                       const std::string& refusedAccount);

  private:
    bool keyringTried_ = false;
};

// The dialog alone: user, domain and password for `server`, and whether to remember them;
// nothing when the user cancels.
struct LoginAnswer {
    platform::SmbCredentials credentials;
    bool remember = false;
};
std::optional<LoginAnswer> askShareLogin(const std::string& server, const std::string& share,
                                         const std::string& refusedAccount);

}  // namespace fennick::viewer
