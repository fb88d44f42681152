#pragma once
// The unit index MUNITI: keys begin with the line number (C at 1) and the model number
// compressed into positions 3 to 14. Walking one model reads keys while both still match.

#include <cstdint>
#include <string>

#include "engine/business_basic.h"

namespace fennick::core {

// A search key of `length` bytes: line number, compressed model (cut or NUL-padded to 12
// bytes), NUL bytes after.
std::string unitSearchKey(cBusinessBasic& engine, std::int32_t line, const std::string& model,
                          std::size_t length);
// True when a found key still belongs to `line` and to the model whose trimmed text is
// `trimmedModel`.
bool keyInModel(cBusinessBasic& engine, const std::string& key, std::int32_t line,
                const std::string& trimmedModel);

}  // namespace fennick::core
