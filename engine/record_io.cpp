// Record reads on direct files: raw bytes, blocks and numbered records.

#include <limits>

#include "record_io.h"

namespace fennick {

using namespace record_io;

namespace record_io {

std::string undefinedLogical() {
    return "LogicalFile parameter is undefined";
}

void requireOpen(const std::shared_ptr<cOpenFile>& open, const std::string& source) {
    if (!open || !open->handle)
        throw EngineError(err::kEngine, source, "OpenFile parameter is undefined");
}

std::int64_t recordOffset(const cLogicalFile& file, std::int32_t record,
                          const std::string& source) {
    return checkedOffset(
        std::int64_t(file.Position) * kBlock + std::int64_t(record) * file.RecordLength, source);
}

std::string illegalRecord(const cLogicalFile& file, std::int32_t number) {
    return "Illegal Record Number for File: " + file.FileName +
           " and Record: " + formatNumber(number);
}

}  // namespace record_io

std::int64_t checkedOffset(std::int64_t offset, const std::string& source) {
    if (offset < 0 || offset > std::numeric_limits<std::int32_t>::max())
        throw EngineError(err::kOverflow, source, "Overflow");
    return offset;
}

std::string readPadded(cOpenFile& file, std::int64_t offset, std::int32_t n,
                       const std::string& source) {
    if (n < 0)
        throw EngineError(err::kInvalidArgument, source, "Invalid procedure call or argument");
    std::string buffer(static_cast<std::size_t>(n), ' ');
    if (!file.handle) throw EngineError(err::kEngine, source, "OpenFile parameter is undefined");
    auto at = checkedOffset(offset, source);
    onShare(source, file.Path,
            [&] { return file.handle->readAt(at, buffer.data(), buffer.size()); });
    return buffer;
}

std::int32_t cLogicalFile::ActiveCount(bool) const {
    if (!OpenFile || !OpenFile->handle || FileType != "L") return 0;
    auto header =
        readPadded(*OpenFile, std::int64_t(Position) * kBlock, kHeaderBytes, "ActiveCount");
    return codec::unpack("L", header, 11);
}

std::int32_t cLogicalFile::HighUsedRecord(bool) const {
    if (!OpenFile || !OpenFile->handle || FileType != "L") return 0;
    auto header =
        readPadded(*OpenFile, std::int64_t(Position) * kBlock, kHeaderBytes, "HighUsedRecord");
    return codec::unpack("L", header, 7);
}

std::string cBusinessBasic::ReadFile(const OpenFileRef& OpenFile, std::int32_t BytesToRead,
                                     std::int32_t Position, bool) {
    auto open = resolve(OpenFile);
    requireOpen(open, "iReadFile");
    return readPadded(*open, Position, BytesToRead, "iReadFile");
}

std::string cBusinessBasic::BlockReadFile(const OpenFileRef& OpenFile, std::int32_t BlockNumber,
                                          bool) {
    auto open = resolve(OpenFile);
    requireOpen(open, "iReadFile");
    return readPadded(*open, std::int64_t(BlockNumber) * kBlock, kBlock, "iReadFile");
}

std::string cBusinessBasic::LreadFile(const LogicalRef& LogicalFile, std::int32_t RecordNumber,
                                      bool) {
    auto file = resolve(LogicalFile);
    if (!file) throw EngineError(err::kEngine, "iLreadFile", undefinedLogical());
    if (RecordNumber < 1 || RecordNumber > file->LastRecord)
        throw EngineError(err::kIllegalRecord, "iLreadFile", illegalRecord(*file, RecordNumber));
    requireOpen(file->OpenFile, "iLreadFile");
    return readPadded(*file->OpenFile, recordOffset(*file, RecordNumber, "iLreadFile"),
                      file->RecordLength, "iLreadFile");
}

}  // namespace fennick
