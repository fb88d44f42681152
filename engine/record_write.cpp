// EngineWriter: record writes on direct files, raw bytes, blocks and numbered records, record
// zero's free list, initialising a file, and the lock layer. Only the share writers link this.

#include <algorithm>

#include "engine_writer.h"
#include "record_io.h"

namespace fennick {

using namespace record_io;

namespace {

class NoLocks : public LockLayer {
  public:
    std::int32_t lock(const std::string&, std::int32_t, std::int32_t) override { return 0; }
    std::int32_t release(std::int32_t) override { return 0; }
};

}  // namespace

LockLayer& EngineWriter::locks() const {
    static NoLocks none;
    return engine_.env_.locks ? *engine_.env_.locks : none;
}

void EngineWriter::writeAt(cOpenFile& file, std::int64_t offset, const std::string& data,
                           const std::string& source) {
    auto at = checkedOffset(offset, source);
    onShare(source, file.Path, [&] { file.handle->writeAt(at, data.data(), data.size()); });
}

void EngineWriter::WriteFile(const OpenFileRef& OpenFile, const std::string& Data,
                             std::int32_t Position, bool) {
    auto open = engine_.resolve(OpenFile);
    requireOpen(open, "iwriteFile");
    if (Position >= 0) open->Position = Position;
    writeAt(*open, open->Position, Data, "iwriteFile");
}

void EngineWriter::BlockWriteFile(const OpenFileRef& OpenFile, std::int32_t BlockNumber,
                                  const std::string& Record, bool) {
    auto offset = checkedOffset(std::int64_t(BlockNumber) * kBlock, "iwriteFile");
    WriteFile(OpenFile, Record, static_cast<std::int32_t>(offset));
}

void EngineWriter::LwriteFile(const LogicalRef& LogicalFile, std::int32_t RecordNumber,
                              const std::string& Data, bool) {
    auto file = engine_.resolve(LogicalFile);
    if (!file) throw EngineError(err::kEngine, "iLwriteFile", undefinedLogical());
    if (RecordNumber < 1 || RecordNumber > file->LastRecord)
        throw EngineError(err::kIllegalRecord, "iLwriteFile",
                          illegalRecord(*file, file->LastRecord));
    if (static_cast<std::int64_t>(Data.size()) != file->RecordLength)
        throw EngineError(err::kDataLength, "iLwriteFile",
                          "Illegal Data length for this record.  Size is: " +
                              formatNumber(static_cast<std::int64_t>(Data.size())) +
                              " and should be " + formatNumber(file->RecordLength));
    requireOpen(file->OpenFile, "iLwriteFile");
    WriteFile(file->OpenFile, Data,
              static_cast<std::int32_t>(recordOffset(*file, RecordNumber, "iLwriteFile")));
}

void EngineWriter::GetRec(const LogicalRef& LogicalFile, std::int32_t& RecordNumber, bool) {
    auto file = engine_.resolve(LogicalFile);
    if (!file) throw EngineError(err::kEngine, "iGetRec", undefinedLogical());
    std::int32_t lock = LogicalLock(file, 0);
    if (lock <= 0)
        throw EngineError(err::kNoLock, "iGetRec",
                          "Could not obtain a Lock on Record Zero of " + file->FileName);
    requireOpen(file->OpenFile, "iGetRec");
    std::int64_t headerAt = std::int64_t(file->Position) * kBlock;
    std::string header = readPadded(*file->OpenFile, headerAt, kHeaderBytes, "iGetRec");
    std::int32_t freeHead = codec::unpack("L", header, 3);
    std::int32_t highUsed = codec::unpack("L", header, 7);
    std::int32_t active = codec::unpack("L", header, 11);
    std::int32_t number;
    if (freeHead < 1) {
        number = highUsed + 1;
        codec::pack("L", header, number, 7);
    } else {
        number = freeHead;
        std::string freed = engine_.LreadFile(file, number);
        header.replace(2, 4, freed.substr(2, 4));
    }
    codec::pack("L", header, active + 1, 11);
    writeAt(*file->OpenFile, headerAt, header, "iGetRec");
    ReleaseLock(lock);
    RecordNumber = number;
}

void EngineWriter::DelRec(const LogicalRef& LogicalFile, std::int32_t RecordNumber, bool) {
    auto file = engine_.resolve(LogicalFile);
    if (!file) throw EngineError(err::kEngine, "DelRec", undefinedLogical());
    requireOpen(file->OpenFile, "DelRec");
    std::int64_t headerAt = std::int64_t(file->Position) * kBlock;
    std::string header = readPadded(*file->OpenFile, headerAt, kHeaderBytes, "DelRec");
    std::int32_t freeHead = codec::unpack("L", header, 3);
    std::int32_t active = codec::unpack("L", header, 11);
    std::string record = engine_.LreadFile(file, RecordNumber);
    if (record.size() < 2 || codec::unpack("J", record, 1) <= 0)
        throw EngineError(err::kIllegalRecord, "DelRec", "Attempt to delete a deleted record");
    std::string cleared(static_cast<std::size_t>(file->RecordLength), '\0');
    if (cleared.size() >= 6) codec::pack("L", cleared, freeHead, 3);
    LwriteFile(file, RecordNumber, cleared);
    codec::pack("L", header, RecordNumber, 3);
    codec::pack("L", header, std::max(active - 1, 0), 11);
    writeAt(*file->OpenFile, headerAt, header, "DelRec");
}

void EngineWriter::InitFile(const LogicalRef& LogicalFile, std::int32_t KeyLength,
                            bool DuplicateKeys, std::int32_t BlockingFactor, bool) {
    auto file = engine_.resolve(LogicalFile);
    if (!file) throw EngineError(err::kEngine, "iLwriteFile", undefinedLogical());
    requireOpen(file->OpenFile, "iLwriteFile");
    std::int64_t headerAt = std::int64_t(file->Position) * kBlock;
    if (file->FileType == "L") {
        std::string header(kBlock, '\0');
        codec::pack("J", header, -2, 1);
        codec::pack("L", header, -1, 3);
        writeAt(*file->OpenFile, headerAt, header, "iLwriteFile");
        std::string empty(static_cast<std::size_t>(file->RecordLength), '\0');
        for (std::int32_t r = 1; r <= file->LastRecord; ++r)
            LwriteFile(file, r, empty);
    } else if (file->FileType == "I") {
        std::int32_t entryLength = KeyLength + 4;
        if (entryLength < 5 || entryLength > 508)
            throw EngineError(err::kInvalidArgument, "InitFile",
                              "Invalid procedure call or argument");
        std::int32_t capacity = 508 / entryLength;
        std::string header(kBlock, '\0');
        codec::pack("C", header, entryLength, 1);
        codec::pack("C", header, capacity, 3);
        codec::pack("C", header, file->LastRecord, 5);
        codec::pack("C", header, 2, 7);
        codec::pack("C", header, 1, 9);
        codec::pack("C", header, (BlockingFactor / 100) * capacity, 11);
        codec::pack("C", header, DuplicateKeys ? 0xFFFF : 0, 13);
        writeAt(*file->OpenFile, headerAt, header, "iLwriteFile");
        std::string root(kBlock, '\xFF');
        codec::pack("C", root, 1, 1);
        writeAt(*file->OpenFile, headerAt + kBlock, root, "iLwriteFile");
    }
}

std::int32_t EngineWriter::PhysicalLock(const std::string& FileName, std::int32_t Position,
                                        std::int32_t LockLength) {
    return locks().lock(FileName, Position, LockLength);
}

std::int32_t EngineWriter::LogicalLock(const LogicalRef& LogicalFile, std::int32_t RecordNumber) {
    auto file = engine_.resolve(LogicalFile);
    if (!file) throw EngineError(err::kEngine, "LogicalLock", undefinedLogical());
    std::int64_t offset =
        std::int64_t(RecordNumber) * file->RecordLength + std::int64_t(file->Position) * kBlock;
    return PhysicalLock(file->FileName,
                        static_cast<std::int32_t>(checkedOffset(offset, "LogicalLock")),
                        file->RecordLength);
}

std::int32_t EngineWriter::ReleaseLock(std::int32_t LockNumber) {
    return locks().release(LockNumber);
}

}  // namespace fennick
