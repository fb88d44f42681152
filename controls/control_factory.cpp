#include "control_factory.h"

#include "checkboxkv.h"
#include "glintbar.h"
#include "live_instances.h"

namespace vglintbar {

namespace {

template <typename Control>
QWidget* createControl(QWidget* parent) {
    return new Control(parent);
}

struct LibraryClass {
    const char* name;
    ControlCreator creator;
};

constexpr LibraryClass kLibraryClasses[] = {
    {"Glintbar", &createControl<Glintbar>},
    {"CheckBoxKV", &createControl<CheckBoxKV>},
};

}  // namespace

ControlFactory& ControlFactory::instance() {
    static ControlFactory factory;
    return factory;
}

void ControlFactory::registerClass(const QString& className, ControlCreator creator) {
    if (creator) creators_[className] = creator;
}

bool ControlFactory::unregisterClass(const QString& className) {
    return creators_.erase(className) > 0;
}

ControlCreator ControlFactory::creator(const QString& className) const {
    const auto found = creators_.find(className);
    return found == creators_.end() ? nullptr : found->second;
}

QWidget* ControlFactory::create(const QString& className, QWidget* parent) const {
    const ControlCreator make = creator(className);
    return make ? make(parent) : nullptr;
}

QStringList ControlFactory::classNames() const {
    QStringList names;
    for (const auto& [name, creator] : creators_)
        names << name;
    return names;
}

QStringList libraryClassNames() {
    QStringList names;
    for (const LibraryClass& entry : kLibraryClasses)
        names << QString::fromLatin1(entry.name);
    return names;
}

}  // namespace vglintbar

using vglintbar::ControlFactory;

int DllRegisterServer(void) {
    for (const auto& entry : vglintbar::kLibraryClasses) {
        ControlFactory::instance().registerClass(QString::fromLatin1(entry.name), entry.creator);
    }
    return VGLINTBAR_OK;
}

int DllUnregisterServer(void) {
    for (const auto& entry : vglintbar::kLibraryClasses) {
        ControlFactory::instance().unregisterClass(QString::fromLatin1(entry.name));
    }
    return VGLINTBAR_OK;
}

int DllGetClassObject(const char* className, vglintbar::ControlCreator* creator) {
    if (!className || !creator) return VGLINTBAR_BAD_ARGUMENT;
    *creator = ControlFactory::instance().creator(QString::fromUtf8(className));
    return *creator ? VGLINTBAR_OK : VGLINTBAR_NO_SUCH_CLASS;
}

int DllCanUnloadNow(void) {
    return vglintbar::LiveInstance::count() == 0 ? VGLINTBAR_OK : VGLINTBAR_FALSE;
}

const char* vGlintbarVersion(void) {
    return VGLINTBAR_VERSION_TEXT;
}
