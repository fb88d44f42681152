// The texts the hand-offs produce: the quick-payment argument and messages, the report's
// rich-text file and the way back from shown text to the dealer's code page.
#include <gtest/gtest.h>

#include "viewer/core/cp1252.h"
#include "viewer/core/quick_payment.h"
#include "viewer/core/rtf.h"

namespace fennick::viewer {
namespace {

TEST(QuickPayment, AmountInGeneralNumberForm) {
    EXPECT_EQ(quickPaymentAmount("1200.00"), "1200");
    EXPECT_EQ(quickPaymentAmount("1199.50"), "1199.5");
    EXPECT_EQ(quickPaymentAmount("0.00"), "0");
    EXPECT_EQ(quickPaymentAmount("-25.10"), "-25.1");
    EXPECT_EQ(quickPaymentAmount("12.34567"), "12.3457");
    EXPECT_EQ(generalNumberText(Currency::fromTicks(-1)), "-0.0001");
    for (const char* bad : {"", "abc", "12,00", "1e9"}) {
        try {
            quickPaymentAmount(bad);
            ADD_FAILURE() << bad;
        } catch (const EngineError& failure) {
            EXPECT_EQ(failure.number(), kTypeMismatch);
        }
    }
    EXPECT_THROW(quickPaymentAmount("99999999999999999999"), EngineError);
}

TEST(QuickPayment, ProgramAndMessages) {
    EXPECT_EQ(quickPaymentProgram(""), kDefaultQuickPaymentProgram);
    EXPECT_EQ(quickPaymentProgram("  "), kDefaultQuickPaymentProgram);
    EXPECT_EQ(quickPaymentProgram(" /opt/pay/qv tally "), "/opt/pay/qv tally");
    EXPECT_EQ(quickPaymentFailureText(EngineError(kFileNotFound, "qpayment", "File not found")),
              " Error 53  File not found\r\n sub.qpayment\r\n\r\n"
              "Could not find QuickPayment program.");
    EXPECT_EQ(quickPaymentFailureText(EngineError(kTypeMismatch, "qpayment", "Type mismatch")),
              " Error 13  Type mismatch\r\n sub.qpayment\r\n\r\n");
}

TEST(RichText, DocumentBytes) {
    std::string doc = rtfDocument(
        "a\\{b}\r\n  \xC3\xA4\xE2\x82\xAC\t\xE4\xB8\xAD\n\xF0\x9F\x98\x80", "Courier New", 10);
    EXPECT_EQ(doc,
              "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fmodern\\fcharset0 Courier "
              "New;}}\n\\pard\\plain\\f0\\fs20 a\\\\\\{b\\}\\par\n  \\'e4\\'80\\tab "
              "\\u20013?\\par\n\\u-10179?\\u-8704?}\n");
    std::string empty = rtfDocument("", "Mono", 12);
    EXPECT_EQ(empty.substr(empty.size() - 8), "\\fs24 }\n");
}

TEST(CodePage, BackToDealerBytes) {
    EXPECT_EQ(utf8ToCp1252("Br\xC3\xA4"
                           "ckwater \xE2\x82\xAC\xC5\xB8"),
              "Br\xE4"
              "ckwater \x80\x9F");
    EXPECT_EQ(utf8ToCp1252("\xE4\xB8\xAD|\xC0\xAF|\xFF|\xE2\x82"), "?|??|?|??");
    EXPECT_EQ(utf8CodePoints("\xED\xA0\x80"), std::u32string(3, 0xFFFD));  // a lone surrogate
    EXPECT_EQ(cp1252ByteOf(0x81), 0x81);  // unassigned bytes stand for themselves
    EXPECT_FALSE(cp1252ByteOf(0x100));
}

}  // namespace
}  // namespace fennick::viewer
