#pragma once
// Whether a unit is already taken by a sale in progress: an open ticket (TICKI, pointing into
// INVOL) or a pending invoice listed in FILE0 blocks 701 to 764. A unit is taken when its
// number occurs in one of the first six texts of any detail line of such an invoice.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/store.h"

namespace fennick::core {

using store::DetailLine;

// Hands `visit` the INVOL record of every open ticket, then of every listed invoice, in the
// order the check reads them, until `visit` answers true. An entry whose record cannot be read
// is skipped. A walk that cannot be made at all (no TICKI, no FILE0) throws.
void forEachSaleInProgress(store::Store& store,
                           const std::function<bool(std::int32_t record)>& visit);

// The check for one unit, as the window defines it: any failure answers false.
bool isUnitallocated(store::Store& store, const std::string& lineCode, const std::string& model,
                     const std::string& unitNumber);

// The pages of every sale in progress, read ahead (as collect does first) beside the caller's own
// reads (Store::beside), which may go on with the files `salesFiles` adds to `files`.
// Null when nothing runs beside.
[[nodiscard]] std::unique_ptr<store::Store::Beside> readSalesBeside(store::Store& store,
                                                                    std::vector<std::string> files);

// The same answers for many units from one pass over the sales in progress. With a ReadCache
// under the engine the pages of all sales are read ahead in batches, and every INVOL page is
// read from the share once per pass.
class AllocatedUnits {
  public:
    static AllocatedUnits collect(store::Store& store);

    // Unit numbers as the unit list has them; each is trimmed of trailing blanks first.
    std::vector<bool> holdEach(const std::vector<std::string>& unitNumbers) const;
    bool holds(const std::string& unitNumber) const { return holdEach({unitNumber})[0]; }
    std::size_t texts() const { return ends_.size(); }

  private:
    void add(const DetailLine& line);

    std::string text_;                 // every detail text, one after the other
    std::vector<std::uint32_t> ends_;  // where each text ends in text_
    bool anyText_ = false;             // some text is not empty
};

}  // namespace fennick::core
