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

}  // namespace

SmbContext::SmbContext(SmbLogon logon, std::uint16_t port, int timeoutMs)
    : logon_(std::move(logon)) {
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
    }
    if (!smbc_init_context(ctx_)) {
        smbc_free_context(ctx_, 1);
        throw IoError("The SMB client cannot start");
    }
}

SmbContext::~SmbContext() {
    smbc_free_context(ctx_, 1);
}

void SmbContext::authenticate(SMBCCTX* ctx, const char*, const char*, char* workgroup,
                              int workgroupSize, char* user, int userSize, char* password,
                              int passwordSize) {
    const SmbLogon& logon = static_cast<SmbContext*>(smbc_getOptionUserData(ctx))->logon_;
    if (logon.credentials && !logon.credentials->username.empty()) {
        const SmbCredentials& c = *logon.credentials;
        if (!c.domain.empty()) copyInto(workgroup, workgroupSize, c.domain);
        copyInto(user, userSize, c.username);
        copyInto(password, passwordSize, c.password());
    } else {
        // Guest, also after a ticket the server refused; the library falls back to an
        // anonymous session where guest is refused.
        copyInto(user, userSize, "guest");
        copyInto(password, passwordSize, "");
    }
}

}  // namespace fennick::platform
