#pragma once
// The one place where the windows reach the data engine: starting it, the engine that the
// core's reads go through, the workstation's identity and releasing it. No other file of the
// windows names the engine's globals, so that what lies under the core can change here alone.

namespace fennick {
class cBusinessBasic;
struct cSystem;
}  // namespace fennick

namespace fennick::core {
struct EngineStart;
}

namespace fennick::platform {
class FileSystem;
}

namespace fennick::viewer {

// Starts the engine; false when it did not start (its start-up message has been shown).
bool startEngine(const core::EngineStart& start);
// The running engine, the workstation's identity and the share the engine reads (the
// hand-offs reach CATCON through it); only between startEngine and releaseEngine.
cBusinessBasic& engine();
const cSystem& engineSystem();
platform::FileSystem& engineShare();
// Releases the engine, closing every file it opened.
void releaseEngine();

}  // namespace fennick::viewer
