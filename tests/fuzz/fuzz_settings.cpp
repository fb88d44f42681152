// The settings (.ini) reader over arbitrary text: every key of the section start-up reads, and
// a section and key the input names itself. A value is at most 99 characters, carries no line
// break, and has no blanks at either end.

#include <cstdlib>

#include "fuzz_share.h"
#include "platform/profile.h"

using namespace fennick;

namespace {

void check(const std::string& value) {
    if (value.size() > platform::kProfileValueLimit) std::abort();
    if (value.find('\n') != std::string::npos) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    std::string section = in.take(in.number(1) % 16);
    std::string key = in.take(in.number(1) % 16);
    std::string text = in.rest();
    for (const char* name :
         {"Server", "DataShare", "CatalogShare", "Directory", "TerminalID", "CustomerNumber"})
        check(platform::readProfileString(text, "Quarto", name));
    check(platform::readProfileString(text, section, key));
    return 0;
}
