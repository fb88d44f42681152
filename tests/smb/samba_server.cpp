#include "samba_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "platform/smb_context.h"

namespace fennick::test_support {

namespace fs = std::filesystem;

namespace {

std::uint16_t freePort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bool ok = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
              ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    if (fd >= 0) ::close(fd);
    if (!ok) throw std::runtime_error("no free port on 127.0.0.1");
    return ntohs(address.sin_port);
}

std::vector<char*> argvOf(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    return args;
}

void appendOutputTo(const fs::path& log) {
    int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    ::dup2(out, 1);
    ::dup2(out, 2);
}

// Whether the server lets the tests log on: as the account, else as guest, to the share. A
// share whose folder is missing still shows that the log-on was taken.
bool logsOn(std::uint16_t port, const SambaShare& share,
            const std::optional<SambaAccount>& account) {
    platform::SmbLogon logon;
    if (account)
        logon.credentials = platform::SmbCredentials(SambaServer::user(), "", account->password);
    try {
        platform::SmbContext context(std::move(logon), port, 2000);
        SMBCCTX* ctx = context.get();
        std::string url = "smb://127.0.0.1/" + share.name + "/";
        struct stat info {};
        return smbc_getFunctionStat(ctx)(ctx, url.c_str(), &info) == 0 || errno == ENOENT;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

std::string installedProgram(const std::string& name, const std::string& package) {
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    path += ":/usr/sbin:/usr/bin:/sbin:/bin";
    std::stringstream dirs(path);
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (!dir.empty() && ::access((dir + "/" + name).c_str(), X_OK) == 0)
            return dir + "/" + name;
    throw std::runtime_error(name + " is not installed (Debian package " + package + ")");
}

bool acceptsOnLoopback(std::uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    bool ok = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) ::close(fd);
    return ok;
}

namespace {

// The inodes of the sockets listening on 127.0.0.1:`port`, from the kernel's TCP table.
std::vector<std::string> listeningInodes(std::uint16_t port) {
    std::ifstream table("/proc/net/tcp");
    char local[16];
    std::snprintf(local, sizeof local, "0100007F:%04X", static_cast<unsigned>(port));
    std::vector<std::string> inodes;
    std::string line;
    std::getline(table, line);  // the heading
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, address, remote, state, queues, timer, retransmits, uid, timeout, inode;
        fields >> slot >> address >> remote >> state >> queues >> timer >> retransmits >> uid >>
            timeout >> inode;
        if (address == local && state == "0A") inodes.push_back(inode);
    }
    return inodes;
}

// Whether the process `pid` holds one of `inodes` among its open files.
bool holdsSocket(pid_t pid, const std::vector<std::string>& inodes) {
    std::error_code ec;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
        std::string target = fs::read_symlink(fd.path(), ec).string();
        for (const auto& inode : inodes)
            if (target == "socket:[" + inode + "]") return true;
    }
    return false;
}

}  // namespace

bool listensOnLoopback(pid_t pid, std::uint16_t port) {
    auto inodes = listeningInodes(port);
    return !inodes.empty() && holdsSocket(pid, inodes);
}

int runLogged(const std::vector<std::string>& argv, const std::string& input, const fs::path& log) {
    int in[2];
    if (::pipe(in) != 0) return -1;
    auto args = argvOf(argv);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(in[0], 0);
        appendOutputTo(log);
        ::close(in[1]);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(in[0]);
    if (!input.empty() && ::write(in[1], input.data(), input.size()) < 0) pid = -1;
    ::close(in[1]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) < 0) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

