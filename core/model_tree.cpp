#include "model_tree.h"

#include <cstdlib>

#include "dealer_text.h"
#include "platform/services.h"
#include "records/index_keys.h"
#include "records/lines.h"
#include "records/units.h"

namespace fennick::core {

namespace {

void showUnitDataError(std::int32_t number, const std::string& description) {
    platform::messages().show(unitDataErrorText(number, description), "Error",
                              platform::MessageIcon::Critical);
}

}  // namespace

std::string unitDataErrorText(std::int32_t number, const std::string& description) {
    const std::string crlf = "\r\n";
    return " Error " + std::to_string(number) + "  " + description + crlf +
           " in larkmoor.loadtree." + crlf +
           " There is a problem with your Unit data... call tarnwell." + crlf + crlf +
           " Aborting program.." + crlf + crlf;
}

std::string modelTag(const std::string& lineCode, const std::string& model) {
    std::string tag(kTagLength, ' ');
    overwrite(tag, 1, lineCode.substr(0, 3));
    overwrite(tag, 4, model);
    return tag;
}

std::pair<std::string, std::string> splitTag(const std::string& tag) {
    return {tag.substr(0, 3), tag.size() > 3 ? tag.substr(3) : std::string()};
}

ModelTreeData ModelTree::loadtree(bool inStockOnly, WorkProgress* progress) {
    auto action = store_.action();
    // Work waiting for the tree to give way is let in between any two batches of its reads
    // ahead, not only between lines: on a slow link a large line takes seconds.
    store::WhileReading<&store::ReadCache::setPausePoint> pauses(
        progress ? store_.cache() : nullptr, [progress] { progress->pausePoint(); });
    ModelTreeData tree;
    Finished finished;
    try {
        readTree(tree, finished, inStockOnly, progress);
    } catch (const WorkCancelled&) {
        // Cancelled deep in its reads: the lines finished before stay, as at a step.
        tree.lines.resize(finished.lines);
        tree.directory.resize(finished.directory);
        tree.cancelled = true;
    }
    return tree;
}

void ModelTree::readTree(ModelTreeData& tree, Finished& finished, bool inStockOnly,
                         WorkProgress* progress) {
    walked_.clear();
    store_.openAhead({"LINEI", "LINEL", "MUNITI", "UNITL"});
    for (auto entry = store_.find("LINEI", LineIndexKey::ofLine(1)); !entry.end(); entry.next()) {
        LineIndexKey key;
        key.Unpack(entry.key());
        if (!key.isLineNumber()) break;
        clsLines line = store_.line(entry.record());
        if (!goOn(progress, line.Line_Name, static_cast<std::int64_t>(tree.lines.size()))) {
            tree.cancelled = true;
            break;
        }
        if (line.Line_Type == "U") {
            tree.lines.push_back({line.Line_Name, line.Line_Name, line.Alpha_Line, {}});
            std::int32_t number = lookupLineNumber(line.Alpha_Line);
            if (number >= 1)
                walkModels(tree, tree.lines.back(), number, line.Alpha_Line, inStockOnly);
        }
        finished = {tree.lines.size(), tree.directory.size()};
    }
}

void ModelTree::loadModels(ModelTreeData& tree, const std::string& lineName,
                           const std::string& lineCode, bool inStockOnly) {
    std::int32_t number = lookupLineNumber(lineCode);
    if (number < 1) return;
    for (auto& node : tree.lines)
        if (node.key == lineName) return walkModels(tree, node, number, lineCode, inStockOnly);
    showUnitDataError(err::kElementNotFound, "Element not found");
}

// The line's index entries and the unit records they point to, and the record of the first
// entry after the line, whose line number ends the walk.
void ModelTree::readAheadUnitsOf(std::int32_t lineNumber) {
    if (lineNumber < 1 || lineNumber > 0xFFFF) return;
    std::string to = lineNumber < 0xFFFF ? UnitIndexKey::ofLine(lineNumber + 1) : std::string();
    store::IndexScan scan = store_.scanIndex("MUNITI", UnitIndexKey::ofLine(lineNumber), to);
    if (scan.following > 0) scan.records.push_back(scan.following);
    store_.readAhead("UNITL", scan.records);
}

// One node per run of index entries of a model, made at the run's first numbered unit. The
// walk ends where the line changes or the index ends.
void ModelTree::walkModels(ModelTreeData& tree, LineNode& node, std::int32_t lineNumber,
                           const std::string& lineCode, bool inStockOnly) {
    try {
        readAheadUnitsOf(lineNumber);
        std::string previous;
        for (auto entry = store_.find("MUNITI", UnitIndexKey::ofLine(lineNumber)); !entry.end();
             entry.next()) {
            clsUnits unit;
            unit.UnpackIdentity(store_.recordBytes("UNITL", entry.record()));
            if (unit.Line != lineNumber) break;
            const std::string& model = unit.Model_Number;
            std::string unitNumber = codec::trun(unit.Unit_Number);
            remember(tree, entry.record(), unit, unitNumber, lineCode);
            currentModel_ = model;
            if (model != previous && !unitNumber.empty() &&
                (!inStockOnly || modelHasInStockUnits(lineNumber, model)))
                node.models.push_back({model, modelTag(lineCode, model)});
            if (!unitNumber.empty()) previous = model;
        }
    } catch (const std::exception& failure) {
        // A read the share failed ends the action; nothing half-read counts as read. Damage
        // ends this line's models with the unit data message.
        if (isShareFailure(failure)) throw;
        auto* engine = dynamic_cast<const EngineError*>(&failure);
        showUnitDataError(engine ? engine->number() : 0,
                          engine ? engine->description() : failure.what());
    }
}

void ModelTree::remember(ModelTreeData& tree, std::int32_t record, const clsUnits& unit,
                         const std::string& unitNumber, const std::string& lineCode) {
    if (!walked_.insert(record).second) return;
    tree.directory.push_back(
        {record, unitNumber, codec::trun(unit.Unit_Serial_Number), lineCode, unit.Model_Number});
}

std::int32_t ModelTree::lookupLineNumber(const std::string& lineCode) {
    auto entry = store_.find("LINEI", LineIndexKey::ofCode(lineCode));
    if (!entry.exact()) return 0;
    return store_.line(entry.record()).Line;
}

bool ModelTree::modelHasInStockUnits(std::int32_t ulin, const std::string& model) {
    const std::string trimmed = codec::trun(model);
    for (auto entry = store_.find("MUNITI", UnitIndexKey::ofModel(ulin, model));
         !entry.end() && UnitIndexKey::of(entry.key()).inModel(ulin, trimmed); entry.next())
        if (store_.read<clsUnits>("UNITL", entry.record()).notOnSoldInvoice()) return true;
    return false;
}

std::optional<TreeSelection> findTag(const ModelTreeData& tree, const std::string& tag) {
    for (std::size_t l = 0; l < tree.lines.size(); ++l) {
        if (tree.lines[l].tag == tag) return TreeSelection{l, std::nullopt};
        const auto& models = tree.lines[l].models;
        for (std::size_t m = 0; m < models.size(); ++m)
            if (models[m].tag == tag) return TreeSelection{l, m};
    }
    return std::nullopt;
}

FindSelectResult findSelectUnit(const ModelTreeData& tree, const std::string& xlin,
                                const std::string& xmodel) {
    FindSelectResult result;
    for (std::size_t l = 0; l < tree.lines.size(); ++l) {
        const LineNode& line = tree.lines[l];
        if (line.tag == xlin) result.selected = TreeSelection{l, std::nullopt};
        if (codec::trun(splitTag(line.tag).second) == xmodel) {
            result.selected = TreeSelection{l, std::nullopt};
            result.loadUnits = true;
        }
        for (std::size_t m = 0; m < line.models.size(); ++m) {
            const std::string& tag = line.models[m].tag;
            if (tag == xlin) result.selected = TreeSelection{l, m};
            if (codec::trun(splitTag(tag).second) == xmodel) {
                result.selected = TreeSelection{l, m};
                result.loadUnits = true;
            }
        }
    }
    return result;
}

}  // namespace fennick::core
