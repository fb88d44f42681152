#include "core/failure_text.h"

#include "engine/error.h"
#include "platform/file_system.h"

namespace fennick::core {

std::string failureText(const std::exception& failure, const std::string& procedure) {
    std::string head;
    if (auto* engine = dynamic_cast<const EngineError*>(&failure))
        head = "Error " + std::to_string(engine->number()) + "  " + engine->description();
    else if (dynamic_cast<const platform::ConnectionLost*>(&failure))
        head = "Error " + std::to_string(err::kShare) + "  " + failure.what();
    else
        head = std::string("Error  ") + failure.what();
    return head + " in larkmoor." + procedure;
}

}  // namespace fennick::core
