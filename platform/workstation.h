#pragma once
// Identity and clock of this workstation: the temporary directory that holds the catalog
// settings file, the workstation name, its IPv4 address and the local time.

#include <string>

namespace fennick::platform {

struct LocalDateTime {
    int year = 1968, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// $TMPDIR, else /tmp, made canonical; always ends in the directory separator.
std::string tempDirectory();
// The host name up to its first ".".
std::string hostName();
// The IPv4 address of a name, in dotted form; a dotted name is taken as it is;
// "255.255.255.255" when the lookup fails.
std::string ipv4Of(const std::string& name);
LocalDateTime localNow();

}  // namespace fennick::platform
