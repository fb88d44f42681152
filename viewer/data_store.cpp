#include "data_store.h"

#include <memory>

#include "engine/settings.h"
#include "store/open_store.h"

namespace fennick::viewer {

namespace {

std::unique_ptr<store::Store>& opened() {
    static std::unique_ptr<store::Store> store;
    return store;
}

store::StoreStart& startUsed() {
    static store::StoreStart start;
    return start;
}

}  // namespace

bool openDataStore(const store::StoreStart& start) {
    opened().reset();  // the program has one engine: the old store goes first
    startUsed() = start;
    opened() = store::openStore(start);
    return opened() != nullptr;
}

store::Store& dataStore() {
    return *opened();
}

std::function<std::unique_ptr<store::Store>()> storeBesideOpener() {
    store::StoreStart start = startUsed();
    start.decorate = {};  // wraps the program's share alone (a recorder, a latency in tests)
    return [start, system = dataStore().system()] { return store::openStoreBeside(system, start); };
}

void closeDataStore() {
    opened().reset();
}

}  // namespace fennick::viewer
