#include "qt_services.h"

#include <QApplication>
#include <QMessageBox>
#include <QSettings>

namespace fennick::viewer {

namespace {

QMessageBox::Icon boxIcon(platform::MessageIcon icon) {
    switch (icon) {
        case platform::MessageIcon::Information:
            return QMessageBox::Information;
        case platform::MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case platform::MessageIcon::Critical:
            return QMessageBox::Critical;
        case platform::MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// The store of application "Larkmoor", opened on its group "Settings".
class LarkmoorSettings {
  public:
    LarkmoorSettings() : settings_(QSettings::UserScope, "Larkmoor") {
        settings_.beginGroup("Settings");
    }
    QSettings& operator*() { return settings_; }

  private:
    QSettings settings_;
};

}  // namespace

void QtMessageBoxes::show(const std::string& text, const std::string& title,
                          platform::MessageIcon icon) {
    QMessageBox box(boxIcon(icon), QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

std::string QtSettingsStore::value(const std::string& key, const std::string& fallback) {
    LarkmoorSettings settings;
    return (*settings)
        .value(QString::fromStdString(key), QString::fromStdString(fallback))
        .toString()
        .toStdString();
}

void QtSettingsStore::save(const std::string& key, const std::string& value) {
    LarkmoorSettings settings;
    (*settings).setValue(QString::fromStdString(key), QString::fromStdString(value));
}

}  // namespace fennick::viewer
