#pragma once
// cBusinessBasic: the data engine. Every read of the dealer's files goes through it: file
// resolution, record I/O on direct files, keyed index walks, the field codec and the small
// system services. Operations are declared in the order of the engine's interface slots; the
// slots that change a file are EngineWriter's (engine_writer.h), which only the writers include.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "codec.h"
#include "error.h"
#include "platform/file_system.h"
#include "platform/workstation.h"
#include "settings.h"
#include "tables.h"

namespace fennick {

// A file given either as the object or by its name: a logical name for cLogicalFile, a file
// name or path for cOpenFile.
template <class T>
class ObjectOrName {
  public:
    ObjectOrName(std::shared_ptr<T> file) : file_(std::move(file)), byObject_(true) {}
    ObjectOrName(std::nullptr_t) : byObject_(true) {}
    ObjectOrName(std::string name) : name_(std::move(name)) {}
    ObjectOrName(const char* name) : name_(name) {}
    bool byObject() const { return byObject_; }
    const std::shared_ptr<T>& file() const { return file_; }
    const std::string& name() const { return name_; }

  private:
    std::shared_ptr<T> file_;
    std::string name_;
    bool byObject_ = false;
};

using LogicalRef = ObjectOrName<cLogicalFile>;
using OpenFileRef = ObjectOrName<cOpenFile>;

// The byte-range locks the writes take (engine_writer.h); reading takes none.
class LockLayer;

// The workstation services the engine needs; tests and tools replace any of them.
struct EngineEnvironment {
    platform::FileSystem* share = nullptr;  // required
    std::function<std::string()> computerName = platform::hostName;
    std::function<std::string(const std::string&)> ipv4Of = platform::ipv4Of;
    std::function<platform::LocalDateTime()> clock = platform::localNow;
    LockLayer* locks = nullptr;  // nullptr: a layer that grants no lock
    // How data files are opened: the viewer and the CLI only ever read the dealer's files.
    platform::Access access = platform::Access::Read;
};

// The directory file a link's resolution names (":" stands for "\\" below the link share
// root), and the data file beside it: the directory path with its last two characters "DB".
std::string directoryFilePath(const std::string& linkShareRoot, const std::string& resolution);
std::string dataFilePath(const std::string& directoryPath);

// Arguments of Stma, which takes values of several kinds in and out.
using Variant = std::variant<std::monostate, std::int32_t, std::string, Date>;

class cBusinessBasic {
  public:
    // Checks the link share, finds this workstation in the terminal map and reads the links
    // file; fails with an EngineError when any of that cannot be done.
    cBusinessBasic(cSystem& system, EngineEnvironment environment);
    ~cBusinessBasic();
    cBusinessBasic(const cBusinessBasic&) = delete;
    cBusinessBasic& operator=(const cBusinessBasic&) = delete;

