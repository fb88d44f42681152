#pragma once
// A share built in memory and copied to its real place in one write per file. Writing a large
// demo share record by record straight to disk costs a flushed write for every record; staging
// keeps the engine's own operations and makes the disk see each file once.

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace fennick::demo {

class StagedFileSystem : public platform::FileSystem {
  public:
    bool isDirectory(const std::string& path) override { return memory_.isDirectory(path); }
    bool fileExists(const std::string& path) override { return memory_.fileExists(path); }
    std::unique_ptr<platform::File> create(const std::string& path) override {
        created_.push_back(path);
        return memory_.create(path);
    }
    void makeDirectory(const std::string& path) override {
        folders_.push_back(path);
        memory_.makeDirectory(path);
    }

    // Creates every folder and file of the staged share in `target`.
    void commit(platform::FileSystem& target) const {
        for (const auto& folder : folders_)
            target.makeDirectory(folder);
        for (const auto& path : created_) {
            const std::string* bytes = memory_.contents(path);
            auto file = target.create(path);
            if (bytes && !bytes->empty()) file->writeAt(0, bytes->data(), bytes->size());
        }
    }

  protected:
    std::unique_ptr<platform::File> doOpen(const std::string& path,
                                           platform::Access access) override {
        return memory_.open(path, access);
    }

  private:
    platform::MemoryFileSystem memory_;
    std::vector<std::string> created_;
    std::vector<std::string> folders_;
};

}  // namespace fennick::demo
