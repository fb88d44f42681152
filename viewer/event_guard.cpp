#include "event_guard.h"

#include "core/failure_text.h"
#include "platform/services.h"

namespace fennick::viewer {

void showFailure(const std::exception& failure, const char* procedure) {
    platform::messages().show(core::failureText(failure, procedure), "Error",
                              platform::MessageIcon::Critical);
}

void showProblems(const std::vector<std::string>& problems) {
    if (problems.empty()) return;
    std::string text;
    for (const auto& problem : problems)
        text += problem + "\r\n";
    platform::messages().show(text, "Unit data", platform::MessageIcon::Exclamation);
}

}  // namespace fennick::viewer
