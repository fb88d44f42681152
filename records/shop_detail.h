#pragma once
// clsInvDetail: every line of one invoice or shop work order in INVOL, page by page.
//
// Each page is an INVOL record (records/invoice_pages.h). Starting from any page the lookup follows
// the links down to page 1, then collects the entries of pages 1, 2, ... in order. Each entry
// becomes six texts:
//
//   element   sales line                       remark line ("REM")
//   0         line code                        "REM"
//   1         part number with its dashes      the remark text (63 characters)
//   2         description                      ""
//   3, 4, 5   quantity (whole), net, cost      "0", "0", "0"
//
// Damage does not reach the caller: each step that meets it logs a line to the application
// event log, sets DetailError and keeps what it had found. A read the share failed (isShareFailure)
// does reach it. Use: set InvoiceRec, call GetDetail, read DetailReturn and DetailError.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/business_basic.h"
#include "records/invoice_detail_line.h"

namespace fennick {

class clsInvDetail {
  public:
    using DetailLine = std::array<std::string, 6>;
    static constexpr std::int32_t kLastPage = 200;

    explicit clsInvDetail(cBusinessBasic& engine) : engine_(engine) {}

    // The INVOL record number of the page to start from.
    void InvoiceRec(std::int32_t value) { invoiceRec_ = value; }
    const std::vector<DetailLine>& DetailReturn() const { return detail_; }
    // DetailReturn handed over whole, for a caller done with the lookup.
    std::vector<DetailLine> TakeDetail() { return std::move(detail_); }
    bool DetailError() const { return error_; }
    // Builds DetailReturn afresh for the invoice of InvoiceRec.
    void GetDetail();

  private:
    void BuildPage(std::int32_t RecordNumber);
    void BuildDetail();
    std::int32_t visitPage(std::int32_t recordNumber, bool& reachedFirst);
    static DetailLine decodeEntry(std::string_view entry);
    // Runs `body`; on damage logs it under `step`, sets the error flag and answers false.
    bool trapped(const std::string& step, const std::function<void()>& body);
    void fail(const std::string& step, std::int32_t number, const std::string& description,
              const std::string& source);

    cBusinessBasic& engine_;
    std::int32_t invoiceRec_ = 0;
    std::vector<DetailLine> detail_;
    bool error_ = false;
    std::string lastError_;
    // Element 0: the highest page number found; element p: the record number of page p.
    std::array<std::int32_t, kLastPage + 1> pages_{};
    clsInvoiceHistoryDetail detailLine_;
};

}  // namespace fennick
