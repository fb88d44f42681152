#include "share_writer.h"

#include <stdexcept>

namespace fennick::tools {

namespace {

constexpr std::int32_t kBlock = 512;

void writeAll(platform::FileSystem& fs, const std::string& path, const std::string& bytes) {
    auto file = fs.create(path);
    if (!bytes.empty()) file->writeAt(0, bytes.data(), bytes.size());
}

std::int32_t blocksFor(const LogicalFileSpec& logical) {
    if (logical.type == "I") return logical.lastRecord + 1;
    std::int64_t bytes = std::int64_t(logical.lastRecord + 1) * logical.recordLength;
    return static_cast<std::int32_t>((bytes + kBlock - 1) / kBlock);
}

}  // namespace

std::int32_t indexBlocksFor(std::int64_t keys, std::int32_t keyLength) {
    std::int64_t perNode = std::min(508 / (keyLength + 4), 255);
    std::int64_t level = keys + 1, blocks = 0;
    while (true) {
        std::int64_t nodes = (level + perNode - 1) / perNode;
        blocks += nodes;
        if (nodes == 1) break;
        level = nodes;
    }
    return static_cast<std::int32_t>(blocks);
}

ShareWriter::ShareWriter(platform::FileSystem& fs, std::string server, std::string directory)
    : fs_(fs), server_(std::move(server)), directory_(std::move(directory)) {}

void ShareWriter::makeFolders() {
    fs_.makeDirectory(linkShareRoot());
    fs_.makeDirectory(companyFolder());
    fs_.makeDirectory("\\\\" + server_ + "\\CATCON");
}

void ShareWriter::addDataFile(const std::string& resolution,
                              const std::vector<LogicalFileSpec>& files) {
    std::string directoryPath = directoryFilePath(linkShareRoot(), resolution);
    std::string dataPath = dataFilePath(directoryPath);
    std::string directory;
    std::int32_t block = 0;
    for (const auto& logical : files) {
        if (logical.name.empty() || logical.name.size() > 6)
            throw std::invalid_argument("logical file names have 1 to 6 characters");
        std::string entry(32, '\0');
        entry.replace(0, logical.name.size(), logical.name);
        codec::pack("C", entry, logical.flags, 7);
        codec::pack("D", entry, block, 11);
        codec::pack("C", entry, logical.recordLength, 14);
        entry[15] = logical.type.empty() ? 'L' : logical.type[0];
        codec::pack("L", entry, logical.lastRecord, 17);
        directory += entry;
        addLink(":" + directory_ + ":" + logical.name, resolution);
        block += blocksFor(logical);
    }
    writeAll(fs_, directoryPath, directory);
    auto data = fs_.create(dataPath);
    std::string zeros(static_cast<std::size_t>(kBlock) * 64, '\0');
    for (std::int64_t at = 0, end = std::int64_t(block) * kBlock; at < end;
         at += static_cast<std::int64_t>(zeros.size()))
        data->writeAt(at, zeros.data(),
                      static_cast<std::size_t>(std::min<std::int64_t>(end - at, zeros.size())));
}

void ShareWriter::addLink(const std::string& linkName, const std::string& resolution) {
    std::string entry(160, ' ');
    entry.replace(1, std::min<std::size_t>(linkName.size(), 79), linkName.substr(0, 79));
    entry.replace(81, std::min<std::size_t>(resolution.size(), 79), resolution.substr(0, 79));
    links_ += entry;
}

void ShareWriter::writeLinks() {
    writeAll(fs_, linkShareRoot() + "LINKSFILE", links_);
}

void ShareWriter::writeTerminalMap(const std::string& text) {
    writeAll(fs_, linkShareRoot() + "ttymap", text);
}

void ShareWriter::writePlainFile(const std::string& name, const std::string& bytes) {
    writeAll(fs_, companyFolder() + "\\" + name, bytes);
}

void writeIndex(cBusinessBasic& engine, const std::string& logicalName, std::int32_t keyLength,
                const std::vector<IndexEntry>& sortedEntries, bool duplicateKeys,
                std::int32_t entriesPerNode) {
    auto file = engine.LogicalOpen(logicalName);
    if (!file) throw std::invalid_argument("no logical file " + logicalName);
    IndexImage image = buildIndex(keyLength, sortedEntries, duplicateKeys, entriesPerNode);
    if (image.lastBlock > file->LastRecord)
        throw std::invalid_argument("index " + logicalName + " needs more blocks than it has");
    auto offset = checkedOffset(std::int64_t(file->Position) * kBlock, "writeIndex");
    EngineWriter(engine).WriteFile(file->OpenFile, image.bytes, static_cast<std::int32_t>(offset));
}

std::string settingsText(const std::string& server, const std::string& directory,
                         const std::string& terminalId, const std::string& customerNumber) {
    return "[Quarto]\r\nServer=" + server + "\r\nDataShare=DATA\r\nCatalogShare=CATALOG\r\n" +
           "Directory=" + directory + "\r\nTerminalID=" + terminalId +
           "\r\nCustomerNumber=" + customerNumber + "\r\n";
}

}  // namespace fennick::tools
