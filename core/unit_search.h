#pragma once
// Finding a unit by its unit number or serial number. The tree build keeps a small directory of
// every unit record it walks (see ModelTreeData::directory), so a search after the tree is built
// reads nothing but the unit lists that say whether each match is listed.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/store.h"
#include "work_progress.h"

namespace fennick::core {

// One unit record as the tree walk met it. Texts are trimmed; `model` keeps the model as the
// tree decoded it, so that the model node's tag can be rebuilt from it.
struct DirectoryEntry {
    std::int32_t record = 0;
    std::string unit;
    std::string serial;
    std::string lineCode;
    std::string model;
};

struct UnitMatch {
    std::string unit;
    std::string serial;
    std::string code;      // the line code, trimmed
    std::string model;     // trimmed
    std::string modelTag;  // the tag of the model node that lists the unit
    bool listed = false;   // a row of that model's unit list
};

// The entries whose unit number or serial number contains `text` (trimmed of blanks), letter
// case ignored, in directory order. Blank text matches nothing.
std::vector<const DirectoryEntry*> matchingEntries(const std::vector<DirectoryEntry>& directory,
                                                   std::string_view text);

// The first `limit` matches of `text` with `listed` worked out, as one action of the read cache:
// one unit-list pass per model that has matches among them, all checked against the sales in
// progress collected once. With `progress`, each model's pass is a step named by the model; a
// cancel ends the search before that pass, with the matches worked out until then.
std::vector<UnitMatch> findUnits(store::Store& store, const std::vector<DirectoryEntry>& directory,
                                 std::string_view text, std::size_t limit = SIZE_MAX,
                                 WorkProgress* progress = nullptr);

}  // namespace fennick::core
