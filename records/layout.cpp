#include "records/layout.h"

#include "platform/text.h"

namespace fennick::records {

void readInto(const FieldReader& in, const Slot& slot, std::int32_t& value) {
    in.integer(slot.kind, slot.position, value);
}

void readInto(const FieldReader& in, const Slot& slot, Currency& value) {
    in.scaled(slot.kind, slot.position, slot.scale, value);
}

void readInto(const FieldReader& in, const Slot& slot, Date& value) {
    in.date(slot.position, value);
}

void readInto(const FieldReader& in, const Slot& slot, std::string& value) {
    switch (slot.encoding) {
        case Encoding::Compressed:
            value = in.compressed(slot.position, slot.width);
            break;
        case Encoding::Plain:
            value = in.compressed(slot.position, slot.width, codec::kPackingAlphabet);
            break;
        case Encoding::Trimmed:
            value = std::string(platform::trimBlanks(in.text(slot.position, slot.width)));
            break;
        default:
            value = in.text(slot.position, slot.width);
            break;
    }
}

void writeFrom(FieldWriter& out, const Slot& slot, std::int32_t value) {
    out.integer(slot.kind, slot.position, value);
}

void writeFrom(FieldWriter& out, const Slot& slot, Currency value) {
    out.scaled(slot.kind, slot.position, slot.scale, value);
}

void writeFrom(FieldWriter& out, const Slot& slot, Date value) {
    out.date(slot.position, value);
}

void writeFrom(FieldWriter& out, const Slot& slot, const std::string& value) {
    switch (slot.encoding) {
        case Encoding::Compressed:
            out.compressed(slot.position, slot.width, value);
            break;
        case Encoding::Plain:
            out.compressed(slot.position, slot.width, value, codec::kPackingAlphabet);
            break;
        case Encoding::Overlay:
            out.overlay(slot.position, slot.width, value);
            break;
        default:
            out.text(slot.position, slot.width, value);
            break;
    }
}

}  // namespace fennick::records
