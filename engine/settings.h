#pragma once
// The catalog settings read at start-up and the workstation's identity and share paths.

#include <cstdint>
#include <string>

namespace fennick {

struct cEpcInfo {
    std::string Server;
    std::string DataShare;
    std::string CatalogShare;
    std::string Directory;
    std::string TerminalID;
    std::int32_t CustomerNumber = 0;
};

struct cSystem {
    std::string mUNCDrive;
    std::string mDirectory;
    std::string TerminalID;
    std::string ComputerName;
    std::string IP;
    std::string xTermid;

    // "\\SERVER\TARNLNK\DIRECTORY": the folder of plain data files such as FILE0.
    std::string TARNLNK() const { return "\\\\" + mUNCDrive + "\\TARNLNK\\" + mDirectory; }
    // "\\SERVER\CATCON\": the share that receives the point-of-sale export file.
    std::string CATCON() const { return "\\\\" + mUNCDrive + "\\CATCON\\"; }
    // "\\SERVER\TARNLNK\": the link share root.
    std::string linkShareRoot() const { return "\\\\" + mUNCDrive + "\\TARNLNK\\"; }
};

}  // namespace fennick
