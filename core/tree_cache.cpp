#include "tree_cache.h"

#include <cstdio>

#include "formats.h"

namespace fennick::core {

namespace {

constexpr std::string_view kMagic = "FNCKTREE";
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kCheckLength = 8;
// The fewest bytes a line, a model and a directory entry take, which bounds the counts a file
// of its size can hold.
constexpr std::size_t kSmallestLine = 3 * 2 + 4, kSmallestModel = 2 * 2;
constexpr std::size_t kSmallestEntry = 4 + 4 * 2;

std::uint64_t fnv1a64(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

class Writer {
  public:
    void number(std::uint64_t value, std::size_t bytes) {
        for (std::size_t i = 0; i < bytes; ++i)
            out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    void text(std::string_view value) {
        value = value.substr(0, kLongestText);
        number(value.size(), 2);
        out.append(value);
    }
    std::string out;
};

// Reads fields off the bytes; once a field runs past the end (or a value is out of range) the
// reader is spent and every later field reads as nothing.
class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    std::uint64_t number(std::size_t bytes) {
        if (!has(bytes)) return 0;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < bytes; ++i)
            value |= std::uint64_t{static_cast<unsigned char>(bytes_[at_ + i])} << (8 * i);
        at_ += bytes;
        return value;
    }
    std::string text() {
        const std::size_t length = number(2);
        if (length > kLongestText || !has(length)) return spent();
        std::string value(bytes_.substr(at_, length));
        at_ += length;
        return value;
    }
    // A count of items of at least `smallest` bytes each, refused when the bytes left cannot
    // hold that many.
    std::size_t count(std::size_t smallest) {
        const std::size_t value = number(4);
        if (value <= (bytes_.size() - at_) / smallest) return value;
        spent();
        return 0;
    }
    int within(int lowest, int highest, std::size_t bytes) {
        const auto value = static_cast<std::int64_t>(number(bytes));
        if (value < lowest || value > highest) spent();
        return static_cast<int>(value);
    }
    bool good() const { return good_; }
    bool atEnd() const { return good_ && at_ == bytes_.size(); }

  private:
    bool has(std::size_t bytes) {
        if (good_ && bytes <= bytes_.size() - at_) return true;
        spent();
        return false;
    }
    std::string spent() {
        good_ = false;
        at_ = bytes_.size();
        return {};
    }

    std::string_view bytes_;
    std::size_t at_ = 0;
    bool good_ = true;
};

void writeReadAt(Writer& w, const platform::LocalDateTime& at) {
    w.number(static_cast<std::uint64_t>(at.year), 2);
    for (int part : {at.month, at.day, at.hour, at.minute})
        w.number(static_cast<std::uint64_t>(part), 1);
}

platform::LocalDateTime readReadAt(Reader& r) {
    platform::LocalDateTime at;
    at.year = r.within(1, 9999, 2);
    at.month = r.within(1, 12, 1);
    at.day = r.within(1, 31, 1);
    at.hour = r.within(0, 23, 1);
    at.minute = r.within(0, 59, 1);
    return at;
}

void readLines(Reader& r, ModelTreeData& tree) {
    const std::size_t lines = r.count(kSmallestLine);
    for (std::size_t l = 0; l < lines && r.good(); ++l) {
        LineNode line;
        line.key = r.text();
        line.text = r.text();
        line.tag = r.text();
        const std::size_t models = r.count(kSmallestModel);
        for (std::size_t m = 0; m < models && r.good(); ++m) {
            ModelNode model;
            model.text = r.text();
            model.tag = r.text();
            line.models.push_back(std::move(model));
        }
        tree.lines.push_back(std::move(line));
    }
}

void readDirectory(Reader& r, ModelTreeData& tree) {
    const std::size_t entries = r.count(kSmallestEntry);
    tree.directory.reserve(entries);
    for (std::size_t e = 0; e < entries && r.good(); ++e) {
        DirectoryEntry entry;
        entry.record = static_cast<std::int32_t>(static_cast<std::uint32_t>(r.number(4)));
        entry.unit = r.text();
        entry.serial = r.text();
        entry.lineCode = r.text();
        entry.model = r.text();
        tree.directory.push_back(std::move(entry));
    }
}

}  // namespace

std::string TreeCacheKey::text() const {
    return share + '\n' + company + '\n' + localRoot + '\n' + (inStockOnly ? "in stock" : "all");
}

TreeCacheKey treeCacheKey(const cSystem& system,
                          const std::optional<std::filesystem::path>& localRoot, bool inStockOnly) {
    std::error_code failed;
    const std::filesystem::path root =
        localRoot ? std::filesystem::weakly_canonical(*localRoot, failed) : std::filesystem::path();
    return {system.linkShareRoot(), system.mDirectory, root.string(), inStockOnly};
}

std::string TreeCacheKey::fileName() const {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(fnv1a64(text())));
    return "tree-" + std::string(hex) + ".bin";
}

std::string encodeKeptTree(const std::string& key, const ModelTreeData& tree,
                           const platform::LocalDateTime& readAt) {
    Writer w;
    w.out.append(kMagic);
    w.number(kVersion, 4);
    w.text(key);
    writeReadAt(w, readAt);
    w.number(tree.lines.size(), 4);
    for (const LineNode& line : tree.lines) {
        for (const std::string* text : {&line.key, &line.text, &line.tag})
            w.text(*text);
        w.number(line.models.size(), 4);
        for (const ModelNode& model : line.models) {
            w.text(model.text);
            w.text(model.tag);
        }
    }
    w.number(tree.directory.size(), 4);
    for (const DirectoryEntry& entry : tree.directory) {
        w.number(static_cast<std::uint32_t>(entry.record), 4);
        for (const std::string* text : {&entry.unit, &entry.serial, &entry.lineCode, &entry.model})
            w.text(*text);
    }
    w.number(fnv1a64(w.out), kCheckLength);
    return std::move(w.out);
}

std::optional<KeptTree> decodeKeptTree(std::string_view bytes, const std::string& key) {
    if (bytes.size() < kMagic.size() + 4 + kCheckLength || !bytes.starts_with(kMagic))
        return std::nullopt;
    const std::string_view checked = bytes.substr(0, bytes.size() - kCheckLength);
    Reader check(bytes.substr(checked.size()));
    if (check.number(kCheckLength) != fnv1a64(checked)) return std::nullopt;
    Reader r(checked.substr(kMagic.size()));
    if (r.number(4) != kVersion || r.text() != key) return std::nullopt;
    KeptTree kept;
    kept.readAt = readReadAt(r);
    readLines(r, kept.tree);
    readDirectory(r, kept.tree);
    if (!r.atEnd()) return std::nullopt;
    return kept;
}

std::string keptTreeAge(const platform::LocalDateTime& readAt, const platform::LocalDateTime& now) {
    auto two = [](int value) { return std::string(value < 10 ? "0" : "") + std::to_string(value); };
    std::string text = "Tree as of ";
    if (readAt.year != now.year || readAt.month != now.month || readAt.day != now.day) {
        text +=
            shortDateText(Date{std::chrono::year{readAt.year} / readAt.month / readAt.day}) + " ";
    }
    return text + two(readAt.hour) + ":" + two(readAt.minute);
}

}  // namespace fennick::core
