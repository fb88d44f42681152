// The links file and a directory file from arbitrary bytes: start-up reads the links, and each
// logical name the fuzz input picks is resolved and its first and last records read.

#include "fuzz_share.h"
#include "tools/share_writer.h"

using namespace fennick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::QuietServices quiet;
    fuzz::Input in(data, size);
    std::string links = in.take(in.number(2) % 4096);
    std::string directory = in.take(in.number(2) % 2048);
    std::string name = in.take(in.number(1) % 12);
    std::string dataBytes = in.rest();

    platform::MemoryFileSystem fs;
    tools::ShareWriter writer(fs, "FS1", "DEALER");
    writer.makeFolders();
    writer.writeTerminalMap("WS07 12\n");
    fs.setFile("\\\\FS1\\TARNLNK\\LINKSFILE", links);
    fs.setFile("\\\\FS1\\TARNLNK\\DEALER\\FUZZ.DR", directory);
    fs.setFile("\\\\FS1\\TARNLNK\\DEALER\\FUZZ.DB", dataBytes);

    cSystem system = fuzz::fuzzSystem();
    EngineEnvironment env = fuzz::fuzzWorkstation(fs);
    try {
        cBusinessBasic engine(system, env);
        for (const auto& link : engine.Links().NewEnum()) {
            auto bare = link->LinkFile.substr(link->LinkFile.rfind(':') + 1);
            for (const std::string& logical : {link->LinkFile, bare, name}) {
                auto file = engine.LogicalOpen(logical);
                if (!file) continue;
                for (std::int32_t record : {1, file->LastRecord, file->LastRecord / 2})
                    engine.LreadFile(file, record);
                file->ActiveCount();
                file->HighUsedRecord();
            }
        }
    } catch (const EngineError&) {
    }
    return 0;
}
