// Chains read through the store, one at a time and many at once: the rounds must give every
// chain exactly what walking it alone gives, damage and failed reads included.
#include <gtest/gtest.h>

#include <set>

#include "engine/engine_writer.h"
#include "records/unit_ledger.h"
#include "store/store.h"
#include "support/test_share.h"
#include "tests/records/record_bytes.h"

namespace fennick::store {
namespace {

using namespace test_support;

class Chains : public ::testing::Test {
  protected:
    void SetUp() override {
        share.writer.addDataFile("DEALER:UNITS.DR", {{"LUNITL", "L", 64, 50}});
        share.writer.writeLinks();
        engine = &share.open();
        // 10 -> 11 -> 12; 20 -> 21 -> 20 (a loop); 30 -> 99 (outside the file); 40 -> 11 (into
        // the first chain's tail); 45 alone.
        for (auto [number, link] : std::initializer_list<std::pair<int, int>>{
                 {10, 11}, {11, 12}, {12, 0}, {20, 21}, {21, 20}, {30, 99}, {40, 11}, {45, 0}})
            posting(number, number * 100, link);
    }
    void posting(std::int32_t number, std::int32_t cents, std::int32_t link) {
        std::string rec(64, '\0');
        put(rec, 1, be(1, 2));
        put(rec, 57, be(cents, 4));
        put(rec, 61, be(link, 4));
        EngineWriter(*engine).LwriteFile("LUNITL", number, rec);
    }

    TestShare share;
    cBusinessBasic* engine = nullptr;
};

struct Expected {
    std::int32_t head;
    std::vector<std::int32_t> records;
    ChainStop stop;
    std::int32_t stoppedAt;
};

const std::vector<Expected> kChains = {
    {10, {10, 11, 12}, ChainStop::End, 0},
    {20, {20, 21}, ChainStop::Loop, 20},
    {30, {30}, ChainStop::OutOfRange, 99},
    {40, {40, 11, 12}, ChainStop::End, 0},
    {0, {}, ChainStop::End, 0},
    {45, {45}, ChainStop::End, 0},
    {51, {}, ChainStop::OutOfRange, 51},
};

void expectChain(const ChainRecords<clsUnitsLedger>& chain, const Expected& expected) {
    EXPECT_EQ(chain.recordNumbers, expected.records) << "head " << expected.head;
    EXPECT_EQ(chain.walk.stop, expected.stop) << "head " << expected.head;
    EXPECT_EQ(chain.walk.stoppedAt, expected.stoppedAt) << "head " << expected.head;
    ASSERT_EQ(chain.records.size(), expected.records.size());
    for (std::size_t i = 0; i < expected.records.size(); ++i)
        EXPECT_EQ(chain.records[i].Amount.toCents(), expected.records[i] * 100);
}

TEST_F(Chains, ManyAtOnceGiveWhatEachGivesAlone) {
    Store store(*engine, nullptr);
    std::vector<std::int32_t> heads;
    for (const auto& expected : kChains) {
        heads.push_back(expected.head);
        expectChain(store.chain<clsUnitsLedger>("LUNITL", expected.head), expected);
    }
    auto together = store.chains<clsUnitsLedger>("LUNITL", heads);
    ASSERT_EQ(together.size(), kChains.size());
    for (std::size_t c = 0; c < kChains.size(); ++c)
        expectChain(together[c], kChains[c]);
}

TEST_F(Chains, AMissingFileFailsUnlessNoChainStarts) {
    Store store(*engine, nullptr);
    EXPECT_TRUE(store.chains<clsUnitsLedger>("NOTES", {0, 0})[1].records.empty());
    EXPECT_THROW(store.chain<clsUnitsLedger>("NOTES", 7), EngineError);
}

// The share with reads of some offsets failing, each with a message naming its offset.
class FailingReads : public platform::FileSystem {
  public:
    FailingReads(platform::FileSystem& inner, std::set<std::int64_t> failing)
        : inner_(inner), failing_(std::move(failing)) {}
    bool isDirectory(const std::string& p) override { return inner_.isDirectory(p); }
    bool fileExists(const std::string& p) override { return inner_.fileExists(p); }
    std::unique_ptr<platform::File> create(const std::string& p) override {
        return inner_.create(p);
    }
    void makeDirectory(const std::string& p) override { inner_.makeDirectory(p); }

  protected:
    class File : public platform::File {
      public:
        File(FailingReads& fs, std::unique_ptr<platform::File> inner)
            : platform::File(fs.counters()), fs_(fs), inner_(std::move(inner)) {}
        std::int64_t length() const override { return inner_->length(); }
        bool readOnly() const override { return true; }

      protected:
        std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
            if (fs_.failing_.count(offset))
                throw platform::IoError("no read at " + std::to_string(offset));
            return inner_->readAt(offset, buf, n);
        }
        void doWrite(std::int64_t, const char*, std::size_t) override {}

      private:
        FailingReads& fs_;
        std::unique_ptr<platform::File> inner_;
    };
    std::unique_ptr<platform::File> doOpen(const std::string& path,
                                           platform::Access access) override {
        auto file = inner_.open(path, access);
        return file ? std::make_unique<File>(*this, std::move(file)) : nullptr;
    }

  private:
    platform::FileSystem& inner_;
    std::set<std::int64_t> failing_;
};

// A read that fails ends the walk with the failure of the first chain, in the order given,
// that met one: the failure walking the chains one after the other would meet first, though
// the rounds meet the other chain's first.
TEST_F(Chains, AFailedReadEndsTheWalkWithTheFirstChainsFailure) {
    auto lunitl = engine->LogicalOpen("LUNITL");
    const std::int64_t base = std::int64_t(lunitl->Position) * 512;
    FailingReads failing(share.fs, {base + 12 * 64, base + 45 * 64});  // chain 10's third, 45
    EngineEnvironment env;
    env.share = &failing;
    env.computerName = [] { return std::string("ws07"); };
    env.ipv4Of = [](const std::string&) { return std::string("10.0.0.7"); };
    cBusinessBasic reading(share.system, env);
    Store store(reading, nullptr);
    for (auto [heads, offset] : {std::pair{std::vector<std::int32_t>{10, 45}, 12},
                                 std::pair{std::vector<std::int32_t>{45, 10}, 45}}) {
        try {
            store.chains<clsUnitsLedger>("LUNITL", heads);
            ADD_FAILURE() << "no failure";
        } catch (const EngineError& failure) {
            EXPECT_EQ(failure.description(), "no read at " + std::to_string(base + offset * 64) +
                                                 ": \\\\FS1\\TARNLNK\\DEALER\\UNITS.DB");
        }
    }
    EXPECT_EQ(store.chain<clsUnitsLedger>("LUNITL", 20).recordNumbers,
              (std::vector<std::int32_t>{20, 21}));
}

}  // namespace
}  // namespace fennick::store