    std::int32_t Unpack(std::string_view OpCode, std::string_view Data,
                        std::int32_t Position) const;
    void Pack(std::string_view OpCode, std::string& Data, std::int32_t value,
              std::int32_t Position) const;
    void PackDate(std::string_view OpCode, std::string& Data, std::int32_t Position,
                  Date value) const;
    Date UnPackDate(std::string_view OpCode, std::string_view Data, std::int32_t Position) const;
    std::string Crm(std::string& Source) const;
    std::int32_t Max(std::int32_t Var1, std::int32_t Var2) const {
        return Var1 > Var2 ? Var1 : Var2;
    }
    std::int32_t Min(std::int32_t Var1, std::int32_t Var2) const {
        return Var1 < Var2 ? Var1 : Var2;
    }
    std::string Ucm(std::string& Source) const;
    void StrPos(std::int32_t& Location, std::string_view Source, std::string_view target) const;
    std::string Trun(std::string_view Source, std::int32_t flgRemoveControlCharacters = 0) const;
    std::string ReadFile(const OpenFileRef& OpenFile, std::int32_t BytesToRead,
                         std::int32_t Position, bool Orb = false);
    std::string BlockReadFile(const OpenFileRef& OpenFile, std::int32_t BlockNumber,
                              bool Orb = false);
    std::shared_ptr<cOpenFile> OpenFile(std::string& FileName);
    std::int32_t KLength(const LogicalRef& LogicalFile, bool Orb = false);
    void CloseFile(const OpenFileRef& FileName);
    void F() const {}
    std::shared_ptr<cLogicalFile> LogicalOpen(const std::string& FileName);
    // Opens the logical files and the plain files of the dealer's directory (such as FILE0)
    // that are not open yet, the share's part of every open sent at once (each open waits a
    // round trip or two on a network share). What does not open or is damaged stays closed
    // for its own open to meet; share failures reach the caller.
    void OpenAhead(const std::vector<std::string>& logicalFiles,
                   const std::vector<std::string>& plainFiles);
    std::shared_ptr<cLogicalFile> PhysLogicalOpen(const std::string& FileName,
                                                  const std::string& FileType,
                                                  std::int32_t RecordLength,
                                                  std::int32_t& LastRecord);
    std::string LreadFile(const LogicalRef& LogicalFile, std::int32_t RecordNumber,
                          bool Orb = false);
    std::int32_t KCount(const LogicalRef& LogicalFile, bool Orb = false);
    cSystem& CastellSys() const { return system_; }
    platform::LocalDateTime Now() const { return env_.clock(); }
    void KFind(const LogicalRef& LogicalFile, std::string& Buff, std::string& Key,
               std::int32_t& Rec, bool Orb = false);
    void KLast(const LogicalRef& LogicalFile, std::string& Buff, std::string& Key,
               std::int32_t& Rec, bool Orb = false);
    void KNext(const LogicalRef& LogicalFile, std::string& Buff, std::string& Key,
               std::int32_t& Rec, bool Orb = false);
    void KPrev(const LogicalRef& LogicalFile, std::string& Buff, std::string& Key,
               std::int32_t& Rec, bool Orb = false);
    std::vector<std::string> Split(std::string_view Expression, std::string_view Delimiter = " ",
                                   std::int32_t Limit = -1, std::int32_t Compare = 0) const;
    std::int32_t Sys(std::int32_t code) const;
    void Stma(Variant& Var1, Variant& Var2, Variant& Var3, Variant& Var4, Variant& Var5,
              Variant& Var6);

    // The packing alphabet Crm and Ucm use.
    const std::string& PackingAlphabet() const { return alphabet_; }
    // The failure of the latest OpenFile that found the file but could not open it.
    const std::optional<EngineError>& LastOpenFailure() const { return lastOpenFailure_; }
    cLinks& Links() { return *links_; }
    cOpenFiles& OpenFiles() { return *openFiles_; }
    cLogicalFiles& LogicalFiles() { return *logicalFiles_; }
    platform::FileSystem& Share() { return *env_.share; }

  private:
    friend class EngineWriter;
    struct Resolution {
        std::string directoryPath, dataPath, bareName;
    };
    std::optional<Resolution> resolution(const std::string& FileName) const;
    std::string terminalMapPath() const;
    std::string linksFilePath() const;

    void checkShare();
    void identifyWorkstation();
    void readTerminalMap();
    void readLinks();
    std::shared_ptr<cLogicalFile> resolve(const LogicalRef& ref);
    std::shared_ptr<cOpenFile> resolve(const OpenFileRef& ref);
    const std::string& directoryBytes(const std::string& path);
    std::int32_t nextFileNumber() const;

    cSystem& system_;
    EngineEnvironment env_;
    std::string alphabet_;
    std::unique_ptr<cLinks> links_;
    std::unique_ptr<cOpenFiles> openFiles_;
    std::unique_ptr<cLogicalFiles> logicalFiles_;
    std::map<std::string, std::string> directoryCache_;
    std::optional<EngineError> lastOpenFailure_;
};

}  // namespace fennick
