#pragma once
// A real Samba server for the tests: smbd on 127.0.0.1, on a free port above 1024, with a
// configuration, password database and state written into a private folder of its own. It
// serves the given folders either to guests or only to one account (the user running the
// tests, added with smbpasswd). The server is stopped by stop(), by the destructor, and, should
// the test program die first, by the kernel (it is told to end with its parent).

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fennick::test_support {

// What the test servers share. A program on the PATH, else where Debian puts it; throws
// std::runtime_error naming the Debian package when it is not installed.
std::string installedProgram(const std::string& name, const std::string& package = "samba");
// Runs a program with `input` on its standard input and its output appended to `log`; its
// exit status, -1 when it could not run.
int runLogged(const std::vector<std::string>& argv, const std::string& input,
              const std::filesystem::path& log);
// Whether something accepts connections on 127.0.0.1:`port`.
bool acceptsOnLoopback(std::uint16_t port);
// Whether the process `pid` itself listens on 127.0.0.1:`port` (not another program that took
// the port first).
bool listensOnLoopback(pid_t pid, std::uint16_t port);
// Starts a server in a process group of its own, its output appended to `log`; it is killed
// should the test program die first. Its process id.
pid_t startServer(const std::vector<std::string>& argv, const std::filesystem::path& log);
// Ends the server's whole process group and waits for it.
void stopServer(pid_t pid);

struct SambaShare {
    std::string name;
    std::filesystem::path path;
    bool writable = false;
};

struct SambaAccount {
    std::string password;  // the user is the one running the tests
};

class SambaServer {
  public:
    // `folder` is made and used for the configuration, the logs and the state; with an
    // account, guests are refused everywhere.
    SambaServer(std::filesystem::path folder, std::vector<SambaShare> shares,
                std::optional<SambaAccount> account = std::nullopt);
    ~SambaServer();
    SambaServer(const SambaServer&) = delete;
    SambaServer& operator=(const SambaServer&) = delete;

    // Starts smbd and waits until the account (else a guest) can log on to the first share.
    // Throws std::runtime_error with the server's log when it cannot.
    void start();
    // Stops smbd and every process it started; waits for them to end.
    void stop();
    bool running() const { return pid_ > 0; }
    // Gives the account a new password (the server keeps running).
    void changePassword(const std::string& password);

    std::uint16_t port() const { return port_; }
    // The account's user name (the user running the tests).
    static std::string user();
    std::string log() const;

  private:
    void writeConfiguration() const;
    void addAccount() const;
    void addAccountOnce();
    // Starts smbd on `port`: false when another program listens there instead.
    bool startOn(std::uint16_t port);

    std::filesystem::path folder_;
    std::vector<SambaShare> shares_;
    std::optional<SambaAccount> account_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace fennick::test_support
