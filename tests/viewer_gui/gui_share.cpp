#include "gui_share.h"

#include <fstream>

#include "platform/local_file_system.h"
#include "platform/workstation.h"
#include "tools/mkdemo/share_builder.h"
#include "tools/mkdemo/staged_file_system.h"
#include "tools/share_writer.h"

namespace fennick::test_support {

namespace {

demo::ShareIdentity identity() {
    demo::ShareIdentity id;
    id.computerName = platform::hostName();
    return id;
}

}  // namespace

GuiShare::GuiShare(const demo::DealerData& data) {
    demo::StagedFileSystem staged;
    demo::writeDealerShare(staged, data, identity());
    platform::LocalFileSystem share(root());
    staged.commit(share);
    demo::ShareIdentity id = identity();
    std::ofstream(ini(), std::ios::binary)
        << tools::settingsText(id.server, id.directory, id.terminalId);
}

std::string GuiShare::ini() const {
    return (std::filesystem::path(root()) / "vRMCatalog.ini").string();
}

std::filesystem::path GuiShare::companyFolder() const {
    demo::ShareIdentity id = identity();
    return std::filesystem::path(root()) / id.server / "TARNLNK" / id.directory;
}

core::TreeCacheKey GuiShare::treeKey(bool inStockOnly) const {
    demo::ShareIdentity id = identity();
    cSystem system;
    system.mUNCDrive = id.server;
    system.mDirectory = id.directory;
    return core::treeCacheKey(system, std::filesystem::path(root()), inStockOnly);
}

bool GuiShare::overwriteAfter(const std::string& file, const std::string& after,
                              const std::string& bytes) const {
    std::fstream data(companyFolder() / file, std::ios::in | std::ios::out | std::ios::binary);
    std::string contents((std::istreambuf_iterator<char>(data)), std::istreambuf_iterator<char>());
    std::size_t at = contents.find(after);
    if (at == std::string::npos) return false;
    data.clear();
    data.seekp(static_cast<std::streamoff>(at + after.size()));
    data.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return data.good();
}

Date todayPlus(int days) {
    platform::LocalDateTime now = platform::localNow();
    return Date{std::chrono::year{now.year} / now.month / now.day} + std::chrono::days{days};
}

}  // namespace fennick::test_support
