// The credentials file parser over arbitrary text. The user and domain never start or end with
// a blank or a tab, no value holds a line break, and text without "=" gives no credentials.

#include <cstdlib>

#include "fuzz_share.h"
#include "platform/smb_credentials.h"

using namespace fennick;

namespace {

bool trimmed(const std::string& value) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return value.empty() || (!blank(value.front()) && !blank(value.back()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto credentials = platform::parseCredentials(text);
    if (!trimmed(credentials.username) || !trimmed(credentials.domain)) std::abort();
    for (std::string_view value : {std::string_view(credentials.username),
                                   std::string_view(credentials.domain), credentials.password()})
        if (value.find('\n') != std::string_view::npos) std::abort();
    bool any = !credentials.username.empty() || !credentials.domain.empty() ||
               !credentials.password().empty();
    if (any && text.find('=') == std::string_view::npos) std::abort();
    credentials.account();
    return 0;
}
