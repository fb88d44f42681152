#include "property_bag.h"

#include <QSettings>

#include <cstdint>

namespace vglintbar {

PropertyBag::~PropertyBag() = default;

bool PropertyBag::readBool(const QString& name, bool defaultValue) const {
    const QVariant value = read(name);
    if (!value.isValid()) return defaultValue;
    // Settings files hand booleans back as text.
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed().toLower();
        if (text == "true" || text == "1") return true;
        if (text == "false" || text == "0") return false;
        return defaultValue;
    }
    return value.canConvert<bool>() ? value.toBool() : defaultValue;
}

quint32 PropertyBag::readColor(const QString& name, quint32 defaultValue) const {
    bool ok = false;
    // A colour may have been stored as a signed 32-bit number; keep its bit pattern.
    const qlonglong number = read(name).toLongLong(&ok);
    if (!ok || number < INT32_MIN || number > UINT32_MAX) return defaultValue;
    return static_cast<quint32>(number);
}

QString PropertyBag::readString(const QString& name, const QString& defaultValue) const {
    const QVariant value = read(name);
    return value.isValid() ? value.toString() : defaultValue;
}

void PropertyBag::writeUnlessDefault(const QString& name, const QVariant& value,
                                     const QVariant& defaultValue) {
    if (value == defaultValue) {
        remove(name);
    } else {
        write(name, value);
    }
}

QVariant MapPropertyBag::read(const QString& name) const {
    return values_.value(name);
}

void MapPropertyBag::write(const QString& name, const QVariant& value) {
    values_.insert(name, value);
}

void MapPropertyBag::remove(const QString& name) {
    values_.remove(name);
}

SettingsPropertyBag::SettingsPropertyBag(QSettings& settings, QString group)
    : settings_(settings), group_(std::move(group)) {}

QVariant SettingsPropertyBag::read(const QString& name) const {
    return settings_.value(key(name));
}

void SettingsPropertyBag::write(const QString& name, const QVariant& value) {
    settings_.setValue(key(name), value);
}

void SettingsPropertyBag::remove(const QString& name) {
    settings_.remove(key(name));
}

QString SettingsPropertyBag::key(const QString& name) const {
    return group_.isEmpty() ? name : group_ + '/' + name;
}

}  // namespace vglintbar
