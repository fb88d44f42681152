#include "qt_services.h"

#include "dialog_services.h"

#include <QApplication>
#include <QSettings>

namespace fennick::viewer {

namespace {

// The store of application "Larkmoor", opened on one of its groups.
class LarkmoorSettings {
  public:
    explicit LarkmoorSettings(const std::string& group)
        : settings_(QSettings::UserScope, "Larkmoor") {
        settings_.beginGroup(QString::fromStdString(group));
    }
    QSettings& operator*() { return settings_; }

  private:
    QSettings settings_;
};

}  // namespace

void QtMessageBoxes::show(const std::string& text, const std::string& title,
                          platform::MessageIcon icon) {
    QtDialogServices().message(QApplication::activeWindow(), QString::fromStdString(text),
                               QString::fromStdString(title), icon);
}

std::string QtSettingsStore::value(const std::string& key, const std::string& fallback) {
    LarkmoorSettings settings(group_);
    return (*settings)
        .value(QString::fromStdString(key), QString::fromStdString(fallback))
        .toString()
        .toStdString();
}

void QtSettingsStore::save(const std::string& key, const std::string& value) {
    LarkmoorSettings settings(group_);
    (*settings).setValue(QString::fromStdString(key), QString::fromStdString(value));
}

}  // namespace fennick::viewer
