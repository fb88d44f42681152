#include <exception>

#include "records/lines.h"

namespace fennick {

clsLines::clsLines(cBusinessBasic& engine)
    : engine_(&engine),
      linel_(engine.LogicalOpen("LINEL")),
      elinel_(engine.LogicalOpen("ELINEL")) {}

void clsLines::Read(std::int32_t RecordNumber, bool Orb) {
    if (!linel_) throw EngineError(err::kEngine, "LogicalOpen", "File not Found: \"LINEL\"");
    if (RecordNumber < 1 || RecordNumber > linel_->LastRecord)
        throw EngineError(err::kIllegalRecord, "Read", "Illegal Record Number");
    std::string rec = engine_->LreadFile(linel_, RecordNumber, Orb);
    rec +=
        engine_->LreadFile(elinel_ ? LogicalRef(elinel_) : LogicalRef("ELINEL"), RecordNumber, Orb);
    Unpack(rec);
    RecNo = RecordNumber;
}

// COMODI keys are the line number (C), a commodity code and one more byte. The line's own
// code comes first; the walk then takes every further key of the same line in key order.
void clsLines::readComodities() {
    std::vector<std::string> codes{Comodity};
    try {
        std::string key(4, '\0');
        codec::pack(coding::Int::U16, key, Line, 1);
        if (!Comodity.empty()) key[2] = Comodity[0];
        std::string buff;
        std::int32_t rec = 0;
        engine_->KFind("COMODI", buff, key, rec);
        // An exact hit is the line's own code, already listed. Otherwise the key found is
        // the first further code of the line (or of a later line), and is kept.
        if (rec > 0) engine_->KNext("COMODI", buff, key, rec);
        while (rec != 0 && key.size() >= 3 && codec::unpack(coding::Int::U16, key, 1) == Line) {
            codes.emplace_back(1, key[2]);
            engine_->KNext("COMODI", buff, key, rec);
        }
    } catch (const std::exception& failure) {
        // A read the share failed ends the action; nothing half-read counts as read. A missing
        // or damaged COMODI leaves the codes found so far.
        if (isShareFailure(failure)) throw;
    }
    Comodities = std::move(codes);
}

}  // namespace fennick
