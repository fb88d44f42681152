// The kept tree: what is kept comes back whole and private; a file damaged, foreign, too large,
// not private or not a plain file of the user's own is ignored and the next save replaces it;
// the cache folder follows the environment; the age the status bar gives.

#include "core/tree_cache.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>

namespace fennick::core {
namespace {

namespace fs = std::filesystem;

KeptTree sampleTree() {
    KeptTree kept;
    kept.readAt = {2025, 3, 5, 8, 2, 0};
    kept.tree.lines = {{"COMPACT TRACTORS",
                        "COMPACT TRACTORS",
                        "CTR",
                        {{"M100", modelTag("CTR", "M100")}, {"M200", modelTag("CTR", "M200")}}},
                       {"MOWERS", "MOWERS", "MWR", {}}};
    kept.tree.directory = {{17, "U1", "SERU1", "CTR", "M100"}, {-3, "", "", "MWR", "Z9"}};
    return kept;
}

bool sameTree(const ModelTreeData& a, const ModelTreeData& b) {
    auto lineSame = [](const LineNode& x, const LineNode& y) {
        if (x.key != y.key || x.text != y.text || x.tag != y.tag) return false;
        if (x.models.size() != y.models.size()) return false;
        for (std::size_t m = 0; m < x.models.size(); ++m)
            if (x.models[m].text != y.models[m].text || x.models[m].tag != y.models[m].tag)
                return false;
        return true;
    };
    auto entrySame = [](const DirectoryEntry& x, const DirectoryEntry& y) {
        return x.record == y.record && x.unit == y.unit && x.serial == y.serial &&
               x.lineCode == y.lineCode && x.model == y.model;
    };
    return std::equal(a.lines.begin(), a.lines.end(), b.lines.begin(), b.lines.end(), lineSame) &&
           std::equal(a.directory.begin(), a.directory.end(), b.directory.begin(),
                      b.directory.end(), entrySame) &&
           !b.cancelled;
}

// Each case keeps its trees in a folder of its own, named by $XDG_CACHE_HOME.
class TreeCacheTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "fennick-cache-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        home_ = pattern;
        ::setenv("XDG_CACHE_HOME", home_.c_str(), 1);
        key_ = {"\\\\FS1\\TARNLNK\\", "DEALER", "/srv/share", false};
    }
    void TearDown() override {
        ::unsetenv("XDG_CACHE_HOME");
        fs::remove_all(home_);
    }
    TreeCache cache(std::int64_t largest = kLargestTreeFile) {
        return TreeCache(*userCacheFolder(), largest);
    }
    bool save(const KeptTree& kept) { return cache().save(key_, kept.tree, kept.readAt); }
    fs::path home_;
    TreeCacheKey key_;
};

mode_t modeOf(const fs::path& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mode & 0777;
}

TEST_F(TreeCacheTest, KeptTreeComesBackWholeInPrivateFiles) {
    ASSERT_EQ(userCacheFolder(), home_ / "fennick");
    EXPECT_FALSE(cache().load(key_));
    ASSERT_TRUE(save(sampleTree()));
    const std::optional<KeptTree> loaded = cache().load(key_);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(sameTree(sampleTree().tree, loaded->tree));
    EXPECT_EQ(loaded->readAt.hour, 8);
    EXPECT_EQ(loaded->readAt.minute, 2);
    EXPECT_EQ(modeOf(home_ / "fennick"), 0700u);
    EXPECT_EQ(modeOf(cache().fileOf(key_)), 0600u);
    EXPECT_EQ(std::distance(fs::directory_iterator(home_ / "fennick"), {}), 1);  // no leftovers

    // Each server, share, company, local folder and filter setting keeps its own tree.
    for (auto change : std::vector<std::function<void(TreeCacheKey&)>>{
             [](auto& k) { k.share = "\\\\FS2\\TARNLNK\\"; },
             [](auto& k) { k.company = "DEALER2"; }, [](auto& k) { k.localRoot = "/mnt"; },
             [](auto& k) { k.inStockOnly = true; }}) {
        TreeCacheKey other = key_;
        change(other);
        EXPECT_FALSE(cache().load(other)) << other.text();
    }

    // A cancelled build is never kept, and a folder others may enter is closed to them.
    KeptTree cancelled = sampleTree();
    cancelled.tree.cancelled = true;
    EXPECT_FALSE(save(cancelled));
    fs::permissions(home_ / "fennick", fs::perms(0755));
    ASSERT_TRUE(save(sampleTree()));
    EXPECT_EQ(modeOf(home_ / "fennick"), 0700u);
}

