#pragma once
// The one error type of the data engine: a number, the source that raised it and a description.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace fennick {

class EngineError : public std::runtime_error {
  public:
    EngineError(std::int32_t number, std::string source, std::string description)
        : std::runtime_error(description),
          number_(number),
          source_(std::move(source)),
          description_(std::move(description)) {}

    std::int32_t number() const { return number_; }
    const std::string& source() const { return source_; }
    const std::string& description() const { return description_; }

  private:
    std::int32_t number_;
    std::string source_;
    std::string description_;
};

// The share failed an access: a read, a write, or an open it refused. The bytes were never had,
// which is not the same as bytes that were read and make no sense (damage). It ends the action
// it happened in, where damage ends only the step that met it: code that passes over damaged
// records lets this through, so that nothing is shown that the failure could have changed.
class ShareError : public EngineError {
  public:
    using EngineError::EngineError;
};

// Every error number the program raises or shows, each meaning under its own name. Users see
// the numbers, so they stay as the dealer system's messages have them, even where two meanings
// share one number (5 and 57): code tells the meanings apart by name, never by number.
namespace err {
constexpr std::int32_t kEngine = -10;              // file not found, parameter undefined
constexpr std::int32_t kInvalidArgument = 5;       // invalid procedure call or argument
constexpr std::int32_t kKeyNotFound = 5;           // keyed collection: missing key
constexpr std::int32_t kOverflow = 6;              // 32-bit offset arithmetic overflowed
constexpr std::int32_t kSubscriptOutOfRange = 9;   // a page number outside the page table
constexpr std::int32_t kTypeMismatch = 13;         // a setting that is not a number
constexpr std::int32_t kSubscript = 31;            // field past the end of a record
constexpr std::int32_t kDataLength = 36;           // record of the wrong length
constexpr std::int32_t kBadFileName = 52;          // a hand-off file name that cannot be made
constexpr std::int32_t kFileNotFound = 53;         // a program to start is missing
constexpr std::int32_t kPermissionDenied = 70;     // the share refuses to open a file
constexpr std::int32_t kNoLock = 57;               // lock on record zero not obtained
constexpr std::int32_t kDeviceIo = 57;             // the share failed a read or a write
constexpr std::int32_t kPathFileAccessError = 75;  // a hand-off file cannot be written
constexpr std::int32_t kPathNotFound = 76;         // a hand-off folder is missing
constexpr std::int32_t kIllegalRecord = 81;        // record number outside 1 to LastRecord
constexpr std::int32_t kShare = 91;                // share unreachable, object missing
constexpr std::int32_t kOpCode = 100;              // unknown codec opcode
constexpr std::int32_t kKeyExists = 457;           // keyed collection: key already present
constexpr std::int32_t kIndexDamaged = 3021;       // index walk met a node it cannot trust
constexpr std::int32_t kElementNotFound = 35601;   // a tree node the window looked for is gone
}  // namespace err

// A number as the engine's messages insert it: a leading blank when 0 or positive,
// a minus sign when negative.
inline std::string formatNumber(std::int64_t value) {
    return (value >= 0 ? " " : "") + std::to_string(value);
}

}  // namespace fennick
