#include "launch.h"

#include <QApplication>
#include <QPixmap>

#include "frm_units.h"

namespace fennick::viewer {

const char* const kLaunchUsage =
    "usage: fennick [OPTION...] [CALLER[,LINE,MODEL]]\n"
    "Shows the dealer's units in stock, read from the share the catalog settings name.\n"
    "\n"
    "  --ini FILE         catalog settings file (default: vRMCatalog.ini in $TMPDIR or /tmp)\n"
    "  --unc-root DIR     local folder holding the server shares (default: $FENNICK_UNC_ROOT;\n"
    "                     without either the shares are read from the server over SMB)\n"
    "  --smb-port N       the server's SMB port (default: $FENNICK_SMB_PORT, else 445)\n"
    "  --smb-credentials FILE  username=, password=, domain= lines, private to the user\n"
    "                     (default: $FENNICK_SMB_CREDENTIALS, else a Kerberos ticket or guest)\n"
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
