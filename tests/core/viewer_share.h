#pragma once
// A dealer share in memory, written by the demo share writer from hand-made or generated data,
// with an engine and a store over it whose clock reads 1 July 2025. Reads can go through the
// viewer's read cache, and every read that reaches the share is logged by file and offset.

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "store/read_cache.h"
#include "store/store.h"
#include "tests/support/test_share.h"
#include "tools/mkdemo/demo_generator.h"
#include "tools/mkdemo/share_builder.h"

namespace fennick::test_support {

struct LoggedRead {
    std::string path;  // upper case
    std::int64_t offset = 0;
    std::int64_t length = 0;
};

// Logs each read of the share by file path and offset, and every read in order. Reads may come
// from several threads at once.
class LoggingFileSystem : public platform::FileSystem {
  public:
    bool isDirectory(const std::string& p) override { return memory.isDirectory(p); }
    bool fileExists(const std::string& p) override { return memory.fileExists(p); }
    std::unique_ptr<platform::File> create(const std::string& p) override {
        return memory.create(p);
    }
    void makeDirectory(const std::string& p) override { memory.makeDirectory(p); }
    bool remove(const std::string& p) override { return memory.remove(p); }
    std::unique_ptr<platform::File> createNew(const std::string& p) override {
        return memory.createNew(p);
    }
    void rename(const std::string& from, const std::string& to) override {
        memory.rename(from, to);
    }

    void log(const std::string& path, std::int64_t offset, std::size_t length);

    platform::MemoryFileSystem memory;
    // Called with each read as it is logged, before it is made; on the reading thread.
    std::function<void(const LoggedRead&)> onRead;
    std::map<std::pair<std::string, std::int64_t>, int> reads;
    std::vector<LoggedRead> sequence;

  protected:
    std::unique_ptr<platform::File> doOpen(const std::string& path,
                                           platform::Access access) override;

  private:
    std::mutex mutex_;
};

struct ViewerShare {
    explicit ViewerShare(const demo::DealerData& data, bool cached = true,
                         store::ReadPolicy policy = {});

    // Replaces `length` bytes of record `record` of a direct file from 1-based `position`.
    void patchRecord(const std::string& logical, std::int32_t record, std::int32_t position,
                     const std::string& bytes);
    // Renames a link so that its logical file no longer resolves (opens a fresh engine).
    void dropLink(const std::string& logical);
    void reopen();
    int readsOf(const std::string& dataFile, std::int64_t offset) const;
    // The path of a data file of the dealer's directory as the read log holds it.
    std::string loggedPath(const std::string& dataFile) const;
    void clearReadLog() {
        log->reads.clear();
        log->sequence.clear();
    }

    LoggingFileSystem* log = nullptr;  // owned by the share below
    std::unique_ptr<platform::FileSystem> share;
    demo::ShareIdentity identity;
    demo::WrittenShare written;
    cSystem system;
    std::unique_ptr<cBusinessBasic> engine;   // reads only, as the viewer's does
    std::unique_ptr<cBusinessBasic> damager;  // writes, for tests that damage the share
    std::unique_ptr<store::Store> store;      // over `engine`, as the program reads
    bool cached;
};

// Line 1 "CTR" (unit line), the usual test product line, and a unit of it.
demo::LineSpec unitLine(std::int32_t number = 1, const std::string& code = "CTR",
                        const std::string& name = "COMPACT TRACTORS");
demo::UnitSpec unitOf(const std::string& model, const std::string& number, std::int32_t line = 1);
demo::InvoiceSpec invoiceNaming(const std::vector<std::vector<std::string>>& partsPerPage);

}  // namespace fennick::test_support
