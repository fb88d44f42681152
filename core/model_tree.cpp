#include "model_tree.h"

#include <cstdlib>

#include "dealer_text.h"
#include "platform/services.h"
#include "prefetch.h"
#include "records/lines.h"
#include "records/units.h"
#include "unit_index.h"

namespace fennick::core {

namespace {

constexpr std::int32_t kFirstAlphaKey = 1000;  // LINEI keys from here on are not line numbers
constexpr std::size_t kModelKeyLength = 22;

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
    ReadCache::Scope action(engine_.Share());
    ModelTreeData tree;
    walked_.clear();
    std::string buff, key(2, '\0');
    engine_.Pack("C", key, 1, 1);
    std::int32_t rec = 0;
    engine_.KFind("LINEI", buff, key, rec);
    rec = std::abs(rec);
    while (rec > 0 && engine_.Unpack("C", key, 1) < kFirstAlphaKey) {
        clsLines line(engine_);
        line.Unpack(engine_.LreadFile("LINEL", rec));
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
        engine_.KNext("LINEI", buff, key, rec);
    }
    return tree;
}

void ModelTree::loadModels(ModelTreeData& tree, const std::string& lineName,
                           const std::string& lineCode, bool inStockOnly) {
    std::int32_t number = lookupLineNumber(lineCode);
    if (number < 1) return;
    for (auto& node : tree.lines)
        if (node.key == lineName) return walkModels(tree, node, number, lineCode, inStockOnly);
    showUnitDataError(err::kElementNotFound, "Element not found");
}

std::string ModelTree::unitRecord(std::int32_t record) {
    return engine_.LreadFile("UNITL", record);
}

// The line's index entries and the unit records they point to, and the record of the first
// entry after the line, whose line number ends the walk.
void ModelTree::prefetchUnitsOf(std::int32_t lineNumber) {
    if (lineNumber < 1 || lineNumber > 0xFFFF) return;
    std::string from(kModelKeyLength, '\0'), to;
    engine_.Pack("C", from, lineNumber, 1);
    if (lineNumber < 0xFFFF) {
        to.assign(kModelKeyLength, '\0');
        engine_.Pack("C", to, lineNumber + 1, 1);
    }
    IndexScan scan = scanIndex(engine_, "MUNITI", from, to);
    if (scan.following > 0) scan.records.push_back(scan.following);
    prefetchRecords(engine_, "UNITL", scan.records);
}

// One node per run of index entries of a model, made at the run's first numbered unit. The
// walk ends where the line changes or the index ends (record number 0).
void ModelTree::walkModels(ModelTreeData& tree, LineNode& node, std::int32_t lineNumber,
                           const std::string& lineCode, bool inStockOnly) {
    try {
        prefetchUnitsOf(lineNumber);
        std::string buff, key = std::string(kModelKeyLength, '\0');
        engine_.Pack("C", key, lineNumber, 1);
        std::int32_t rec = 0;
        engine_.KFind("MUNITI", buff, key, rec);
        rec = std::abs(rec);
        std::string previous;
        while (rec != 0) {
            std::string unit = unitRecord(rec);
            if (engine_.Unpack("C", unit, 3) != lineNumber) break;
            std::string packed = unit.size() > 4 ? unit.substr(4, 12) : std::string();
            std::string model = engine_.Ucm(packed);
            std::string unitNumber = engine_.Trun(unit.size() > 19 ? unit.substr(19, 8) : "");
            remember(tree, rec, unit, unitNumber, lineCode, model);
            currentModel_ = model;
            if (model != previous && !unitNumber.empty() &&
                (!inStockOnly || modelHasInStockUnits(lineNumber, model)))
                node.models.push_back({model, modelTag(lineCode, model)});
            if (!unitNumber.empty()) previous = model;
            engine_.KNext("MUNITI", buff, key, rec);
        }
    } catch (const platform::ConnectionLost&) {
        throw;  // the action ends; nothing half-read counts as read
    } catch (const EngineError& failure) {
        showUnitDataError(failure.number(), failure.description());
    } catch (const platform::IoError& failure) {
        showUnitDataError(err::kDeviceIo, failure.what());
    }
}

void ModelTree::remember(ModelTreeData& tree, std::int32_t record, const std::string& unit,
                         const std::string& unitNumber, const std::string& lineCode,
                         const std::string& model) {
    if (!walked_.insert(record).second) return;
    std::string packedSerial = unit.size() > 56 ? unit.substr(56, 12) : std::string();
    tree.directory.push_back(
        {record, unitNumber, engine_.Trun(engine_.Ucm(packedSerial)), lineCode, model});
}

std::int32_t ModelTree::lookupLineNumber(const std::string& lineCode) {
    std::string source = lineCode, buff;
    std::string key = engine_.Crm(source);
    std::int32_t rec = 0;
    engine_.KFind("LINEI", buff, key, rec);
    if (rec < 1) return 0;
    clsLines line(engine_);
    line.Unpack(engine_.LreadFile("LINEL", rec));
    return line.Line;
}

bool ModelTree::modelHasInStockUnits(std::int32_t ulin, const std::string& model) {
    std::string buff, key = unitSearchKey(engine_, ulin, model, kModelKeyLength);
    std::string trimmed = engine_.Trun(model);
    std::int32_t rec = 0;
    engine_.KFind("MUNITI", buff, key, rec);
    rec = std::abs(rec);
    while (rec != 0 && keyInModel(engine_, key, ulin, trimmed)) {
        clsUnits unit;
        unit.Unpack(unitRecord(rec));
        if (unit.Sold_Invoice_Number == 0) return true;
        engine_.KNext("MUNITI", buff, key, rec);
    }
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
