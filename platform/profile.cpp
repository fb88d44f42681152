#include "profile.h"

#include "text.h"

#include <cctype>
#include <sstream>

namespace fennick::platform {

namespace {

std::string trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

std::string unquote(std::string v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return v;
}

}  // namespace

std::string readProfileString(const std::string& fileBytes, const std::string& section,
                              const std::string& key) {
    std::istringstream in(fileBytes);
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        std::string t = trim(line);
        if (t.empty() || t[0] == ';') continue;
        if (t.front() == '[') {
            auto close = t.find(']');
            inSection = close != std::string::npos &&
                        equalIgnoringCase(trim(t.substr(1, close - 1)), section);
            continue;
        }
        if (!inSection) continue;
        auto eq = t.find('=');
        if (eq == std::string::npos || !equalIgnoringCase(trim(t.substr(0, eq)), key)) continue;
        std::string value = unquote(trim(t.substr(eq + 1)));
        if (value.size() > kProfileValueLimit) value.resize(kProfileValueLimit);
        return value;
    }
    return {};
}

}  // namespace fennick::platform
