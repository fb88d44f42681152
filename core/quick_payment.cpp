#include "quick_payment.h"

#include "dealer_text.h"
#include "totals.h"

namespace fennick::core {

std::string quickPaymentProgram(std::string_view setting) {
    std::string program(trimBlanks(setting));
    return program.empty() ? std::string(kDefaultQuickPaymentProgram) : program;
}

std::string generalNumberText(Currency value) {
    std::int64_t ticks = value.ticks();
    std::uint64_t magnitude =
        ticks < 0 ? 0 - static_cast<std::uint64_t>(ticks) : static_cast<std::uint64_t>(ticks);
    const auto scale = static_cast<std::uint64_t>(Currency::kScale);
    std::string text = (ticks < 0 ? "-" : "") + std::to_string(magnitude / scale);
    std::uint64_t fraction = magnitude % scale;
    if (fraction == 0) return text;
    std::string digits = std::to_string(fraction + scale).substr(1);  // four digits
    digits.erase(digits.find_last_not_of('0') + 1);
    return text + "." + digits;
}

std::string quickPaymentAmount(std::string_view suggestedList) {
    constexpr double kLimit = 9.0e14;  // beyond this the fixed-point type overflows
    auto value = readDecimal(suggestedList);
    if (!value) throw EngineError(kTypeMismatch, "qpayment", "Type mismatch");
    if (*value >= kLimit || *value <= -kLimit)
        throw EngineError(err::kOverflow, "qpayment", "Overflow");
    return generalNumberText(Currency::fromDouble(*value));
}

std::string quickPaymentAmount(Currency suggestedList) {
    return generalNumberText(suggestedList);
}

std::string quickPaymentFailureText(const EngineError& failure) {
    const std::string crlf = "\r\n";
    std::string text = " Error " + std::to_string(failure.number()) + "  " + failure.description() +
                       crlf + " sub.qpayment" + crlf + crlf;
    if (failure.number() == kFileNotFound) text += "Could not find QuickPayment program.";
    return text;
}

}  // namespace fennick::core
