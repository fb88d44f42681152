#include "unit_index.h"

namespace fennick::core {

std::string unitSearchKey(cBusinessBasic& engine, std::int32_t line, const std::string& model,
                          std::size_t length) {
    std::string key(length, '\0');
    engine.Pack("C", key, line, 1);
    std::string source = model;
    std::string packed = engine.Crm(source);
    packed.resize(12, '\0');
    key.replace(2, 12, packed);
    return key;
}

bool keyInModel(cBusinessBasic& engine, const std::string& key, std::int32_t line,
                const std::string& trimmedModel) {
    if (key.size() < 2 || engine.Unpack("C", key, 1) != line) return false;
    std::string packed = key.size() > 2 ? key.substr(2, 12) : std::string();
    return engine.Trun(engine.Ucm(packed)) == trimmedModel;
}

}  // namespace fennick::core
