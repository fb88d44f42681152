#include "store/store.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "engine/business_basic.h"
#include "store/read_plan.h"

namespace fennick::store {

Store::Store(cBusinessBasic& engine, ReadCache* cache) : engine_(engine), cache_(cache) {}

std::shared_ptr<cLogicalFile> Store::logical(std::string_view file) {
    std::string name(file);
    auto found = engine_.LogicalOpen(name);
    if (!found) throw EngineError(err::kEngine, "LogicalOpen", "File not Found: \"" + name + "\"");
    return found;
}

std::int32_t Store::lastRecord(std::string_view file) {
    return logical(file)->LastRecord;
}

IndexCursor Store::find(std::string_view index, std::string key) {
    return IndexCursor(engine_, logical(index), std::move(key));
}

std::string Store::recordBytes(std::string_view file, std::int32_t number) {
    return engine_.LreadFile(std::string(file), number);
}

clsLines Store::line(std::int32_t number) {
    clsLines line(engine_);
    line.Unpack(recordBytes("LINEL", number));
    return line;
}

std::string Store::plainBlock(std::string_view fileName, std::int32_t number) {
    std::string name(fileName);
    auto file = engine_.OpenFile(name);
    if (!file) throw EngineError(err::kEngine, "OpenFile", "File not Found: \"" + name + "\"");
    return engine_.BlockReadFile(file, number);
}

std::vector<DetailLine> Store::invoiceLines(std::int32_t record) {
    clsInvDetail detail(engine_);
    detail.InvoiceRec(record);
    detail.GetDetail();
    return detail.TakeDetail();
}

std::vector<ChainWalk> Store::walkChains(std::string_view file,
                                         const std::vector<std::int32_t>& heads,
                                         const Visit& visit) {
    std::vector<ChainWalk> walks(heads.size());
    if (std::all_of(heads.begin(), heads.end(), [](std::int32_t head) { return head == 0; }))
        return walks;  // no chain to walk: the file need not even exist
    auto data = logical(file);
    std::vector<ChainCursor> cursors;
    cursors.reserve(heads.size());
    for (std::int32_t head : heads)
        cursors.emplace_back(head, data->LastRecord);
    std::vector<std::exception_ptr> failures(heads.size());
    for (bool going = true; going;) {
        std::vector<std::int32_t> step;
        for (const auto& cursor : cursors)
            if (cursor.current() != 0) step.push_back(cursor.current());
        going = !step.empty();
        if (going && keeping()) plan::readChainStep(*cache_, *data, step);
        for (std::size_t c = 0; c < cursors.size(); ++c) {
            std::int32_t number = cursors[c].current();
            if (number == 0) continue;
            try {
                cursors[c].follow(visit(c, number, engine_.LreadFile(data, number)));
            } catch (const platform::ConnectionLost&) {
                throw;
            } catch (...) {
                failures[c] = std::current_exception();
                cursors[c] = ChainCursor(0, 0);
            }
        }
    }
    for (const auto& failure : failures)
        if (failure) std::rethrow_exception(failure);
    for (std::size_t c = 0; c < cursors.size(); ++c)
        walks[c] = cursors[c].walk();
    return walks;
}

void Store::readAhead(std::string_view file, const std::vector<std::int32_t>& records,
                      std::int32_t count) {
    if (!keeping() || records.empty()) return;
    try {
        plan::readRecords(*cache_, *logical(file), records, count);
    } catch (const std::exception& failure) {
        if (isShareFailure(failure)) throw;
    }
}

IndexScan Store::scanIndex(std::string_view index, std::string from, std::string to) {
    if (!keeping()) return {};
    try {
        return plan::scanIndex(*cache_, *logical(index), std::move(from), std::move(to));
    } catch (const std::exception& failure) {
        if (isShareFailure(failure)) throw;
        return {};
    }
}

void Store::readAheadBlocks(std::string_view fileName, std::int32_t first, std::int32_t last) {
    if (!keeping() || last < first) return;
    try {
        std::string name(fileName);
        auto file = engine_.OpenFile(name);
        if (!file || !file->handle) return;
        constexpr std::int64_t kBlock = 512;
        cache_->prefetch(*file->handle, {{first * kBlock, (last - first + 1) * kBlock}});
    } catch (const std::exception& failure) {
        if (isShareFailure(failure)) throw;
    }
}

void Store::readAheadChains(std::string_view file, const std::vector<std::int32_t>& heads,
                            const std::function<std::int32_t(std::string_view)>& linkOf) {
    if (!keeping() || heads.empty()) return;
    try {
        auto data = logical(file);
        if (data->RecordLength > 0) plan::readChains(engine_, *cache_, data, heads, linkOf);
    } catch (const std::exception& failure) {
        if (isShareFailure(failure)) throw;
    }
}

namespace {
struct Abandoned {};
}  // namespace

Store::Beside::Beside(ReadCache* cache, std::function<void()> work)
    : thread_([this, cache, work = std::move(work)] {
          platform::HeldNotices::Hold hold(notices_);
          ReadCache::GivingWay givingWay;
          try {
              WhileReading<&ReadCache::setPausePoint> stopWhenAbandoned(cache, [this] {
                  if (abandoned_) throw Abandoned{};
              });
              work();
          } catch (const Abandoned&) {
              // Nobody wants the result.
          } catch (const std::exception& failure) {
              // Damage is left to the caller's walk, which reads what is missing and meets it.
              if (isShareFailure(failure)) failure_ = std::current_exception();
          } catch (...) {
              failure_ = std::current_exception();
          }
      }) {}

void Store::Beside::finish() {
    if (thread_.joinable()) thread_.join();
    notices_.replay();
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

Store::Beside::~Beside() {
    abandon();
    if (thread_.joinable()) thread_.join();
}

std::unique_ptr<Store::Beside> Store::beside(const std::vector<std::string>& files,
                                             const std::vector<std::string>& plainFiles,
                                             std::function<void()> work) {
    if (!keeping()) return nullptr;
    try {
        engine_.OpenAhead(files, plainFiles);
        for (const auto& file : files)
            if (!engine_.LogicalOpen(file)) return nullptr;
        for (std::string name : plainFiles) {
            auto file = engine_.OpenFile(name);
            if (!file || !file->handle) return nullptr;
        }
    } catch (const std::exception& failure) {
        if (isShareFailure(failure)) throw;
        return nullptr;
    }
    return std::make_unique<Beside>(cache_, std::move(work));
}

platform::FileSystem& Store::share() {
    return engine_.Share();
}

const cSystem& Store::system() const {
    return engine_.CastellSys();
}

platform::LocalDateTime Store::now() const {
    return engine_.Now();
}

Date Store::today() const {
    platform::LocalDateTime now = engine_.Now();
    return Date{std::chrono::year{now.year} / now.month / now.day};
}

}  // namespace fennick::store
