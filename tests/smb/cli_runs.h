#pragma once
// What the SMB tests ask of fennick-cli and what they read back.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/commands.h"

namespace fennick::test_support {

struct CliRun {
    int status;
    std::string out, err;
};

inline CliRun runCommand(std::vector<std::string> options,
                         const std::vector<std::string>& command) {
    options.insert(options.end(), command.begin(), command.end());
    std::ostringstream out, err;
    int status = cli::runCli(options, out, err);
    return {status, out.str(), err.str()};
}

inline std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// What a command gives: its output, or for export the bytes of the file it wrote in `catcon`.
inline std::string commandResult(const std::filesystem::path& catcon,
                                 const std::vector<std::string>& options,
                                 const std::vector<std::string>& command) {
    std::filesystem::path exported = catcon / "unitexport.7";
    std::filesystem::remove(exported);
    CliRun run = runCommand(options, command);
    EXPECT_EQ(run.status, 0) << run.err;
    return command[0] == "export" ? fileBytes(exported) : run.out;
}

}  // namespace fennick::test_support
