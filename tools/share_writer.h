#pragma once
// Lays out a dealer share: the links file, directory files and data files with room for each
// logical file, the terminal map and plain files. Record contents are then written through the
// engine's own operations (InitFile, GetRec, LwriteFile) and indexes through writeIndex.
// Used by the demo share writer and by tests.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/business_basic.h"
#include "engine/engine_writer.h"
#include "engine/index_builder.h"
#include "platform/file_system.h"

namespace fennick::tools {

struct LogicalFileSpec {
    std::string name;               // at most 6 characters
    std::string type = "L";         // "L" direct, "I" keyed index
    std::int32_t recordLength = 0;  // "I": 512
    std::int32_t lastRecord = 0;    // "I": the highest block number the index may use
    std::int32_t flags = 0;
};

// Blocks an index over `keys` entries of `keyLength` bytes needs (highest block number).
std::int32_t indexBlocksFor(std::int64_t keys, std::int32_t keyLength);

// A lock layer that grants every lock, so that GetRec can hand out record numbers.
class GrantingLocks : public LockLayer {
  public:
    std::int32_t lock(const std::string&, std::int32_t, std::int32_t) override { return ++granted; }
    std::int32_t release(std::int32_t) override { return 0; }
    std::int32_t granted = 0;
};

class ShareWriter {
  public:
    ShareWriter(platform::FileSystem& fs, std::string server, std::string directory);

    // "\\SERVER\TARNLNK\" and the company folder; also the empty CATCON share.
    void makeFolders();
    // One data file with its directory file; each logical file starts at its own block and
    // gets a link ":DIRECTORY:NAME". `resolution` is relative to the link share, ":" for "\",
    // and ends in two characters that "DB" replaces to name the data file.
    void addDataFile(const std::string& resolution, const std::vector<LogicalFileSpec>& files);
    // A raw 160-byte links-file entry (written by writeLinks, in the order added).
    void addLink(const std::string& linkName, const std::string& resolution);
    void writeLinks();
    void writeTerminalMap(const std::string& text);
    // A plain file in the company folder (such as FILE0).
    void writePlainFile(const std::string& name, const std::string& bytes);

    std::string linkShareRoot() const { return "\\\\" + server_ + "\\TARNLNK\\"; }
    std::string companyFolder() const { return linkShareRoot() + directory_; }

  private:
    platform::FileSystem& fs_;
    std::string server_;
    std::string directory_;
    std::string links_;
};

// Writes an index image into an "I" logical file opened through the engine.
void writeIndex(cBusinessBasic& engine, const std::string& logicalName, std::int32_t keyLength,
                const std::vector<IndexEntry>& sortedEntries, bool duplicateKeys,
                std::int32_t entriesPerNode = 0);

// The text of a catalog settings file.
std::string settingsText(const std::string& server, const std::string& directory,
                         const std::string& terminalId, const std::string& customerNumber = "1");

}  // namespace fennick::tools
