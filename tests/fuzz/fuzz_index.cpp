// The index walks over an arbitrary set of blocks: the fuzz input is the index file (header
// and nodes) and a search key. KFind with KNext, KLast with KPrev, and KCount must each end
// within the number of entries the blocks can hold; a longer walk is a loop and a finding.

#include <cstdlib>

#include "fuzz_share.h"
#include "tools/share_writer.h"

using namespace fennick;

namespace {

// Each step of a walk names an entry; blocks hold at most 127 entries each.
std::int64_t stepBound(std::int32_t blocks) {
    return std::int64_t(blocks + 1) * 127 + 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::QuietServices quiet;
    fuzz::Input in(data, size);
    std::int32_t lastBlock = static_cast<std::int32_t>(in.number(1) % 24) + 1;
    std::string key = in.take(in.number(1) % 40);
    std::string blocks = in.rest();
    if (blocks.size() > 512 * 25) blocks.resize(512 * 25);

    platform::MemoryFileSystem fs;
    tools::ShareWriter writer(fs, "FS1", "DEALER");
    writer.makeFolders();
    writer.writeTerminalMap("WS07 12\n");
    writer.addDataFile("DEALER:IDX.DR", {{"IDX", "I", 512, lastBlock}});
    writer.writeLinks();
    fs.setFile("\\\\FS1\\TARNLNK\\DEALER\\IDX.DB", blocks);

    cSystem system = fuzz::fuzzSystem();
    EngineEnvironment env = fuzz::fuzzWorkstation(fs);
    cBusinessBasic engine(system, env);
    const std::int64_t bound = stepBound(lastBlock);
    try {
        std::string buff, found = key;
        std::int32_t rec = 0;
        engine.KFind("IDX", buff, found, rec);
        for (std::int64_t steps = 0; rec != 0; ++steps) {
            if (steps > bound) std::abort();
            engine.KNext("IDX", buff, found, rec);
        }
    } catch (const EngineError&) {
    }
    try {
        std::string buff, found;
        std::int32_t rec = 0;
        engine.KLast("IDX", buff, found, rec);
        for (std::int64_t steps = 0; rec != 0; ++steps) {
            if (steps > bound) std::abort();
            engine.KPrev("IDX", buff, found, rec);
        }
    } catch (const EngineError&) {
    }
    try {
        if (engine.KCount("IDX") > bound) std::abort();
        engine.KLength("IDX");
    } catch (const EngineError&) {
    }
    return 0;
}
