#pragma once
// The large share of the benchmarks, written once into a folder and reused by later runs: the
// demo share of 200,000 units, 2,000 open tickets of up to 3 pages and the FILE0 invoice lists
// full, on the server 127.0.0.1 (so that a Samba server on the loopback address can serve it).
// A run that finds the folder written with the same options uses it as it is.

#include <filesystem>
#include <string>

namespace fennick::bench {

struct BenchShare {
    std::filesystem::path folder;  // FOLDER/127.0.0.1/TARNLNK, FOLDER/127.0.0.1/CATCON
    std::string settingsFile;      // FOLDER/vRMCatalog.ini
    std::string server;            // 127.0.0.1
};

BenchShare benchShare(const std::filesystem::path& folder);

}  // namespace fennick::bench
