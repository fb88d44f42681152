// fennick-smb-reader: one connection to the file server for the programs fennick and
// fennick-cli, serving their reads of the dealer share over the socket it finds as descriptor 3
// (platform/smb_wire.h). The programs start several, so that several reads are in flight to the
// server at once: the SMB client library serves one call at a time in a process. The reader
// learns how to log on from the socket, never from its command line, its environment or a file.
// Started with --spawn, it forks the readers instead (smb_wire.h), so that each one starts
// without loading the client library anew.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "smb_reader_process.h"
#include "smb_wire.h"

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("fennick-smb-reader " FENNICK_VERSION_TEXT);
        return 0;
    }
    const bool spawner = argc == 2 && std::strcmp(argv[1], "--spawn") == 0;
    struct stat info {};
    if ((argc > 1 && !spawner) || ::fstat(fennick::platform::smb_wire::kReaderSocket, &info) != 0 ||
        !S_ISSOCK(info.st_mode)) {
        std::fputs(
            "fennick-smb-reader: reads the dealer share for fennick and fennick-cli, which start "
            "it; it is not run by hand\n",
            stderr);
        return 2;
    }
    fennick::platform::settleOnReaderSocket();
    if (spawner) {
        fennick::platform::spawnReaders();
        return 0;
    }
    fennick::platform::serveReads();
}
