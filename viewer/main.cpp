// Fennick: the dealer's unit-inventory viewer. Starts the main window on the share the catalog
// settings name; the point of sale passes "cfzelt,LINE,MODEL" to open it on one model.

#include <QApplication>
#include <QFileInfo>
#include <iostream>

#include "core/startup.h"
#include "frm_units.h"
#include "launch.h"
#include "platform/text.h"
#include "qt_services.h"
#include "share_login.h"

using namespace fennick;

namespace {

int run(QApplication& app, const viewer::LaunchOptions& options) {
    viewer::QtSettingsStore settings;
    viewer::QtSettingsStore windowSettings("Window");
    platform::ShareOptions share;
    share.uncRoot = options.uncRoot;
    share.smbPort = options.smbPort;
    share.smbCredentials = options.smbCredentials;
    share.smbConnections = options.smbConnections;
    // A picture run has nobody to type a password.
    if (options.screenshot.empty()) share.askCredentials = viewer::ShareLogin();
    store::StoreStart start;
    start.settingsFile = options.ini;
    start.share = share;
    viewer::FrmUnits window({options.commandLine, start, &settings, &windowSettings});
    if (!window.Form_Load()) return 1;
    if (options.screenshot.empty()) {
        window.show();
        int status = app.exec();
        return window.startFailed() ? 1 : status;
    }
    QString path = QFileInfo(QString::fromStdString(options.screenshot)).absoluteFilePath();
    bool saved = viewer::saveScreenshot(window, path);
    if (window.startFailed()) return 1;  // its message has been shown
    if (!saved) {
        std::cerr << platform::printable("fennick: cannot write " + path.toStdString()) << "\n";
        return 1;
    }
    std::cout << platform::printable(path.toStdString()) << std::endl;
    return 0;
}

std::optional<viewer::LaunchOptions> launchOptions(const QStringList& args) {
    std::string error;
    auto options = viewer::parseLaunchOptions(args, error);
    if (!options)
        std::cerr << platform::printable("fennick: " + error) << "\n" << viewer::kLaunchUsage;
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    // --help, --version and usage errors are answered before Qt meets the window system, so
    // that they work without a display.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    auto options = launchOptions(raw);
    if (!options) return 2;
    if (options->help || options->version) {
        std::cout << (options->help ? viewer::kLaunchUsage
                                    : "fennick " + std::string(core::programVersion()) + "\n");
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Fennick");
    QApplication::setDesktopFileName("org.fennick.Fennick");
    // QApplication has taken its own options (-platform, -style, ...) out of the arguments.
    options = launchOptions(QApplication::arguments().mid(1));
    if (!options) return 2;
    // A picture run has nobody to answer message boxes: its messages go to stderr.
    viewer::QtMessageBoxes boxes;
    if (options->screenshot.empty()) platform::setMessages(&boxes);
    int status = run(app, *options);
    platform::setMessages(nullptr);
    return status;
}
