#include "smb_kerberos.h"

#include <krb5.h>

#include <ctime>

namespace fennick::platform {

namespace {

// Whether `creds` is a ticket-granting ticket ("krbtgt/REALM@REALM") valid at `now`.
bool validTicketGrantingTicket(const krb5_creds& creds, krb5_timestamp now) {
    const krb5_principal_data* server = creds.server;
    if (!server || server->length != 2) return false;
    std::string name(server->data[0].data, server->data[0].length);
    bool started = creds.times.starttime == 0 || creds.times.starttime <= now;
    return name == "krbtgt" && started && now < creds.times.endtime;
}

}  // namespace

KerberosTicket kerberosTicket() {
    KerberosTicket ticket;
    krb5_context context = nullptr;
    if (krb5_init_context(&context) != 0) return ticket;
    krb5_ccache cache = nullptr;
    krb5_principal principal = nullptr;
    if (krb5_cc_default(context, &cache) == 0 &&
        krb5_cc_get_principal(context, cache, &principal) == 0) {
        char* name = nullptr;
        if (krb5_unparse_name(context, principal, &name) == 0) {
            ticket.principal = name;
            krb5_free_unparsed_name(context, name);
        }
        ticket.expired = true;
        krb5_cc_cursor cursor = nullptr;
        auto now = static_cast<krb5_timestamp>(std::time(nullptr));
        if (krb5_cc_start_seq_get(context, cache, &cursor) == 0) {
            krb5_creds creds;
            while (krb5_cc_next_cred(context, cache, &cursor, &creds) == 0) {
                if (validTicketGrantingTicket(creds, now)) ticket.expired = false;
                krb5_free_cred_contents(context, &creds);
            }
            krb5_cc_end_seq_get(context, cache, &cursor);
        }
        krb5_free_principal(context, principal);
    }
    if (cache) krb5_cc_close(context, cache);
    krb5_free_context(context);
    return ticket;
}

}  // namespace fennick::platform
