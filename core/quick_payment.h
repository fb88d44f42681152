#pragma once
// The quick-payment hand-off: the dealer system's payment program started with the unit's
// suggested list price as its one argument. Where the program lives is a per-user setting of
// ours; the argument format is fixed.

#include <string>
#include <string_view>

#include "engine/currency.h"
#include "engine/error.h"

namespace fennick::core {

// The program used when the setting names none.
constexpr std::string_view kDefaultQuickPaymentProgram =
    "/opt/Tarnwell Software, Inc./Castell/qvTally";
// The setting's key inside the viewer's "Settings" group.
constexpr std::string_view kQuickPaymentSettingKey = "QuickPayment";

// The program to start: the setting with blanks around it removed, else the default.
std::string quickPaymentProgram(std::string_view setting);

// A fixed-point value in general number form: no thousands separator, no trailing zeros,
// no point for whole numbers (1200.00 gives "1200", 1199.50 gives "1199.5").
std::string generalNumberText(Currency value);
// The argument: a price as typed, read as a number and kept to four decimals. Throws
// EngineError 13 "Type mismatch" when the text is not a number.
std::string quickPaymentAmount(std::string_view suggestedList);
// The argument for a unit row's suggested list price.
std::string quickPaymentAmount(Currency suggestedList);

using err::kFileNotFound;
using err::kTypeMismatch;
constexpr std::string_view kQuickPaymentTitle = "Error";
// The message of a failed hand-off; the file-not-found case says the program is missing.
std::string quickPaymentFailureText(const EngineError& failure);

}  // namespace fennick::core
