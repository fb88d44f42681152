#include "demo_generator.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

#include "record_encoders.h"

namespace fennick::demo {

namespace {

using namespace std::chrono;

// splitmix64: small, fast and the same on every platform.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    std::int32_t below(std::int32_t n) {
        return static_cast<std::int32_t>(next() % std::uint64_t(n));
    }
    template <class T, std::size_t N>
    const T& pick(const T (&items)[N]) {
        return items[below(static_cast<std::int32_t>(N))];
    }

  private:
    std::uint64_t state_;
};

struct ModelPlan {
    std::size_t line = 0;  // index into the line table
    std::string model, description, make;
    std::int64_t listCents = 0;
};

enum SpecialModel { kEmptyFirstUnit = 1, kSlashModel = 2, kAllOnInvoices = 4, kSoldByDate = 7 };

const char* const kMakes[] = {"BRACKWATER", "TELLHAVEN", "ORRIN WORKS", "HALDEN", "MARLOW FIELD"};
const char* const kColors[] = {"GREEN", "RED", "ORNG", "YELLO", "BLUE", "GRAY"};
const char* const kLocations[] = {"LOT A", "SHOWRM", "YARD 2", "BAY 3", "ANNEX"};
const char* const kSuffixes[] = {"", " HST", " CAB", "E", " 4WD"};

std::vector<LineSpec> demoLines() {
    return {{1, "CTR", "COMPACT TRACTORS", 'U', "TAC"}, {2, "MOW", "MOWERS AND TURF", 'U', "MZ"},
            {3, "UTV", "UTILITY VEHICLES", 'U', "V"},   {4, "PRT", "SERVICE PARTS", 'P', "P"},
            {5, "RNT", "RENTAL FLEET", 'R', "R"},       {6, "TRL", "TRAILERS", 'U', "L"},
            {1200, "ARC", "ARCHIVED UNITS", 'U', "A"}};
}

// Lines that hold units: tractors, mowers and utility vehicles, and a few archived ones.
std::size_t lineOfModel(std::int32_t m) {
    return m % 10 == 9 ? 6 : static_cast<std::size_t>(m % 3);
}

std::vector<ModelPlan> planModels(std::int32_t count, Random& rng) {
    static const char* const kPrefixes[] = {"CT", "ZT", "XV", "", "", "", "OLD"};
    static const char* const kKinds[] = {
        "COMPACT TRACTOR", "ZERO TURN MOWER", "UTILITY VEHICLE", "", "", "", "TRADE IN"};
    std::vector<ModelPlan> models;
    for (std::int32_t m = 0; m < count; ++m) {
        ModelPlan plan;
        plan.line = lineOfModel(m);
        plan.model = kPrefixes[plan.line] + std::to_string(100 + m) + kSuffixes[m % 5];
        plan.description =
            std::string(kKinds[plan.line]) + " " + std::to_string(20 + m % 40) + "HP";
        plan.make = rng.pick(kMakes);
        plan.listCents = 450000 + std::int64_t(rng.below(6000)) * 1000;
        models.push_back(plan);
    }
    if (count > kEmptyFirstUnit) models[kEmptyFirstUnit].model = "ZT48";
    if (count > kSlashModel) models[kSlashModel].model = "XV550 4/4";
    return models;
}

// Days in stock by age bucket of the stock ageing: 0-90, 91-180, 181-365, 366-730, and up to
// six years.
constexpr std::array<std::pair<std::int32_t, std::int32_t>, 5> kAgeSpans = {
    {{0, 90}, {91, 180}, {181, 365}, {366, 730}, {731, 2190}}};
constexpr std::int32_t kAgeDraws = 2370;  // one draw picks the bucket and the day in it

// The day a unit came in, `draw` (below kAgeDraws) spread evenly over the age buckets.
Date receivedDay(Date today, std::int32_t draw) {
    const auto& [low, high] = kAgeSpans[static_cast<std::size_t>(draw) % kAgeSpans.size()];
    const std::int32_t step = draw / static_cast<std::int32_t>(kAgeSpans.size());
    const std::int32_t steps = kAgeDraws / static_cast<std::int32_t>(kAgeSpans.size());
    return today - days(low + step * (high - low + 1) / steps);
}

