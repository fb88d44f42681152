// The stock ageing in one pass over the whole stock: the tree is built once (its walk reads
// every unit record, kept for the action), each model's entries are taken from the index as its
// unit list takes them, the sales in progress are checked once for every unsold unit, and the
// sub-ledger chains of all kept units are walked together, a batch of chains at a time.

#include <exception>
#include <map>
#include <optional>

#include "allocation.h"
#include "formats.h"
#include "model_tree.h"
#include "records/index_keys.h"
#include "records/unit_ledger.h"
#include "records/units.h"
#include "stock_ageing.h"

namespace fennick::core {

namespace {

// Chains walked per call, so that a cancel is seen between batches.
constexpr std::size_t kChainBatch = 16384;

// What the ageing needs of one unsold unit.
struct StockUnit {
    std::string number;  // trimmed, for the check against the sales in progress
    std::int32_t subLedger = 0;
    std::int64_t days = 0;
    Currency dealerList;
};

// A model node of the tree and its unsold units, as `units` indexes in index order.
struct ModelStock {
    std::string code, model;  // trimmed
    std::size_t first = 0, last = 0;
};

class AgeingPass {
  public:
    AgeingPass(store::Store& store, WorkProgress* progress)
        : store_(store), progress_(progress), today_(store.today()) {}

    StockAgeing run();

  private:
    bool readModels(const ModelTreeData& tree);
    void readModel(const std::string& code, const std::string& model);
    std::int32_t lineNumber(const std::string& code);
    std::vector<bool> heldBySales() const;
    bool walkLedgers(const std::vector<bool>& held, std::vector<Currency>& costs);
    StockAgeing bucket(const std::vector<bool>& held, const std::vector<Currency>& costs) const;
    bool goOn(const std::string& text) { return core::goOn(progress_, text, read_, total_); }

    store::Store& store_;
    WorkProgress* progress_;
    const Date today_;
    std::map<std::string, std::int32_t> lines_;  // line numbers by code
    std::vector<StockUnit> units_;
    std::vector<ModelStock> models_;
    std::int64_t read_ = 0, total_ = 0;
    std::exception_ptr failure_;  // a unit record that could not be read; later models not read
    std::optional<AllocatedUnits> sales_;
};

StockAgeing cancelledAgeing() {
    return {{}, {}, true};
}

StockAgeing AgeingPass::run() {
    auto action = store_.action();
    ModelTreeData tree = ModelTree(store_).loadtree(false, progress_);
    if (tree.cancelled) return cancelledAgeing();
    sales_ = AllocatedUnits::collect(store_);
    total_ = static_cast<std::int64_t>(tree.directory.size());
    if (!readModels(tree)) return cancelledAgeing();
    std::vector<bool> held = heldBySales();
    std::vector<Currency> costs(units_.size());
    if (!walkLedgers(held, costs)) return cancelledAgeing();
    // The models before the unreadable record are complete; the list that met it fails.
    if (failure_) std::rethrow_exception(failure_);
    return bucket(held, costs);
}

bool AgeingPass::readModels(const ModelTreeData& tree) {
    for (const LineNode& line : tree.lines) {
        for (const ModelNode& node : line.models) {
            auto [code, model] = splitTag(node.tag);
            if (!goOn(codec::trun(code) + " " + codec::trun(model))) return false;
            try {
                readModel(code, model);
            } catch (...) {
                // Its list fails before any of its chains is walked.
                failure_ = std::current_exception();
                units_.resize(models_.back().first);
                models_.pop_back();
                return true;
            }
        }
    }
    return goOn(std::string());
}

// The model's entries from the index, from the model's first key while the key names the
// model, as its unit list walks them; the unsold units kept in that order.
void AgeingPass::readModel(const std::string& code, const std::string& model) {
    ModelStock stock{codec::trun(code), codec::trun(model), units_.size(), units_.size()};
    models_.push_back(stock);
    const std::int32_t line = lineNumber(code);
    if (line < 1) return;
    clsUnits unit;
    for (auto entry = store_.find("MUNITI", UnitIndexKey::ofModel(line, model));
         !entry.end() && UnitIndexKey::of(entry.key()).inModel(line, stock.model); entry.next()) {
        unit.Unpack(store_.recordBytes("UNITL", entry.record()));
        ++read_;
        if (!unit.notSold()) continue;
        units_.push_back({codec::trun(unit.Unit_Number), unit.SubLedgerChain,
                          daysBetween(unit.Date_Received_In, today_), unit.Dealers_List_Price});
        models_.back().last = units_.size();
    }
}

std::int32_t AgeingPass::lineNumber(const std::string& code) {
    auto found = lines_.find(code);
    if (found != lines_.end()) return found->second;
    return lines_[code] = ModelTree(store_).lookupLineNumber(code);
}

std::vector<bool> AgeingPass::heldBySales() const {
    std::vector<std::string> numbers;
    numbers.reserve(units_.size());
    for (const StockUnit& unit : units_)
        numbers.push_back(unit.number);
    return sales_->holdEach(numbers);
}

// The cost of every unit the sales leave, from its sub-ledger; a chain reached by several units
// is walked once. False when cancelled.
bool AgeingPass::walkLedgers(const std::vector<bool>& held, std::vector<Currency>& costs) {
    std::vector<std::int32_t> heads;
    std::map<std::int32_t, std::size_t> chainOf;  // by head
    std::vector<std::size_t> unitChain(units_.size(), SIZE_MAX);
    for (std::size_t i = 0; i < units_.size(); ++i) {
        if (held[i]) continue;
        auto [at, added] = chainOf.emplace(units_[i].subLedger, heads.size());
        if (added) heads.push_back(units_[i].subLedger);
        unitChain[i] = at->second;
    }
    std::vector<Currency> chainCost(heads.size());
    for (std::size_t from = 0; from < heads.size(); from += kChainBatch) {
        if (!goOn(std::string())) return false;
        std::size_t to = std::min(heads.size(), from + kChainBatch);
        std::vector<std::int32_t> batch(heads.begin() + static_cast<std::ptrdiff_t>(from),
                                        heads.begin() + static_cast<std::ptrdiff_t>(to));
        auto chains = store_.chains<clsUnitsLedger>("LUNITL", batch);
        for (std::size_t c = 0; c < chains.size(); ++c)
            for (const auto& posting : chains[c].records)
                chainCost[from + c] += posting.Amount;
    }
    for (std::size_t i = 0; i < units_.size(); ++i)
        if (unitChain[i] != SIZE_MAX) costs[i] = chainCost[unitChain[i]];
    return true;
}

StockAgeing AgeingPass::bucket(const std::vector<bool>& held,
                               const std::vector<Currency>& costs) const {
    StockAgeing out;
    for (const ModelStock& model : models_) {
        AgeingRow row{model.code, model.model, {}};
        bool any = false;
        for (std::size_t i = model.first; i < model.last; ++i) {
            if (held[i]) continue;
            row.figures.add(units_[i].days, costs[i], units_[i].dealerList);
            any = true;
        }
        if (!any) continue;
        out.total.add(row.figures);
        out.rows.push_back(std::move(row));
    }
    return out;
}

}  // namespace

StockAgeing stockAgeing(store::Store& store, WorkProgress* progress) {
    return AgeingPass(store, progress).run();
}

}  // namespace fennick::core
