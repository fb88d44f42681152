// The quick-payment argument and messages, and the way back from shown text to the dealer's
// code page.
#include <gtest/gtest.h>

#include "core/cp1252.h"
#include "core/quick_payment.h"

namespace fennick::core {
namespace {

TEST(QuickPayment, AmountProgramAndMessages) {
    EXPECT_EQ(quickPaymentAmount("1200.00"), "1200");
    EXPECT_EQ(quickPaymentAmount("1199.50"), "1199.5");
    EXPECT_EQ(quickPaymentAmount("0.00"), "0");
    EXPECT_EQ(quickPaymentAmount("-25.10"), "-25.1");
    EXPECT_EQ(quickPaymentAmount("12.34567"), "12.3457");
    for (const char* bad : {"", "abc", "12,00", "99999999999999999999"})
        EXPECT_THROW(quickPaymentAmount(bad), EngineError) << bad;
    EXPECT_EQ(quickPaymentProgram("  "), kDefaultQuickPaymentProgram);
    EXPECT_EQ(quickPaymentProgram(" /opt/pay/qv tally "), "/opt/pay/qv tally");
    EXPECT_EQ(quickPaymentFailureText(EngineError(kFileNotFound, "qpayment", "File not found")),
              " Error 53  File not found\r\n sub.qpayment\r\n\r\n"
              "Could not find QuickPayment program.");
    EXPECT_EQ(quickPaymentFailureText(EngineError(kTypeMismatch, "qpayment", "Type mismatch")),
              " Error 13  Type mismatch\r\n sub.qpayment\r\n\r\n");
}

TEST(CodePage, BackToDealerBytes) {
    EXPECT_EQ(utf8ToCp1252("Br\xC3\xA4"
                           "ckwater \xE2\x82\xAC\xC5\xB8"),
              "Br\xE4"
              "ckwater \x80\x9F");
    EXPECT_EQ(utf8ToCp1252("\xE4\xB8\xAD|\xC0\xAF|\xFF|\xE2\x82|\xED\xA0\x80"), "?|??|?|??|???");
}

}  // namespace
}  // namespace fennick::core
