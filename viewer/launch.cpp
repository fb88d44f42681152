#include "launch.h"

#include <QApplication>
#include <QPixmap>

#include "frm_units.h"
#include "platform/share_access.h"

namespace fennick::viewer {

const std::string kLaunchUsage =
    std::string(
        "usage: fennick [OPTION...] [CALLER[,LINE,MODEL]]\n"
        "Shows the dealer's units in stock, read from the share the catalog settings "
        "name.\n"
        "\n") +
    platform::kShareOptionsHelp +
    "  --screenshot FILE  save a picture of the main window with a model selected, then end\n"
    "  --help             print this help and exit\n"
    "  --version          print the version and exit\n"
    "\n"
    "CALLER,LINE,MODEL opens the window on that product line and model; the point of sale\n"
    "passes cfzelt as the caller.\n";

std::optional<LaunchOptions> parseLaunchOptions(const QStringList& args, std::string& error) {
    LaunchOptions options;
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == "--help" || arg == "-h" || arg == "--version") {
            (arg == "--version" ? options.version : options.help) = true;
            continue;
        }
        std::string* target = arg == "--ini"               ? &options.ini
                              : arg == "--unc-root"        ? &options.uncRoot
                              : arg == "--smb-port"        ? &options.smbPort
                              : arg == "--smb-credentials" ? &options.smbCredentials
                              : arg == "--smb-connections" ? &options.smbConnections
                              : arg == "--screenshot"      ? &options.screenshot
                                                           : nullptr;
        if (!target) {
            rest << arg;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = arg.toStdString() + " needs a value";
            return std::nullopt;
        }
        *target = args[++i].toStdString();
    }
    options.commandLine = rest.join(' ').toStdString();
    return options;
}

bool saveScreenshot(FrmUnits& window, const QString& path) {
    window.waitUntilIdle();
    if (window.startFailed()) return false;
    if (!window.selectedNodeTag()) window.selectFirstModel();
    window.waitUntilIdle();
    window.show();
    QApplication::processEvents();
    return window.grab().save(path, "PNG");
}

}  // namespace fennick::viewer
