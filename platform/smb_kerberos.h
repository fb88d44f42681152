#pragma once
// The user's Kerberos ticket as the SMB client would use it: the credentials cache that
// $KRB5CCNAME names, else the system's default cache. Only its principal and whether its
// ticket-granting ticket is still valid are read; nothing secret leaves the cache.

#include <string>

namespace fennick::platform {

struct KerberosTicket {
    std::string principal;  // "alice@DEALER.LOCAL"; empty: no cache or an empty one
    bool expired = false;   // the cache holds no ticket-granting ticket valid now

    bool usable() const { return !principal.empty() && !expired; }
};

KerberosTicket kerberosTicket();

}  // namespace fennick::platform
