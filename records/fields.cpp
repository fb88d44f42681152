#include "records/fields.h"

#include <algorithm>
#include <stdexcept>

#include "engine/error.h"

namespace fennick::records {

namespace {

// True when the bytes from 1-based `position` on, `width` of them, lie inside a string of
// `length` bytes.
bool holds(std::size_t length, std::int32_t position, std::int32_t width) {
    return position >= 1 && width >= 0 &&
           static_cast<std::int64_t>(position) + width - 1 <= static_cast<std::int64_t>(length);
}

std::int32_t toStored(Currency value, Scale scale) {
    switch (scale) {
        case Scale::Whole:
            return value.toWhole();
        case Scale::Tenths:
            return value.toTenths();
        case Scale::Cents:
            break;
    }
    return value.toCents();
}

Currency fromStored(std::int32_t stored, Scale scale) {
    return Currency::fromTicks(std::int64_t{stored} *
                               (Currency::kScale / static_cast<std::int32_t>(scale)));
}

}  // namespace

std::optional<std::int32_t> FieldReader::value(Int kind, std::int32_t position) const {
    if (!holds(record_.size(), position, coding::widthOf(kind))) return std::nullopt;
    return coding::readInt(kind, record_.data() + (position - 1));
}

void FieldReader::integer(Int kind, std::int32_t position, std::int32_t& field) const {
    if (auto v = value(kind, position)) field = *v;
}

void FieldReader::scaled(Int kind, std::int32_t position, Scale scale, Currency& field) const {
    if (auto v = value(kind, position)) field = fromStored(*v, scale);
}

void FieldReader::date(std::int32_t position, Date& field) const {
    if (auto day = value(Int::U16, position)) field = codec::dayToDate(*day);
}

std::string_view FieldReader::bytes(std::int32_t position, std::int32_t width) const {
    if (position < 1 || width <= 0 || static_cast<std::size_t>(position) > record_.size())
        return {};
    return record_.substr(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(width));
}

std::string FieldReader::text(std::int32_t position, std::int32_t width) const {
    return std::string(bytes(position, width));
}

std::string FieldReader::compressed(std::int32_t position, std::int32_t width,
                                    std::string_view alphabet) const {
    return codec::decompress(bytes(position, width), alphabet);
}

void FieldWriter::integer(Int kind, std::int32_t position, std::int32_t value) {
    if (holds(record_.size(), position, coding::widthOf(kind)))
        coding::writeInt(kind, record_.data() + (position - 1), value);
}

void FieldWriter::scaled(Int kind, std::int32_t position, Scale scale, Currency value) {
    try {
        integer(kind, position, toStored(value, scale));
    } catch (const std::overflow_error&) {
        // Too large for the stored form: the field keeps its bytes.
    }
}

void FieldWriter::date(std::int32_t position, Date value) {
    integer(Int::U16, position, codec::dayNumber(value));
}

void FieldWriter::text(std::int32_t position, std::int32_t width, std::string_view value) {
    std::string padded(value.substr(0, static_cast<std::size_t>(std::max(width, 0))));
    padded.resize(static_cast<std::size_t>(std::max(width, 0)), ' ');
    overlay(position, width, padded);
}

void FieldWriter::overlay(std::int32_t position, std::int32_t width, std::string_view value) {
    if (position < 1 || width <= 0 || static_cast<std::size_t>(position) > record_.size()) return;
    auto at = static_cast<std::size_t>(position - 1);
    std::size_t n = std::min({value.size(), static_cast<std::size_t>(width), record_.size() - at});
    record_.replace(at, n, value.substr(0, n));
}

void FieldWriter::compressed(std::int32_t position, std::int32_t width, std::string_view value,
                             std::string_view alphabet) {
    std::string bytes = codec::compress(value, alphabet);
    bytes.resize(static_cast<std::size_t>(std::max(width, 0)), '\0');
    overlay(position, width, bytes);
}

std::string alphabetWithPunctuation(std::string_view punctuation, std::string_view alphabet) {
    std::string out(alphabet);
    out.replace(0, std::min<std::size_t>(4, punctuation.size()), punctuation.substr(0, 4));
    return out;
}

}  // namespace fennick::records
