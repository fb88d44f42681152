#include "fuzz_share.h"

#include "core/model_tree.h"
#include "core/startup.h"
#include "core/stock_ageing.h"
#include "core/unit_detail.h"
#include "core/unit_list.h"
#include "core/unit_report.h"
#include "tools/mkdemo/demo_generator.h"

namespace fennick::fuzz {

QuietServices::QuietServices() {
    platform::setMessages(this);
    platform::setEventLog(this);
}

QuietServices::~QuietServices() {
    platform::setMessages(nullptr);
    platform::setEventLog(nullptr);
}

std::uint32_t Input::number(int width) {
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i) {
        value <<= 8;
        if (!bytes_.empty()) {
            value |= static_cast<unsigned char>(bytes_.front());
            bytes_.remove_prefix(1);
        }
    }
    return value;
}

std::string Input::take(std::size_t n) {
    n = std::min(n, bytes_.size());
    std::string out(bytes_.substr(0, n));
    bytes_.remove_prefix(n);
    return out;
}

namespace {

// Remembers the folders a share writer makes, so that copies can hold them too.
class RecordingFileSystem : public platform::MemoryFileSystem {
  public:
    void makeDirectory(const std::string& path) override {
        folders.push_back(path);
        MemoryFileSystem::makeDirectory(path);
    }
    std::vector<std::string> folders;
};

}  // namespace

const DemoShare& DemoShare::instance() {
    static const DemoShare share = [] {
        DemoShare s;
        demo::DemoOptions options;
        options.today = demo::kFixedDay;
        options.units = 24;
        options.models = 4;
        options.tickets = 3;
        options.listed = 3;
        options.maxPages = 2;
        RecordingFileSystem fs;
        demo::writeDealerShare(fs, demo::generateDemo(options), s.identity);
        s.folders = fs.folders;
        s.paths = fs.paths();
        for (const auto& path : s.paths)
            s.files[path] = *fs.contents(path);
        return s;
    }();
    return share;
}

std::unique_ptr<platform::MemoryFileSystem> DemoShare::copy() const {
    auto fs = std::make_unique<platform::MemoryFileSystem>();
    for (const auto& folder : folders)
        fs->makeDirectory(folder);
    for (const auto& [path, bytes] : files)
        fs->setFile(path, bytes);
    return fs;
}

std::unique_ptr<cBusinessBasic> DemoShare::engine(platform::FileSystem& share,
                                                  cSystem& system) const {
    system = cSystem{};
    system.mUNCDrive = identity.server;
    system.mDirectory = identity.directory;
    system.xTermid = identity.terminalId;
    EngineEnvironment env;
    env.share = &share;
    env.computerName = [name = identity.computerName] { return name; };
    env.ipv4Of = [](const std::string&) { return std::string("10.0.0.9"); };
    env.clock = [] { return platform::LocalDateTime{2025, 7, 1, 10, 0, 0}; };
    return std::make_unique<cBusinessBasic>(system, env);
}

int runViewerActions(store::Store& store, const ViewerActions& actions) {
    int failures = 0;
    auto guarded = [&](auto&& action) {
        try {
            action();
        } catch (const EngineError&) {
            ++failures;
        }
    };
    core::ModelTreeData tree;
    if (actions.inStockTree) guarded([&] { core::ModelTree(store).loadtree(true); });
    if (actions.tree || actions.find || actions.models > 0)
        guarded([&] { tree = core::ModelTree(store).loadtree(false); });
    if (actions.find) guarded([&] { core::findUnits(store, tree.directory, "1", 3); });
    if (actions.ageing) guarded([&] { core::stockAgeing(store); });
    std::vector<std::string> tags = actions.modelTags;
    for (const auto& line : tree.lines)
        for (const auto& model : line.models)
            if (tags.size() < actions.modelTags.size() + actions.models) tags.push_back(model.tag);
    if (tags.empty()) return failures;
    core::UserDefinedNames names;
    guarded([&] { names = core::readUserDefinedNames(store); });
    for (const auto& tag : tags)
        guarded([&] {
            auto [code, number] = core::splitTag(tag);
            auto list = core::LoadUnits(store, code, number);
            if (list.rows.empty()) return;
            auto detail = core::selectUnit(store, list.rows.front());
            core::buildUnitReport(core::unitGridHeadings(names), list.rows.front(), detail.grids,
                                  "07/01/2025 10:00");
        });
    return failures;
}

}  // namespace fennick::fuzz
