// Turning logical names and plain file names into open files.

#include <algorithm>
#include <set>

#include "business_basic.h"

namespace fennick {

namespace {

constexpr std::size_t kLinkEntry = 160;
constexpr std::size_t kDirectoryEntry = 32;

std::string field(const std::string& bytes, std::size_t from, std::size_t width) {
    if (from >= bytes.size()) return {};
    return codec::trun(bytes.substr(from, width), 1);
}

std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

}  // namespace

std::string directoryFilePath(const std::string& linkShareRoot, const std::string& resolution) {
    std::string path = linkShareRoot + resolution;
    for (std::size_t i = linkShareRoot.size(); i < path.size(); ++i)
        if (path[i] == ':') path[i] = '\\';
    return path;
}

std::string dataFilePath(const std::string& directoryPath) {
    return directoryPath.substr(
               0, directoryPath.size() - std::min<std::size_t>(directoryPath.size(), 2)) +
           "DB";
}

std::string cBusinessBasic::linksFilePath() const {
    return system_.linkShareRoot() + "LINKSFILE";
}

void cBusinessBasic::readLinks() {
    std::string path = linksFilePath();
    bool opened = false;
    std::string bytes = onShare("cLinks", path, [&] {
        return platform::readWholeFile(*env_.share, path, platform::kLinksFile, &opened);
    });
    // A share without a links file has no links; the viewer never creates files on the share.
    // Over a network each call is a round trip: the file is looked for only when it would not
    // open.
    if (!opened && !onShare("cLinks", path, [&] { return env_.share->fileExists(path); })) return;
    if (!opened) throw EngineError(err::kEngine, "cLinks", "Could not read links file: " + path);
    for (std::size_t at = 0; at < bytes.size(); at += kLinkEntry) {
        std::string name = field(bytes, at + 1, 79);
        if (name.empty() || links_->find(name)) continue;
        auto link = std::make_shared<cLink>();
        link->LinkFile = name;
        link->ResolutionFile = field(bytes, at + 81, 79);
        links_->Add(link, name);
    }
}

const std::string& cBusinessBasic::directoryBytes(const std::string& path) {
    auto it = directoryCache_.find(foldKey(path));
    if (it != directoryCache_.end()) return it->second;
    std::string bytes = onShare("LogicalOpen", path, [&] {
        return platform::readWholeFile(*env_.share, path, platform::kDirectoryFile);
    });
    return directoryCache_.emplace(foldKey(path), std::move(bytes)).first->second;
}

std::optional<cBusinessBasic::Resolution> cBusinessBasic::resolution(
    const std::string& FileName) const {
    std::string linkKey = !FileName.empty() && FileName[0] == ':'
                              ? FileName
                              : ":" + system_.mDirectory + ":" + FileName;
    auto link = links_->find(linkKey);
    if (!link) return std::nullopt;
    Resolution r;
    r.directoryPath = directoryFilePath(system_.linkShareRoot(), link->ResolutionFile);
    r.dataPath = dataFilePath(r.directoryPath);
    r.bareName =
        FileName.substr(FileName.rfind(':') == std::string::npos ? 0 : FileName.rfind(':') + 1);
    return r;
}

void cBusinessBasic::OpenAhead(const std::vector<std::string>& logicalFiles,
                               const std::vector<std::string>& plainFiles) {
    std::vector<std::string> paths;
    auto add = [&](std::string path, bool needed) {
        if (needed && std::find(paths.begin(), paths.end(), path) == paths.end())
            paths.push_back(std::move(path));
    };
    for (const auto& name : logicalFiles) {
        if (logicalFiles_->find(name)) continue;
        if (auto r = resolution(name)) {
            add(r->directoryPath, !directoryCache_.count(foldKey(r->directoryPath)));
            add(r->dataPath, !openFiles_->find(r->dataPath));
        }
    }
    std::vector<std::string> plain = plainFiles;
    for (auto& name : plain) {
        if (name.find('\\') == std::string::npos) name = system_.TARNLNK() + "\\" + name;
        add(name, !openFiles_->find(name));
    }
    if (paths.empty()) return;
    // A file that is damaged is met where it is used, as it would be without opening ahead.
    auto open = [](const std::function<void()>& one) {
        try {
            one();
        } catch (const std::exception& failure) {
            if (isShareFailure(failure)) throw;
        }
    };
    env_.share->withOpenedAhead(paths, [&] {
        for (const auto& name : logicalFiles)
            open([&] { LogicalOpen(name); });
        for (auto& name : plain)
            open([&] { OpenFile(name); });
    });
}

std::shared_ptr<cLogicalFile> cBusinessBasic::LogicalOpen(const std::string& FileName) {
    if (auto cached = logicalFiles_->find(FileName)) return cached;
    auto found = resolution(FileName);
    if (!found) return nullptr;
    auto& [directoryPath, dataPath, bareName] = *found;

    const std::string& entries = directoryBytes(directoryPath);
    for (std::size_t at = 0; at + kDirectoryEntry <= entries.size(); at += kDirectoryEntry) {
        std::string_view entry(entries.data() + at, kDirectoryEntry);
        if (codec::trun(entry.substr(0, 10), 1) != bareName) continue;
        auto logical = std::make_shared<cLogicalFile>();
        logical->FileName = FileName;
        logical->FileType = std::string(1, entry[15]);
        logical->Flags = codec::unpack("C", entry, 7);
        logical->LastRecord = codec::unpack("L", entry, 17);
        logical->Position = codec::unpack("D", entry, 11);
        logical->RecordLength = codec::unpack("C", entry, 14);
        // A data file that cannot be opened is not remembered, so callers see a missing file.
        logical->OpenFile = OpenFile(dataPath);
        if (!logical->OpenFile) return nullptr;
        return logicalFiles_->Add(logical, FileName);
    }
    return nullptr;
}

std::shared_ptr<cLogicalFile> cBusinessBasic::PhysLogicalOpen(const std::string& FileName,
                                                              const std::string& FileType,
                                                              std::int32_t RecordLength,
                                                              std::int32_t& LastRecord) {
    std::string path = FileName;
    auto open = OpenFile(path);
    if (!open) return nullptr;
    if (LastRecord == 0) {
        if (RecordLength == 0) throw EngineError(11, "PhysLogicalOpen", "Division by zero");
        auto bytes = onShare("PhysLogicalOpen", path, [&] { return open->handle->length(); });
        LastRecord = static_cast<std::int32_t>(bytes / RecordLength) - 1;
    }
    auto logical = std::make_shared<cLogicalFile>();
    logical->FileName = FileName;
    logical->FileType = FileType;
    logical->OpenFile = open;
    logical->RecordLength = RecordLength;
    logical->LastRecord = LastRecord;
    return logicalFiles_->Add(logical);
}

std::int32_t cBusinessBasic::nextFileNumber() const {
    std::set<std::int32_t> used;
    for (const auto& open : openFiles_->NewEnum())
        used.insert(open->vbFileNumber);
    std::int32_t number = 1;
    while (used.count(number))
        ++number;
    return number;
}

std::shared_ptr<cOpenFile> cBusinessBasic::OpenFile(std::string& FileName) {
    if (FileName.find('\\') == std::string::npos) FileName = system_.TARNLNK() + "\\" + FileName;
    if (auto cached = openFiles_->find(FileName)) return cached;
    auto handle =
        onShare("iOpenFile", FileName, [&] { return env_.share->open(FileName, env_.access); });
    // A file that is not there is simply not found; one that is there but would not open is a
    // failure to report. Looked for only after the open failed: over a network each call is a
    // round trip.
    if (!handle &&
        !onShare("iOpenFile", FileName, [&] { return env_.share->fileExists(FileName); }))
        return nullptr;
    if (!handle) {
        lastOpenFailure_ =
            EngineError(err::kEngine, "iOpenFile", "Could not open file: " + FileName);
        return nullptr;
    }
    auto open = std::make_shared<cOpenFile>();
    open->vbFileNumber = nextFileNumber();
    open->Path = FileName;
    open->handle = std::move(handle);
    return openFiles_->Add(open, FileName);
}

void cBusinessBasic::CloseFile(const OpenFileRef& FileName) {
    std::string path;
    if (FileName.byObject()) {
        if (!FileName.file())
            throw EngineError(err::kShare, "CloseFile", "OpenFile parameter is undefined");
        path = FileName.file()->Path;
    } else {
        std::string name = FileName.name();
        auto open = OpenFile(name);
        if (!open)
            throw EngineError(err::kShare, "CloseFile",
                              "File not Found: " + quoted(FileName.name()));
        path = open->Path;
    }
    auto entry = openFiles_->find(path);
    if (!entry) return;
    entry->handle.reset();
    openFiles_->Remove(path);
}

std::shared_ptr<cLogicalFile> cBusinessBasic::resolve(const LogicalRef& ref) {
    if (ref.byObject()) return ref.file();
    auto logical = LogicalOpen(ref.name());
    if (!logical)
        throw EngineError(err::kEngine, "LogicalOpen", "File not Found: " + quoted(ref.name()));
    return logical;
}

std::shared_ptr<cOpenFile> cBusinessBasic::resolve(const OpenFileRef& ref) {
    if (ref.byObject()) return ref.file();
    std::string name = ref.name();
    return OpenFile(name);
}

}  // namespace fennick
