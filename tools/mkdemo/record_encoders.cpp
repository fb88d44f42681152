#include "record_encoders.h"

namespace fennick::demo {

namespace {

using codec::pack;

// Text written blank-padded and cut to its width, from 1-based position `at`.
void putText(std::string& record, std::int32_t at, std::size_t width, const std::string& text) {
    std::string field = text.substr(0, width);
    field.resize(width, ' ');
    record.replace(static_cast<std::size_t>(at - 1), width, field);
}

void putCompressed(std::string& record, std::int32_t at, std::size_t width,
                   const std::string& text) {
    record.replace(static_cast<std::size_t>(at - 1), width, compressedField(text, width));
}

void putMoney(std::string& record, std::int32_t at, std::int64_t cents) {
    pack("L", record, static_cast<std::int32_t>(cents), at);
}

std::string liveRecord(std::int32_t length) {
    std::string record(static_cast<std::size_t>(length), '\0');
    pack("J", record, 1, 1);
    return record;
}

}  // namespace

std::string compressedField(const std::string& text, std::size_t width) {
    std::string bytes = codec::compress(text);
    bytes.resize(width, '\0');
    return bytes;
}

std::string unitIndexKey(const UnitSpec& unit) {
    std::string key(kUnitKeyLength, '\0');
    pack("C", key, unit.line, 1);
    key.replace(2, 12, compressedField(unit.model, 12));
    putText(key, 15, 8, unit.unitNumber);
    return key;
}

std::string encodeUnit(const UnitSpec& u, const UnitChains& chains) {
    std::string r = liveRecord(kUnitLength);
    pack("C", r, u.line, 3);
    putCompressed(r, 5, 14, u.model);
    putText(r, 20, 8, u.unitNumber);
    putCompressed(r, 28, 14, u.description);
    putText(r, 42, 15, u.make);
    putCompressed(r, 57, 12, u.serial);
    putText(r, 69, 5, u.mfgId);
    pack("C", r, u.year, 74);
    putText(r, 76, 4, u.series);
    putText(r, 80, 2, u.engineType);
    putText(r, 82, 12, u.engineId);
    putText(r, 94, 2, u.drive);
    putText(r, 96, 5, u.color);
    pack("D", r, u.meterTenths, 101);
    putText(r, 104, 1, u.status);
    putText(r, 105, 1, u.unitType);
    putText(r, 106, 7, u.location);  // its 7th byte is the first of numeric 1
    pack("L", r, u.numeric1, 112);
    pack("L", r, u.numeric2, 116);
    putText(r, 120, 12, u.alpha1);
    putText(r, 132, 12, u.alpha2);
    codec::packDate("J", r, 147, u.received);
    codec::packDate("J", r, 149, u.sold);
    pack("L", r, u.soldInvoice, 151);
    putMoney(r, 155, u.dealerListCents);
    putMoney(r, 159, u.suggestedListCents);
    pack("L", r, chains.notes, 501);
    pack("L", r, chains.ledger, 505);
    pack("L", r, chains.history, 509);
    return r;
}

std::string encodeLine(const LineSpec& line) {
    std::string r = liveRecord(kLineLength);
    pack("C", r, line.number, 3);
    putCompressed(r, 5, 2, line.code);
    putCompressed(r, 7, 20, line.name);
    putText(r, 28, 1, line.commodities.substr(0, 1));
    putText(r, 142, 1, std::string(1, line.type));
    return r;
}

std::string encodeLineExtension(const LineSpec&) {
    return liveRecord(kLineExtensionLength);
}

std::string encodeNote(const NoteSpec& note, const std::string& unitNumber, std::int32_t chain) {
    std::string r(kNoteLength, '\0');
    pack("C", r, note.type, 1);
    putText(r, 3, 8, unitNumber);
    putText(r, 11, 12, note.code);
    if (note.type == 1)
        codec::packDate("J", r, 23, note.date);
    else if (note.type >= 2 && note.type <= 4)
        pack("C", r, note.quantity, 23);
    putText(r, 25, 36, note.description);
    putMoney(r, 61, note.costCents);
    putMoney(r, 65, note.listCents);
    pack("L", r, chain, 81);
    return r;
}

std::string encodeLedger(std::int64_t amountCents, const UnitSpec& unit, std::int32_t sequence,
                         std::int32_t chain) {
    static const char* const kDescriptions[] = {"UNIT PURCHASE", "FREIGHT IN", "SET-UP AND PREP",
                                                "WARRANTY CREDIT"};
    std::string r = liveRecord(kLedgerLength);
    pack("C", r, unit.line, 3);
    putText(r, 5, 8, unit.unitNumber);
    codec::packDate("J", r, 13, unit.received);
    putText(r, 15, 2, sequence == 0 ? "PJ" : "GJ");
    pack("C", r, 100 + sequence, 17);
    putText(r, 19, 30, amountCents < 0 ? kDescriptions[3] : kDescriptions[sequence % 3]);
    pack("L", r, 1400 + sequence, 49);
    putMoney(r, 57, amountCents);
    pack("L", r, chain, 61);
    return r;
}

std::string encodeLineEntry(const LineEntrySpec& e) {
    std::string entry(44, '\0');
    putCompressed(entry, 1, 2, e.lineCode);
    if (e.lineCode == "REM") {
        putCompressed(entry, 3, 42, e.text);
        return entry;
    }
    putCompressed(entry, 3, 12, e.part);
    putCompressed(entry, 15, 2, e.dashCode);
    putCompressed(entry, 17, 14, e.text);
    pack("J", entry, e.quantityTenths, 31);
    pack("K", entry, e.netCents, 33);
    pack("D", entry, e.costCents, 36);
    return entry;
}

std::string encodeInvoicePage(const InvoiceSpec& invoice, std::size_t page, std::int32_t link) {
    std::string r(kInvoiceLength, '\0');
    pack("J", r, invoice.status, 1);
    pack("D", r, invoice.account, 3);
    codec::packDate("J", r, 48, invoice.date);
    pack("L", r, invoice.number, 106);
    pack("K", r, link, 110);
    pack("B", r, static_cast<std::int32_t>(page), 115);
    const auto& entries = invoice.pages.at(page - 1);
    std::size_t count = std::min<std::size_t>(entries.size(), kEntriesPerPage);
    pack("B", r, static_cast<std::int32_t>(count), 146);
    for (std::size_t k = 0; k < count; ++k)
        r.replace(160 + 44 * k, 44, encodeLineEntry(entries[k]));
    return r;
}

}  // namespace fennick::demo
