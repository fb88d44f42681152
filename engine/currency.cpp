#include "currency.h"

#include "platform/text.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace fennick {

namespace {

// ticks / divisor rounded half to even.
std::int64_t divideToEven(std::int64_t ticks, std::int64_t divisor) {
    std::int64_t q = ticks / divisor, r = ticks % divisor;
    std::int64_t twice = 2 * (r < 0 ? -r : r);
    if (twice > divisor || (twice == divisor && q % 2 != 0)) q += ticks < 0 ? -1 : 1;
    return q;
}

std::int32_t toInt32(std::int64_t v) {
    if (v < std::numeric_limits<std::int32_t>::min() ||
        v > std::numeric_limits<std::int32_t>::max())
        throw std::overflow_error("Overflow");
    return static_cast<std::int32_t>(v);
}

}  // namespace

Currency Currency::fromDouble(double value) {
    return Currency(static_cast<std::int64_t>(std::llround(value * kScale)));
}

std::optional<Currency> Currency::parse(std::string_view text) {
    auto decimal = platform::decimalText(platform::trimBlanks(text));
    if (!decimal) return std::nullopt;
    std::int64_t whole = 0, fraction = 0, scale = kScale;
    for (char c : decimal->whole) {
        if (whole > 900'000'000'000'000) return std::nullopt;
        whole = whole * 10 + (c - '0');
    }
    for (char c : decimal->fraction) {
        if (scale == 1) break;
        scale /= 10;
        fraction += (c - '0') * scale;
    }
    std::int64_t ticks = whole * kScale + fraction;
    return Currency(decimal->negative ? -ticks : ticks);
}

std::int32_t Currency::toCents() const {
    return toInt32(divideToEven(ticks_, 100));
}
std::int32_t Currency::toTenths() const {
    return toInt32(divideToEven(ticks_, 1000));
}
std::int32_t Currency::toWhole() const {
    return toInt32(divideToEven(ticks_, kScale));
}

std::string Currency::format() const {
    std::int64_t magnitude = ticks_ < 0 ? -ticks_ : ticks_;
    std::int64_t cents = (magnitude + 50) / 100;
    std::string digits = std::to_string(cents / 100);
    std::int64_t rest = cents % 100;
    std::string out = (ticks_ < 0 && cents != 0 ? "-" : "") + digits + "." +
                      static_cast<char>('0' + rest / 10) + static_cast<char>('0' + rest % 10);
    return out;
}

}  // namespace fennick
