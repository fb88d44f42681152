#include "smb_logon.h"

#include <arpa/inet.h>

#include <cerrno>
#include <cstdlib>

namespace fennick::platform {

namespace {

bool isAddress(const std::string& server) {
    in6_addr address{};
    return ::inet_pton(AF_INET, server.c_str(), &address) == 1 ||
           ::inet_pton(AF_INET6, server.c_str(), &address) == 1;
}

}  // namespace

SmbLogon defaultLogon(std::optional<SmbCredentials> credentials) {
    SmbLogon logon;
    if (!credentials) logon.ticket = kerberosTicket();
    logon.kerberos = logon.ticket.usable();
    logon.credentials = std::move(credentials);
    if (const char* cache = std::getenv("KRB5CCNAME")) logon.ticketCache = cache;
    return logon;
}

LogonRefusal refusal(const SmbLogon& logon, const std::string& server, const std::string& share) {
    LogonRefusal refused{server, share, "guest", {}, {}};
    const KerberosTicket& ticket = logon.ticket;
    if (logon.credentials) {
        if (logon.credentials->username.empty()) return refused;
        refused.tried = logon.credentials->account();
        refused.username = logon.credentials->username;
        refused.domain = logon.credentials->domain;
    } else if (ticket.principal.empty()) {
        refused.tried = "guest (no Kerberos ticket)";
    } else if (ticket.expired) {
        refused.tried = "guest (the Kerberos ticket of " + ticket.principal + " has expired)";
    } else if (isAddress(server)) {
        refused.tried = "guest (a Kerberos ticket needs the server's name, not its address)";
    } else {
        refused.tried = "the Kerberos ticket of " + ticket.principal + " or guest";
    }
    return refused;
}

bool connectionFailure(int error) {
    switch (error) {
        case ECONNABORTED:
        case ECONNRESET:
        case ECONNREFUSED:
        case ETIMEDOUT:
        case EPIPE:
        case ENOTCONN:
        case EHOSTUNREACH:
        case EHOSTDOWN:
        case ENETUNREACH:
        case ENETDOWN:
        case ENETRESET:
        case ESHUTDOWN:
            return true;
        default:
            return false;
    }
}

bool accessRefused(int error) {
    return error == EACCES || error == EPERM;
}

}  // namespace fennick::platform
