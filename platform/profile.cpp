#include "profile.h"

#include "text.h"

#include <sstream>

namespace fennick::platform {

namespace {

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
        std::string t(trimBlanks(line, kWhiteSpace));
        if (t.empty() || t[0] == ';') continue;
        if (t.front() == '[') {
            auto close = t.find(']');
            inSection =
                close != std::string::npos &&
                equalIgnoringCase(trimBlanks(std::string_view(t).substr(1, close - 1), kWhiteSpace),
                                  section);
            continue;
        }
        if (!inSection) continue;
        auto eq = t.find('=');
        if (eq == std::string::npos ||
            !equalIgnoringCase(trimBlanks(std::string_view(t).substr(0, eq), kWhiteSpace), key))
            continue;
        std::string value =
            unquote(std::string(trimBlanks(std::string_view(t).substr(eq + 1), kWhiteSpace)));
        if (value.size() > kProfileValueLimit) value.resize(kProfileValueLimit);
        return value;
    }
    return {};
}

}  // namespace fennick::platform
