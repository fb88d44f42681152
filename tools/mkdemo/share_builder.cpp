#include "share_builder.h"

#include <algorithm>
#include <stdexcept>

#include "engine/engine_writer.h"
#include "record_encoders.h"
#include "tools/share_writer.h"

namespace fennick::demo {

namespace {

constexpr std::int32_t kFile0Blocks = 765;
constexpr std::int32_t kFirstListBlock = 701;

std::int32_t room(std::size_t records) {
    return static_cast<std::int32_t>(records + records / 20 + 8);
}

std::size_t notesOf(const DealerData& d) {
    std::size_t n = 0;
    for (const auto& u : d.units)
        n += u.notes.size();
    return n;
}

std::size_t ledgerOf(const DealerData& d) {
    std::size_t n = 0;
    for (const auto& u : d.units)
        n += u.ledgerCents.size();
    return n;
}

std::size_t pagesOf(const DealerData& d) {
    std::size_t n = 0;
    for (const auto& t : d.openTickets)
        n += t.pages.size();
    for (const auto& t : d.listedInvoices)
        n += t.pages.size();
    return n;
}

void layOutFiles(tools::ShareWriter& writer, const DealerData& d, const ShareIdentity& id) {
    using tools::indexBlocksFor;
    const std::string dir = id.directory;
    writer.addDataFile(dir + ":LINE.DR",
                       {{"LINEL", "L", kLineLength, room(d.lines.size())},
                        {"ELINEL", "L", kLineExtensionLength, room(d.lines.size())},
                        {"LINEI", "I", 512, indexBlocksFor(2 * d.lines.size(), 2)},
                        {"COMODI", "I", 512, indexBlocksFor(8 * d.lines.size(), 4)}});
    writer.addDataFile(dir + ":UNIT.DR",
                       {{"UNITL", "L", kUnitLength, room(d.units.size())},
                        {"MUNITI", "I", 512, indexBlocksFor(d.units.size(), kUnitKeyLength)},
                        {"UNOTEL", "L", kNoteLength, room(notesOf(d))},
                        {"LUNITL", "L", kLedgerLength, room(ledgerOf(d))}});
    writer.addDataFile(dir + ":INVO.DR",
                       {{"INVOL", "L", kInvoiceLength, room(pagesOf(d))},
                        {"TICKI", "I", 512, indexBlocksFor(d.openTickets.size(), 6)}});
    writer.writeLinks();
    writer.writeTerminalMap(terminalMapText(id));
}

// Writes the records of one direct file: numbers from GetRec, contents by LwriteFile.
class RecordWriter {
  public:
    RecordWriter(cBusinessBasic& engine, const std::string& name) : engine_(engine) {
        file_ = engine.LogicalOpen(name);
        if (!file_) throw std::runtime_error("no logical file " + name);
        engine_.InitFile(file_);
    }
    std::int32_t take() {
        std::int32_t number = 0;
        engine_.GetRec(file_, number);
        return number;
    }
    std::vector<std::int32_t> take(std::size_t n) {
        std::vector<std::int32_t> numbers(n);
        for (auto& number : numbers)
            number = take();
        return numbers;
    }
    void write(std::int32_t number, const std::string& record) {
        engine_.LwriteFile(file_, number, record);
    }

