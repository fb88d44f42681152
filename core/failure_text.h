#pragma once
// The text a window shows, and the command-line tool prints, for a failure an action caught.

#include <exception>
#include <string>

namespace fennick::core {

// "Error " + number + "  " + description + " in larkmoor." + procedure.
std::string failureText(const std::exception& failure, const std::string& procedure);

}  // namespace fennick::core
