#include "smb_context.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "file_system.h"

namespace fennick::platform {

namespace {

// The library's own diagnostics would land on stdout, in the middle of the CLI's output.
void discardLog(void*, int, const char*) {}

void copyInto(char* target, int size, std::string_view value) {
    if (size <= 0) return;
    auto n = std::min<std::size_t>(value.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(target, value.data(), n);
    target[n] = '\0';
}

// No account to log on with: no user's name, and no Kerberos ticket to try.
bool anonymous(const SmbLogon& logon) {
    return logon.credentials ? logon.credentials->username.empty() : !logon.kerberos;
}

}  // namespace

SmbContext::SmbContext(SmbLogon logon, std::uint16_t port, int timeoutMs)
    : logon_(std::move(logon)), trustFor_(std::chrono::milliseconds(timeoutMs)) {
    ctx_ = smbc_new_context();
    if (!ctx_) throw IoError("The SMB client cannot start");
    smbc_setLogCallback(ctx_, nullptr, discardLog);
    smbc_setDebug(ctx_, 0);
    smbc_setPort(ctx_, port);
    smbc_setTimeout(ctx_, timeoutMs);
    smbc_setOptionUserData(ctx_, this);
    smbc_setFunctionAuthDataWithContext(ctx_, &SmbContext::authenticate);
    if (!logon_.credentials && logon_.kerberos) {
        smbc_setOptionUseKerberos(ctx_, 1);
        smbc_setOptionFallbackAfterKerberos(ctx_, 1);
        smbc_setOptionUseCCache(ctx_, 1);
    } else if (anonymous(logon_)) {
        // Anonymous from the start: a refused anonymous session is not asked for twice.
        smbc_setOptionNoAutoAnonymousLogin(ctx_, 1);
    }
    if (!smbc_init_context(ctx_)) {
        smbc_free_context(ctx_, 1);
        throw IoError("The SMB client cannot start");
    }
}

SmbContext::~SmbContext() {
    smbc_free_context(ctx_, 1);
}

SmbContext& SmbContext::of(SMBCCTX* ctx) {
    return *static_cast<SmbContext*>(smbc_getOptionUserData(ctx));
}

void SmbContext::trustRecentConnections() {
    libraryAdd_ = smbc_getFunctionAddCachedServer(ctx_);
    libraryCheck_ = smbc_getFunctionCheckServer(ctx_);
    smbc_setFunctionAddCachedServer(ctx_, &SmbContext::addConnection);
    smbc_setFunctionCheckServer(ctx_, &SmbContext::checkConnection);
}

int SmbContext::addConnection(SMBCCTX* ctx, SMBCSRV* server, const char* name, const char* share,
                              const char* workgroup, const char* user) {
    SmbContext& self = of(ctx);
    self.lastUsed_ = Clock::now();
    return self.libraryAdd_(ctx, server, name, share, workgroup, user);
}

int SmbContext::checkConnection(SMBCCTX* ctx, SMBCSRV* server) {
    SmbContext& self = of(ctx);
    const auto now = Clock::now();
    if (now - self.lastUsed_ >= self.trustFor_ && self.libraryCheck_(ctx, server) != 0) return 1;
    self.lastUsed_ = now;
    return 0;
}

void SmbContext::authenticate(SMBCCTX* ctx, const char*, const char*, char* workgroup,
                              int workgroupSize, char* user, int userSize, char* password,
                              int passwordSize) {
    const SmbLogon& logon = of(ctx).logon_;
    if (logon.credentials && !logon.credentials->username.empty()) {
        const SmbCredentials& c = *logon.credentials;
        if (!c.domain.empty()) copyInto(workgroup, workgroupSize, c.domain);
        copyInto(user, userSize, c.username);
        copyInto(password, passwordSize, c.password());
    } else if (anonymous(logon)) {
        // The anonymous session, asked for at once. Asked for guest with no password, the
        // library first looks for a cached logon of guest (which only winbind keeps) after the
        // server's challenge: a round trip lost for the same anonymous session.
        copyInto(user, userSize, "");
        copyInto(password, passwordSize, "");
    } else {
        // Guest after a ticket the server refused; the library falls back to an anonymous
        // session where guest is refused.
        copyInto(user, userSize, "guest");
        copyInto(password, passwordSize, "");
    }
}

}  // namespace fennick::platform