  private:
    EngineWriter engine_;
    std::shared_ptr<cLogicalFile> file_;
};

std::vector<std::int32_t> writeLines(cBusinessBasic& engine, const DealerData& d) {
    RecordWriter lines(engine, "LINEL"), extensions(engine, "ELINEL");
    std::vector<IndexEntry> lineKeys, commodityKeys;
    std::vector<std::int32_t> records;
    for (const auto& line : d.lines) {
        std::int32_t rec = lines.take();
        extensions.write(extensions.take(), encodeLineExtension(line));
        lines.write(rec, encodeLine(line));
        records.push_back(rec);
        std::string numberKey(2, '\0');
        codec::pack("C", numberKey, line.number, 1);
        lineKeys.push_back({numberKey, rec});
        lineKeys.push_back({compressedField(line.code, 2), rec});
        for (char c : line.commodities) {
            std::string key(4, '\0');
            codec::pack("C", key, line.number, 1);
            key[2] = c;
            commodityKeys.push_back({key, rec});
        }
    }
    auto byKey = [](const IndexEntry& a, const IndexEntry& b) { return a.key < b.key; };
    std::stable_sort(lineKeys.begin(), lineKeys.end(), byKey);
    std::stable_sort(commodityKeys.begin(), commodityKeys.end(), byKey);
    tools::writeIndex(engine, "LINEI", 2, lineKeys, true);
    tools::writeIndex(engine, "COMODI", 4, commodityKeys, true);
    return records;
}

std::vector<std::int32_t> writeUnits(cBusinessBasic& engine, const DealerData& d) {
    RecordWriter units(engine, "UNITL"), notes(engine, "UNOTEL"), ledger(engine, "LUNITL");
    std::vector<IndexEntry> keys;
    std::vector<std::int32_t> records;
    keys.reserve(d.units.size());
    records.reserve(d.units.size());
    for (const auto& unit : d.units) {
        UnitChains chains;
        auto postings = ledger.take(unit.ledgerCents.size());
        for (std::size_t i = 0; i < postings.size(); ++i) {
            std::int32_t next = i + 1 < postings.size() ? postings[i + 1] : 0;
            ledger.write(postings[i], encodeLedger(unit.ledgerCents[i], unit,
                                                   static_cast<std::int32_t>(i), next));
        }
        auto noteRecords = notes.take(unit.notes.size());
        for (std::size_t i = 0; i < noteRecords.size(); ++i) {
            std::int32_t next = i + 1 < noteRecords.size() ? noteRecords[i + 1] : 0;
            notes.write(noteRecords[i], encodeNote(unit.notes[i], unit.unitNumber, next));
        }
        chains.ledger = postings.empty() ? 0 : postings.front();
        chains.notes = noteRecords.empty() ? 0 : noteRecords.front();
        std::int32_t rec = units.take();
        units.write(rec, encodeUnit(unit, chains));
        records.push_back(rec);
        keys.push_back({unitIndexKey(unit), rec});
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const IndexEntry& a, const IndexEntry& b) { return a.key < b.key; });
    tools::writeIndex(engine, "MUNITI", kUnitKeyLength, keys, true);
    return records;
}

// Writes each invoice's pages and answers the record of its last page, where a lookup of all
// its lines starts.
std::vector<std::int32_t> writeInvoices(RecordWriter& invoices,
                                        const std::vector<InvoiceSpec>& list) {
    std::vector<std::int32_t> lastPages;
    for (const auto& invoice : list) {
        if (invoice.pages.empty()) throw std::invalid_argument("an invoice needs a page");
        auto pages = invoices.take(invoice.pages.size());
        for (std::size_t p = 0; p < pages.size(); ++p)
            invoices.write(pages[p], encodeInvoicePage(invoice, p + 1, p == 0 ? 0 : pages[p - 1]));
        lastPages.push_back(pages.back());
    }
    return lastPages;
}

void writeTickets(cBusinessBasic& engine, const DealerData& d, WrittenShare& out) {
    RecordWriter invoices(engine, "INVOL");
    out.ticketRecords = writeInvoices(invoices, d.openTickets);
    out.listedRecords = writeInvoices(invoices, d.listedInvoices);
    out.invoiceRecords = static_cast<std::int32_t>(pagesOf(d));
    std::vector<IndexEntry> keys;
    for (std::size_t i = 0; i < d.openTickets.size(); ++i) {
        std::string key(6, '\0');
        codec::pack("L", key, d.openTickets[i].number, 1);
        keys.push_back({key, out.ticketRecords[i]});
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const IndexEntry& a, const IndexEntry& b) { return a.key < b.key; });
    tools::writeIndex(engine, "TICKI", 6, keys, true);
}

}  // namespace

std::string terminalMapText(const ShareIdentity& id) {
    return "WS01       1,A\nWS02       2,A\n10.0.0.23  3\n" + id.computerName + "   " +
           id.mapTerminal + ",A\n";
}

std::string file0Bytes(const DealerData& d, const std::vector<std::int32_t>& listedRecords) {
    std::string bytes(static_cast<std::size_t>(kFile0Blocks) * 512, '\0');
    const std::int32_t namesAt[] = {433, 453, 473, 493};
    for (std::size_t i = 0; i < 4; ++i) {
        std::string field = d.userNames[i].substr(0, 8);
        field.resize(8, ' ');
        bytes.replace(static_cast<std::size_t>(4 * 512 + namesAt[i] - 1), 8, field);
    }
    auto put = [&](std::int32_t position, std::int32_t value) {
        if (position < 0 || position >= kListPositions)
            throw std::invalid_argument("FILE0 list position out of range");
        std::int32_t block = kFirstListBlock + position / 124;
        std::int32_t slot = (position / 31) % 4, entry = position % 31;
        codec::pack("L", bytes, value, block * 512 + slot * 128 + 5 + entry * 4);
    };
    for (std::size_t i = 0; i < listedRecords.size(); ++i)
        put(d.listPositions.empty() ? static_cast<std::int32_t>(i) : d.listPositions.at(i),
            listedRecords[i]);
    for (const auto& raw : d.rawListEntries)
        put(raw.position, raw.value);
    return bytes;
}

WrittenShare writeDealerShare(platform::FileSystem& fs, const DealerData& data,
                              const ShareIdentity& id) {
    tools::ShareWriter writer(fs, id.server, id.directory);
    writer.makeFolders();
    layOutFiles(writer, data, id);

    cSystem system;
    system.mUNCDrive = id.server;
    system.mDirectory = id.directory;
    tools::GrantingLocks locks;
    EngineEnvironment env;
    env.share = &fs;
    env.computerName = [name = id.computerName] { return name; };
    env.ipv4Of = [](const std::string&) { return std::string("127.0.0.1"); };
    env.locks = &locks;
    env.access = platform::Access::ReadWrite;
    cBusinessBasic engine(system, env);

    WrittenShare out;
    out.lineRecords = writeLines(engine, data);
    out.unitRecords = writeUnits(engine, data);
    writeTickets(engine, data, out);
    writer.writePlainFile("FILE0", file0Bytes(data, out.listedRecords));
    return out;
}

}  // namespace fennick::demo
