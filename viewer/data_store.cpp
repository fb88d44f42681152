#include "data_store.h"

#include <memory>

#include "store/open_store.h"

namespace fennick::viewer {

namespace {

std::unique_ptr<store::Store>& opened() {
    static std::unique_ptr<store::Store> store;
    return store;
}

}  // namespace

bool openDataStore(const store::StoreStart& start) {
    opened().reset();  // the program has one engine: the old store goes first
    opened() = store::openStore(start);
    return opened() != nullptr;
}

store::Store& dataStore() {
    return *opened();
}

void closeDataStore() {
    opened().reset();
}

}  // namespace fennick::viewer
