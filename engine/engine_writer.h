#pragma once
// EngineWriter: the engine's operations that change a file, over an open cBusinessBasic: raw
// bytes, blocks and numbered records, record zero's free list (GetRec, DelRec), initialising a
// file, and the lock layer. The share writers in tools/ and the tests use it; the viewer and
// fennick-cli only read, so they cannot name these operations at all.

#include <cstdint>
#include <string>

#include "business_basic.h"
#include "writers_only.h"

namespace fennick {

// Byte-range locks on the shared data files. A positive number names a granted lock.
class LockLayer {
  public:
    virtual ~LockLayer() = default;
    virtual std::int32_t lock(const std::string& fileName, std::int32_t position,
                              std::int32_t length) = 0;
    virtual std::int32_t release(std::int32_t lockNumber) = 0;
};

class EngineWriter {
  public:
    explicit EngineWriter(cBusinessBasic& engine) : engine_(engine) {}

    void WriteFile(const OpenFileRef& OpenFile, const std::string& Data, std::int32_t Position,
                   bool Orb = false);
    void BlockWriteFile(const OpenFileRef& OpenFile, std::int32_t BlockNumber,
                        const std::string& Record, bool Orb = false);
    void LwriteFile(const LogicalRef& LogicalFile, std::int32_t RecordNumber,
                    const std::string& Data, bool Orb = false);
    std::int32_t PhysicalLock(const std::string& FileName, std::int32_t Position,
                              std::int32_t LockLength);
    std::int32_t LogicalLock(const LogicalRef& LogicalFile, std::int32_t RecordNumber);
    std::int32_t ReleaseLock(std::int32_t LockNumber);
    void DelRec(const LogicalRef& LogicalFile, std::int32_t RecordNumber, bool Orb = false);
    void GetRec(const LogicalRef& LogicalFile, std::int32_t& RecordNumber, bool Orb = false);
    void InitFile(const LogicalRef& LogicalFile, std::int32_t KeyLength = 16,
                  bool DuplicateKeys = false, std::int32_t BlockingFactor = 100, bool Orb = false);

  private:
    // The engine's lock layer, or the one this system runs with, which grants no lock.
    LockLayer& locks() const;
    void writeAt(cOpenFile& file, std::int64_t offset, const std::string& data,
                 const std::string& source);

    cBusinessBasic& engine_;
};

}  // namespace fennick
