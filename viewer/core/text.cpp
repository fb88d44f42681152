#include "text.h"

namespace fennick::viewer {

std::string trimBlanks(std::string_view text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

void overwrite(std::string& target, std::size_t at, std::string_view text) {
    if (at < 1 || at > target.size()) return;
    std::size_t n = std::min(text.size(), target.size() - (at - 1));
    target.replace(at - 1, n, text.substr(0, n));
}

bool containsText(std::string_view haystack, std::string_view needle) {
    return !haystack.empty() && haystack.find(needle) != std::string_view::npos;
}

}  // namespace fennick::viewer
