#pragma once
// The commands of fennick-cli, each a thin layer over the core: start the engine as
// the viewer does, compute what the window would show, print it.

#include <iosfwd>
#include <string>
#include <vector>

#include "core/engine_start.h"
#include "engine/business_basic.h"
#include "invocation.h"

namespace fennick::cli {

enum ExitStatus { kSuccess = 0, kFailure = 1, kUsageError = 2 };

// Runs one parsed command against a started engine.
int runCommand(cBusinessBasic& engine, const Invocation& invocation, std::ostream& out,
               std::ostream& err);

// The whole program: arguments (without the program name) to exit status. Messages the engine
// and the core show go to `err` as "title: text". `decorate` wraps the share's back end.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const core::ShareDecorator& decorate = {});

}  // namespace fennick::cli
