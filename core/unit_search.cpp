#include "unit_search.h"

#include <map>
#include <optional>
#include <set>
#include <utility>

#include "allocation.h"
#include "dealer_text.h"
#include "model_tree.h"
#include "unit_list.h"

namespace fennick::core {

namespace {

char foldCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string folded(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = foldCase(c);
    return out;
}

// Unit number and serial of each row, as the rows hold them.
using Listed = std::set<std::pair<std::string, std::string>>;

Listed listedUnits(store::Store& store, const std::string& tag, const AllocatedUnits& sales) {
    auto [lineCode, model] = splitTag(tag);
    Listed out;
    for (const UnitRow& row : LoadUnits(store, lineCode, model, sales).rows)
        out.emplace(row.unit, row.serial);
    return out;
}

}  // namespace

std::vector<const DirectoryEntry*> matchingEntries(const std::vector<DirectoryEntry>& directory,
                                                   std::string_view text) {
    const std::string needle = folded(trimBlanks(text));
    std::vector<const DirectoryEntry*> out;
    if (needle.empty()) return out;
    for (const DirectoryEntry& entry : directory)
        if (folded(entry.unit).find(needle) != std::string::npos ||
            folded(entry.serial).find(needle) != std::string::npos)
            out.push_back(&entry);
    return out;
}

std::vector<UnitMatch> findUnits(store::Store& store, const std::vector<DirectoryEntry>& directory,
                                 std::string_view text, std::size_t limit, WorkProgress* progress) {
    auto action = store.action();
    std::vector<UnitMatch> out;
    std::map<std::string, Listed> listsByTag;
    std::optional<AllocatedUnits> sales;  // collected for the first list, kept for the others
    for (const DirectoryEntry* entry : matchingEntries(directory, text)) {
        if (out.size() >= limit) break;
        std::string tag = modelTag(entry->lineCode, entry->model);
        auto list = listsByTag.find(tag);
        if (list == listsByTag.end()) {
            const auto passes = static_cast<std::int64_t>(listsByTag.size());
            if (!goOn(progress, codec::trun(entry->model), passes)) break;
            if (!sales) sales = AllocatedUnits::collect(store);
            list = listsByTag.emplace(tag, listedUnits(store, tag, *sales)).first;
        }
        bool listed = list->second.count({entry->unit, entry->serial}) > 0;
        out.push_back({entry->unit, entry->serial, codec::trun(entry->lineCode),
                       codec::trun(entry->model), tag, listed});
    }
    return out;
}

}  // namespace fennick::core
