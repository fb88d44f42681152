#pragma once
// The commands of fennick-cli, each a thin layer over the core: open the store as
// the viewer does, compute what the window would show, print it.

#include <iosfwd>
#include <string>
#include <vector>

#include "invocation.h"
#include "store/open_store.h"

namespace fennick::cli {

enum ExitStatus { kSuccess = 0, kFailure = 1, kUsageError = 2 };

// Runs one parsed command against the opened store.
int runCommand(store::Store& store, const Invocation& invocation, std::ostream& out,
               std::ostream& err);

// The whole program: arguments (without the program name) to exit status. Messages the engine
// and the core show go to `err` as "title: text". `decorate` wraps the share's back end;
// `batching` false sends every read to the share as the engine asks, one at a time.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const store::ShareDecorator& decorate = {}, bool batching = true);

}  // namespace fennick::cli
