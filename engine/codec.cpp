#include "codec.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "error.h"
#include "platform/text.h"

namespace fennick::codec {

namespace {

using platform::upperAscii;

std::int32_t fieldOffset(std::int32_t position, int width, std::size_t length) {
    if (position < 1) return -1;
    if (static_cast<std::int64_t>(position) + width - 1 > static_cast<std::int64_t>(length))
        return -1;
    return position - 1;
}

int alphabetIndex(std::string_view alphabet, char c) {
    auto at = alphabet.find(c);
    return at == std::string_view::npos || at >= 40 ? 0 : static_cast<int>(at);
}

}  // namespace

namespace {

std::optional<coding::Int> kindOf(std::string_view opcode) {
    if (opcode.size() != 1) return std::nullopt;
    return coding::intOfCode(upperAscii(opcode[0]));
}

}  // namespace

int opcodeWidth(std::string_view opcode) {
    auto kind = kindOf(opcode);
    return kind ? coding::widthOf(*kind) : 0;
}

std::int32_t unpack(coding::Int kind, std::string_view data, std::int32_t position) {
    std::int32_t at = fieldOffset(position, coding::widthOf(kind), data.size());
    if (at < 0)
        throw EngineError(err::kSubscript, "UnPack",
                          "Invalid Subscript.  UnPack(\"" + std::string(1, coding::codeOf(kind)) +
                              "\", Data$, " + std::to_string(position) +
                              ")   Len(Data$) = " + std::to_string(data.size()));
    return coding::readInt(kind, data.data() + at);
}

void pack(coding::Int kind, std::string& data, std::int32_t value, std::int32_t position) {
    std::int32_t at = fieldOffset(position, coding::widthOf(kind), data.size());
    if (at < 0)
        throw EngineError(err::kSubscript, "Pack",
                          "Invalid Subscript.  Pack \"" + std::string(1, coding::codeOf(kind)) +
                              "\", Data$, " + std::to_string(position) +
                              "   Len(Data$) = " + std::to_string(data.size()));
    coding::writeInt(kind, data.data() + at, value);
}

std::int32_t unpack(std::string_view opcode, std::string_view data, std::int32_t position) {
    auto kind = kindOf(opcode);
    if (!kind)
        throw EngineError(err::kOpCode, "UnPack",
                          "Unknown OpCode = \"" + upperAscii(opcode) + "\"");
    return unpack(*kind, data, position);
}

void pack(std::string_view opcode, std::string& data, std::int32_t value, std::int32_t position) {
    auto kind = kindOf(opcode);
    if (!kind)
        throw EngineError(err::kOpCode, "Pack", "Unknown OpCode = \"" + upperAscii(opcode) + "\"");
    pack(*kind, data, value, position);
}

int windowYear(int twoDigitYear) {
    return twoDigitYear < 30 ? 2000 + twoDigitYear : 1900 + twoDigitYear;
}

bool validDate(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || day > 31) return false;
    return std::chrono::year_month_day{std::chrono::year{year}, std::chrono::month(unsigned(month)),
                                       std::chrono::day(unsigned(day))}
        .ok();
}

Date dayToDate(std::int32_t dayNumber) {
    return dayNumber == 0 ? kEmptyDate : kDayZero + std::chrono::days{dayNumber};
}

std::int32_t dateToDay(std::int32_t month, std::int32_t day, std::int32_t year) {
    if (month == 1 && day == 1 && year == 68) return 0;
    // 64-bit arithmetic: any 32-bit month, day and year roll over without overflowing.
    std::int64_t fullYear = year >= 0 && year < 100 ? windowYear(year) : year;
    // Roll months and days over the way a date serial does.
    std::int64_t monthIndex = std::int64_t(month) - 1;
    std::int64_t yearShift = monthIndex >= 0 ? monthIndex / 12 : -((11 - monthIndex) / 12);
    std::int64_t normalizedMonth = monthIndex - yearShift * 12 + 1;
    // Beyond the years a calendar date can hold, the result is the empty date's day.
    std::int64_t rolledYear = fullYear + yearShift;
    if (rolledYear < -30000 || rolledYear > 30000) return 0;
    Date first = Date{std::chrono::year{static_cast<int>(rolledYear)} /
                      std::chrono::month(unsigned(normalizedMonth)) / 1};
    std::int64_t days = (first - kDayZero).count() + (std::int64_t(day) - 1);
    if (days < INT32_MIN || days > INT32_MAX) return 0;
    return static_cast<std::int32_t>(days);
}

namespace {

// mmddyy read from the first six digits of n written with at least six digits.
Date fromMmddyy(std::int32_t n) {
    std::string digits = std::to_string(n);
    if (n < 0) return kEmptyDate;
    if (digits.size() < 6) digits.insert(0, 6 - digits.size(), '0');
    auto twoDigits = [&](std::size_t at) {
        return platform::wholeNumber(std::string_view(digits).substr(at, 2)).value_or(0);
    };
    int month = twoDigits(0);
    int day = twoDigits(2);
    int year = windowYear(twoDigits(4));
    if (!validDate(year, month, day)) return kEmptyDate;
    return Date{std::chrono::year{year} / std::chrono::month(unsigned(month)) /
                std::chrono::day(unsigned(day))};
}

}  // namespace