pid_t startServer(const std::vector<std::string>& argv, const fs::path& log) {
    auto args = argvOf(argv);
    pid_t parent = ::getpid();
    pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("cannot start " + argv[0]);
    if (pid == 0) {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(1);
        appendOutputTo(log);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::setpgid(pid, pid);
    return pid;
}

void stopServer(pid_t pid) {
    ::kill(-pid, SIGTERM);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    // Whatever is left of the group (the main process or a connection's process) goes now.
    ::kill(-pid, SIGKILL);
    ::waitpid(pid, &status, 0);
}

SambaServer::SambaServer(fs::path folder, std::vector<SambaShare> shares,
                         std::optional<SambaAccount> account)
    : folder_(std::move(folder)), shares_(std::move(shares)), account_(std::move(account)) {
    for (const char* sub : {"private", "lock", "state", "cache", "pid", "ncalrpc"})
        fs::create_directories(folder_ / sub);
    fs::permissions(folder_ / "private", fs::perms::owner_all);
}

SambaServer::~SambaServer() {
    stop();
}

std::string SambaServer::user() {
    const passwd* entry = ::getpwuid(::geteuid());
    return entry ? entry->pw_name : "root";
}

std::string SambaServer::log() const {
    std::ifstream in(folder_ / "smbd.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void SambaServer::writeConfiguration() const {
    std::ofstream conf(folder_ / "smb.conf");
    auto dir = [&](const char* sub) { return (folder_ / sub).string(); };
    conf << "[global]\n"
         << "  netbios name = FENNICKTEST\n  workgroup = WORKGROUP\n"
         << "  server role = standalone server\n  server min protocol = SMB2\n"
         << "  interfaces = 127.0.0.1\n  bind interfaces only = yes\n"
         << "  smb ports = " << port_ << "\n  disable netbios = yes\n"
         << "  private dir = " << dir("private") << "\n  lock directory = " << dir("lock")
         << "\n  state directory = " << dir("state") << "\n  cache directory = " << dir("cache")
         << "\n  pid directory = " << dir("pid") << "\n  ncalrpc dir = " << dir("ncalrpc")
         << "\n  passdb backend = tdbsam:" << dir("private") << "/passdb.tdb\n"
         << "  guest account = " << user() << "\n"
         << "  map to guest = " << (account_ ? "Never" : "Bad User") << "\n"
         << "  restrict anonymous = " << (account_ ? 2 : 0) << "\n"
         << "  load printers = no\n  printing = bsd\n  printcap name = /dev/null\n"
         << "  disable spoolss = yes\n  usershare max shares = 0\n  log level = 1\n";
    for (const auto& share : shares_) {
        conf << "[" << share.name << "]\n  path = " << share.path.string() << "\n"
             << "  read only = " << (share.writable ? "no" : "yes") << "\n"
             << "  guest ok = " << (account_ ? "no" : "yes") << "\n";
        if (account_) conf << "  valid users = " << user() << "\n";
    }
}

void SambaServer::addAccount() const {
    if (!account_) return;
    std::string twice = account_->password + "\n" + account_->password + "\n";
    std::vector<std::string> argv = {
        installedProgram("smbpasswd"), "-c", (folder_ / "smb.conf").string(), "-s", "-a", user()};
    if (runLogged(argv, twice, folder_ / "smbd.log") != 0)
        throw std::runtime_error("smbpasswd could not add " + user() + ":\n" + log());
}

void SambaServer::changePassword(const std::string& password) {
    account_ = SambaAccount{password};
    addAccount();
}

void SambaServer::start() {
    if (running()) return;
    if (port_ == 0) addAccountOnce();
    // A port found free may be taken by another test program's server before smbd binds it;
    // the test would then talk to that server. Such a start is made again on another port.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (startOn(port_ == 0 || attempt > 0 ? freePort() : port_)) return;
    }
    throw std::runtime_error("smbd found no free port on 127.0.0.1 in five tries");
}

void SambaServer::addAccountOnce() {
    port_ = freePort();
    writeConfiguration();
    addAccount();
}

bool SambaServer::startOn(std::uint16_t port) {
    port_ = port;
    writeConfiguration();
    pid_ = startServer({installedProgram("smbd"), "--foreground", "--no-process-group",
                        "--debug-stdout", "-s", (folder_ / "smb.conf").string()},
                       folder_ / "smbd.log");
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("smbd ended at start-up; its log:\n" + log());
        }
        if (listensOnLoopback(pid_, port_)) {
            if (shares_.empty() || logsOn(port_, shares_[0], account_)) return true;
        } else if (acceptsOnLoopback(port_)) {
            // Listening, but not smbd: give it a moment to bind before calling the port taken.
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            if (listensOnLoopback(pid_, port_)) return true;
            stop();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    stop();
    throw std::runtime_error("smbd did not let the tests log on at port " + std::to_string(port_) +
                             " within 20 s; its log:\n" + log());
}

void SambaServer::stop() {
    if (!running()) return;
    stopServer(pid_);
    pid_ = -1;
}

}  // namespace fennick::test_support
