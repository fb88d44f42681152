#pragma once
// UNC paths "\\SERVER\SHARE\rest" as the dealer data names them ("/" is read as "\"). Every
// back end of the share maps paths through here, so the same paths are refused everywhere.

#include <optional>
#include <string>
#include <vector>

namespace fennick::platform {

// The components SERVER, SHARE, rest...; empty components are dropped. Nothing when the path
// is not UNC-form or would leave where it points: "." or ".." components, NUL or ":" inside.
std::optional<std::vector<std::string>> uncComponents(const std::string& unc);

}  // namespace fennick::platform
