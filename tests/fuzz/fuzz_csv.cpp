// The CSV writer over arbitrary cells: the table it writes, read back by a reader of the
// common CSV rules (RFC 4180: quoted fields, doubled quotes, CR LF between records), gives the
// same records and cells.

#include <cstdlib>

#include "core/csv.h"
#include "fuzz_share.h"

using namespace fennick;

namespace {

using Records = std::vector<std::vector<std::string>>;

// Reads RFC 4180 text; aborts on text that breaks its rules.
Records readCsv(const std::string& text) {
    Records records;
    std::vector<std::string> record;
    std::string cell;
    bool quoted = false, wasQuoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c != '"') {
                cell += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            if (!cell.empty() || wasQuoted) std::abort();
            quoted = wasQuoted = true;
        } else if (c == ',') {
            record.push_back(std::move(cell));
            cell.clear();
            wasQuoted = false;
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            record.push_back(std::move(cell));
            records.push_back(std::move(record));
            record.clear();
            cell.clear();
            wasQuoted = false;
            ++i;
        } else {
            if (wasQuoted || c == '\r' || c == '\n') std::abort();
            cell += c;
        }
    }
    if (quoted || !cell.empty() || !record.empty()) std::abort();
    return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    Records records;
    while (!in.empty() && records.size() < 64) {
        std::vector<std::string> record;
        for (std::uint32_t n = in.number(1) % 8 + 1; n > 0; --n)
            record.push_back(in.take(in.number(1) % 32));
        records.push_back(std::move(record));
    }
    if (readCsv(core::csvTable(records)) != records) std::abort();
    return 0;
}
