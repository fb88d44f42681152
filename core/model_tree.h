#pragma once
// The model tree: the dealer's unit lines (from LINEI/LINEL) and, under each, the model numbers
// that have numbered units in MUNITI, optionally only those with an unsold unit. Nodes carry
// the texts and tags the window shows and later reads back on a click.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "records/units.h"
#include "store/store.h"
#include "unit_search.h"
#include "work_progress.h"

namespace fennick::core {

constexpr std::size_t kTagLength = 30;

struct ModelNode {
    std::string text;  // the model number as decoded (18 characters)
    std::string tag;   // 30 characters: line code at 1-3, model from 4
};

struct LineNode {
    std::string key;  // the line name; model nodes join the line node of that key
    std::string text;
    std::string tag;  // the line code
    std::vector<ModelNode> models;
};

struct ModelTreeData {
    std::vector<LineNode> lines;
    // Every unit record the walk met, once each, in walk order; the same with the in-stock
    // filter on or off, as the filter only decides which model nodes are made.
    std::vector<DirectoryEntry> directory;
    bool cancelled = false;  // the build stopped early: `lines` holds the lines read until then
};

// The 30-character tag of a model node.
std::string modelTag(const std::string& lineCode, const std::string& model);
// A tag taken apart as a click does: line code (positions 1-3) and model (from position 4).
std::pair<std::string, std::string> splitTag(const std::string& tag);

class ModelTree {
  public:
    explicit ModelTree(store::Store& store) : store_(store) {}

    // Builds the whole tree, as one action of the read cache: each line's unit records are read
    // ahead in batches, and the in-stock test finds them kept. A failure while walking one line's
    // units shows the unit-data error box and the tree goes on with the next line. With
    // `progress`, each line read is a step named by the line's name; a cancel keeps the lines
    // finished before it.
    ModelTreeData loadtree(bool inStockOnly, WorkProgress* progress = nullptr);
    // Adds the model nodes of the line with this code under the line node keyed `lineName`.
    void loadModels(ModelTreeData& tree, const std::string& lineName, const std::string& lineCode,
                    bool inStockOnly);
    // The line number of the line with this code; 0 when there is none.
    std::int32_t lookupLineNumber(const std::string& lineCode);
    // True when any unit of this line and model is on no sold invoice.
    bool modelHasInStockUnits(std::int32_t ulin, const std::string& model);
    // The model number the tree builder handled last.
    const std::string& currentModel() const { return currentModel_; }

  private:
    struct Finished {
        std::size_t lines = 0, directory = 0;
    };
    void readTree(ModelTreeData& tree, Finished& finished, bool inStockOnly,
                  WorkProgress* progress);
    void walkModels(ModelTreeData& tree, LineNode& node, std::int32_t lineNumber,
                    const std::string& lineCode, bool inStockOnly);
    void readAheadUnitsOf(std::int32_t lineNumber);
    void remember(ModelTreeData& tree, std::int32_t record, const clsUnits& unit,
                  const std::string& unitNumber, const std::string& lineCode);

    store::Store& store_;
    std::string currentModel_;
    std::unordered_set<std::int32_t> walked_;  // unit records already in the directory
};

// Where findSelectUnit leaves the selection: line index and model index (none for a line node).
struct TreeSelection {
    std::size_t line = 0;
    std::optional<std::size_t> model;
};

struct FindSelectResult {
    std::optional<TreeSelection> selected;  // the last node whose tag matched
    bool loadUnits = false;                 // a node's model part matched: list xlin, xmodel
};

// Selects the line node whose tag is `xlin` and the model nodes whose model part, trimmed,
// is `xmodel`; the last match stays selected.
FindSelectResult findSelectUnit(const ModelTreeData& tree, const std::string& xlin,
                                const std::string& xmodel);

// The first node whose tag is `tag`, if any.
std::optional<TreeSelection> findTag(const ModelTreeData& tree, const std::string& tag);

// The text of the unit-data error box that loadModels shows.
std::string unitDataErrorText(std::int32_t number, const std::string& description);

}  // namespace fennick::core
