#pragma once
// A share back end that records how every file was asked to be opened or created, and passes
// the calls on to the back end it wraps.

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace fennick::test_support {

struct FileRequests {
    std::vector<std::pair<std::string, platform::Access>> opened;
    std::vector<std::string> created;
};

class RecordingFileSystem : public platform::FileSystem {
  public:
    RecordingFileSystem(std::unique_ptr<platform::FileSystem> inner, FileRequests& requests)
        : inner_(std::move(inner)), requests_(requests) {}
    bool isDirectory(const std::string& p) override { return inner_->isDirectory(p); }
    bool fileExists(const std::string& p) override { return inner_->fileExists(p); }
    std::unique_ptr<platform::File> create(const std::string& p) override {
        requests_.created.push_back(p);
        return inner_->create(p);
    }
    void makeDirectory(const std::string& p) override { inner_->makeDirectory(p); }
    bool remove(const std::string& p) override { return inner_->remove(p); }
    std::unique_ptr<platform::File> createNew(const std::string& p) override {
        requests_.created.push_back(p);
        return inner_->createNew(p);
    }
    void rename(const std::string& from, const std::string& to) override {
        inner_->rename(from, to);
    }

  protected:
    std::unique_ptr<platform::File> doOpen(const std::string& p, platform::Access a) override {
        requests_.opened.emplace_back(p, a);
        return inner_->open(p, a);
    }

  private:
    std::unique_ptr<platform::FileSystem> inner_;
    FileRequests& requests_;
};

}  // namespace fennick::test_support
