#include "viewer_share.h"

#include "engine/engine_writer.h"

namespace fennick::test_support {

namespace {

class LoggedFile : public platform::File {
  public:
    LoggedFile(LoggingFileSystem& fs, std::unique_ptr<platform::File> inner, std::string path)
        : File(fs.counters()), fs_(fs), inner_(std::move(inner)), path_(std::move(path)) {}
    std::int64_t length() const override { return inner_->length(); }
    bool readOnly() const override { return false; }

  protected:
    std::size_t doRead(std::int64_t offset, char* buf, std::size_t n) override {
        fs_.log(path_, offset, n);
        return inner_->readAt(offset, buf, n);
    }
    void doWrite(std::int64_t offset, const char* buf, std::size_t n) override {
        inner_->writeAt(offset, buf, n);
    }

  private:
    LoggingFileSystem& fs_;
    std::unique_ptr<platform::File> inner_;
    std::string path_;
};

std::string upper(std::string text) {
    return foldKey(text);
}

}  // namespace

void LoggingFileSystem::log(const std::string& path, std::int64_t offset, std::size_t length) {
    const LoggedRead read{path, offset, static_cast<std::int64_t>(length)};
    {
        std::lock_guard lock(mutex_);
        ++reads[{path, offset}];
        sequence.push_back(read);
    }
    if (onRead) onRead(read);
}

std::unique_ptr<platform::File> LoggingFileSystem::doOpen(const std::string& path,
                                                          platform::Access access) {
    auto file = memory.open(path, access);
    if (!file) return nullptr;
    return std::make_unique<LoggedFile>(*this, std::move(file), upper(path));
}

ViewerShare::ViewerShare(const demo::DealerData& data, bool cachedReads, store::ReadPolicy policy)
    : cached(cachedReads) {
    auto logging = std::make_unique<LoggingFileSystem>();
    log = logging.get();
    written = demo::writeDealerShare(log->memory, data, identity);
    if (cached)
        share = std::make_unique<store::ReadCache>(std::move(logging), policy);
    else
        share = std::move(logging);
    reopen();
}

void ViewerShare::reopen() {
    system = cSystem{};
    system.mUNCDrive = identity.server;
    system.mDirectory = identity.directory;
    system.xTermid = identity.terminalId;
    EngineEnvironment env;
    env.share = share.get();
    env.computerName = [name = identity.computerName] { return name; };
    env.ipv4Of = [](const std::string&) { return std::string("10.0.0.9"); };
    env.clock = [] { return platform::LocalDateTime{2025, 7, 1, 10, 0, 0}; };
    store.reset();
    engine.reset();
    engine = std::make_unique<cBusinessBasic>(system, env);
    auto* cache = cached ? static_cast<fennick::store::ReadCache*>(share.get()) : nullptr;
    store = std::make_unique<fennick::store::Store>(*engine, cache);
    env.access = platform::Access::ReadWrite;
    damager.reset();
    damager = std::make_unique<cBusinessBasic>(system, env);
}

void ViewerShare::patchRecord(const std::string& logical, std::int32_t record,
                              std::int32_t position, const std::string& bytes) {
    std::string rec = damager->LreadFile(logical, record);
    rec.replace(static_cast<std::size_t>(position - 1), bytes.size(), bytes);
    EngineWriter(*damager).LwriteFile(logical, record, rec);
}

void ViewerShare::dropLink(const std::string& logical) {
    std::string path = "\\\\" + identity.server + "\\TARNLNK\\LINKSFILE";
    std::string links = *log->memory.contents(path);
    std::string name = ":" + identity.directory + ":" + logical;
    auto at = links.find(name + " ");
    if (at != std::string::npos) links.replace(at, name.size(), std::string(name.size(), 'X'));
    log->memory.setFile(path, links);
    reopen();
}

std::string ViewerShare::loggedPath(const std::string& dataFile) const {
    return upper("\\\\" + identity.server + "\\TARNLNK\\" + identity.directory + "\\" + dataFile);
}

int ViewerShare::readsOf(const std::string& dataFile, std::int64_t offset) const {
    auto it = log->reads.find({loggedPath(dataFile), offset});
    return it == log->reads.end() ? 0 : it->second;
}

demo::LineSpec unitLine(std::int32_t number, const std::string& code, const std::string& name) {
    return {number, code, name, 'U', "T"};
}

demo::UnitSpec unitOf(const std::string& model, const std::string& number, std::int32_t line) {
    demo::UnitSpec u;
    u.line = line;
    u.model = model;
    u.unitNumber = number;
    u.received = Date{std::chrono::year{2025} / 6 / 1};
    return u;
}

demo::InvoiceSpec invoiceNaming(const std::vector<std::vector<std::string>>& partsPerPage) {
    demo::InvoiceSpec invoice;
    invoice.number = 500001;
    for (const auto& parts : partsPerPage) {
        std::vector<demo::LineEntrySpec> page;
        for (const auto& part : parts) {
            demo::LineEntrySpec e;
            e.lineCode = "PRT";
            e.part = part;
            e.text = "PART";
            e.quantityTenths = 10;
            page.push_back(e);
        }
        invoice.pages.push_back(page);
    }
    return invoice;
}

}  // namespace fennick::test_support
