#include "gui_share.h"

#include <fstream>
#include <thread>

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

namespace {

class SlowFile : public platform::File {
  public:
    SlowFile(const SlowShare& share, platform::IoCounters& counters,
             std::unique_ptr<platform::File> inner)
        : File(counters), share_(share), inner_(std::move(inner)) {}
    std::int64_t length() const override { return inner_->length(); }
    bool readOnly() const override { return inner_->readOnly(); }

  protected:
    std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
        share_.wait();
        return inner_->readAt(offset, buf, n);
    }
    void doWrite(std::int64_t offset, const char* buf, std::size_t n) override {
        inner_->writeAt(offset, buf, n);
    }

  private:
    const SlowShare& share_;
    std::unique_ptr<platform::File> inner_;
};

}  // namespace

void SlowShare::wait() const {
    std::this_thread::sleep_for(std::chrono::milliseconds(latencyMs_.load()));
}

std::unique_ptr<platform::File> SlowShare::doOpen(const std::string& path,
                                                  platform::Access access) {
    auto file = inner_->open(path, access);
    if (!file) return nullptr;
    return std::make_unique<SlowFile>(*this, counters(), std::move(file));
}

Date todayPlus(int days) {
    platform::LocalDateTime now = platform::localNow();
    return Date{std::chrono::year{now.year} / now.month / now.day} + std::chrono::days{days};
}

}  // namespace fennick::test_support
