#pragma once
// The dealer share read straight from the file server over SMB, the way the dealer's Windows
// workstations reach it: "\\SERVER\SHARE\rest" is smb://SERVER/SHARE/rest. Paths are refused
// exactly as the local back end refuses them ("..", "." and non-UNC paths are missing); letter
// case is the server's business (Windows and Samba servers ignore it).
//
// Files opened for reading, existence checks and the share check go to a pool of reader
// processes (smb_reader_pool.h), so that reads from several threads are really in flight at
// once; the pool replaces a reader whose connection broke and makes its request once more, and
// when that fails too, ConnectionLost ends the action. Writing (the export file) goes through
// the program's own client context, one call at a time under a lock, since the library's Debian
// build keeps shared state without thread support; a write whose connection broke fails.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "file_system.h"
#include "smb_credentials.h"
#include "smb_logon.h"

namespace fennick::platform {

struct SmbOptions {
    std::uint16_t port = 445;
    // None: the user's Kerberos ticket while it is valid, else guest.
    std::optional<SmbCredentials> credentials;
    // How long a connection attempt or an answer may take. A share check first tries the
    // server's port with this time-out, so that a server that drops connection attempts is
    // given up on in seconds.
    int timeoutMs = 5000;
    // Asked when the server refuses access to a share, on the thread that checks the share
    // (the window's, at start-up); the readers all log on with what it answers.
    AskCredentials askCredentials;
    // Reads in flight to the server at once: the reader processes of the pool; on a slow link
    // slowLinkConnections when that is more (see SmbReaderPool).
    int connections = 8;
    int slowLinkConnections = 0;
    std::filesystem::path readerProgram;  // empty: the installed one (smbReaderProgram())
};

class SmbReaderPool;

class SmbFileSystem : public FileSystem {
  public:
    explicit SmbFileSystem(SmbOptions options);
    ~SmbFileSystem() override;

    bool isDirectory(const std::string& path) override;
    std::string lastProblem() const override;
    bool fileExists(const std::string& path) override;
    std::unique_ptr<File> create(const std::string& path) override;
    void makeDirectory(const std::string& path) override;
    bool remove(const std::string& path) override;
    std::unique_ptr<File> createNew(const std::string& path) override;
    // The client library renames onto an existing name by removing it first, then renaming:
    // in between the name is missing for a moment, and when another program holds the old file
    // open the server refuses the removal and the rename fails.
    void rename(const std::string& from, const std::string& to) override;
    // Opened by readers as they log on at the next share check that warms the pool up.
    void willOpen(const std::vector<std::string>& paths) override;
    void withOpenedAhead(const std::vector<std::string>& paths,
                         const std::function<void()>& opens) override;
    ReadShape readShape() const override;

    SmbReaderPool& readers() { return *pool_; }

    // smb://SERVER/SHARE/rest with every byte that could be read as URL syntax escaped;
    // nothing when the path is not UNC-form or tries to leave its share.
    static std::optional<std::string> url(const std::string& uncPath);

    class Session;

  protected:
    std::unique_ptr<File> doOpen(const std::string& path, Access access) override;

  private:
    std::shared_ptr<Session> writer();
    void logOn(SmbCredentials credentials);

    SmbLogon logon_;
    std::shared_ptr<SmbReaderPool> pool_;
    std::shared_ptr<Session> writer_;  // made at the first write
    std::uint16_t port_;
    int timeoutMs_;
    AskCredentials askCredentials_;
    std::string lastProblem_;
    struct OpenedAhead {
        std::int64_t size;
        std::weak_ptr<const std::string> whole;  // a small file's bytes, while opening ahead
    };
    std::mutex aheadMutex_;
    std::map<std::string, OpenedAhead> openedAhead_;  // by url
    std::vector<std::string> willOpen_;               // urls
    std::vector<std::shared_ptr<const std::string>> readAhead_;
};

}  // namespace fennick::platform
