#pragma once
// The dealer share on this machine: "\\SERVER\SHARE\rest" lives at ROOT/SERVER/SHARE/rest, with
// "\" read as "/". A component whose exact name is missing is matched without regard to letter
// case, because shares copied from Windows keep whatever case they had. Paths that would leave
// the root ("..", ".", a path that is not UNC-form) are treated as missing.

#include <filesystem>
#include <optional>

#include "file_system.h"

namespace fennick::platform {

class LocalFileSystem : public FileSystem {
  public:
    explicit LocalFileSystem(std::filesystem::path root);
    // Root from $FENNICK_UNC_ROOT, else /mnt.
    static std::filesystem::path defaultRoot();

    bool isDirectory(const std::string& path) override;
    bool fileExists(const std::string& path) override;
    std::unique_ptr<File> create(const std::string& path) override;
    void makeDirectory(const std::string& path) override;
    bool remove(const std::string& path) override;
    std::unique_ptr<File> createNew(const std::string& path) override;
    void rename(const std::string& from, const std::string& to) override;

    // The local path a UNC path maps to (existing components matched in any case);
    // nothing when the path is not UNC-form or tries to leave the root.
    std::optional<std::filesystem::path> localPath(const std::string& uncPath) const;

  protected:
    std::unique_ptr<File> doOpen(const std::string& path, Access access) override;

  private:
    std::filesystem::path root_;
};

}  // namespace fennick::platform
