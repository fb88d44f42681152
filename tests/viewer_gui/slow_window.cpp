// Runs the main window on a share whose every call waits a chosen latency, to look at what a
// branch on a slow link sees (the kept tree, then the fresh one). Not a test: run it under a
// display, on a share fennick-mkdemo wrote:
//   slow_window SHARE_FOLDER LATENCY_MS

#include <QApplication>
#include <iostream>

#include "platform/latency_file_system.h"
#include "viewer/frm_units.h"
#include "viewer/qt_services.h"

using namespace fennick;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::cerr << "usage: slow_window SHARE_FOLDER LATENCY_MS\n";
        return 2;
    }
    const std::chrono::milliseconds latency(args[2].toInt());
    viewer::QtSettingsStore settings;
    viewer::QtSettingsStore windowSettings("Window");
    store::StoreStart start;
    start.settingsFile = (args[1] + "/vRMCatalog.ini").toStdString();
    start.share.uncRoot = args[1].toStdString();
    start.decorate = [latency](std::unique_ptr<platform::FileSystem> inner) {
        return std::make_unique<platform::LatencyFileSystem>(std::move(inner), latency);
    };
    viewer::QtMessageBoxes boxes;
    platform::setMessages(&boxes);
    viewer::FrmUnits window({"", start, &settings, &windowSettings});
    if (!window.Form_Load()) return 1;
    window.show();
    const int status = app.exec();
    platform::setMessages(nullptr);
    return status;
}
