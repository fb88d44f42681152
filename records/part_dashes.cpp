#include "records/part_dashes.h"

#include <algorithm>

#include "engine/codec.h"
#include "platform/text.h"
#include "records/fields.h"

namespace fennick::records {

namespace {

using platform::trimBlanks;

constexpr std::string_view kPlaces = "123456789ABCDEFGHIJKL";
constexpr std::size_t kInsertablePlaces = 18;

void notePlace(std::string& code, std::size_t index) {
    if (index < kPlaces.size()) code += kPlaces[index];
}

}  // namespace

const std::string& dashPunctuationAlphabet() {
    static const std::string alphabet = alphabetWithPunctuation(" ,-.");
    return alphabet;
}

std::string insertDashes(std::string part, std::string_view code) {
    code = code.substr(0, code.find_last_not_of(' ') + 1);
    for (char c : code) {
        auto place = kPlaces.substr(0, kInsertablePlaces).find(c);
        if (place == std::string_view::npos) continue;
        part.insert(std::min(place, part.size()), 1, '-');
    }
    return part;
}

DashedPart splitDashes(std::string_view shown) {
    shown = trimBlanks(shown);
    DashedPart out;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        char c = shown[i];
        if (c != ' ' && codec::kPackingAlphabet.find(c) != std::string_view::npos)
            out.part += c;
        else
            notePlace(out.code, i);
    }
    return out;
}

std::optional<DashedPart> dashesOver(std::string_view part, std::string_view shown) {
    part = trimBlanks(part);
    shown = trimBlanks(shown);
    DashedPart out{std::string(part), {}};
    std::size_t j = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        char expected = j < part.size() ? (part[j] == '/' ? '-' : part[j]) : '\0';
        if (j < part.size() && shown[i] == expected)
            ++j;
        else if (shown[i] == '-')
            notePlace(out.code, i);
        else
            return std::nullopt;
    }
    if (j != part.size()) return std::nullopt;
    return out;
}

}  // namespace fennick::records
