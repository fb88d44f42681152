#include "dealer_text.h"

namespace fennick::core {

void overwrite(std::string& target, std::size_t at, std::string_view text) {
    if (at < 1 || at > target.size()) return;
    std::size_t n = std::min(text.size(), target.size() - (at - 1));
    target.replace(at - 1, n, text.substr(0, n));
}

bool containsText(std::string_view haystack, std::string_view needle) {
    return !haystack.empty() && haystack.find(needle) != std::string_view::npos;
}

}  // namespace fennick::core
