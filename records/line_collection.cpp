#include "records/line_collection.h"

#include <string>

namespace fennick {

clnLines::clnLines(cBusinessBasic& engine) {
    auto linel = engine.LogicalOpen("LINEL");
    if (!linel) throw EngineError(err::kEngine, "LogicalOpen", "File not Found: \"LINEL\"");
    for (std::int32_t number = 1; number <= linel->LastRecord; ++number) {
        std::string rec = engine.LreadFile(linel, number);
        if (codec::unpack(coding::Int::S16, rec, 1) < 1 ||
            codec::unpack(coding::Int::U16, rec, 3) >= 1000)
            continue;
        auto line = std::make_shared<clsLines>(engine);
        line->Read(number);
        Add(line, std::to_string(line->Line));
    }
}

}  // namespace fennick
