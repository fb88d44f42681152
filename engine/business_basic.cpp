#include "business_basic.h"

#include <cstdio>

#include "platform/services.h"
#include "platform/text.h"

namespace fennick {

cBusinessBasic::cBusinessBasic(cSystem& system, EngineEnvironment environment)
    : system_(system), env_(std::move(environment)), alphabet_(codec::kPackingAlphabet) {
    if (!env_.share) throw EngineError(err::kShare, "cBusinessBasic", "No share file system");
    // The readers that log on for the share check open these meanwhile.
    env_.share->willOpen({terminalMapPath(), linksFilePath()});
    checkShare();
    identifyWorkstation();
    // Both files are opened at once: one round trip rather than two on a network share.
    env_.share->withOpenedAhead({terminalMapPath(), linksFilePath()}, [&] {
        readTerminalMap();
        links_ = std::make_unique<cLinks>();
        readLinks();
    });
    openFiles_ = std::make_unique<cOpenFiles>();
    logicalFiles_ = std::make_unique<cLogicalFiles>();
}

cBusinessBasic::~cBusinessBasic() {
    openFiles_.reset();
    links_.reset();
    logicalFiles_.reset();
}

void cBusinessBasic::checkShare() {
    std::string root = system_.linkShareRoot();
    if (onShare("vRMDataEngine_Initialization", root,
                [&] { return env_.share->isDirectory(root); }))
        return;
    // A server that can say more (not answering, no such share, access refused) adds it on a
    // line of its own below the message.
    std::string problem = env_.share->lastProblem();
    platform::messages().show(
        platform::invalidShareText(root) + (problem.empty() ? "" : "\n" + problem),
        "Connection Error", platform::MessageIcon::Critical);
    throw EngineError(err::kShare, "vRMDataEngine_Initialization",
                      "Invalid network share: " + root + (problem.empty() ? "" : " - " + problem));
}

void cBusinessBasic::identifyWorkstation() {
    std::string name = env_.computerName();
    if (name.size() > 80) name.resize(80);
    system_.ComputerName = codec::trun(name, 1);
    system_.IP = env_.ipv4Of(system_.ComputerName);
    system_.TerminalID = "0";
}

std::string cBusinessBasic::terminalMapPath() const {
    return "\\\\" + system_.mUNCDrive + "\\TARNLNK\\ttymap";
}

void cBusinessBasic::readTerminalMap() {
    const std::string mapPath = terminalMapPath();
    const std::string mapDir = mapPath.substr(0, mapPath.rfind('\\'));
    bool opened = false;
    std::string text = onShare("vRMDataEngine_Initialization", mapPath, [&] {
        return platform::readWholeFile(*env_.share, mapPath, platform::kTerminalMap, &opened);
    });
    if (!opened)
        throw EngineError(err::kEngine, "vRMDataEngine_Initialization",
                          "Terminal File 'ttymap' not found on drive " + mapDir);
    std::string upperName = foldKey(system_.ComputerName);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        auto fields = Split(line, " ");
        if (fields.size() < 2) continue;
        if (foldKey(fields[0]) != upperName && fields[0] != system_.IP) continue;
        auto terminal = Split(fields[1], ",");
        if (!terminal.empty()) system_.TerminalID = terminal[0];
        return;
    }
    std::string address = system_.IP.empty() ? "" : " (" + system_.IP + ")";
    platform::messages().show("The workstation " + system_.ComputerName + address +
                                  " is not in the terminal map " + mapPath +
                                  "; it works as terminal 0.",
                              "Terminal map", platform::MessageIcon::Exclamation);
}

std::int32_t cBusinessBasic::Unpack(std::string_view OpCode, std::string_view Data,
                                    std::int32_t Position) const {
    return codec::unpack(OpCode, Data, Position);
}

void cBusinessBasic::Pack(std::string_view OpCode, std::string& Data, std::int32_t value,
                          std::int32_t Position) const {
    codec::pack(OpCode, Data, value, Position);
}

void cBusinessBasic::PackDate(std::string_view OpCode, std::string& Data, std::int32_t Position,
                              Date value) const {
    codec::packDate(OpCode, Data, Position, value);
}

Date cBusinessBasic::UnPackDate(std::string_view OpCode, std::string_view Data,
                                std::int32_t Position) const {
    return codec::unpackDate(OpCode, Data, Position);
}

std::string cBusinessBasic::Crm(std::string& Source) const {
    return codec::crm(Source, alphabet_);
}

std::string cBusinessBasic::Ucm(std::string& Source) const {
    return codec::ucm(Source, alphabet_);
}

void cBusinessBasic::StrPos(std::int32_t& Location, std::string_view Source,
                            std::string_view target) const {
    Location = codec::strPos(Source, target);
}

std::string cBusinessBasic::Trun(std::string_view Source, std::int32_t flag) const {
    return codec::trun(Source, flag);
}

std::vector<std::string> cBusinessBasic::Split(std::string_view Expression,
                                               std::string_view Delimiter, std::int32_t Limit,
                                               std::int32_t Compare) const {
    return codec::split(Expression, Delimiter, Limit, Compare);
}

namespace {

std::int32_t formatted(const platform::LocalDateTime& t, bool yearFirst) {
    char text[16];
    if (yearFirst)
        std::snprintf(text, sizeof text, "%02d%02d%02d", t.year % 100, t.month, t.day);
    else
        std::snprintf(text, sizeof text, "%02d%02d%02d", t.month, t.day, t.year % 100);
    return codec::wholeNumber(text);
}

}  // namespace

std::int32_t cBusinessBasic::Sys(std::int32_t code) const {
    switch (code) {
        case 1:
            return Now().day;
        case 2:
            return Now().month;
        case 3:
            return Now().year;
        case 4:
            return codec::wholeNumber(system_.TerminalID);
        case 28:
            return formatted(Now(), false);
        case 128:
            return formatted(Now(), true);
        case 152: {
            // One reading of the clock, so that day, month and year are of the same day.
            platform::LocalDateTime now = Now();
            return codec::dateToDay(now.month, now.day, now.year % 100);
        }
        default:
            return 0;
    }
}

namespace {

std::optional<std::int32_t> asNumber(const Variant& v) {
    if (auto* n = std::get_if<std::int32_t>(&v)) return *n;
    if (auto* s = std::get_if<std::string>(&v)) return platform::wholeNumber(*s);
    return std::nullopt;
}

}  // namespace

void cBusinessBasic::Stma(Variant& Var1, Variant& Var2, Variant& Var3, Variant& Var4, Variant& Var5,
                          Variant& Var6) {
    auto mode = asNumber(Var1);
    if (mode == 10) {
        auto* chars = std::get_if<std::string>(&Var3);
        if (asNumber(Var2) == 0 && chars && chars->size() == 4) alphabet_.replace(0, 4, *chars);
    } else if (mode == 11) {
        Date date = codec::dayToDate(asNumber(Var2).value_or(0));
        std::chrono::year_month_day ymd{date};
        Var3 = static_cast<std::int32_t>(unsigned(ymd.month()));
        Var4 = static_cast<std::int32_t>(unsigned(ymd.day()));
        Var5 = static_cast<std::int32_t>(int(ymd.year()) % 100);
        Var6 = date;
    } else if (mode == 12) {
        auto month = asNumber(Var3), day = asNumber(Var4), year = asNumber(Var5);
        if (month && day && year) Var2 = codec::dateToDay(*month, *day, *year);
    }
}

}  // namespace fennick
