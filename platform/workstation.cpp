#include "workstation.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace fennick::platform {

std::string tempDirectory() {
    const char* env = std::getenv("TMPDIR");
    std::filesystem::path dir = env && *env ? env : "/tmp";
    std::error_code ec;
    auto canonical = std::filesystem::weakly_canonical(dir, ec);
    std::string out = (ec ? dir : canonical).string();
    if (out.empty() || out.back() != '/') out += '/';
    return out;
}

std::string hostName() {
    char buf[256] = {};
    if (gethostname(buf, sizeof buf - 1) != 0) return {};
    std::string name(buf);
    return name.substr(0, name.find('.'));
}

std::string ipv4Of(const std::string& name) {
    in_addr direct{};
    if (inet_pton(AF_INET, name.c_str(), &direct) == 1) return name;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* result = nullptr;
    if (name.empty() || getaddrinfo(name.c_str(), nullptr, &hints, &result) != 0 || !result)
        return "255.255.255.255";
    char text[INET_ADDRSTRLEN] = {};
    auto* addr = reinterpret_cast<sockaddr_in*>(result->ai_addr);
    inet_ntop(AF_INET, &addr->sin_addr, text, sizeof text);
    freeaddrinfo(result);
    return text;
}

LocalDateTime localNow() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace fennick::platform
