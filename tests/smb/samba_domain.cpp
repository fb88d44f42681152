#include "samba_domain.h"

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fennick::test_support {

namespace fs = std::filesystem;

namespace {

// The controller's ports that clients need; DNS is left out.
constexpr std::uint16_t kPorts[] = {88, 389, 445};

std::string failed(const char* what) {
    return std::string(what) + " failed: " + std::strerror(errno);
}

bool bringLoopbackUp() {
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool ok = fd >= 0 && ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags |= IFF_UP | IFF_RUNNING;
    ok = ok && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    if (fd >= 0) ::close(fd);
    return ok;
}

std::string fileText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::string SambaDomain::enterPrivateNetwork() {
    if (::unshare(CLONE_NEWNS | CLONE_NEWNET) != 0)
        return failed("unshare of the network and mount namespaces (the domain needs root)");
    if (!bringLoopbackUp()) return failed("starting the private loopback");
    // Mounts made from here on stay in this namespace.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return failed("making the mounts private");
    std::string pattern = (fs::temp_directory_path() / "fennick-hosts-XXXXXX").string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return failed("writing the private hosts file");
    std::string hosts = "127.0.0.1 localhost " + std::string(kServer) + " dc1\n";
    bool written = ::write(fd, hosts.data(), hosts.size()) == static_cast<ssize_t>(hosts.size());
    ::fchmod(fd, 0644);
    ::close(fd);
    bool mounted =
        written && ::mount(pattern.c_str(), "/etc/hosts", nullptr, MS_BIND, nullptr) == 0;
    std::string why = mounted ? "" : failed("mounting the private /etc/hosts");
    ::unlink(pattern.c_str());  // the mount keeps the file for as long as it is needed
    return why;
}

std::string SambaDomain::unavailable() {
    try {
        installedProgram("samba", "samba-ad-dc");
        installedProgram("samba-tool", "samba-ad-dc");
        installedProgram("kinit", "krb5-user");
        if (!fs::exists("/usr/share/samba/setup/ad-schema"))
            return "the domain schema is not installed (Debian package samba-ad-provision)";
    } catch (const std::runtime_error& missing) {
        return missing.what();
    }
    for (std::uint16_t port : kPorts)
        if (acceptsOnLoopback(port))
            return "port " + std::to_string(port) + " on 127.0.0.1 is taken";
    return "";
}

SambaDomain::SambaDomain(fs::path folder, std::vector<SambaShare> shares,
                         std::vector<DomainUser> users)
    : folder_(std::move(folder)), shares_(std::move(shares)), users_(std::move(users)) {
    fs::create_directories(folder_);
}

SambaDomain::~SambaDomain() {
    stop();
}

std::string SambaDomain::log() const {
    return fileText(folder_ / "samba.log");
}

void SambaDomain::provision() const {
    fs::path logFile = folder_ / "samba.log";
    std::ofstream(folder_ / "empty.conf");
    auto option = [](const std::string& text) { return "--option=" + text; };
    std::vector<std::string> argv = {installedProgram("samba-tool", "samba-ad-dc"),
                                     "domain",
                                     "provision",
                                     "--configfile=" + (folder_ / "empty.conf").string(),
                                     "--targetdir=" + (folder_ / "dc").string(),
                                     "--realm=" + std::string(kRealm),
                                     "--domain=" + std::string(kDomain),
                                     "--server-role=dc",
                                     "--dns-backend=NONE",
                                     "--host-name=dc1",
                                     "--host-ip=127.0.0.1",
                                     "--adminpass=Adm1n-" + std::to_string(::getpid()),
                                     option("interfaces=127.0.0.1"),
                                     option("bind interfaces only=yes"),
                                     option("disable netbios=yes"),
                                     option("load printers=no"),
                                     option("printcap name=/dev/null")};
    if (runLogged(argv, "", logFile) != 0)
        throw std::runtime_error("samba-tool could not provision the test domain:\n" + log());
    for (const auto& user : users_) {
        std::vector<std::string> add = {installedProgram("samba-tool", "samba-ad-dc"),
                                        "user",
                                        "create",
                                        user.name,
                                        user.password,
                                        "--configfile=" + (folder_ / "dc/etc/smb.conf").string()};
        if (runLogged(add, "", logFile) != 0)
            throw std::runtime_error("samba-tool could not add " + user.name + ":\n" + log());
    }
}

void SambaDomain::writeConfiguration() const {
    fs::path conf = folder_ / "dc/etc/smb.conf";
    std::string text = fileText(conf);
    // The provisioned [global] section, without the shares that follow it.
    auto shares = text.find("\n[", text.find("[global]"));
    std::ofstream out(conf);
    out << text.substr(0, shares == std::string::npos ? text.size() : shares + 1);
    for (const auto& share : shares_)
        out << "[" << share.name << "]\n  path = " << share.path.string() << "\n"
            << "  read only = " << (share.writable ? "no" : "yes") << "\n";
    std::ofstream(krb5Config()) << "[libdefaults]\n  default_realm = " << kRealm
                                << "\n  dns_lookup_realm = false\n  dns_lookup_kdc = false\n"
                                << "  rdns = false\n  dns_canonicalize_hostname = false\n"
                                << "[realms]\n  " << kRealm << " = {\n    kdc = 127.0.0.1\n  }\n"
                                << "[domain_realm]\n  .dealer.test = " << kRealm << "\n";
}

void SambaDomain::start() {
    if (pid_ > 0) return;
    if (!fs::exists(folder_ / "dc/etc/smb.conf")) provision();
    writeConfiguration();
    pid_ = startServer({installedProgram("samba", "samba-ad-dc"), "--interactive", "--debug-stdout",
                        "--configfile=" + (folder_ / "dc/etc/smb.conf").string()},
                       folder_ / "samba.log");
    // On a busy machine the controller's first start (its TLS key made, its databases
    // opened) has taken over a minute.
    constexpr int kListenSeconds = 180;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kListenSeconds);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("samba ended at start-up; its log:\n" + log());
        }
        bool all = true;
        for (std::uint16_t port : kPorts)
            all = all && acceptsOnLoopback(port);
        if (all) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    stop();
    throw std::runtime_error("the domain controller did not listen within " +
                             std::to_string(kListenSeconds) + " s; its log:\n" + log());
}

void SambaDomain::stop() {
    if (pid_ <= 0) return;
    stopServer(pid_);
    pid_ = -1;
}

bool SambaDomain::kinit(const DomainUser& user, const fs::path& cache,
                        const std::string& lifetime) const {
    std::vector<std::string> argv = {installedProgram("kinit", "krb5-user"), "-c",
                                     "FILE:" + cache.string()};
    if (!lifetime.empty()) argv.insert(argv.end(), {"-l", lifetime});
    argv.push_back(user.name + "@" + kRealm);
    return runLogged(argv, user.password + "\n", folder_ / "samba.log") == 0;
}

}  // namespace fennick::test_support
