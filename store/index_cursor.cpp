#include "store/index_cursor.h"

#include <cstdlib>

#include "engine/business_basic.h"

namespace fennick::store {

IndexCursor::IndexCursor(cBusinessBasic& engine, std::shared_ptr<cLogicalFile> index,
                         std::string key)
    : engine_(engine), index_(std::move(index)), key_(std::move(key)) {
    std::int32_t rec = 0;
    engine_.KFind(index_, buffer_, key_, rec);
    exact_ = rec > 0;
    record_ = std::abs(rec);
}

void IndexCursor::next() {
    if (end()) return;
    exact_ = false;
    engine_.KNext(index_, buffer_, key_, record_);
}

}  // namespace fennick::store
