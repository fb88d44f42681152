#pragma once
// What the record reads and the record writes of the engine share: the block size, the header
// of a direct file, and the checks and messages of both.

#include <cstdint>
#include <memory>
#include <string>

#include "business_basic.h"

namespace fennick::record_io {

constexpr std::int32_t kBlock = 512;
constexpr std::int32_t kHeaderBytes = 16;

std::string undefinedLogical();
void requireOpen(const std::shared_ptr<cOpenFile>& open, const std::string& source);
// Byte offset of record `record` of `file`, refused when it leaves 32 bits.
std::int64_t recordOffset(const cLogicalFile& file, std::int32_t record, const std::string& source);
std::string illegalRecord(const cLogicalFile& file, std::int32_t number);

}  // namespace fennick::record_io
