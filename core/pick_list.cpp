#include "pick_list.h"

#include <algorithm>
#include <utility>

#include "formats.h"

namespace fennick::core {

PickList::Added PickList::add(UnitRow row) {
    auto same = std::find_if(rows_.begin(), rows_.end(), [&](const UnitRow& held) {
        return held.record == row.record && held.lineCode == row.lineCode && held.unit == row.unit;
    });
    if (same != rows_.end()) return {static_cast<std::size_t>(same - rows_.begin()), false};
    rows_.push_back(std::move(row));
    used_ = true;
    return {rows_.size() - 1, true};
}

bool PickList::remove(std::size_t index) {
    if (index >= rows_.size()) return false;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
    if (rows_.empty()) used_ = false;
    return true;
}

void PickList::clear() {
    rows_.clear();
    used_ = false;
}

std::size_t PickList::moveUp(std::size_t index) {
    if (index >= rows_.size() || index == 0) return index;
    std::swap(rows_[index], rows_[index - 1]);
    return index - 1;
}

std::size_t PickList::moveDown(std::size_t index) {
    if (index + 1 >= rows_.size()) return index;
    std::swap(rows_[index], rows_[index + 1]);
    return index + 1;
}

PickListTotals PickList::totals() const {
    Currency suggested, dealer;
    for (const auto& row : rows_) {
        suggested += row.suggestedList;
        dealer += row.dealerList;
    }
    return {moneyText(suggested), moneyText(dealer)};
}

}  // namespace fennick::core
