// Structure-aware damage to a small generated dealer share: the fuzz input is a choice of the
// viewer's actions, then a list of edits (file, offset, kind, bytes) applied to the share in
// memory; start-up and the actions chosen then run on it. The share stays in memory from one
// input to the next: only the files an input edits are put back afterwards.

#include <cstdlib>
#include <map>

#include "core/model_tree.h"
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

namespace {

// The models of the share as it was written, for runs that open one without the tree.
const std::vector<std::string>& pristineModels(const fuzz::DemoShare& demo) {
    static const std::vector<std::string> tags = [&] {
        auto share = demo.copy();
        cSystem system;
        auto engine = demo.engine(*share, system);
        store::Store store(*engine, nullptr);
        std::vector<std::string> out;
        for (const auto& line : core::ModelTree(store).loadtree(false).lines)
            for (const auto& model : line.models)
                out.push_back(model.tag);
        return out;
    }();
    return tags;
}

// The first byte: 0 makes every action over the first three models of the tree (as a session
// of the window would); any other value makes one action: the tree, the in-stock tree, the
// search, the ageing, or one model's unit list, details and report.
fuzz::ViewerActions chosenActions(std::uint32_t choice, const std::vector<std::string>& models) {
    if (choice == 0) return {};
    fuzz::ViewerActions one{false, false, false, false, 0, {}};
    switch (choice % 5) {
        case 0:
            one.tree = true;
            break;
        case 1:
            one.inStockTree = true;
            break;
        case 2:
            one.find = true;
            break;
        case 3:
            one.ageing = true;
            break;
        default:
            if (!models.empty()) one.modelTags = {models[choice / 5 % models.size()]};
    }
    return one;
}

// The demo share, kept in memory; the files an input edits are put back as they were.
class EditedShare {
  public:
    explicit EditedShare(platform::MemoryFileSystem& share) : share_(share) {}
    ~EditedShare() {
        for (const auto& [path, bytes] : originals_)
            share_.setFile(path, bytes);
    }
    std::string& edit(const std::string& path) {
        auto [at, added] = edited_.try_emplace(path);
        if (added) {
            at->second = *share_.contents(path);
            originals_.emplace(path, at->second);
        }
        return at->second;
    }
    void apply() {
        for (const auto& [path, bytes] : edited_)
            share_.setFile(path, bytes);
    }

  private:
    platform::MemoryFileSystem& share_;
    std::map<std::string, std::string> originals_, edited_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::DemoShare& demo = fuzz::DemoShare::instance();
    static const std::unique_ptr<platform::MemoryFileSystem> share = demo.copy();
    fuzz::QuietServices quiet;
    fuzz::Input in(data, size);
    const fuzz::ViewerActions actions = chosenActions(in.number(1), pristineModels(demo));
    EditedShare edited(*share);
    for (int edits = 0; edits < 16 && !in.empty(); ++edits)
        applyEdit(in, edited.edit(demo.paths[in.number(1) % demo.paths.size()]));
    edited.apply();
    cSystem system;
    std::unique_ptr<cBusinessBasic> engine;
    try {
        engine = demo.engine(*share, system);
    } catch (const EngineError&) {
        return 0;  // the start-up message
    }
    store::Store store(*engine, nullptr);
    fuzz::runViewerActions(store, actions);
    return 0;
}
