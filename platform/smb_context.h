#pragma once
// One context of the SMB client library: its own connections to the servers, logging on as a
// SmbLogon says. The program makes one for writing to the share; each reader process
// (fennick-smb-reader) makes its own for reading. The library's Debian build keeps process-wide
// state without thread support, so a process lets one call into it at a time.

#include <libsmbclient.h>

#include <chrono>
#include <cstdint>

#include "smb_logon.h"

namespace fennick::platform {

class SmbContext {
  public:
    // Throws IoError when the library cannot start a context.
    SmbContext(SmbLogon logon, std::uint16_t port, int timeoutMs);
    ~SmbContext();
    SmbContext(const SmbContext&) = delete;
    SmbContext& operator=(const SmbContext&) = delete;

    SMBCCTX* get() const { return ctx_; }
    const SmbLogon& logon() const { return logon_; }

    // The library asks a server whether it is still there (an echo, a round trip of its own)
    // when a connection is first used again and after each quiet spell of the time limit. From
    // this call on, a connection made or used within the time limit is taken as there: a call on
    // one that broke since fails like any other, for a caller that tries once more on a new
    // connection (a reader process).
    void trustRecentConnections();

  private:
    using Clock = std::chrono::steady_clock;
    static void authenticate(SMBCCTX* ctx, const char* server, const char* share, char* workgroup,
                             int workgroupSize, char* user, int userSize, char* password,
                             int passwordSize);
    static int addConnection(SMBCCTX* ctx, SMBCSRV* server, const char* name, const char* share,
                             const char* workgroup, const char* user);
    static int checkConnection(SMBCCTX* ctx, SMBCSRV* server);
    static SmbContext& of(SMBCCTX* ctx);

    SMBCCTX* ctx_ = nullptr;
    SmbLogon logon_;
    Clock::duration trustFor_{};
    Clock::time_point lastUsed_{};
    smbc_add_cached_srv_fn libraryAdd_ = nullptr;
    smbc_check_server_fn libraryCheck_ = nullptr;
};

}  // namespace fennick::platform
