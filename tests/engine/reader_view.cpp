// What the viewer and fennick-cli see of the engine and the record classes: compiled by
// reader_headers.cmake with the reader headers alone. As it stands it must compile; with
// WITH_WRITES every call below must fail to compile, because no reader header declares it.

#include <cstdint>
#include <string>

#include "engine/business_basic.h"
#include "records/invoice_detail_line.h"
#include "records/invoice_header.h"
#include "records/lines.h"
#include "records/unit_history.h"
#include "records/unit_ledger.h"
#include "records/unit_notes.h"
#include "records/units.h"

namespace fennick {

void readerView(cBusinessBasic& bb, clsUnits& unit, clsUnitsHistory& history,
                clsUnitsLedger& posting, clsUnitnotes& note, clsLines& line,
                clsInvoiceHistory& header, clsInvoiceHistoryDetail& detail, std::string& rec,
                std::int32_t& number) {
    rec = bb.LreadFile("UNITL", 1);
    unit.Unpack(rec);
    bb.Pack("C", rec, 1, 1);
#ifdef WITH_WRITES
    bb.WriteFile(nullptr, rec, 0);
    bb.BlockWriteFile(nullptr, 0, rec);
    bb.LwriteFile("UNITL", 1, rec);
    bb.DelRec("UNITL", 1);
    bb.GetRec("UNITL", number);
    bb.InitFile("UNITL");
    bb.PhysicalLock("UNITL", 0, 1);
    bb.LogicalLock("UNITL", 1);
    bb.ReleaseLock(1);
    unit.Pack(rec);
    history.Pack(rec);
    posting.Pack(rec);
    note.Pack(rec);
    line.Pack(rec);
    header.Pack(rec);
    detail.Pack(rec);
    Pack(unit, rec);
#else
    (void)history, (void)posting, (void)note, (void)line, (void)header, (void)detail;
    (void)number;
#endif
}

}  // namespace fennick
