#pragma once
// The field codec of the dealer files: big-endian integers of one to four bytes, dates stored
// as day numbers or packed decimal dates, compressed text (three characters of a 40-character
// alphabet in two bytes), and the small text helpers. Positions are 1-based.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "coding.h"

namespace fennick {

using Date = std::chrono::sys_days;

namespace codec {

using namespace std::chrono_literals;

// 1 January 1968: stored as day 0, and what every zero or invalid stored date reads as.
constexpr Date kEmptyDate = Date{std::chrono::year{1968} / 1 / 1};
// Day n of the dealer files is this date plus n days.
constexpr Date kDayZero = Date{std::chrono::year{1967} / 12 / 31};
constexpr std::string_view kPackingAlphabet = " ,/.0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// Field width of an integer opcode ("B" to "L", either case); 0 for any other.
int opcodeWidth(std::string_view opcode);

// The integer at 1-based `position`; fails with error 31 when `data` does not hold the field.
// Code that knows its field's kind uses the typed forms; the opcode forms (an unknown opcode
// fails with error 100) serve the engine's public operations.
std::int32_t unpack(coding::Int kind, std::string_view data, std::int32_t position);
void pack(coding::Int kind, std::string& data, std::int32_t value, std::int32_t position);
std::int32_t unpack(std::string_view opcode, std::string_view data, std::int32_t position);
void pack(std::string_view opcode, std::string& data, std::int32_t value, std::int32_t position);
Date unpackDate(std::string_view opcode, std::string_view data, std::int32_t position);
void packDate(std::string_view opcode, std::string& data, std::int32_t position, Date value);

// Compression; both pad the caller's source as the stored forms require.
std::string crm(std::string& source, std::string_view alphabet = kPackingAlphabet);
std::string ucm(std::string& source, std::string_view alphabet = kPackingAlphabet);
// Without padding the caller's string.
std::string compress(std::string_view text, std::string_view alphabet = kPackingAlphabet);
std::string decompress(std::string_view bytes, std::string_view alphabet = kPackingAlphabet);

std::string trun(std::string_view source, std::int32_t removeControlCharacters = 0);
std::int32_t strPos(std::string_view source, std::string_view target);
// Text read as a whole number (blanks, a sign and digits at its start); 0 when it holds none or
// the number does not fit 32 bits.
std::int32_t wholeNumber(std::string_view text);
std::vector<std::string> split(std::string_view expression, std::string_view delimiter,
                               std::int32_t limit = -1, std::int32_t compare = 0);

// Two-digit years: 00-29 are 2000-2029, 30-99 are 1930-1999.
int windowYear(int twoDigitYear);
// The date of a day number (0 is the empty date).
Date dayToDate(std::int32_t dayNumber);
// The day number a date is stored as: 0 for the empty date.
inline std::int32_t dayNumber(Date value) {
    return value == kEmptyDate ? 0 : static_cast<std::int32_t>((value - kDayZero).count());
}
// The day number of a date given as month, day, year (two digits through the window, or four;
// out-of-range months and days roll over); month 1, day 1 of the two-digit year 68 gives 0.
std::int32_t dateToDay(std::int32_t month, std::int32_t day, std::int32_t year);
// True when year, month and day form a calendar date.
bool validDate(int year, int month, int day);

}  // namespace codec
}  // namespace fennick
