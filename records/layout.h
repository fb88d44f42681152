#pragma once
// Record layouts as tables. Each record class lists its fields once, in one table of rows
// (name, position, width, encoding, member); Unpack and Pack both walk that table, so a
// position is written in one place. Pack writes rows in table order: where two rows share bytes,
// the later row wins. A field whose bytes need more than one encoding (a flags word, a value
// stored as a difference, a slot that holds one of two fields) has a row with its own pair of
// functions.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "records/fields.h"

namespace fennick::records {

enum class Encoding : std::uint8_t {
    Integer,     // big-endian, the row's integer kind; a Currency member is scaled
    Day,         // 2-byte day number
    Text,        // characters; pack pads with blanks
    Trimmed,     // characters without blanks around them; pack pads with blanks
    Overlay,     // characters; pack writes the value as it is, leaving the rest of the slice
    Compressed,  // three characters in two bytes, in the record's alphabet; pack pads with NULs
    Plain,       // compressed in the plain packing alphabet whatever the record's alphabet
    Custom,      // the row's own functions
};

// Where a row's bytes are and how they are encoded.
struct Slot {
    std::int32_t position;  // 1-based
    std::int32_t width;     // bytes
    Encoding encoding;
    Int kind = Int::U8;          // Integer rows (and Custom rows that read one integer)
    Scale scale = Scale::Cents;  // Integer rows of a Currency member
};

// A row's own functions, for the Custom encoding.
template <class R>
struct Codec {
    void (*unpack)(R&, const FieldReader&, const Slot&);
    void (*pack)(const R&, FieldWriter&, const Slot&);
};

// Where a row's value lives in the record object. Pack reads through the same accessors.
template <class R>
using Member = std::variant<std::int32_t& (*)(R&), Currency& (*)(R&), Date& (*)(R&),
                            std::string& (*)(R&), Codec<R>>;

template <class R>
struct Field {
    std::string_view name;
    Slot slot;
    Member<R> member;
    bool (*when)(const R&) = nullptr;  // a row that holds its field only for some records
};

namespace detail {
template <class M>
struct MemberOf;
template <class R, class T>
struct MemberOf<T R::*> {
    using Record = R;
    using Type = T;
};
template <auto M>
using RecordOf = typename MemberOf<decltype(M)>::Record;
template <auto M>
using TypeOf = typename MemberOf<decltype(M)>::Type;
}  // namespace detail

// The accessor of a data member, and of element I of an array member.
template <auto M>
constexpr auto member = +[](detail::RecordOf<M>& r) -> detail::TypeOf<M>& { return r.*M; };
template <auto M, std::size_t I>
constexpr auto element = +[](detail::RecordOf<M>& r) ->
    typename detail::TypeOf<M>::value_type& { return (r.*M)[I]; };

// Row builders.
template <class R>
constexpr Field<R> integer(std::string_view name, std::int32_t position, Int kind,
                           std::int32_t& (*access)(R&)) {
    return {name, {position, coding::widthOf(kind), Encoding::Integer, kind}, access};
}
template <class R>
constexpr Field<R> scaled(std::string_view name, std::int32_t position, Int kind, Scale scale,
                          Currency& (*access)(R&)) {
    return {name, {position, coding::widthOf(kind), Encoding::Integer, kind, scale}, access};
}
// Cents in a 4-byte signed field.
template <class R>
constexpr Field<R> money(std::string_view name, std::int32_t position, Currency& (*access)(R&)) {
    return scaled(name, position, Int::S32, Scale::Cents, access);
}
template <class R>
constexpr Field<R> day(std::string_view name, std::int32_t position, Date& (*access)(R&)) {
    return {name, {position, 2, Encoding::Day}, access};
}
template <class R>
constexpr Field<R> text(std::string_view name, std::int32_t position, std::int32_t width,
                        Encoding encoding, std::string& (*access)(R&)) {
    return {name, {position, width, encoding}, access};
}
template <class R>
constexpr Field<R> custom(std::string_view name, std::int32_t position, std::int32_t width,
                          Codec<R> codec, Int kind = Int::U8) {
    return {name, {position, width, Encoding::Custom, kind}, codec};
}

// The row, read and written only for records that `when` accepts.
template <class R>
constexpr Field<R> only(bool (*when)(const R&), Field<R> row) {
    row.when = when;
    return row;
}

// One value in either direction, by the slot's encoding.
void readInto(const FieldReader& in, const Slot& slot, std::int32_t& value);
void readInto(const FieldReader& in, const Slot& slot, Currency& value);
void readInto(const FieldReader& in, const Slot& slot, Date& value);
void readInto(const FieldReader& in, const Slot& slot, std::string& value);
void writeFrom(FieldWriter& out, const Slot& slot, std::int32_t value);
void writeFrom(FieldWriter& out, const Slot& slot, Currency value);
void writeFrom(FieldWriter& out, const Slot& slot, Date value);
void writeFrom(FieldWriter& out, const Slot& slot, const std::string& value);

template <class R>
void unpackField(const Field<R>& f, R& record, const FieldReader& in) {
    if (f.when && !f.when(record)) return;
    std::visit(
        [&](auto access) {
            if constexpr (std::is_same_v<decltype(access), Codec<R>>)
                access.unpack(record, in, f.slot);
            else
                readInto(in, f.slot, access(record));
        },
        f.member);
}

// Pack only reads the member: the accessors take the record as mutable to serve both ways.
template <class R>
void packField(const Field<R>& f, const R& record, FieldWriter& out) {
    if (f.when && !f.when(record)) return;
    std::visit(
        [&](auto access) {
            if constexpr (std::is_same_v<decltype(access), Codec<R>>)
                access.pack(record, out, f.slot);
            else
                writeFrom(out, f.slot, access(const_cast<R&>(record)));
        },
        f.member);
}

template <class R>
using Layout = std::span<const Field<R>>;

template <class R>
void unpackFields(Layout<R> layout, R& record, const FieldReader& in) {
    for (const auto& f : layout)
        unpackField(f, record, in);
}

template <class R>
void packFields(Layout<R> layout, const R& record, FieldWriter& out) {
    for (const auto& f : layout)
        packField(f, record, out);
}

// True when every row lies inside `recordLength` bytes and an integer row is as wide as its
// kind; each table is checked at compile time.
template <class R, std::size_t N>
constexpr bool fitsRecord(const Field<R> (&layout)[N], std::int32_t recordLength) {
    for (const auto& f : layout) {
        const Slot& s = f.slot;
        if (s.position < 1 || s.width < 1 || s.position + s.width - 1 > recordLength) return false;
        if (s.encoding == Encoding::Integer && s.width != coding::widthOf(s.kind)) return false;
    }
    return true;
}

}  // namespace fennick::records
