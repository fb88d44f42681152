// Structure-aware damage to a small generated dealer share: the fuzz input is a list of edits
// (file, offset, kind, bytes) applied to the share in memory, then the viewer's actions run on
// it: start-up, the tree with both filters, unit lists, a unit's details and its report.

#include <cstdlib>

#include "fuzz_share.h"

using namespace fennick;

namespace {

// One edit: overwrite bytes, write an extreme 16- or 32-bit value, copy a 512-byte block over
// another, or cut the file short.
void applyEdit(fuzz::Input& in, std::string& file) {
    std::uint32_t kind = in.number(1) % 5;
    std::size_t offset = file.empty() ? 0 : in.number(4) % file.size();
    static const std::uint32_t extremes[] = {0,          1,          0x7F,       0x80,
                                             0xFF,       0x7FFF,     0x8000,     0xFFFF,
                                             0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFE};
    switch (kind) {
        case 0: {
            std::string bytes = in.take(in.number(1) % 16 + 1);
            if (file.empty()) return;
            file.replace(offset, std::min(bytes.size(), file.size() - offset), bytes);
            break;
        }
        case 1:
        case 2: {
            std::uint32_t value = extremes[in.number(1) % std::size(extremes)];
            int width = kind == 1 ? 2 : 4;
            for (int i = 0; i < width && offset + i < file.size(); ++i)
                file[offset + i] = static_cast<char>(value >> (8 * (width - 1 - i)));
            break;
        }
        case 3: {
            std::size_t blocks = file.size() / 512;
            if (blocks < 2) return;
            std::size_t from = in.number(2) % blocks, to = in.number(2) % blocks;
            file.replace(to * 512, 512, file.substr(from * 512, 512));
            break;
        }
        default:
            file.resize(offset);
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::DemoShare& demo = fuzz::DemoShare::instance();
    fuzz::QuietServices quiet;
    fuzz::Input in(data, size);
    auto share = demo.copy();
    for (int edits = 0; edits < 16 && !in.empty(); ++edits) {
        const std::string& path = demo.paths[in.number(1) % demo.paths.size()];
        std::string file = *share->contents(path);
        applyEdit(in, file);
        share->setFile(path, file);
    }
    cSystem system;
    std::unique_ptr<cBusinessBasic> engine;
    try {
        engine = demo.engine(*share, system);
    } catch (const EngineError&) {
        return 0;  // the start-up message
    }
    store::Store store(*engine, nullptr);
    fuzz::runViewerActions(store, 3);
    return 0;
}
