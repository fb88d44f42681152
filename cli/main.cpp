// fennick-cli: the viewer's tree, unit list, unit details, unit report and export file from a
// terminal.

#include <iostream>

#include "commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return fennick::cli::runCli(args, std::cout, std::cerr);
}
