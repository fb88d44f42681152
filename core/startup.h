#pragma once
// What the main window computes while it starts: the command line's meaning, the caption and
// version text, the status-bar texts, the user-defined field names from FILE0 and the headings
// and captions built from them.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/store.h"

namespace fennick::core {

constexpr std::string_view kDesignCaption = "Tarnwell Larkmoor";
constexpr std::string_view kPointOfSaleCaller = "cfzelt";

// The command line: comma-separated elements; element 0 names the caller, elements 1 and 2 a
// product line code and a model number.
struct CommandLine {
    std::vector<std::string> elements;
    bool fromPointOfSale = false;    // element 0 is "cfzelt"
    bool lineAndModelGiven = false;  // three elements or more
    bool hideAddToInvoiceMenu = false;

    std::string lineCode() const { return lineAndModelGiven ? elements[1] : std::string(); }
    std::string model() const { return lineAndModelGiven ? elements[2] : std::string(); }
};

CommandLine parseCommandLine(std::string_view text);

// The program's version, "7.05.0003" (set once, in the build).
const char* programVersion();
// "Version   7.05.0003", with "w" appended when the point of sale started the program.
std::string versionText(bool fromPointOfSale);
// The caption: the current one, 13 blanks and the version text.
std::string captionText(std::string_view currentCaption, bool fromPointOfSale);
// Status-bar panels 1 to 4: client, host, terminal, source and store.
std::array<std::string, 4> statusBarTexts(const cSystem& system);

// The names of the four user-defined unit fields, from block 4 of FILE0 (positions 433, 453,
// 473 and 493), with the default names for fields left blank. Fails when FILE0 cannot be read.
using UserDefinedNames = std::array<std::string, 4>;
inline constexpr std::int32_t kUserDefinedNamesBlock = 4;
UserDefinedNames readUserDefinedNames(store::Store& store);
UserDefinedNames userDefinedNamesFrom(std::string_view block4);

// The 30 headings of the unit grid and of the pick list, the user-defined names among them.
std::vector<std::string> unitGridHeadings(const UserDefinedNames& names);
// The 18 captions of the unit detail panel (user-defined names as captions 9 to 12).
std::vector<std::string> detailCaptions(const UserDefinedNames& names);

// The saved "Ckbox" setting: anything but "0" switches the in-stock filter on.
inline bool inStockFilterFromSetting(const std::string& value) {
    return value != "0";
}

}  // namespace fennick::core