std::vector<NoteSpec> demoNotes(const UnitSpec& unit, Random& rng, std::int32_t index, Date today) {
    static const char* const kFactory[] = {"CAB HEAT AC", "LOADER PREP", "TURF TIRES", "REAR PTO"};
    static const char* const kDealer[] = {"WEIGHTS", "LED LIGHTS", "SEAT COVER", "HITCH KIT"};
    std::vector<NoteSpec> notes;
    std::int32_t count = rng.below(5);
    for (std::int32_t n = 0; n < count; ++n) {
        NoteSpec note;
        note.type = 1 + rng.below(4);
        note.quantity = 1 + rng.below(3);
        note.listCents = 5000 + rng.below(200) * 500;
        note.costCents = note.listCents * 7 / 10;
        if (note.type == 1) {
            note.date = std::min(unit.received + days(rng.below(90)), today);
            note.description = "  Checked in, " + std::string(rng.pick(kLocations)) + "  ";
        } else if (note.type == 4) {
            note.code = "A" + std::to_string(500000 + index);
            note.description = "Front loader, bucket 61in";
        } else {
            note.code = note.type == 2 ? rng.pick(kFactory) : rng.pick(kDealer);
            note.description = "Option " + note.code;
        }
        notes.push_back(note);
    }
    if (index % 37 == 5) notes.push_back({5, "INT", 0, codec::kEmptyDate, "Internal memo", 0, 0});
    return notes;
}

std::vector<std::int64_t> demoLedger(std::int64_t dealerList, Random& rng) {
    std::vector<std::int64_t> postings{dealerList * 78 / 100};
    if (rng.below(3) > 0) postings.push_back(15000 + rng.below(60) * 500);
    if (rng.below(4) == 0) postings.push_back(9900);
    return postings;
}

UnitSpec demoUnit(const ModelPlan& plan, const std::vector<LineSpec>& lines, std::int32_t index,
                  Random& rng, Date today) {
    UnitSpec u;
    const LineSpec& line = lines[plan.line];
    u.line = line.number;
    u.model = plan.model;
    u.unitNumber = line.code.substr(0, 1) + std::to_string(100001 + index);
    u.description = plan.description;
    u.make = plan.make;
    u.serial = "1" + plan.make.substr(0, 2) + std::to_string(4000000 + index * 7);
    u.mfgId = plan.make.substr(0, 3) + "01";
    u.year = 2018 + rng.below(8);
    u.series = "S" + std::to_string(1 + rng.below(4));
    u.engineType = rng.below(4) == 0 ? "GS" : "DS";
    u.engineId = "EN" + std::to_string(7000000 + index * 13);
    u.drive = rng.below(3) == 0 ? "2W" : "4W";
    u.color = rng.pick(kColors);
    u.meterTenths = rng.below(5) == 0 ? 0 : rng.below(30000);
    u.status = rng.below(6) == 0 ? "R" : "A";
    u.unitType = rng.below(5) == 0 ? "U" : "N";
    u.location = rng.pick(kLocations);
    u.numeric1 = rng.below(1500);
    u.numeric2 = 2 + rng.below(2);
    u.alpha1 = "KEY " + std::to_string(100 + index % 900);
    u.alpha2 = rng.below(3) == 0 ? "DEMO" : "";
    u.received = receivedDay(today, rng.below(kAgeDraws));
    u.dealerListCents = plan.listCents;
    u.suggestedListCents = plan.listCents * 112 / 100;
    u.ledgerCents = demoLedger(plan.listCents, rng);
    u.notes = demoNotes(u, rng, index, today);
    return u;
}

// Sold a month after it came in, or today when that is still to come.
void markSold(UnitSpec& u, std::int32_t invoice, bool withDate, Date today) {
    u.soldInvoice = invoice;
    if (withDate) u.sold = std::min(u.received + days(30), today);
}

