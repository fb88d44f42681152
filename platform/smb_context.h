#pragma once
// One context of the SMB client library: its own connections to the servers, logging on as a
// SmbLogon says. The program makes one for writing to the share; each reader process
// (fennick-smb-reader) makes its own for reading. The library's Debian build keeps process-wide
// state without thread support, so a process lets one call into it at a time.

#include <libsmbclient.h>

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

  private:
    static void authenticate(SMBCCTX* ctx, const char* server, const char* share, char* workgroup,
                             int workgroupSize, char* user, int userSize, char* password,
                             int passwordSize);

    SMBCCTX* ctx_ = nullptr;
    SmbLogon logon_;
};

}  // namespace fennick::platform
