#pragma once
// The last model tree the window built for one server, share, company and in-stock setting,
// kept in the user's cache folder so that the next start shows it at once while the fresh tree
// is read. A kept file holds nothing but the tree's lines, models and search directory, with
// the key it was kept under and when the tree was read. It is private to the user (folder 0700,
// file 0600) and trusted only when it is exactly what the window wrote: a file that is damaged,
// foreign, of another version, too large, not the user's own, open to others or a link is
// ignored, and the next save replaces it.
//
// The file, all integers little-endian:
//
//   +----------+---------+------------------------------------------------+----------+
//   | magic 8  | version | body                                           | check 8  |
//   | FNCKTREE | u32 = 1 | key, read at, lines, directory                 | FNV-1a64 |
//   +----------+---------+------------------------------------------------+----------+
//
//   text:      u16 length, then the bytes (at most kLongestText)
//   key:       text
//   read at:   u16 year, u8 month, u8 day, u8 hour, u8 minute
//   lines:     u32 count, each: text key, text text, text tag, u32 models, each: text, tag
//   directory: u32 count, each: i32 record, text unit, serial, line code, model
//
// The check covers every byte before it.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "engine/settings.h"
#include "model_tree.h"
#include "platform/workstation.h"

namespace fennick::core {

constexpr std::size_t kLongestText = 1024;
constexpr std::int64_t kLargestTreeFile = 256LL * 1024 * 1024;

// Where a tree was read from: the server's share (as a UNC path) and the company folder, the
// local folder that stands for the server (none over SMB), and the in-stock setting it was
// built with.
struct TreeCacheKey {
    std::string share;
    std::string company;
    std::string localRoot;
    bool inStockOnly = false;

    std::string text() const;
    // The name of its file: the key spread over names; the key inside the file decides.
    std::string fileName() const;
};

TreeCacheKey treeCacheKey(const cSystem& system,
                          const std::optional<std::filesystem::path>& localRoot, bool inStockOnly);

struct KeptTree {
    ModelTreeData tree;
    platform::LocalDateTime readAt;
};

// The bytes of a kept tree, and the tree back from them: nothing when the bytes are damaged,
// of another format or version, or were kept under another key. A cancelled tree is never
// kept, so none comes back.
std::string encodeKeptTree(const std::string& key, const ModelTreeData& tree,
                           const platform::LocalDateTime& readAt);
std::optional<KeptTree> decodeKeptTree(std::string_view bytes, const std::string& key);

// The program's folder in the user's cache: $XDG_CACHE_HOME/fennick, else ~/.cache/fennick;
// nothing when neither an absolute $XDG_CACHE_HOME nor an absolute $HOME is set.
std::optional<std::filesystem::path> userCacheFolder();

class TreeCache {
  public:
    explicit TreeCache(std::filesystem::path folder, std::int64_t largestFile = kLargestTreeFile)
        : folder_(std::move(folder)), largestFile_(largestFile) {}

    // The tree kept under `key`, if its file can be trusted.
    std::optional<KeptTree> load(const TreeCacheKey& key) const;
    // Keeps `kept` under `key`, replacing what was kept: written to a new private file that is
    // then renamed over the old one. False when the folder or the file cannot be made private
    // or written; the cache is only a help, so nothing more is said.
    bool save(const TreeCacheKey& key, const ModelTreeData& tree,
              const platform::LocalDateTime& readAt) const;
    // The file kept under `key`.
    std::filesystem::path fileOf(const TreeCacheKey& key) const;

  private:
    bool privateFolder() const;

    std::filesystem::path folder_;
    std::int64_t largestFile_;
};

// What the status bar says of a kept tree: "Tree as of 08:02", with the date before the time
// when it was not read today.
std::string keptTreeAge(const platform::LocalDateTime& readAt, const platform::LocalDateTime& now);

}  // namespace fennick::core
