// Fennick: the dealer's unit-inventory viewer. Starts the main window on the share the catalog
// settings name; the point of sale passes "cfzelt,LINE,MODEL" to open it on one model.

#include <QApplication>
#include <QFileInfo>
#include <iostream>

#include "frm_units.h"
#include "launch.h"
#include "qt_services.h"
#include "share_login.h"

using namespace fennick;

namespace {

int run(QApplication& app, const viewer::LaunchOptions& options) {
    viewer::QtSettingsStore settings;
    platform::ShareOptions share;
    share.uncRoot = options.uncRoot;
    share.smbPort = options.smbPort;
    share.smbCredentials = options.smbCredentials;
    // A picture run has nobody to type a password.
    if (options.screenshot.empty()) share.askCredentials = viewer::ShareLogin();
    viewer::EngineStart start;
    start.settingsFile = options.ini;
    start.share = share;
    viewer::FrmUnits window({options.commandLine, start, &settings});
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
        std::cerr << "Fennick: cannot write " << path.toStdString() << "\n";
        return 1;
    }
    std::cout << path.toStdString() << std::endl;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Fennick");
    std::string error;
    auto options = viewer::parseLaunchOptions(QApplication::arguments().mid(1), error);
    if (!options) {
        std::cerr << "Fennick: " << error << "\n" << viewer::kLaunchUsage;
        return 2;
    }
    if (options->help) {
        std::cout << viewer::kLaunchUsage;
        return 0;
    }
    // A picture run has nobody to answer message boxes: its messages go to stderr.
    viewer::QtMessageBoxes boxes;
    if (options->screenshot.empty()) platform::setMessages(&boxes);
    int status = run(app, *options);
    platform::setMessages(nullptr);
    return status;
}
