// Every record class's Unpack on arbitrary bytes, at the record's own length and at the
// length the fuzz input gives (short records, long records, empty ones).

#include "fuzz_share.h"
#include "records/invoice_detail_line.h"
#include "records/invoice_header.h"
#include "records/lines.h"
#include "records/unit_history.h"
#include "records/unit_ledger.h"
#include "records/unit_notes.h"
#include "records/units.h"

using namespace fennick;

namespace {

template <class Record>
void unpack(Record record, std::string_view bytes) {
    try {
        record.Unpack(bytes);
    } catch (const EngineError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::DemoShare& demo = fuzz::DemoShare::instance();
    static auto share = demo.copy();
    static cSystem system;
    static auto engine = demo.engine(*share, system);
    fuzz::QuietServices quiet;
    fuzz::Input in(data, size);
    std::size_t cut = in.number(2);
    std::string bytes = in.rest();
    for (std::string_view view :
         {std::string_view(bytes), std::string_view(bytes).substr(0, cut)}) {
        unpack(clsUnits(), view);
        unpack(clsLines(*engine), view);
        unpack(clsUnitnotes(), view);
        unpack(clsUnitsLedger(), view);
        unpack(clsUnitsHistory(), view);
        unpack(clsInvoiceHistory(), view);
        unpack(clsInvoiceHistoryDetail(), view);
    }
    return 0;
}
