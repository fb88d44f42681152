// The stock ageing in one pass over the whole stock: the tree is built once (its walk reads
// every unit record, kept for the action), each model's entries are taken from the index as its
// unit list takes them, and the unsold units are settled in large batches: checked against the
// sales in progress (collected once) and their sub-ledger chains walked together.

#include <algorithm>
#include <exception>
#include <iterator>
#include <map>
#include <optional>
#include <stdexcept>
#include <unordered_map>

#include "allocation.h"
#include "formats.h"
#include "model_tree.h"
#include "records/index_keys.h"
#include "records/layout.h"
#include "records/unit_ledger.h"
#include "records/units.h"
#include "stock_ageing.h"

namespace fennick::core {

namespace {

// The units settled at a time: checked against the sales in progress and their sub-ledger
// chains walked together. A cancel is seen between models and between batches, and inside
// them at every read and every batch of unit numbers checked.
constexpr std::size_t kBatch = 16384;

// What the ageing needs of one unsold unit.
struct StockUnit {
    std::string number;  // trimmed, for the check against the sales in progress
    std::int32_t subLedger = 0;
    std::int64_t days = 0;
    Currency dealerList;
    std::size_t model = 0;  // in the pass's models
};

// The fields of the unit record the ageing reads, taken from the record's layout: the unit
// number, the dates received and sold, the sold invoice, the dealer's list price and the
// sub-ledger chain (notSold() answers as after a whole Unpack).
const std::vector<records::Field<clsUnits>>& stockFields() {
    static const std::vector<records::Field<clsUnits>> fields = [] {
        std::vector<records::Field<clsUnits>> out;
        for (const auto& field : clsUnits::layout())
            for (std::string_view name :
                 {"Unit_Number", "Date_Received_In", "Date_Sold", "Sold_Invoice_Number",
                  "Dealers_List_Price", "SubLedgerChain"})
                if (field.name == name) out.push_back(field);
        if (out.size() != 6)
            throw std::logic_error("the unit record lacks a field the ageing reads");
        return out;
    }();
    return fields;
}

void unpackStock(std::string_view bytes, clsUnits& unit) {
    records::unpackFields(records::Layout<clsUnits>(stockFields()), unit,
                          records::FieldReader(bytes));
}

class AgeingPass {
  public:
    AgeingPass(store::Store& store, WorkProgress* progress)
        : store_(store), progress_(progress), today_(store.today()) {}

    StockAgeing run();

  private:
    bool readModels(const ModelTreeData& tree);
    void readModel(const std::string& code, const std::string& model);
    std::int32_t lineNumber(const std::string& code);
    void checkNumbers(std::vector<std::string> numbers);
    bool settle();
    std::vector<Currency> ledgerCosts(const std::vector<bool>& held);
    StockAgeing rows() const;
    bool goOn(const std::string& text) { return core::goOn(progress_, text, done_, total_); }

