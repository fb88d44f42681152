#include "records/line_collection.h"

#include <string>

namespace fennick {

clnLines::clnLines(cBusinessBasic& engine) {
    auto linel = engine.LogicalOpen("LINEL");
    if (!linel) throw EngineError(err::kEngine, "LogicalOpen", "File not Found: \"LINEL\"");
    for (std::int32_t number = 1; number <= linel->LastRecord; ++number) {
        std::string rec = engine.LreadFile(linel, number);
        if (engine.Unpack("J", rec, 1) < 1 || engine.Unpack("C", rec, 3) >= 1000) continue;
        auto line = std::make_shared<clsLines>(engine);
        line->Read(number);
        Add(line, std::to_string(line->Line));
    }
}

}  // namespace fennick
