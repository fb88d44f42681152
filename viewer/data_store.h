#pragma once
// The one place where the windows reach the dealer's files: opening the program's store at
// start-up, the store the core's reads go through, and closing it. The panes' background jobs
// take the store from here; they run only between opening and closing.

namespace fennick::store {
class Store;
struct StoreStart;
}  // namespace fennick::store

namespace fennick::viewer {

// Opens the store; false when start-up failed (its message has been shown).
bool openDataStore(const store::StoreStart& start);
store::Store& dataStore();
// Closes the store, releasing the engine and every file it opened.
void closeDataStore();

}  // namespace fennick::viewer