// Damage to the bytes. "Sealed" damage is given a correct check again, so that the reader's own
// bounds and field checks must catch it.
struct ByteDamage {
    const char* name;
    std::function<void(std::string&)> damage;
    bool sealed;
};

std::uint64_t check(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char byte : bytes)
        hash = (hash ^ byte) * 0x100000001b3ULL;
    return hash;
}

void seal(std::string& bytes) {
    bytes.resize(bytes.size() - 8);
    const std::uint64_t sum = check(bytes);
    for (int i = 0; i < 8; ++i)
        bytes.push_back(static_cast<char>((sum >> (8 * i)) & 0xFF));
}

// Where the fields of sampleTree() start: magic 8, version 4, key, read-at 6, line count 4.
std::size_t afterKey(const TreeCacheKey& key) {
    return 12 + 2 + key.text().size();
}

class DamagedBytes : public TreeCacheTest, public ::testing::WithParamInterface<ByteDamage> {};

TEST_P(DamagedBytes, AreIgnoredAndReplaced) {
    const KeptTree kept = sampleTree();
    std::string bytes = encodeKeptTree(key_.text(), kept.tree, kept.readAt);
    ASSERT_TRUE(decodeKeptTree(bytes, key_.text()));
    GetParam().damage(bytes);
    if (GetParam().sealed) seal(bytes);
    EXPECT_FALSE(decodeKeptTree(bytes, key_.text()));

    ASSERT_TRUE(save(kept));
    std::ofstream(cache().fileOf(key_), std::ios::binary | std::ios::trunc) << bytes;
    EXPECT_FALSE(cache().load(key_));
    ASSERT_TRUE(save(kept));
    EXPECT_TRUE(cache().load(key_));
}

const TreeCacheKey kKey{"\\\\FS1\\TARNLNK\\", "DEALER", "/srv/share", false};
const std::size_t kLines = afterKey(kKey) + 6;  // the line count

INSTANTIATE_TEST_SUITE_P(
    TreeCache, DamagedBytes,
    ::testing::Values(
        ByteDamage{"empty", [](std::string& b) { b.clear(); }, false},
        ByteDamage{"magic", [](std::string& b) { b[0] = 'X'; }, false},
        ByteDamage{"version", [](std::string& b) { b[8] = 2; }, true},
        ByteDamage{"truncated_in_the_header", [](std::string& b) { b.resize(10); }, false},
        ByteDamage{"truncated_in_the_lines", [](std::string& b) { b.resize(kLines + 20); }, true},
        ByteDamage{"truncated_before_the_check", [](std::string& b) { b.resize(b.size() - 3); },
                   false},
        ByteDamage{"a_byte_changed", [](std::string& b) { b[b.size() - 12] ^= 0x20; }, false},
        ByteDamage{"more_lines_than_bytes", [](std::string& b) { b[kLines + 3] = 0x7F; }, true},
        ByteDamage{"text_longer_than_allowed", [](std::string& b) { b[kLines + 5] = 0x7F; }, true},
        ByteDamage{"month_13", [](std::string& b) { b[afterKey(kKey) + 2] = 13; }, true},
        ByteDamage{"bytes_after_the_tree", [](std::string& b) { b.insert(b.size() - 8, "x"); },
                   true},
        ByteDamage{"kept_under_another_key",
                   [](std::string& b) { b = encodeKeptTree("FS9\nX", sampleTree().tree, {}); },
                   false}),
    [](const auto& info) { return std::string(info.param.name); });

// Files that are not what the window wrote, though their bytes may be.
struct FileDamage {
    const char* name;
    std::function<void(const fs::path& file)> damage;
    bool needsRoot = false;
    std::int64_t largest = kLargestTreeFile;  // the largest file the cache takes
};

class DamagedFiles : public TreeCacheTest, public ::testing::WithParamInterface<FileDamage> {};

