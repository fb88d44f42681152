#pragma once
// How the program Fennick is started: its options, the rest of its arguments as the command
// line the point of sale passes, and the picture of the main window that --screenshot saves.

#include <QStringList>
#include <optional>
#include <string>

namespace fennick::viewer {

class FrmUnits;

extern const std::string kLaunchUsage;

struct LaunchOptions {
    std::string ini;             // catalog settings file; empty: the default
    std::string uncRoot;         // local root of the shares; empty: $FENNICK_UNC_ROOT, else SMB
    std::string smbPort;         // empty: $FENNICK_SMB_PORT, else 445
    std::string smbCredentials;  // empty: $FENNICK_SMB_CREDENTIALS, else Kerberos or guest
    std::string smbConnections;  // empty: $FENNICK_SMB_CONNECTIONS, else 8
    std::string screenshot;      // save a picture of the window here and end
    std::string commandLine;     // the other arguments, joined by blanks ("cfzelt,LINE,MODEL")
    bool help = false;
    bool version = false;
};

// The options in `args` (without the program name), or nothing with `error` set.
std::optional<LaunchOptions> parseLaunchOptions(const QStringList& args, std::string& error);

// Shows the window with a model selected (the first one, unless the command line chose one)
// and saves a PNG of it. False when the file cannot be written.
bool saveScreenshot(FrmUnits& window, const QString& path);

}  // namespace fennick::viewer
