#pragma once
// Money in memory: a 64-bit fixed-point number with four decimals (ten-thousandths), as the
// dealer records hold whole cents and the windows compute margins.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fennick {

class Currency {
  public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromTicks(std::int64_t ticks) { return Currency(ticks); }
    static constexpr Currency fromCents(std::int64_t cents) { return Currency(cents * 100); }
    static constexpr Currency fromTenths(std::int64_t tenths) { return Currency(tenths * 1000); }
    static constexpr Currency fromWhole(std::int64_t whole) { return Currency(whole * kScale); }
    static Currency fromDouble(double value);
    // "1234.5", "-0.25", " 12 ": a decimal number; nothing when the text is not one.
    static std::optional<Currency> parse(std::string_view text);

    constexpr std::int64_t ticks() const { return ticks_; }
    double toDouble() const { return static_cast<double>(ticks_) / kScale; }
    // The value times 100 rounded to a whole number the way a 32-bit conversion rounds
    // (halves to even), for storing as cents; throws std::overflow_error beyond 32 bits.
    std::int32_t toCents() const;
    std::int32_t toTenths() const;
    std::int32_t toWhole() const;
    // "#########0.00": no thousands separators, two decimals, halves away from zero.
    std::string format() const;

    friend constexpr Currency operator+(Currency a, Currency b) {
        return Currency(a.ticks_ + b.ticks_);
    }
    friend constexpr Currency operator-(Currency a, Currency b) {
        return Currency(a.ticks_ - b.ticks_);
    }
    friend constexpr Currency operator-(Currency a) { return Currency(-a.ticks_); }
    Currency& operator+=(Currency b) {
        ticks_ += b.ticks_;
        return *this;
    }
    Currency& operator-=(Currency b) {
        ticks_ -= b.ticks_;
        return *this;
    }
    friend constexpr auto operator<=>(Currency, Currency) = default;

  private:
    explicit constexpr Currency(std::int64_t ticks) : ticks_(ticks) {}
    std::int64_t ticks_ = 0;
};

}  // namespace fennick
