// fennick-cli: the viewer's tree, unit list, unit details, unit report and export file from a
// terminal.

#include <iostream>

#include "commands.h"
#include "platform/smb_reader_pool.h"

int main(int argc, char** argv) {
    // Before anything else, and before any thread: the readers of an SMB share are forked from
    // it, and the share's first reads wait for them.
    fennick::platform::SmbReaderPool::forkSpawner();
    std::vector<std::string> args(argv + 1, argv + argc);
    return fennick::cli::runCli(args, std::cout, std::cerr);
}
