#pragma once
// Part numbers of invoice lines are stored without their dashes, followed by a dash code of up
// to three characters from "123456789ABCDEFGHIJKL": each names the place (1 to 21) of a dash
// in the part number as shown.

#include <optional>
#include <string>
#include <string_view>

namespace fennick::records {

// The alphabet detail lines are decoded with, so that the stored "/" shows as "-".
const std::string& dashPunctuationAlphabet();

// `part` with a dash inserted for each character of `code` (trailing blanks ignored), in
// order, before the character at that place of the text as it stands after the earlier
// insertions. Only places 1 to 18 ("1" to "I") insert anything.
std::string insertDashes(std::string part, std::string_view code);

struct DashedPart {
    std::string part;  // without dashes
    std::string code;  // one place character per dash; only the first three are stored
};

// Takes a part number as shown apart: blanks around it are dropped; every character of the
// packing alphabet other than the blank is kept, any other (a dash, an inner blank) is
// dropped and its place noted in the code.
DashedPart splitDashes(std::string_view shown);

// When `shown` is `part` with dashes inserted, where each "/" of `part` shows as "-": `part`
// itself and the code of the inserted dashes. Nothing when `shown` is not of that form.
std::optional<DashedPart> dashesOver(std::string_view part, std::string_view shown);

}  // namespace fennick::records
