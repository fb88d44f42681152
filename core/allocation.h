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

// The same answers for many units from one pass over the sales in progress. With a ReadCache
// under the engine the pages of all sales are read ahead in batches, and every INVOL page is
// read from the share once per pass.
class AllocatedUnits {
  public:
    static AllocatedUnits collect(store::Store& store);

    // Unit numbers as the unit list has them; each is trimmed of trailing blanks first.
    std::vector<bool> holdEach(const std::vector<std::string>& unitNumbers) const;
    bool holds(const std::string& unitNumber) const { return holdEach({unitNumber})[0]; }

  private:
    void add(const DetailLine& line);

    // The detail texts one after the other, in blocks of about a megabyte that are filled, never
    // grown: megabytes of texts are not copied and faulted in again at every doubling.
    struct Block {
        std::string text;
        std::vector<std::uint32_t> ends;  // where each text ends in `text`
    };
    std::vector<Block> blocks_;
    bool anyText_ = false;  // some text is not empty
};

// The sales in progress collected beside the caller's own reads (Store::beside): their pages
// are read and decoded while the caller reads its files, `files` (logical names). Null when
// nothing runs beside; the caller then collects them itself.
class SalesBeside {
  public:
    [[nodiscard]] static std::unique_ptr<SalesBeside> start(store::Store& store,
                                                            std::vector<std::string> files);
    // Waits for the collection; rethrows the share failure that ended it.
    AllocatedUnits finish();

  private:
    SalesBeside() = default;
    AllocatedUnits sales_;
    std::unique_ptr<store::Store::Beside> beside_;  // after sales_, which its thread fills
};

}  // namespace fennick::core
