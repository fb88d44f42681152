#pragma once
// A share back end that passes every call on to the one it wraps and calls a hook just before
// each read of a file opened through it: tests count, cue or fail reads there (a hook fails the
// read by throwing).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace fennick::test_support {

class ReadHookShare : public platform::FileSystem {
  public:
    using Hook = std::function<void(const std::string& path, std::int64_t offset, std::size_t n)>;

    ReadHookShare(std::unique_ptr<platform::FileSystem> inner, Hook before)
        : inner_(std::move(inner)), before_(std::move(before)) {}
    bool isDirectory(const std::string& p) override { return inner_->isDirectory(p); }
    std::string lastProblem() const override { return inner_->lastProblem(); }
    bool fileExists(const std::string& p) override { return inner_->fileExists(p); }
    std::unique_ptr<platform::File> create(const std::string& p) override {
        return inner_->create(p);
    }
    void makeDirectory(const std::string& p) override { inner_->makeDirectory(p); }
    bool remove(const std::string& p) override { return inner_->remove(p); }
    std::unique_ptr<platform::File> createNew(const std::string& p) override {
        return inner_->createNew(p);
    }
    void rename(const std::string& from, const std::string& to) override {
        inner_->rename(from, to);
    }
    platform::ReadShape readShape() const override { return inner_->readShape(); }

  protected:
    std::unique_ptr<platform::File> doOpen(const std::string& path,
                                           platform::Access access) override {
        auto file = inner_->open(path, access);
        if (!file) return nullptr;
        return std::make_unique<HookedFile>(counters_, std::move(file), path, before_);
    }

  private:
    class HookedFile : public platform::File {
      public:
        HookedFile(platform::IoCounters& c, std::unique_ptr<platform::File> inner, std::string path,
                   const Hook& before)
            : File(c), inner_(std::move(inner)), path_(std::move(path)), before_(before) {}
        std::int64_t length() const override { return inner_->length(); }
        bool readOnly() const override { return inner_->readOnly(); }

      protected:
        std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
            before_(path_, offset, n);
            return inner_->readAt(offset, buf, n);
        }
        void doWrite(std::int64_t offset, const char* buf, std::size_t n) override {
            inner_->writeAt(offset, buf, n);
        }

      private:
        std::unique_ptr<platform::File> inner_;
        std::string path_;
        const Hook& before_;
    };

    std::unique_ptr<platform::FileSystem> inner_;
    Hook before_;
};

}  // namespace fennick::test_support
