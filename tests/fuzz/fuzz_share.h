#pragma once
// What the fuzz targets share: a quiet message sink, a reader of the fuzz input, and a small
// generated dealer share in memory that a target may damage and then read the way the viewer
// does (start-up, tree, unit list, unit details, report).

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/business_basic.h"
#include "platform/services.h"
#include "store/store.h"
#include "tools/mkdemo/share_builder.h"

namespace fennick::fuzz {

// The share FS1\DEALER on `fs`, as workstation WS07 (10.0.0.7) sees it.
inline cSystem fuzzSystem() {
    cSystem system;
    system.mUNCDrive = "FS1";
    system.mDirectory = "DEALER";
    return system;
}
inline EngineEnvironment fuzzWorkstation(platform::FileSystem& fs) {
    EngineEnvironment env;
    env.share = &fs;
    env.computerName = [] { return std::string("WS07"); };
    env.ipv4Of = [](const std::string&) { return std::string("10.0.0.7"); };
    return env;
}

// Message boxes and event-log lines are counted, never shown.
class QuietServices : public platform::MessageSink, public platform::EventLog {
  public:
    QuietServices();
    ~QuietServices() override;
    void show(const std::string&, const std::string&, platform::MessageIcon) override { ++boxes; }
    void write(const std::string&) override { ++events; }
    int boxes = 0, events = 0;
};

// Takes the fuzz input apart: fixed-size numbers first, the rest as bytes.
class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size)
        : bytes_(reinterpret_cast<const char*>(data), size) {}
    std::uint32_t number(int width);  // big-endian, 0 once the input runs out
    std::string take(std::size_t n);  // up to n bytes
    std::string rest() { return take(bytes_.size()); }
    bool empty() const { return bytes_.empty(); }

  private:
    std::string_view bytes_;
};

// A generated demo share, kept pristine; each run starts from a fresh copy of its files.
struct DemoShare {
    static const DemoShare& instance();
    demo::ShareIdentity identity;
    std::map<std::string, std::string> files;  // folded path -> bytes
    std::vector<std::string> folders;
    std::vector<std::string> paths;  // the keys of `files`, in order

    // A memory file system holding a copy of the share.
    std::unique_ptr<platform::MemoryFileSystem> copy() const;
    // An engine over `share` as the viewer starts it (read-only, fixed clock).
    std::unique_ptr<cBusinessBasic> engine(platform::FileSystem& share, cSystem& system) const;
};

// Which of the viewer's actions a run makes: the tree with either filter, the search (over the
// tree's units), the stock ageing, and for the first `models` models of the tree and for each
// model of `modelTags` (tags as the tree gives them, opened without loading the tree) the unit
// list, the first unit's details and its report. The defaults make all of them, over the first
// three models.
struct ViewerActions {
    bool tree = true, inStockTree = true, find = true, ageing = true;
    std::size_t models = 3;
    std::vector<std::string> modelTags;
};

// The viewer's actions over a store. Failures that reach the caller are what the window turns
// into its message, so they are caught here. Returns how many actions ended with such a failure.
int runViewerActions(store::Store& store, const ViewerActions& actions = {});

}  // namespace fennick::fuzz
