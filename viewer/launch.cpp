#include "launch.h"

#include <QApplication>
#include <QPixmap>

#include "frm_units.h"

namespace fennick::viewer {

const char* const kLaunchUsage =
    "usage: Fennick [--ini FILE] [--unc-root DIR] [--screenshot FILE.png] [CALLER[,LINE,MODEL]]\n"
    "  --ini FILE         catalog settings file (default: vRMCatalog.ini in the temp folder)\n"
    "  --unc-root DIR     local folder holding the server shares (default: $FENNICK_UNC_ROOT "
    "or /mnt)\n"
    "  --screenshot FILE  save a picture of the main window with a model selected, then end\n";

std::optional<LaunchOptions> parseLaunchOptions(const QStringList& args, std::string& error) {
    LaunchOptions options;
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg != "--ini" && arg != "--unc-root" && arg != "--screenshot") {
            rest << arg;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = arg.toStdString() + " needs a value";
            return std::nullopt;
        }
        std::string value = args[++i].toStdString();
        (arg == "--ini"        ? options.ini
         : arg == "--unc-root" ? options.uncRoot
                               : options.screenshot) = value;
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
