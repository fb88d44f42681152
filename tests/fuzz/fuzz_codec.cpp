// The field codec on arbitrary bytes: every integer and date opcode at a chosen position, the
// compressed text both ways, the text helpers and the day-number arithmetic. Round trips that
// must hold are checked, so a wrong result is a finding as much as a crash is.

#include <cstdlib>

#include "engine/codec.h"
#include "engine/error.h"
#include "fuzz_share.h"

using namespace fennick;

namespace {

void check(bool holds) {
    if (!holds) std::abort();
}

void numbers(std::string bytes, std::int32_t position) {
    for (std::string_view op : {"B", "C", "D", "I", "J", "K", "L", "b", "l", "X", "BB"}) {
        try {
            std::int32_t value = codec::unpack(op, bytes, position);
            std::string copy = bytes;
            codec::pack(op, copy, value, position);
            check(copy == bytes);  // what was read writes back to the same bytes
        } catch (const EngineError&) {
        }
    }
    for (std::string_view op : {"C", "D", "R", "J", "K", "Z", ""}) {
        Date date = codec::unpackDate(op, bytes, position);
        std::string copy = bytes;
        try {
            codec::packDate(op, copy, position, date);
        } catch (const EngineError&) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    auto position = static_cast<std::int32_t>(in.number(4));
    auto month = static_cast<std::int32_t>(in.number(4));
    auto day = static_cast<std::int32_t>(in.number(4));
    auto year = static_cast<std::int32_t>(in.number(4));
    std::string delimiter = in.take(in.number(1) % 4);
    std::string bytes = in.rest();

    numbers(bytes, position);
    numbers(bytes, static_cast<std::int32_t>(bytes.size() % 7) + 1);

    std::string text = codec::decompress(bytes);
    check(text.size() <= (bytes.size() + 1) / 2 * 3);
    check(codec::decompress(codec::compress(text)).substr(0, text.size()) == text);
    std::string padded = bytes;
    codec::ucm(padded);
    codec::crm(padded);
    codec::trun(bytes, 0);
    codec::trun(bytes, 1);
    codec::strPos(bytes, delimiter);
    codec::wholeNumber(bytes);
    auto parts = codec::split(bytes, delimiter, static_cast<std::int32_t>(day % 8) - 1, month & 1);
    check(parts.size() <= bytes.size() + 1);

    std::int32_t serial = codec::dateToDay(month, day, year);
    codec::dayToDate(serial);
    codec::dayToDate(position);
    return 0;
}
