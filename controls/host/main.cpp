// vglintbar-host: opens a data-entry window with the library's controls.
//
//   vglintbar-host [--settings FILE] [--focus NAME] [--screenshot FILE.png]
//
// --settings keeps the controls' properties in an ini file; --focus moves the focus to the named
// field on opening; --screenshot lets the prompter tick a few times, saves a picture of the
// window and exits (works on the offscreen platform).
#include <QApplication>
#include <QCommandLineParser>
#include <QPixmap>
#include <QSettings>
#include <QTimer>

#include <memory>

#include "glintbar.h"
#include "host_window.h"

namespace {

constexpr int kTicksBeforeScreenshot = 4;

bool focusField(QWidget& window, const QString& name) {
    auto* field = window.findChild<QWidget*>(name);
    if (!field) return false;
    field->setFocus(Qt::OtherFocusReason);
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Tries the vGlintbar controls on a data-entry window.");
    parser.addHelpOption();
    parser.addOptions({{"settings", "Keep the controls' properties in FILE.", "FILE"},
                       {"focus", "Put the focus on the field NAME.", "NAME", "txtSerial"},
                       {"screenshot", "Save a picture of the window to FILE and exit.", "FILE"}});
    parser.process(app);

    std::unique_ptr<QSettings> settings;
    if (parser.isSet("settings")) {
        settings = std::make_unique<QSettings>(parser.value("settings"), QSettings::IniFormat);
    }
    HostWindow window(settings.get());
    window.show();
    if (!focusField(window, parser.value("focus"))) {
        qWarning("No field named %s", qPrintable(parser.value("focus")));
        return 2;
    }
    if (parser.isSet("screenshot")) {
        QTimer::singleShot(kTicksBeforeScreenshot * Glintbar::kTickMilliseconds, &app, [&] {
            const bool saved = window.grab().save(parser.value("screenshot"), "PNG");
            window.close();  // saves the controls' properties like a user's close would
            app.exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
