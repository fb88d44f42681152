#pragma once
// The read-only store: the one way the application reads the dealer's files. It sits on the
// data engine (file resolution, record I/O, keyed index walks) and gives typed reads: index
// cursors, records unpacked by their layout tables, chains of records (one, or many at once
// advancing a link per round), FILE0 blocks and the lines of an invoice. What one user action
// reads is kept in the read cache and planned ahead in large batches; above the store nothing
// calls the engine.

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/currency.h"
#include "engine/settings.h"
#include "platform/services.h"
#include "records/chain.h"
#include "records/lines.h"
#include "records/shop_detail.h"
#include "store/index_cursor.h"
#include "store/read_cache.h"

namespace fennick::store {

// The entries of an index with keys in a range, learnt from its nodes level by level.
struct IndexScan {
    std::vector<std::int32_t> records;  // of the entries with keys in the range, in key order
    std::int32_t following = 0;         // of the first entry at or beyond the range's end
};

using DetailLine = clsInvDetail::DetailLine;

class Store {
  public:
    // A store over `engine`, whose share is `cache` when reads go through a read cache (null:
    // straight to the share). Both must outlive the store.
    Store(cBusinessBasic& engine, ReadCache* cache);
    virtual ~Store() = default;
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // One user action: what it reads is kept until its last scope ends.
    [[nodiscard]] ReadCache::Scope action() { return ReadCache::Scope(cache_); }
    // The running action, paused, sets what it keeps aside until this ends.
    [[nodiscard]] ReadCache::Aside setAside() { return ReadCache::Aside(cache_); }

    // A cursor on the first entry of `index` whose key is at or after `key`.
    IndexCursor find(std::string_view index, std::string key);
    // The highest record number of `file`: records 1 to it can be read.
    std::int32_t lastRecord(std::string_view file);
    // The bytes of record `number` of a direct file; engine failures reach the caller.
    std::string recordBytes(std::string_view file, std::int32_t number);
    template <class Record>
    Record read(std::string_view file, std::int32_t number) {
        Record record;
        record.Unpack(recordBytes(file, number));
        return record;
    }
    // A product line from its LINEL record (its commodity codes read from COMODI).
    clsLines line(std::int32_t number);
    // Block `number` of a plain file of the dealer's directory, such as FILE0.
    std::string plainBlock(std::string_view fileName, std::int32_t number);
    // The lines of the invoice or shop order whose page record is `record` (a damaged page
    // chain gives the lines found before the damage).
    std::vector<DetailLine> invoiceLines(std::int32_t record);

    // The chain of a direct file starting at `first`, each record unpacked; the walk stops at
    // a loop or at a link outside the file (see ChainWalk).
    template <class Record>
    ChainRecords<Record> chain(std::string_view file, std::int32_t first) {
        return std::move(chains<Record>(file, {first}).front());
    }
    // Many chains at once, in rounds: each round reads the next record of every chain still
    // going, so an action waits for as many rounds as its longest chain has links. A record
    // that cannot be read ends the walk with the failure of the first chain (in the order of
    // `heads`) that met one, as walking them one after the other would.
    template <class Record>
    std::vector<ChainRecords<Record>> chains(std::string_view file,
                                             const std::vector<std::int32_t>& heads) {
        std::vector<ChainRecords<Record>> out(heads.size());
        auto walks = walkChains(file, heads,
                                [&](std::size_t c, std::int32_t number, const std::string& bytes) {
                                    Record record;
                                    record.Unpack(bytes);
                                    out[c].records.push_back(record);
                                    out[c].recordNumbers.push_back(number);
                                    return record.Chain;
                                });
        for (std::size_t c = 0; c < out.size(); ++c)
            out[c].walk = walks[c];
        return out;
    }

