#pragma once
// The one place where the windows reach the dealer's files: opening the program's store at
// start-up, the store the core's reads go through, and closing it. The panes' background jobs
// take the store from here; they run only between opening and closing.

#include <functional>
#include <memory>

namespace fennick::store {
class Store;
struct StoreStart;
}  // namespace fennick::store

namespace fennick::viewer {

// Opens the store; false when start-up failed (its message has been shown).
bool openDataStore(const store::StoreStart& start);
store::Store& dataStore();
// What opens a store of its own beside the program's (store::openStoreBeside), for work that
// runs while the windows go on reading; taken on the window's thread, it may run on any. Null
// from the opener: the start failed and its messages were shown.
std::function<std::unique_ptr<store::Store>()> storeBesideOpener();
// Closes the store, releasing the engine and every file it opened.
void closeDataStore();

}  // namespace fennick::viewer