// Sold units, and the special models that show the tree's and list's rules.
void applyStatus(UnitSpec& u, std::int32_t model, std::int32_t index, Random& rng, Date today) {
    std::int32_t roll = rng.below(100);
    if (model == kAllOnInvoices) return markSold(u, 700000 + index, roll < 50, today);
    if (model == kSoldByDate) return markSold(u, roll < 34 ? 0 : 700000 + index, true, today);
    if (roll < 8)
        markSold(u, 700000 + index, true, today);
    else if (roll < 10)
        markSold(u, 700000 + index, false, today);
    else if (roll == 10)
        markSold(u, 0, true, today);
}

std::vector<UnitSpec> demoUnits(const DemoOptions& o, const std::vector<LineSpec>& lines,
                                const std::vector<ModelPlan>& models, Random& rng) {
    std::vector<UnitSpec> units;
    units.reserve(static_cast<std::size_t>(o.units));
    std::vector<bool> named(models.size(), false);
    for (std::int32_t i = 0; i < o.units; ++i) {
        std::int32_t m = i % static_cast<std::int32_t>(models.size());
        UnitSpec u = demoUnit(models[static_cast<std::size_t>(m)], lines, i, rng, o.today);
        applyStatus(u, m, i, rng, o.today);
        if (m == kEmptyFirstUnit && !named[static_cast<std::size_t>(m)]) u.unitNumber = "";
        named[static_cast<std::size_t>(m)] = true;
        units.push_back(std::move(u));
    }
    if (units.size() > 3) units[3].unitNumber = "12";  // hidden by a part number holding "12"
    if (units.size() > 6) units[6].ledgerCents = {120000, -180000};  // a credit beyond its cost
    return units;
}

bool available(const UnitSpec& u) {
    return u.sold == codec::kEmptyDate && u.soldInvoice == 0 && u.unitNumber.size() > 2;
}

// Picks an in-stock unit that no sale holds yet, or none.
const UnitSpec* takeUnit(std::vector<UnitSpec>& units, std::vector<bool>& taken, Random& rng) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        auto i = static_cast<std::size_t>(rng.below(static_cast<std::int32_t>(units.size())));
        if (taken[i] || !available(units[i])) continue;
        taken[i] = true;
        return &units[i];
    }
    return nullptr;
}

LineEntrySpec partEntry(Random& rng) {
    static const char* const kParts[] = {"AM", "RE", "TY", "GX", "LVA", "BKZ"};
    static const char* const kNames[] = {"OIL FILTER", "BLADE SET",   "SEAT SWITCH",
                                         "V BELT",     "AIR CLEANER", "HYD FLUID 5 GAL"};
    LineEntrySpec e;
    e.lineCode = "PRT";
    e.part = rng.pick(kParts) + std::to_string(10000 + rng.below(89999));
    e.dashCode = rng.below(2) == 0 ? "3" : "";
    e.text = rng.pick(kNames);
    e.quantityTenths = 10 * (1 + rng.below(4)) + (rng.below(5) == 0 ? 5 : 0);
    e.netCents = 500 + rng.below(20000);
    e.costCents = e.netCents * 6 / 10;
    return e;
}

// A parts line whose part number holds the text of another unit number.
LineEntrySpec partEntryNamed(const std::string& part) {
    LineEntrySpec e;
    e.lineCode = "PRT";
    e.part = part;
    e.text = "DECAL KIT";
    e.quantityTenths = 10;
    e.netCents = 1999;
    e.costCents = 1100;
    return e;
}

LineEntrySpec unitEntry(const UnitSpec& u, const std::vector<LineSpec>& lines, bool asRemark) {
    if (asRemark) return LineEntrySpec::remark("...UNIT NUMBER... " + u.unitNumber);
    LineEntrySpec e;
    for (const auto& line : lines)
        if (line.number == u.line) e.lineCode = line.code;
    e.part = u.unitNumber;
    e.text = u.description;
    e.quantityTenths = 10;
    e.netCents = static_cast<std::int32_t>(std::min<std::int64_t>(u.suggestedListCents, 8388607));
    e.costCents = static_cast<std::int32_t>(std::min<std::int64_t>(u.dealerListCents, 8388607));
    return e;
}

