#pragma once
// A share as a file server answers it: every call that would cross the network (an open, an
// existence check, a read, a write) waits a chosen latency before it reaches the file system
// underneath. Calls made from several threads wait side by side, as requests in flight to a
// real server do. Counts every such round trip; counters() counts reads and bytes as usual.

#include <chrono>
#include <memory>

#include "file_system.h"

namespace fennick::platform {

class LatencyFileSystem : public FileSystem {
  public:
    explicit LatencyFileSystem(std::unique_ptr<FileSystem> inner,
                               std::chrono::microseconds latency = {});

    void setLatency(std::chrono::microseconds latency) { latency_ = latency.count(); }
    std::chrono::microseconds latency() const { return std::chrono::microseconds(latency_); }
    // Calls that crossed to the server: opens, checks, reads and writes.
    std::int64_t roundTrips() const { return roundTrips_; }

    bool isDirectory(const std::string& path) override;
    bool fileExists(const std::string& path) override;
    std::unique_ptr<File> create(const std::string& path) override;
    void makeDirectory(const std::string& path) override;
    bool remove(const std::string& path) override;
    std::unique_ptr<File> createNew(const std::string& path) override;
    void rename(const std::string& from, const std::string& to) override;

    // Waits one round trip.
    void wait();

  protected:
    std::unique_ptr<File> doOpen(const std::string& path, Access access) override;

  private:
    std::unique_ptr<FileSystem> inner_;
    std::atomic<std::int64_t> latency_;
    Count roundTrips_;
};

}  // namespace fennick::platform
