#pragma once
// The engine's tables: links, open physical files and open logical files. Each is a keyed
// collection whose keys compare without regard to letter case; entries may also be added
// without a key. Iteration is in insertion order.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "error.h"
#include "platform/file_system.h"
#include "platform/text.h"

namespace fennick {

inline std::string foldKey(const std::string& key) {
    return platform::upperAscii(key);
}

template <class T>
class KeyedCollection {
  public:
    using Ptr = std::shared_ptr<T>;

    Ptr Add(Ptr item, const std::string& sKey = "") {
        if (!sKey.empty() && find(sKey))
            throw EngineError(err::kKeyExists, "Collection",
                              "This key is already associated with an element of this collection");
        entries_.push_back({sKey.empty() ? std::string() : foldKey(sKey), std::move(item)});
        return entries_.back().item;
    }
    Ptr Item(const std::string& key) const {
        if (auto item = find(key)) return item;
        throw EngineError(err::kKeyNotFound, "Collection", "Invalid procedure call or argument");
    }
    Ptr Item(std::int32_t index) const {
        if (index < 1 || index > Count())
            throw EngineError(err::kKeyNotFound, "Collection",
                              "Invalid procedure call or argument");
        return entries_[static_cast<std::size_t>(index - 1)].item;
    }
    std::int32_t Count() const { return static_cast<std::int32_t>(entries_.size()); }
    void Remove(const std::string& key) {
        auto folded = foldKey(key);
        auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const Entry& e) { return !e.key.empty() && e.key == folded; });
        if (it == entries_.end())
            throw EngineError(err::kKeyNotFound, "Collection",
                              "Invalid procedure call or argument");
        entries_.erase(it);
    }
    void Remove(std::int32_t index) {
        Item(index);
        entries_.erase(entries_.begin() + (index - 1));
    }
    // Lookup that answers nullptr for a missing key instead of failing.
    Ptr find(const std::string& key) const {
        if (key.empty()) return nullptr;
        auto folded = foldKey(key);
        for (const auto& e : entries_)
            if (e.key == folded) return e.item;
        return nullptr;
    }
    // NewEnum: iteration over the items in insertion order.
    std::vector<Ptr> NewEnum() const {
        std::vector<Ptr> items;
        for (const auto& e : entries_)
            items.push_back(e.item);
        return items;
    }

  private:
    struct Entry {
        std::string key;
        Ptr item;
    };
    std::vector<Entry> entries_;
};

struct cLink {
    std::string LinkFile;
    std::string ResolutionFile;
};

struct cOpenFile {
    std::int32_t vbFileNumber = 0;
    std::string Path;
    std::int32_t Position = 0;
    std::unique_ptr<platform::File> handle;  // owned here; released by CloseFile
};

struct cLogicalFile {
    std::string FileName;
    std::string FileType;
    std::shared_ptr<cOpenFile> OpenFile;
    std::int32_t Position = 0;
    std::int32_t Flags = 0;
    std::int32_t RecordLength = 0;
    std::int32_t LastRecord = 0;

    // Live records and highest record number handed out, from record zero of a direct file;
    // 0 for an index or a logical file without an open data file.
    std::int32_t ActiveCount(bool Orb = false) const;
    std::int32_t HighUsedRecord(bool Orb = false) const;
};

using cLinks = KeyedCollection<cLink>;
using cOpenFiles = KeyedCollection<cOpenFile>;
using cLogicalFiles = KeyedCollection<cLogicalFile>;

// Runs one access to the share's file (or folder) `path`. The platform's failures become the
// engine's ShareError here, the one place they are translated, each naming the file: a refused
// open is error 70, any other input/output failure error 57. A lost connection to the server
// stays what it is. Both end the whole action, where a damaged record only ends one step of it.
template <class Access>
auto onShare(const std::string& source, const std::string& path, Access&& access)
    -> decltype(access()) {
    try {
        return access();
    } catch (const platform::ConnectionLost&) {
        throw;
    } catch (const platform::AccessDenied&) {
        throw ShareError(err::kPermissionDenied, source, "Permission denied: " + path);
    } catch (const platform::IoError& failure) {
        throw ShareError(err::kDeviceIo, source, std::string(failure.what()) + ": " + path);
    }
}

// True when `failure` is the share failing an access (see onShare) rather than damage in bytes
// it gave: the failure that code passing over damage must let through.
inline bool isShareFailure(const std::exception& failure) {
    return dynamic_cast<const ShareError*>(&failure) ||
           dynamic_cast<const platform::IoError*>(&failure);
}

// Byte offset of block `block` plus `extra` bytes, refused when it leaves 32 bits.
std::int64_t checkedOffset(std::int64_t offset, const std::string& source);
// `n` bytes of the file at `offset`; bytes past the end of the file read as blanks.
std::string readPadded(cOpenFile& file, std::int64_t offset, std::int32_t n,
                       const std::string& source);

}  // namespace fennick