    store::Store& store_;
    WorkProgress* progress_;
    const Date today_;
    std::optional<AllocatedUnits> sales_;
    std::unordered_map<std::string, bool> held_;  // by trimmed unit number, as the sales hold it
    std::map<std::string, std::int32_t> lines_;   // line numbers by code
    std::vector<AgeingRow> models_;               // one per model node, in tree order
    std::vector<StockUnit> units_;                // read, not settled yet
    std::int64_t read_ = 0, done_ = 0, total_ = 0;
    std::exception_ptr failure_;  // a unit record that could not be read; later models not read
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
    if (!readModels(tree) || !settle()) return cancelledAgeing();
    // The models before the unreadable record are complete; the list that met it fails.
    if (failure_) std::rethrow_exception(failure_);
    return rows();
}

// Reads the models in tree order, settling their units a batch at a time (a model's units all
// in one batch). False when cancelled.
bool AgeingPass::readModels(const ModelTreeData& tree) {
    for (const LineNode& line : tree.lines) {
        for (const ModelNode& node : line.models) {
            auto [code, model] = splitTag(node.tag);
            if (!goOn(codec::trun(code) + " " + codec::trun(model))) return false;
            const std::size_t before = units_.size();
            try {
                readModel(code, model);
            } catch (const WorkCancelled&) {
                throw;
            } catch (...) {
                // Its list fails before any of its chains is walked.
                failure_ = std::current_exception();
                units_.resize(before);
                return true;
            }
            if (units_.size() >= kBatch && !settle()) return false;
        }
    }
    return true;
}

// The model's entries from the index, from the model's first key while the key names the
// model, as its unit list walks them; the unsold units kept in that order.
void AgeingPass::readModel(const std::string& code, const std::string& model) {
    models_.push_back({codec::trun(code), codec::trun(model), {}});
    const std::int32_t line = lineNumber(code);
    if (line < 1) return;
    const std::string& trimmed = models_.back().model;
    clsUnits unit;
    for (auto entry = store_.find("MUNITI", UnitIndexKey::ofModel(line, model));
         !entry.end() && UnitIndexKey::of(entry.key()).inModel(line, trimmed); entry.next()) {
        unpackStock(store_.recordBytes("UNITL", entry.record()), unit);
        ++read_;
        if (!unit.notSold()) continue;
        units_.push_back({codec::trun(unit.Unit_Number), unit.SubLedgerChain,
                          daysBetween(unit.Date_Received_In, today_), unit.Dealers_List_Price,
                          models_.size() - 1});
    }
}

std::int32_t AgeingPass::lineNumber(const std::string& code) {
    auto found = lines_.find(code);
    if (found != lines_.end()) return found->second;
    return lines_[code] = ModelTree(store_).lookupLineNumber(code);
}

// Whether the sales in progress hold each of these unit numbers (trimmed): a batch of numbers
// at a time, in one pass over their texts, with a checkpoint before each.
void AgeingPass::checkNumbers(std::vector<std::string> numbers) {
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    for (std::size_t first = 0; first < numbers.size(); first += kBatch) {
        if (progress_) progress_->checkpoint();
        const auto begin = numbers.begin() + static_cast<std::ptrdiff_t>(first);
        const std::vector<std::string> batch(
            std::make_move_iterator(begin),
            std::make_move_iterator(
                begin + static_cast<std::ptrdiff_t>(std::min(kBatch, numbers.size() - first))));
        const std::vector<bool> held = sales_->holdEach(batch);
        for (std::size_t i = 0; i < batch.size(); ++i)
            held_.emplace(batch[i], held[i]);
    }
}

// The units read so far: those no sale in progress holds are counted in their model with the
// cost of their sub-ledger. Each unit number is checked against the sales once. False when
// cancelled.
bool AgeingPass::settle() {
    if (units_.empty()) return true;
    std::vector<std::string> unchecked;
    for (const StockUnit& unit : units_)
        if (!held_.count(unit.number)) unchecked.push_back(unit.number);
    if (!unchecked.empty()) checkNumbers(std::move(unchecked));
    std::vector<bool> held(units_.size());
    for (std::size_t i = 0; i < units_.size(); ++i)
        held[i] = held_.at(units_[i].number);
    if (!goOn(std::string())) return false;
    const std::vector<Currency> costs = ledgerCosts(held);
    for (std::size_t i = 0; i < units_.size(); ++i)
        if (!held[i])
            models_[units_[i].model].figures.add(units_[i].days, costs[i], units_[i].dealerList);
    units_.clear();
    done_ = read_;
    return goOn(std::string());
}

// The cost of every unit the sales leave, from its sub-ledger; a chain reached by several units
// is walked once.
std::vector<Currency> AgeingPass::ledgerCosts(const std::vector<bool>& held) {
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
    auto chains = store_.chains<clsUnitsLedger>("LUNITL", heads);
    for (std::size_t c = 0; c < chains.size(); ++c)
        for (const auto& posting : chains[c].records)
            chainCost[c] += posting.Amount;
    std::vector<Currency> costs(units_.size());
    for (std::size_t i = 0; i < units_.size(); ++i)
        if (unitChain[i] != SIZE_MAX) costs[i] = chainCost[unitChain[i]];
    return costs;
}

// The models that list a unit, and the totals.
StockAgeing AgeingPass::rows() const {
    StockAgeing out;
    for (const AgeingRow& row : models_) {
        if (std::all_of(row.figures.count.begin(), row.figures.count.end(),
                        [](std::int64_t n) { return n == 0; }))
            continue;
        out.total.add(row.figures);
        out.rows.push_back(row);
    }
    return out;
}

}  // namespace

StockAgeing stockAgeing(store::Store& store, WorkProgress* progress) {
    // Every read of the pass, and every read it sends ahead, looks whether the work was
    // cancelled, so that the tree's walk, the reads ahead and the collection of the sales in
    // progress stop with no more reads than those in flight, wherever they are.
    store::WhileReading<&store::ReadCache::setCheckpoint> stopping(
        progress ? store.cache() : nullptr, [progress] { progress->checkpoint(); });
    try {
        return AgeingPass(store, progress).run();
    } catch (const WorkCancelled&) {
        return cancelledAgeing();
    } catch (...) {
        // Whatever a cancelled pass met while stopping (a walk that kept the first damage it
        // found over the cancel) is not shown: the user asked for nothing more.
        if (progress && progress->cancelled()) return cancelledAgeing();
        throw;
    }
}

}  // namespace fennick::core
