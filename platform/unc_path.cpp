#include "unc_path.h"

namespace fennick::platform {

std::optional<std::vector<std::string>> uncComponents(const std::string& unc) {
    auto isSep = [](char c) { return c == '\\' || c == '/'; };
    if (unc.size() < 3 || !isSep(unc[0]) || !isSep(unc[1])) return std::nullopt;
    std::vector<std::string> parts;
    std::string part;
    for (std::size_t i = 2; i <= unc.size(); ++i) {
        if (i == unc.size() || isSep(unc[i])) {
            if (part == "." || part == "..") return std::nullopt;
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else if (unc[i] == '\0' || unc[i] == ':') {
            return std::nullopt;
        } else {
            part += unc[i];
        }
    }
    if (parts.empty()) return std::nullopt;
    return parts;
}

}  // namespace fennick::platform