Date unpackDate(std::string_view opcode, std::string_view data, std::int32_t position) {
    std::string op = upperAscii(opcode);
    if (op.size() != 1) return kEmptyDate;
    try {
        switch (op[0]) {
            case 'C':
            case 'J':
                return dayToDate(unpack(coding::Int::U16, data, position));
            case 'D':
            case 'K':
                return fromMmddyy(unpack(coding::Int::U24, data, position));
            case 'R': {
                std::int32_t n = unpack(coding::Int::U24, data, position);
                return fromMmddyy((n % 10000) * 100 + n / 10000);
            }
            default:
                return kEmptyDate;
        }
    } catch (const EngineError&) {
        return kEmptyDate;
    }
}

void packDate(std::string_view opcode, std::string& data, std::int32_t position, Date value) {
    std::string op = upperAscii(opcode);
    if (op.size() != 1) return;
    std::chrono::year_month_day ymd{value};
    int year = int(ymd.year()), month = int(unsigned(ymd.month())), day = int(unsigned(ymd.day()));
    switch (op[0]) {
        case 'C':
        case 'J':
            pack(coding::Int::U16, data, dayNumber(value), position);
            break;
        case 'D':
        case 'K':
            pack(coding::Int::U24, data, month * 10000 + day * 100 + year % 100, position);
            break;
        case 'R':
            pack(coding::Int::U24, data, (year % 100) * 10000 + month * 100 + day, position);
            break;
        default:
            break;
    }
}

std::string compress(std::string_view text, std::string_view alphabet) {
    std::string out;
    out.reserve((text.size() + 2) / 3 * 2);
    for (std::size_t i = 0; i < text.size(); i += 3) {
        int v = 0;
        for (std::size_t j = 0; j < 3; ++j) {
            char c = i + j < text.size() ? text[i + j] : ' ';
            v = v * 40 + alphabetIndex(alphabet, c);
        }
        out += static_cast<char>(v >> 8);
        out += static_cast<char>(v & 0xFF);
    }
    return out;
}

std::string decompress(std::string_view bytes, std::string_view alphabet) {
    std::string out((bytes.size() + 1) / 2 * 3, '\0');
    const unsigned letters = static_cast<unsigned>(std::min<std::size_t>(alphabet.size(), 40));
    std::size_t n = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        unsigned hi = static_cast<unsigned char>(bytes[i]);
        unsigned lo = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        unsigned v = hi << 8 | lo;
        const unsigned indexes[] = {v / 1600, (v / 40) % 40, v % 40};
        for (unsigned index : indexes)
            if (index < letters) out[n++] = alphabet[index];
    }
    out.resize(n);
    return out;
}

std::string crm(std::string& source, std::string_view alphabet) {
    if (source.size() % 3 != 0) source.append(3 - source.size() % 3, ' ');
    return compress(source, alphabet);
}

std::string ucm(std::string& source, std::string_view alphabet) {
    if (source.size() % 2 != 0) source += '\0';
    return decompress(source, alphabet);
}

std::string trun(std::string_view source, std::int32_t removeControlCharacters) {
    std::size_t end = source.size();
    auto trailing = [&](char c) {
        if (removeControlCharacters == 0) return c == ' ';
        return c == '\0' || c == '\t' || c == '\n' || c == '\r' || c == ' ';
    };
    while (end > 0 && trailing(source[end - 1]))
        --end;
    return std::string(source.substr(0, end));
}

std::int32_t wholeNumber(std::string_view text) {
    auto number = platform::leadingNumber(text);
    return number ? number->value : 0;
}

std::int32_t strPos(std::string_view source, std::string_view target) {
    auto at = source.find(target);
    return at == std::string_view::npos ? 0 : static_cast<std::int32_t>(at + 1);
}

namespace {

std::size_t findDelimiter(std::string_view s, std::string_view d, std::size_t from, bool noCase) {
    if (!noCase) return s.find(d, from);
    for (std::size_t i = from; i + d.size() <= s.size(); ++i) {
        bool same = true;
        for (std::size_t j = 0; j < d.size() && same; ++j)
            same = upperAscii(s[i + j]) == upperAscii(d[j]);
        if (same) return i;
    }
    return std::string_view::npos;
}

}  // namespace

std::vector<std::string> split(std::string_view expression, std::string_view delimiter,
                               std::int32_t limit, std::int32_t compare) {
    std::vector<std::string> pieces;
    if (expression.empty() || limit == 0) return pieces;
    if (delimiter.empty()) return {std::string(expression)};
    bool noCase = compare != 0;
    std::size_t from = 0;
    while (true) {
        bool lastAllowed = limit > 0 && static_cast<std::int32_t>(pieces.size()) == limit - 1;
        std::size_t at = lastAllowed ? std::string_view::npos
                                     : findDelimiter(expression, delimiter, from, noCase);
        pieces.emplace_back(expression.substr(from, at == std::string_view::npos ? at : at - from));
        if (at == std::string_view::npos) break;
        from = at + delimiter.size();
    }
    std::vector<std::string> kept;
    for (auto& piece : pieces)
        if (!piece.empty() && findDelimiter(piece, delimiter, 0, noCase) == std::string_view::npos)
            kept.push_back(std::move(piece));
    return kept;
}

}  // namespace fennick::codec
