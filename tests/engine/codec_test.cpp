#include "engine/codec.h"

#include <gtest/gtest.h>

#include "engine/error.h"
#include "support/test_share.h"

namespace fennick {
namespace {

using namespace std::chrono;
using codec::pack;
using codec::unpack;

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out += static_cast<char>(v);
    return out;
}

Date ymd(int y, int m, int d) {
    return Date{year{y} / m / d};
}

using test_support::errorOf;

TEST(Codec, IntegersAreBigEndianWithSignExtension) {
    EXPECT_EQ(unpack("C", bytes({0x04, 0xD2}), 1), 1234);
    EXPECT_EQ(unpack("C", bytes({0xFF, 0xFE}), 1), 65534);
    EXPECT_EQ(unpack("J", bytes({0xFF, 0xFE}), 1), -2);
    EXPECT_EQ(unpack("B", bytes({0x80}), 1), 128);
    EXPECT_EQ(unpack("I", bytes({0x80}), 1), -128);
    EXPECT_EQ(unpack("D", bytes({0x80, 0, 0}), 1), 8388608);
    EXPECT_EQ(unpack("K", bytes({0x80, 0, 0}), 1), -8388608);
    EXPECT_EQ(unpack("D", bytes({0x01, 0, 0}), 1), 65536);
    EXPECT_EQ(unpack("l", bytes({0xFF, 0xFF, 0xFF, 0xFF}), 1), -1);
    EXPECT_EQ(unpack("L", bytes({0x7F, 0xFF, 0xFF, 0xFF}), 1), 2147483647);
}

TEST(Codec, PackWritesOnlyTheFieldAndDropsHighBits) {
    std::string record = bytes({1, 2, 3, 4, 5, 6});
    pack("C", record, 1234, 3);
    EXPECT_EQ(record, bytes({1, 2, 0x04, 0xD2, 5, 6}));
    std::string one = bytes({9});
    pack("B", one, 256, 1);
    EXPECT_EQ(one, bytes({0}));
    std::string a(2, '\0'), b(2, '\0');
    pack("J", a, -2, 1);
    pack("C", b, 65534, 1);
    EXPECT_EQ(a, bytes({0xFF, 0xFE}));
    EXPECT_EQ(a, b);
    std::string k(3, '\0');
    pack("K", k, -8388608, 1);
    EXPECT_EQ(unpack("K", k, 1), -8388608);
}

TEST(Codec, FieldsPastTheEndAndUnknownOpcodesFail) {
    std::string nine(9, '\0');
    EXPECT_NO_THROW(unpack("L", nine, 6));
    auto e = errorOf([&] { unpack("L", nine, 7); });
    EXPECT_EQ(e.number(), 31);
    EXPECT_EQ(e.source(), "UnPack");
    EXPECT_EQ(e.description(), "Invalid Subscript.  UnPack(\"L\", Data$, 7)   Len(Data$) = 9");
    e = errorOf([&] { pack("c", nine, 1, 9); });
    EXPECT_EQ(e.number(), 31);
    EXPECT_EQ(e.description(), "Invalid Subscript.  Pack \"C\", Data$, 9   Len(Data$) = 9");
    e = errorOf([&] { unpack("x", nine, 1); });
    EXPECT_EQ(e.number(), 100);
    EXPECT_EQ(e.description(), "Unknown OpCode = \"X\"");
    e = errorOf([&] { pack("Q", nine, 1, 1); });
    EXPECT_EQ(e.source(), "Pack");
    EXPECT_EQ(errorOf([&] { unpack("B", nine, 0); }).number(), 31);
    EXPECT_EQ(errorOf([&] { unpack("B", "", 1); }).number(), 31);
}

// Each typed field kind reads and writes the bytes its opcode letter does.
struct KindCase {
    coding::Int kind;
    std::string bytes;
    std::int32_t value;
};

class TypedFields : public ::testing::TestWithParam<KindCase> {};

TEST_P(TypedFields, AgreeWithTheirOpcode) {
    const KindCase& c = GetParam();
    EXPECT_EQ(coding::intOfCode(coding::codeOf(c.kind)), c.kind);
    EXPECT_EQ(coding::readInt(c.kind, c.bytes.data()), c.value);
    EXPECT_EQ(unpack(std::string(1, coding::codeOf(c.kind)), c.bytes, 1), c.value);
    std::string written(c.bytes.size(), '\x55');
    pack(c.kind, written, c.value, 1);
    EXPECT_EQ(written, c.bytes);
    EXPECT_EQ(errorOf([&] { unpack(c.kind, c.bytes, 2); }).number(), 31);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, TypedFields,
    ::testing::Values(KindCase{coding::Int::U8, bytes({0x80}), 128},
                      KindCase{coding::Int::S8, bytes({0x80}), -128},
                      KindCase{coding::Int::U16, bytes({0xFF, 0xFE}), 65534},
                      KindCase{coding::Int::S16, bytes({0xFF, 0xFE}), -2},
                      KindCase{coding::Int::U24, bytes({0x80, 0, 0}), 8388608},
                      KindCase{coding::Int::S24, bytes({0x80, 0, 0}), -8388608},
                      KindCase{coding::Int::S32, bytes({0x80, 0, 0, 1}), INT32_MIN + 1}));

TEST(CodecDates, DayNumbers) {
    std::string d(2, '\0');
    codec::packDate("J", d, 1, ymd(1968, 1, 1));
    EXPECT_EQ(d, bytes({0, 0}));
    codec::packDate("J", d, 1, ymd(1999, 12, 31));
    EXPECT_EQ(unpack("C", d, 1), 11688);
    codec::packDate("C", d, 1, ymd(2009, 12, 5));
    EXPECT_EQ(unpack("C", d, 1), 15315);
    EXPECT_EQ(codec::unpackDate("J", bytes({0, 0}), 1), codec::kEmptyDate);
    EXPECT_EQ(codec::unpackDate("J", bytes({0, 1}), 1), codec::kEmptyDate);
    EXPECT_EQ(codec::unpackDate("C", bytes({0xFF, 0xFF}), 1), ymd(2147, 6, 5));
}

TEST(CodecDates, PackedDecimalDatesAndTheTwoDigitWindow) {
    auto stored = [](std::int32_t n) {
        std::string s(3, '\0');
        pack("D", s, n, 1);
        return s;
    };
    EXPECT_EQ(codec::unpackDate("D", stored(123199), 1), ymd(1999, 12, 31));
    EXPECT_EQ(codec::unpackDate("K", stored(0), 1), codec::kEmptyDate);
    EXPECT_EQ(codec::unpackDate("D", stored(10130), 1), ymd(1930, 1, 1));
    EXPECT_EQ(codec::unpackDate("D", stored(10129), 1), ymd(2029, 1, 1));
    EXPECT_EQ(codec::unpackDate("D", stored(23099), 1), codec::kEmptyDate);  // 30 February
    EXPECT_EQ(codec::unpackDate("R", stored(991231), 1), ymd(1999, 12, 31));
    EXPECT_EQ(codec::unpackDate("D", "", 1), codec::kEmptyDate);
    EXPECT_EQ(codec::unpackDate("Z", stored(123199), 1), codec::kEmptyDate);
    std::string s(3, '\0');
    codec::packDate("R", s, 1, ymd(2009, 12, 5));
    EXPECT_EQ(unpack("D", s, 1), 91205);
    codec::packDate("D", s, 1, ymd(2009, 12, 5));
    EXPECT_EQ(unpack("D", s, 1), 120509);
    EXPECT_THROW(codec::packDate("D", s, 2, ymd(2009, 12, 5)), EngineError);
}

TEST(CodecDates, DayNumberConversions) {
    EXPECT_EQ(codec::dateToDay(12, 31, 99), 11688);
    EXPECT_EQ(codec::dateToDay(1, 1, 68), 0);
    EXPECT_EQ(codec::dateToDay(1, 1, 1968), 1);
    EXPECT_EQ(codec::dateToDay(13, 1, 99), codec::dateToDay(1, 1, 2000));  // month rolls over
    EXPECT_EQ(codec::dayToDate(11688), ymd(1999, 12, 31));
    EXPECT_EQ(codec::dayToDate(0), codec::kEmptyDate);
}

TEST(CodecText, CompressionRoundTrips) {
    std::string ab1 = "AB1";
    EXPECT_EQ(codec::crm(ab1), bytes({0x59, 0xDD}));
    std::string packed = bytes({0x59, 0xDD});
    EXPECT_EQ(codec::ucm(packed), "AB1");
    std::string model = "MODEL 12";
    std::string six = codec::crm(model);
    EXPECT_EQ(model, "MODEL 12 ");  // the caller's text is padded
    EXPECT_EQ(six.size(), 6u);
    EXPECT_EQ(codec::ucm(six), "MODEL 12 ");
    std::string lower = "abc";
    std::string blanks = "   ";
    EXPECT_EQ(codec::crm(lower), codec::crm(blanks));
    std::string single = bytes({0x59});
    EXPECT_EQ(codec::ucm(single), "A5K");
    EXPECT_EQ(single.size(), 2u);
    std::string high = bytes({0xFF, 0xFF});
    EXPECT_EQ(codec::ucm(high), "YB");
    std::string dashes = " ,-.0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    EXPECT_EQ(codec::decompress(codec::compress("1/2"), dashes), "1-2");
    EXPECT_EQ(codec::decompress(codec::compress("1-2", dashes), dashes), "1-2");
}

TEST(CodecText, TrimSplitAndSearch) {
    EXPECT_EQ(codec::trun(std::string("ABC \0\r", 6), 1), "ABC");
    EXPECT_EQ(codec::trun(std::string("ABC \0\r", 6), 0), std::string("ABC \0\r", 6));
    EXPECT_EQ(codec::trun(std::string("  \0 \0", 5), 1), "");
    EXPECT_EQ(codec::trun("  AB  "), "  AB");
    EXPECT_EQ(codec::split("WS07   12", " "), (std::vector<std::string>{"WS07", "12"}));
    EXPECT_EQ(codec::split(",5", ","), (std::vector<std::string>{"5"}));
    EXPECT_EQ(codec::split("a,b,c", ",", 2), (std::vector<std::string>{"a"}));
    EXPECT_EQ(codec::split("aXbxc", "x", -1, 1), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(codec::split("", ",").empty());
    EXPECT_EQ(codec::strPos("ABCabc", "abc"), 4);
    EXPECT_EQ(codec::strPos("ABC", "x"), 0);
}

}  // namespace
}  // namespace fennick
