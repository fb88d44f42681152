#pragma once
// Writes a DealerData into a dealer share: the folders, links, directory and data files, the
// terminal map and FILE0 through the share writer, every record through the engine's own
// GetRec and LwriteFile, and every index through the index builder.

#include <cstdint>
#include <string>
#include <vector>

#include "dealer_data.h"
#include "platform/file_system.h"

namespace fennick::demo {

struct ShareIdentity {
    std::string server = "DEMOSRV";
    std::string directory = "DLR001";
    std::string terminalId = "7";         // the catalog settings' terminal number
    std::string computerName = "DEMOWS";  // listed in the terminal map
    std::string mapTerminal = "7";        // this workstation's terminal in the map
};

// Where the records landed, for callers that damage or inspect them afterwards.
struct WrittenShare {
    std::vector<std::int32_t> unitRecords;
    std::vector<std::int32_t> lineRecords;
    std::vector<std::int32_t> ticketRecords;  // the last page of each open ticket
    std::vector<std::int32_t> listedRecords;  // the last page of each listed invoice
    std::int32_t invoiceRecords = 0;          // INVOL records in use
};

WrittenShare writeDealerShare(platform::FileSystem& fs, const DealerData& data,
                              const ShareIdentity& identity);

// The terminal map text: a few other workstations and this one.
std::string terminalMapText(const ShareIdentity& identity);
// FILE0: 765 blocks with the user-defined names in block 4 and the invoice lists in blocks
// 701 to 764 (given the INVOL record of each listed invoice).
std::string file0Bytes(const DealerData& data, const std::vector<std::int32_t>& listedRecords);

}  // namespace fennick::demo
