#pragma once
// How the windows answer a failure: the work of one event runs guarded; a failure shows its
// text with the procedure's name (" in larkmoor.LoadUnits") and the window goes on.

#include <exception>
#include <string>
#include <vector>

namespace fennick::viewer {

void showFailure(const std::exception& failure, const char* procedure);

// Runs `work`; false when it failed (the failure has been shown).
template <class Work>
bool guarded(const char* procedure, Work&& work) {
    try {
        work();
        return true;
    } catch (const std::exception& failure) {
        showFailure(failure, procedure);
        return false;
    }
}

// Damage the core worked around (a looping chain, a link outside its file): the lists are
// shown up to the damage, and the user is told once per list.
void showProblems(const std::vector<std::string>& problems);

}  // namespace fennick::viewer
