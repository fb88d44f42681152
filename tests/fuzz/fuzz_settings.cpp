// The settings (.ini) reader over arbitrary text: every key of the section start-up reads, and
// a section and key the input names itself. A value is at most 99 characters and carries no
// line break. And a file that opens with a section and key the input names, then any text:
// the key reads as its value with white space trimmed at both ends, one pair of matching
// quotes taken off, and cut to 99 characters.

#include <algorithm>
#include <cstdlib>

#include "fuzz_share.h"
#include "platform/profile.h"

using namespace fennick;

namespace {

void check(const std::string& value) {
    if (value.size() > platform::kProfileValueLimit) std::abort();
    if (value.find('\n') != std::string::npos) std::abort();
}

std::string without(std::string text, const char* banned) {
    std::erase_if(
        text, [&](char c) { return std::string_view(banned).find(c) != std::string_view::npos; });
    return text;
}

std::string trimmed(const std::string& text) {
    const char* space = " \t\v\f\r";
    auto first = text.find_first_not_of(space);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

std::string expectedValue(const std::string& written) {
    std::string value = trimmed(written);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value.substr(0, platform::kProfileValueLimit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    std::string section = in.take(in.number(1) % 16);
    std::string key = in.take(in.number(1) % 16);
    std::string value = without(in.take(in.number(1) % 160), "\n");
    std::string text = in.rest();
    for (const char* name :
         {"Server", "DataShare", "CatalogShare", "Directory", "TerminalID", "CustomerNumber"})
        check(platform::readProfileString(text, "Quarto", name));
    check(platform::readProfileString(text, section, key));

    section = trimmed(without(section, "\n]"));
    key = trimmed(without(key, "\n="));
    if (!key.empty() && (key.front() == ';' || key.front() == '[')) return 0;
    const std::string file = "[" + section + "]\n" + key + "=" + value + "\n" + text;
    if (platform::readProfileString(file, section, key) != expectedValue(value)) std::abort();
    return 0;
}