    // Reading ahead: only a help, a no-op unless an action keeps reads. What it misses or
    // finds damaged, the walk that follows reads itself and meets the damage there; a read the
    // share failed (isShareFailure) ends the action here, as it would in the walk.
    // The records given, each with the `count` - 1 records after it.
    void readAhead(std::string_view file, const std::vector<std::int32_t>& records,
                   std::int32_t count = 1);
    // The nodes of an index holding keys from `from` up to `to` (empty: the end), level by
    // level; answers the entries found.
    IndexScan scanIndex(std::string_view index, std::string from, std::string to);
    // Blocks `first` to `last` of a plain file, in one read.
    void readAheadBlocks(std::string_view fileName, std::int32_t first, std::int32_t last);
    // Chains of a direct file, a batch of reads per link along them; `linkOf` answers the
    // record a record links to. Used where the walk itself is done record by record elsewhere
    // (the pages of invoices).
    void readAheadChains(std::string_view file, const std::vector<std::int32_t>& heads,
                         const std::function<std::int32_t(std::string_view record)>& linkOf);

    // Reading that does not depend on what the caller reads goes on beside it, on a thread of
    // its own, so that both wait on the share (and decode) together rather than one after the
    // other. Opening a file changes the engine's tables while reading only looks them up, so
    // every file either side reads while both run is opened first: `files` (logical names) and
    // `plainFiles` (by name, such as FILE0). `work` then only reads those files (reads ahead,
    // walks their indexes and chains, reads records), never opening another, and the caller
    // only reads those files. Nothing runs beside when reads are not kept or a file does not
    // open: the caller then does the work itself, as it always may. Damage `work` meets is its
    // own to handle (what escapes is dropped: read-ahead leaves it to the caller's walk); a
    // read the share failed ends the action when the caller finishes the work, as it would
    // have ended there. What `work` shows and logs is held until then, and shown on the
    // caller's thread as if the caller had done the work at that point; work never finished
    // (the caller ended first) shows nothing. The returned object waits for the work to end;
    // work the caller drops unfinished (a cancelled list) stops before its next read ahead.
    class Beside {
      public:
        Beside(ReadCache* cache, std::function<void()> work);
        Beside(Beside&&) = delete;
        Beside& operator=(Beside&&) = delete;
        ~Beside();
        // Waits for the work to end and shows what it held; rethrows the share failure that
        // ended it.
        void finish();
        // The work's result is not wanted: it reads ahead nothing more (the reads in flight
        // end) and its notices are dropped. Destruction without finish abandons it.
        void abandon() { abandoned_ = true; }

      private:
        std::exception_ptr failure_;  // the members before the thread, which sets them
        platform::HeldNotices notices_;
        std::atomic<bool> abandoned_ = false;
        std::thread thread_;
    };
    [[nodiscard]] std::unique_ptr<Beside> beside(const std::vector<std::string>& files,
                                                 const std::vector<std::string>& plainFiles,
                                                 std::function<void()> work);

    // Opens the files an action is about to read, logical ones and plain files of the dealer's
    // directory such as FILE0, all at once: one round trip for them all on a network share.
    // A file that does not open is left for its first use to meet; share failures throw.
    void openAhead(const std::vector<std::string>& files,
                   const std::vector<std::string>& plainFiles = {}) {
        engine_.OpenAhead(files, plainFiles);
    }

    // True while an action keeps what it reads.
    bool keeping() const { return cache_ && cache_->keeping(); }
    ReadCache* cache() { return cache_; }
    platform::FileSystem& share();
    const cSystem& system() const;
    // The engine's clock, and today by it.
    platform::LocalDateTime now() const;
    Date today() const;

  private:
    using Visit =
        std::function<std::int32_t(std::size_t chain, std::int32_t number, const std::string&)>;
    std::vector<ChainWalk> walkChains(std::string_view file, const std::vector<std::int32_t>& heads,
                                      const Visit& visit);
    std::shared_ptr<cLogicalFile> logical(std::string_view file);

    cBusinessBasic& engine_;
    ReadCache* cache_;
};

}  // namespace fennick::store