InvoiceSpec demoInvoice(std::int32_t number, std::int32_t pages, const std::vector<LineSpec>& lines,
                        std::vector<UnitSpec>& units, std::vector<bool>& taken, Random& rng,
                        Date today) {
    static const char* const kRemarks[] = {
        "CUSTOMER PICKS UP FRIDAY", "DELIVER TO FARM, CALL FIRST", "TRADE APPRAISAL PENDING"};
    InvoiceSpec invoice;
    invoice.number = number;
    invoice.account = 10000 + rng.below(5000);
    invoice.date = today - days(rng.below(200));
    invoice.pages.resize(static_cast<std::size_t>(pages));
    for (auto& page : invoice.pages) {
        std::int32_t fill = 2 + rng.below(kEntriesPerPage - 2);
        for (std::int32_t k = 0; k < fill; ++k)
            page.push_back(rng.below(5) == 0 ? LineEntrySpec::remark(rng.pick(kRemarks))
                                             : partEntry(rng));
    }
    std::int32_t unitsOnIt = rng.below(4) == 0 ? 2 : 1;
    for (std::int32_t n = 0; n < unitsOnIt; ++n) {
        const UnitSpec* unit = takeUnit(units, taken, rng);
        if (!unit) break;
        auto& page = invoice.pages[static_cast<std::size_t>(rng.below(pages))];
        auto at = page.begin() + rng.below(static_cast<std::int32_t>(page.size()));
        page.insert(at, unitEntry(*unit, lines, rng.below(3) == 0));
        if (page.size() > static_cast<std::size_t>(kEntriesPerPage)) page.pop_back();
    }
    return invoice;
}

std::int32_t orDefault(std::int32_t value, std::int32_t fallback) {
    return value > 0 ? value : fallback;
}

}  // namespace

DealerData generateDemo(const DemoOptions& o) {
    if (o.units < 1 || o.maxPages < 1 || o.maxPages > 200)
        throw std::invalid_argument("the demo needs units and 1 to 200 ticket pages");
    if (o.today == codec::kEmptyDate)
        throw std::invalid_argument("the demo needs the day it is dated from");
    Random rng(o.seed);
    DealerData d;
    d.lines = demoLines();
    auto models = planModels(orDefault(o.models, std::max(30, o.units / 200)), rng);
    d.units = demoUnits(o, d.lines, models, rng);
    std::vector<bool> taken(d.units.size(), false);
    std::int32_t tickets = orDefault(o.tickets, std::max(12, o.units / 100));
    for (std::int32_t t = 0; t < tickets; ++t)
        d.openTickets.push_back(demoInvoice(500001 + t, 1 + rng.below(o.maxPages), d.lines, d.units,
                                            taken, rng, o.today));
    if (!d.openTickets.empty()) {
        auto& page = d.openTickets[0].pages[0];
        page.insert(page.begin(), partEntryNamed("A12B"));
        if (page.size() > static_cast<std::size_t>(kEntriesPerPage)) page.pop_back();
    }
    std::int32_t listed = std::min(kListPositions, orDefault(o.listed, std::max(8, o.units / 25)));
    std::int32_t stride = std::max(1, kListPositions / listed);
    for (std::int32_t i = 0; i < listed; ++i) {
        d.listedInvoices.push_back(
            demoInvoice(600001 + i, 1 + rng.below(2), d.lines, d.units, taken, rng, o.today));
        d.listPositions.push_back(i * stride);
    }
    if (stride > 1)  // a stale entry left behind in the lists
        d.rawListEntries.push_back({(listed - 1) * stride + 1, 9999999});
    d.userNames = {"Key Tag ", "        ", "Hours   ", " Axles  "};
    return d;
}

}  // namespace fennick::demo
