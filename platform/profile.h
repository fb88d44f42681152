#pragma once
// Reading of profile (.ini) files the way the dealer workstation writes and reads them:
// section and key names without regard to letter case, blanks around values trimmed, one pair
// of surrounding quotes removed, a missing key reads empty, values cut to 99 characters.

#include <string>

namespace fennick::platform {

constexpr std::size_t kProfileValueLimit = 99;

std::string readProfileString(const std::string& fileBytes, const std::string& section,
                              const std::string& key);

}  // namespace fennick::platform
