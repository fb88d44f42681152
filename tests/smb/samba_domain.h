#pragma once
// A throw-away Active Directory domain for the tests: a Samba domain controller provisioned
// into a private folder (its own smb.conf, state and Kerberos configuration), listening on
// 127.0.0.1 on the standard ports (Kerberos 88, LDAP 389, SMB 445; no DNS), serving shares
// to the domain's users. Kerberos needs the server's name, so the test program first moves
// into a network and mount namespace of its own (enterPrivateNetwork), where the
// controller's ports are free and its name resolves to 127.0.0.1 through a private
// /etc/hosts; the machine is left as it was, and everything ends with the test program.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "samba_server.h"

namespace fennick::test_support {

struct DomainUser {
    std::string name, password;
};

class SambaDomain {
  public:
    static constexpr const char* kRealm = "DEALER.TEST";
    static constexpr const char* kDomain = "DEALER";
    static constexpr const char* kServer = "dc1.dealer.test";

    // Moves this process (call it before any thread starts) into its own network namespace
    // with its own loopback, and its own mount namespace where /etc/hosts names the
    // controller. Empty when done, else why the domain cannot run here.
    static std::string enterPrivateNetwork();
    // Why the domain cannot run on this machine (a program that is not installed, a port that
    // is taken); empty when it can.
    static std::string unavailable();

    SambaDomain(std::filesystem::path folder, std::vector<SambaShare> shares,
                std::vector<DomainUser> users);
    ~SambaDomain();
    SambaDomain(const SambaDomain&) = delete;
    SambaDomain& operator=(const SambaDomain&) = delete;

    // Provisions the domain the first time, then starts the controller and waits until its
    // Kerberos, LDAP and SMB ports answer. Throws std::runtime_error with the log.
    void start();
    void stop();

    // The Kerberos configuration that finds this domain's KDC; the tests set $KRB5_CONFIG.
    std::filesystem::path krb5Config() const { return folder_ / "krb5.conf"; }
    // Gets `user` a ticket into the credentials cache `cache` with kinit; `lifetime` as kinit
    // reads it ("10h", "3s"). False with the reason in the log when the KDC refused.
    bool kinit(const DomainUser& user, const std::filesystem::path& cache,
               const std::string& lifetime = "") const;
    std::string log() const;

  private:
    void provision() const;
    void writeConfiguration() const;

    std::filesystem::path folder_;
    std::vector<SambaShare> shares_;
    std::vector<DomainUser> users_;
    pid_t pid_ = -1;
};

}  // namespace fennick::test_support
