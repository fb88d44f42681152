// The shop detail page walker over an arbitrary INVOL file: the fuzz input gives the page
// records and the record to start from; the walk must end, whatever the links and counts say.

#include "fuzz_share.h"
#include "records/shop_detail.h"

using namespace fennick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::DemoShare& demo = fuzz::DemoShare::instance();
    fuzz::QuietServices quiet;
    fuzz::Input in(data, size);
    auto start = static_cast<std::int32_t>(in.number(2));
    std::string pages = in.rest();

    auto share = demo.copy();
    std::string path;
    for (const auto& p : demo.paths)
        if (p.size() > 8 && p.compare(p.size() - 8, 8, "\\INVO.DB") == 0) path = p;
    cSystem system;
    auto engine = demo.engine(*share, system);
    auto invol = engine->LogicalOpen("INVOL");
    if (!invol) return 0;
    // The fuzz bytes replace INVOL's records from record 1 on; the file keeps its length.
    std::int64_t at = std::int64_t(invol->Position) * 512 + invol->RecordLength;
    const std::string* bytes = share->contents(invol->OpenFile->Path);
    if (!bytes || at >= std::int64_t(bytes->size())) return 0;
    std::string image = *bytes;
    image.replace(static_cast<std::size_t>(at),
                  std::min(pages.size(), image.size() - static_cast<std::size_t>(at)), pages);
    share->setFile(invol->OpenFile->Path, image);
    engine = demo.engine(*share, system);
    clsInvDetail detail(*engine);
    detail.InvoiceRec(start);
    detail.GetDetail();
    detail.DetailReturn();
    return 0;
}