TEST_P(DamagedFiles, AreIgnoredAndReplaced) {
    if (GetParam().needsRoot && ::geteuid() != 0) GTEST_SKIP() << "only root can give files away";
    ASSERT_TRUE(save(sampleTree()));
    const fs::path file = cache().fileOf(key_);
    GetParam().damage(file);
    EXPECT_FALSE(cache(GetParam().largest).load(key_));
    ASSERT_TRUE(save(sampleTree()));
    EXPECT_TRUE(cache().load(key_));
    EXPECT_FALSE(fs::is_symlink(file));
    EXPECT_EQ(modeOf(file), 0600u);
}

void moveAsideAndLink(const fs::path& file) {
    fs::rename(file, file.string() + ".real");
    fs::create_symlink(file.string() + ".real", file);
}

INSTANTIATE_TEST_SUITE_P(
    TreeCache, DamagedFiles,
    ::testing::Values(FileDamage{"a_link_to_a_good_file", moveAsideAndLink},
                      FileDamage{"readable_by_others",
                                 [](const fs::path& f) { fs::permissions(f, fs::perms(0644)); }},
                      FileDamage{"writable_by_the_group",
                                 [](const fs::path& f) { fs::permissions(f, fs::perms(0620)); }},
                      FileDamage{"larger_than_allowed", [](const fs::path&) {}, false, 200},
                      FileDamage{"a_pipe",
                                 [](const fs::path& f) {
                                     fs::remove(f);
                                     ::mkfifo(f.c_str(), 0600);
                                 }},
                      FileDamage{"someone_elses",
                                 [](const fs::path& f) { ::chown(f.c_str(), 65534, 65534); },
                                 true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TreeCacheTest, AFolderThatIsALinkOrSomeoneElsesIsNotUsed) {
    const fs::path elsewhere = home_ / "elsewhere";
    fs::create_directory(elsewhere);
    fs::permissions(elsewhere, fs::perms(0700));
    fs::create_directory_symlink(elsewhere, home_ / "fennick");
    EXPECT_FALSE(save(sampleTree()));
    EXPECT_TRUE(fs::is_empty(elsewhere));
    TreeCache direct(elsewhere);
    ASSERT_TRUE(direct.save(key_, sampleTree().tree, sampleTree().readAt));
    EXPECT_FALSE(cache().load(key_));
}

struct Environment {
    const char* name;
    const char* xdgCacheHome;  // null: unset
    const char* home;
    const char* folder;  // null: none
};

class CacheFolder : public ::testing::TestWithParam<Environment> {};

TEST_P(CacheFolder, FollowsTheEnvironment) {
    const Environment& e = GetParam();
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    auto set = [](const char* name, const char* value) {
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    };
    set("XDG_CACHE_HOME", e.xdgCacheHome);
    set("HOME", e.home);
    const std::optional<fs::path> folder = userCacheFolder();
    ::unsetenv("XDG_CACHE_HOME");
    ::setenv("HOME", savedHome.c_str(), 1);
    EXPECT_EQ(folder, e.folder ? std::optional<fs::path>(e.folder) : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(TreeCache, CacheFolder,
                         ::testing::Values(Environment{"xdg", "/c", "/h", "/c/fennick"},
                                           Environment{"xdg_relative", "c", "/h",
                                                       "/h/.cache/fennick"},
                                           Environment{"xdg_empty", "", "/h", "/h/.cache/fennick"},
                                           Environment{"home", nullptr, "/h", "/h/.cache/fennick"},
                                           Environment{"neither", nullptr, nullptr, nullptr},
                                           Environment{"home_relative", nullptr, "h", nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(KeptTreeAge, GivesTheDateOnlyWhenNotToday) {
    const platform::LocalDateTime read{2025, 3, 5, 8, 2, 0};
    EXPECT_EQ(keptTreeAge(read, {2025, 3, 5, 17, 45, 0}), "Tree as of 08:02");
    EXPECT_EQ(keptTreeAge(read, {2025, 3, 6, 8, 2, 0}), "Tree as of 3/5/2025 08:02");
    EXPECT_EQ(keptTreeAge(read, {2026, 3, 5, 8, 2, 0}), "Tree as of 3/5/2025 08:02");
}

}  // namespace
}  // namespace fennick::core
