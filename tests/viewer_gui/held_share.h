#pragma once
// A share that can be held: while held, every call made from a thread other than the one that
// made it (the window's) waits until it is released, as a server that has not answered yet.
// The window's own start-up reads pass; the window's background work waits.

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/file_system.h"

namespace fennick::test_support {

class HeldFileSystem : public platform::FileSystem {
  public:
    explicit HeldFileSystem(std::unique_ptr<platform::FileSystem> inner);

    void hold();
    void release();
    // Releases the waiting calls and fails them and every later one, as a lost server.
    void cut();
    // Calls waiting for the release.
    int waiting() const;

    bool isDirectory(const std::string& path) override;
    std::string lastProblem() const override { return inner_->lastProblem(); }
    bool fileExists(const std::string& path) override;
    std::unique_ptr<platform::File> create(const std::string& path) override;
    void makeDirectory(const std::string& path) override;
    bool remove(const std::string& path) override;
    platform::ReadShape readShape() const override { return inner_->readShape(); }
    std::unique_ptr<platform::File> createNew(const std::string& path) override;
    void rename(const std::string& from, const std::string& to) override;

    // Waits while held, unless called from the window's thread.
    void gate();

  protected:
    std::unique_ptr<platform::File> doOpen(const std::string& path,
                                           platform::Access access) override;

  private:
    std::unique_ptr<platform::FileSystem> inner_;
    const std::thread::id window_ = std::this_thread::get_id();
    mutable std::mutex lock_;
    std::condition_variable released_;
    bool held_ = false;
    bool cut_ = false;
    int waiting_ = 0;
};

}  // namespace fennick::test_support
