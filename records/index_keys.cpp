#include "records/index_keys.h"

namespace fennick {

using namespace records;

namespace {

using U = UnitIndexKey;
constexpr Field<U> kUnitKey[] = {
    integer("Line", 1, Int::U16, member<&U::Line>),
    text("Model_Number", 3, 12, Encoding::Compressed, member<&U::Model_Number>),
    text("Unit_Number", 15, 8, Encoding::Text, member<&U::Unit_Number>),
};
static_assert(fitsRecord(kUnitKey, UnitIndexKey::kLength));

using L = LineIndexKey;
constexpr Field<L> kLineKey[] = {
    integer("Line", 1, Int::U16, member<&L::Line>),
    text("Line_Code", 1, 2, Encoding::Compressed, member<&L::Line_Code>),
};
static_assert(fitsRecord(kLineKey, LineIndexKey::kLength));

// A key of `length` NUL bytes with the first `rows` fields of the table written.
template <class Key>
std::string keyOf(Layout<Key> layout, const Key& values, std::size_t rows, std::int32_t length) {
    std::string key(static_cast<std::size_t>(length), '\0');
    FieldWriter out(key);
    for (std::size_t i = 0; i < rows && i < layout.size(); ++i)
        packField(layout[i], values, out);
    return key;
}

}  // namespace

Layout<U> UnitIndexKey::layout() {
    return kUnitKey;
}

std::string UnitIndexKey::ofLine(std::int32_t line) {
    return keyOf(layout(), U{line, {}, {}}, 1, kLength);
}

std::string UnitIndexKey::ofModel(std::int32_t line, std::string_view model) {
    return keyOf(layout(), U{line, std::string(model), {}}, 2, kLength);
}

std::string UnitIndexKey::pastModel(std::int32_t line, std::string_view model) {
    const Slot& modelSlot = kUnitKey[1].slot;
    std::string key = ofModel(line, model);
    key.resize(static_cast<std::size_t>(modelSlot.position + modelSlot.width - 1));
    while (!key.empty() && key.back() == '\xFF')
        key.pop_back();
    if (!key.empty()) key.back() = static_cast<char>(static_cast<unsigned char>(key.back()) + 1);
    return key;
}

void UnitIndexKey::Unpack(std::string_view key) {
    unpackFields(layout(), *this, FieldReader(key));
}

bool UnitIndexKey::inModel(std::int32_t line, std::string_view trimmedModel) const {
    return Line == line && codec::trun(Model_Number) == trimmedModel;
}

Layout<L> LineIndexKey::layout() {
    return kLineKey;
}

std::string LineIndexKey::ofLine(std::int32_t line) {
    return keyOf(Layout<L>(kLineKey).first(1), L{line, {}}, 1, kLength);
}

std::string LineIndexKey::ofCode(std::string_view code) {
    return keyOf(Layout<L>(kLineKey).subspan(1), L{0, std::string(code)}, 1, kLength);
}

void LineIndexKey::Unpack(std::string_view key) {
    unpackFields(layout(), *this, FieldReader(key));
}

}  // namespace fennick
