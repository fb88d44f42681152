#include "startup.h"

#include "dealer_text.h"
#include "unit_row.h"

namespace fennick::core {

namespace {

constexpr std::size_t kNamePositions[] = {433, 453, 473, 493};
constexpr const char* kDefaultNames[] = {"User Defined Numeric 1", "User Defined Numeric 2",
                                         "User Defined Alpha 1", "User Defined Alpha 2"};

}  // namespace

CommandLine parseCommandLine(std::string_view text) {
    CommandLine line;
    line.elements = codec::split(text, ",");
    line.lineAndModelGiven = line.elements.size() >= 3;
    line.fromPointOfSale = !line.elements.empty() && line.elements[0] == kPointOfSaleCaller;
    line.hideAddToInvoiceMenu = line.fromPointOfSale || line.lineAndModelGiven;
    return line;
}

const char* programVersion() {
    return FENNICK_VERSION_TEXT;
}

std::string versionText(bool fromPointOfSale) {
    std::string text = std::string("Version   ") + programVersion();
    return fromPointOfSale ? text + "w" : text;
}

std::string captionText(std::string_view currentCaption, bool fromPointOfSale) {
    return std::string(currentCaption) + std::string(13, ' ') + versionText(fromPointOfSale);
}

std::array<std::string, 4> statusBarTexts(const cSystem& system) {
    std::string store = system.mDirectory.size() > 3 ? system.mDirectory.substr(3) : std::string();
    return {"Client :" + system.ComputerName, "Host :" + system.mUNCDrive,
            "Terminal :" + system.xTermid,
            "Source :" + system.mDirectory + "      Store # " + store};
}

UserDefinedNames userDefinedNamesFrom(std::string_view block4) {
    UserDefinedNames names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::size_t at = kNamePositions[i] - 1;
        std::string field(at < block4.size() ? block4.substr(at, 8) : std::string_view());
        names[i] = trimBlanks(field).empty() ? kDefaultNames[i] : codec::trun(field);
    }
    return names;
}

UserDefinedNames readUserDefinedNames(store::Store& store) {
    return userDefinedNamesFrom(store.plainBlock("FILE0", kUserDefinedNamesBlock));
}

std::vector<std::string> unitGridHeadings(const UserDefinedNames& names) {
    std::vector<std::string> headings;
    for (const auto& column : unitColumns())
        headings.push_back(column.userDefinedName < 0
                               ? std::string(column.heading)
                               : names[static_cast<std::size_t>(column.userDefinedName)]);
    return headings;
}

std::vector<std::string> detailCaptions(const UserDefinedNames& n) {
    return {"Serial Number",
            "Mfg Id #",
            "Series #",
            "Engine Type",
            "Engine Id #",
            "Drive Type",
            "Meter",
            "Status",
            "Unit Type",
            n[0],
            n[1],
            n[2],
            n[3],
            "Description",
            "Sugg. List",
            "List",
            "Cost",
            "Days in Stock"};
}

}  // namespace fennick::core
