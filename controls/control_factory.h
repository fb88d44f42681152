#pragma once

#include <QString>
#include <QStringList>

#include <map>

#include "vglintbar_global.h"

class QWidget;

namespace vglintbar {

using ControlCreator = QWidget* (*)(QWidget* parent);

// Creates controls by class name. The library's registration entry point fills it with
// "Glintbar" and "CheckBoxKV"; hosts may register classes of their own. Used from the GUI
// thread only.
class VGLINTBAR_EXPORT ControlFactory {
  public:
    static ControlFactory& instance();

    void registerClass(const QString& className, ControlCreator creator);
    bool unregisterClass(const QString& className);

    // Null when no class of that name is registered.
    ControlCreator creator(const QString& className) const;
    QWidget* create(const QString& className, QWidget* parent = nullptr) const;
    QStringList classNames() const;

  private:
    std::map<QString, ControlCreator> creators_;
};

// The library's own control classes, in registration order.
VGLINTBAR_EXPORT QStringList libraryClassNames();

}  // namespace vglintbar

// The library's self-registration entry points, exported under these names with C linkage so
// that a host can find them in the loaded library.
extern "C" {

enum VGlintbarResult {
    VGLINTBAR_OK = 0,
    VGLINTBAR_FALSE = 1,           // DllCanUnloadNow: controls are still alive
    VGLINTBAR_NO_SUCH_CLASS = -1,  // DllGetClassObject: unknown or unregistered class
    VGLINTBAR_BAD_ARGUMENT = -2,
};

// Registers the library's control classes in the factory.
VGLINTBAR_EXPORT int DllRegisterServer(void);
// Removes them from the factory again.
VGLINTBAR_EXPORT int DllUnregisterServer(void);
// Hands out the creator of a registered class by name.
VGLINTBAR_EXPORT int DllGetClassObject(const char* className, vglintbar::ControlCreator* creator);
// VGLINTBAR_OK when no control of the library is alive, VGLINTBAR_FALSE otherwise.
VGLINTBAR_EXPORT int DllCanUnloadNow(void);
// "1.0.0.4"
VGLINTBAR_EXPORT const char* vGlintbarVersion(void);
}
