#pragma once
// Field access for the record classes. Each read and write suppresses its own failure: on
// unpack a number or date the record string does not wholly hold keeps the field's previous
// value, and a text takes what characters are there; on pack a field that does not fit is
// skipped and a text is cut at the record's end. The record string never changes length.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/codec.h"
#include "engine/coding.h"
#include "engine/currency.h"

namespace fennick::records {

using coding::Int;

// How a stored integer maps to a Currency value: whole units, tenths or cents.
enum class Scale : std::int32_t { Whole = 1, Tenths = 10, Cents = 100 };

class FieldReader {
  public:
    explicit FieldReader(std::string_view record,
                         std::string_view alphabet = codec::kPackingAlphabet)
        : record_(record), alphabet_(alphabet) {}

    // The integer of `kind` at `position`, or nothing when the record does not hold it.
    std::optional<std::int32_t> value(Int kind, std::int32_t position) const;
    void integer(Int kind, std::int32_t position, std::int32_t& field) const;
    void scaled(Int kind, std::int32_t position, Scale scale, Currency& field) const;
    // Cents in a 4-byte signed field.
    void money(std::int32_t position, Currency& field) const {
        scaled(Int::S32, position, Scale::Cents, field);
    }
    // A 2-byte day number.
    void date(std::int32_t position, Date& field) const;
    // Up to `width` characters from `position`, as stored.
    std::string text(std::int32_t position, std::int32_t width) const;
    // Up to `width` bytes from `position`, decompressed (an odd width reads as if a NUL followed).
    std::string compressed(std::int32_t position, std::int32_t width) const {
        return compressed(position, width, alphabet_);
    }
    std::string compressed(std::int32_t position, std::int32_t width,
                           std::string_view alphabet) const;

  private:
    std::string_view bytes(std::int32_t position, std::int32_t width) const;

    std::string_view record_;
    std::string_view alphabet_;
};

class FieldWriter {
  public:
    explicit FieldWriter(std::string& record, std::string_view alphabet = codec::kPackingAlphabet)
        : record_(record), alphabet_(alphabet) {}

    // The record as written so far, for fields that keep some of their stored bits.
    FieldReader stored() const { return FieldReader(record_, alphabet_); }

    void integer(Int kind, std::int32_t position, std::int32_t value);
    // Skipped as well when the scaled value does not fit 32 bits.
    void scaled(Int kind, std::int32_t position, Scale scale, Currency value);
    void money(std::int32_t position, Currency value) {
        scaled(Int::S32, position, Scale::Cents, value);
    }
    void date(std::int32_t position, Date value);
    // The value padded with blanks to `width`.
    void text(std::int32_t position, std::int32_t width, std::string_view value);
    // The value as it is, at most `width` characters: a shorter value leaves the rest alone.
    void overlay(std::int32_t position, std::int32_t width, std::string_view value);
    // The value compressed, padded with NUL bytes to `width` bytes.
    void compressed(std::int32_t position, std::int32_t width, std::string_view value) {
        compressed(position, width, value, alphabet_);
    }
    void compressed(std::int32_t position, std::int32_t width, std::string_view value,
                    std::string_view alphabet);

  private:
    std::string& record_;
    std::string_view alphabet_;
};

// Bit `bit` of `word` as a 0/1 flag, and a word with that bit set or cleared.
inline std::int16_t bitFlag(std::int32_t word, int bit) {
    return static_cast<std::int16_t>((word >> bit) & 1);
}
inline std::int32_t withBit(std::int32_t word, int bit, bool on) {
    return on ? word | (1 << bit) : word & ~(1 << bit);
}

// The packing alphabet with its four punctuation characters replaced (" ,-." for example).
std::string alphabetWithPunctuation(std::string_view punctuation,
                                    std::string_view alphabet = codec::kPackingAlphabet);

}  // namespace fennick::records
