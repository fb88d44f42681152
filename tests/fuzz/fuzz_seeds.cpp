// Writes the seed inputs of the fuzz targets into tests/fuzz/corpus (the folder given as the
// only argument): real records, indexes and files of a generated share in each target's input
// layout, and the reproducers of faults found so far.

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "engine/index_builder.h"
#include "fuzz_share.h"

using namespace fennick;
namespace fs = std::filesystem;

namespace {

fs::path corpus;

void seed(const std::string& target, const std::string& name, const std::string& bytes) {
    fs::create_directories(corpus / target);
    std::ofstream(corpus / target / name, std::ios::binary) << bytes;
}

std::string be(std::uint32_t value, int width) {
    std::string out;
    for (int i = width - 1; i >= 0; --i)
        out += static_cast<char>(value >> (8 * i));
    return out;
}

std::string fileOf(const fuzz::DemoShare& demo, const std::string& suffix) {
    for (const auto& [path, bytes] : demo.files)
        if (path.size() >= suffix.size() &&
            path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0)
            return bytes;
    return {};
}

// The index blocks of one logical file of the demo share, and its last block number.
std::pair<std::string, std::int32_t> indexBlocks(cBusinessBasic& engine, const std::string& name) {
    auto file = engine.LogicalOpen(name);
    std::string bytes;
    for (std::int32_t b = 0; b <= file->LastRecord; ++b)
        bytes += engine.ReadFile(file->OpenFile, 512, (file->Position + b) * 512);
    return {bytes, file->LastRecord};
}

// Offset in the file of the first leaf entry's record number of index `name`, and the index
// of that file in the demo's path list.
std::pair<std::uint32_t, std::uint32_t> firstLeafPointer(const fuzz::DemoShare& demo,
                                                         cBusinessBasic& engine,
                                                         const std::string& name) {
    auto file = engine.LogicalOpen(name);
    auto block = [&](std::int32_t b) {
        return engine.ReadFile(file->OpenFile, 512, (file->Position + b) * 512);
    };
    std::string header = block(0);
    std::int32_t e = codec::unpack("C", header, 1), node = codec::unpack("C", header, 9);
    while (codec::unpack("C", block(node), 3) == 0)
        node = codec::unpack("L", block(node), e + 1);
    std::uint32_t offset = static_cast<std::uint32_t>((file->Position + node) * 512 + 4 + e - 4);
    std::uint32_t path = 0;
    for (std::uint32_t i = 0; i < demo.paths.size(); ++i)
        if (demo.paths[i] == platform::upperAscii(file->OpenFile->Path)) path = i;
    return {path, offset};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds CORPUS_FOLDER\n");
        return 2;
    }
    corpus = argv[1];
    fuzz::QuietServices quiet;
    const auto& demo = fuzz::DemoShare::instance();
    auto share = demo.copy();
    cSystem system;
    auto engine = demo.engine(*share, system);

    seed("fuzz_codec", "numbers",
         be(3, 4) + be(12, 4) + be(31, 4) + be(99, 4) + be(1, 1) + "," +
             std::string("\x01\x02\x80\x00\xFF\xFF\x7F\xFF\x12\x31", 10));
    seed("fuzz_codec", "text",
         be(1, 4) + be(2, 4) + be(29, 4) + be(24, 4) + be(1, 1) + " " +
             codec::compress("COMPACT TRACTORS 4WD"));

    std::string links = fileOf(demo, "\\LINKSFILE");
    std::string directory = fileOf(demo, "\\UNIT.DR");
    seed("fuzz_links", "demo",
         be(std::uint32_t(links.size()), 2) + links + be(std::uint32_t(directory.size()), 2) +
             directory + be(5, 1) + "UNITL" + fileOf(demo, "\\UNIT.DB").substr(0, 4096));

    for (const std::string name : {"MUNITI", "LINEI", "TICKI"}) {
        auto [blocks, last] = indexBlocks(*engine, name);
        if (blocks.size() > 512 * 25) continue;
        seed("fuzz_index", name, be(std::uint32_t(last - 1), 1) + be(0, 1) + blocks);
    }
    std::vector<IndexEntry> entries;
    for (int i = 1; i <= 40; ++i)
        entries.push_back({"K" + std::to_string(1000 + i * 2), i});
    auto deep = buildIndex(5, entries, false, 3);
    seed("fuzz_index", "deep",
         be(std::uint32_t(deep.lastBlock - 1), 1) + be(5, 1) + "K1017" + deep.bytes);
    auto dup = buildIndex(5, {{"AAAAA", 1}, {"BBBBB", 2}, {"BBBBB", 3}, {"BBBBB", 4}, {"CCCCC", 5}},
                          true, 2);
    seed("fuzz_index", "duplicates",
         be(std::uint32_t(dup.lastBlock - 1), 1) + be(0, 1) + dup.bytes);

    auto unitl = engine->LogicalOpen("UNITL");
    for (const std::string name : {"UNITL", "LINEL", "UNOTEL", "LUNITL", "HUNITL", "INVOL"}) {
        auto file = engine->LogicalOpen(name);
        if (!file || file->LastRecord < 1) continue;
        std::string rec = engine->LreadFile(file, 1);
        seed("fuzz_records", name, be(std::uint32_t(rec.size() / 2), 2) + rec);
    }
    (void)unitl;

    auto invol = engine->LogicalOpen("INVOL");
    std::string pages;
    for (std::int32_t r = 1; r <= std::min(invol->LastRecord, 12); ++r)
        pages += engine->LreadFile(invol, r);
    for (std::int32_t start : {1, 2, 3, 5})
        seed("fuzz_shop_detail", "start" + std::to_string(start),
             be(std::uint32_t(start), 2) + pages);

    seed("fuzz_demo_share", "untouched", be(0, 1));
    std::uint32_t file0 = 0;
    for (std::uint32_t i = 0; i < demo.paths.size(); ++i)
        if (demo.paths[i].find("FILE0") != std::string::npos) file0 = i;
    seed("fuzz_demo_share", "file0-block4",
         be(0, 1) + be(file0, 1) + be(0, 1) + be(4 * 512 + 432, 4) + be(7, 1) + "ABCDEFGH");
    // The reproducers of a record number of 0x80000000 in the first leaf entry of an index.
    for (const std::string name : {"TICKI", "MUNITI", "LINEI"}) {
        auto [path, offset] = firstLeafPointer(demo, *engine, name);
        seed("fuzz_demo_share", "int-min-" + name,
             be(0, 1) + be(path, 1) + be(2, 1) + be(offset, 4) + be(9, 1));
    }
    std::printf("seeds written to %s\n", corpus.string().c_str());
    return 0;
}
