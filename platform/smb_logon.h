#pragma once
// How the SMB back end logs on to the file server, and how it reads the errors the SMB client
// library reports (errno values).

#include <optional>
#include <string>

#include "smb_credentials.h"
#include "smb_kerberos.h"

namespace fennick::platform {

// Who logs on: the credentials when there are some (guest when their user is empty), else the
// user's Kerberos ticket when `kerberos`, with guest to fall back on.
struct SmbLogon {
    std::optional<SmbCredentials> credentials;
    bool kerberos = false;
    // The Kerberos credentials cache ($KRB5CCNAME) of the program; empty: the default one.
    std::string ticketCache;
    // The ticket as the program found it, for messages; only the program fills it in.
    KerberosTicket ticket;
};

// The log-on of a program started with `credentials` (or none): the user's ticket while it is
// valid.
SmbLogon defaultLogon(std::optional<SmbCredentials> credentials);

// What `server` refused when logging on so: the credentials, else the ticket and guest, else
// guest and why the ticket was not tried.
LogonRefusal refusal(const SmbLogon& logon, const std::string& server, const std::string& share);

// Errors (errno values) that mean the connection to the server broke or never came about.
bool connectionFailure(int error);
// Errors that mean the server refused the account.
bool accessRefused(int error);

}  // namespace fennick::platform
