#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include "vglintbar_global.h"

class QSettings;

namespace vglintbar {

// The store a host keeps a control's persisted properties in. An absent entry reads as an
// invalid QVariant; the typed readers turn absent or unreadable entries into the given default.
class VGLINTBAR_EXPORT PropertyBag {
  public:
    virtual ~PropertyBag();

    virtual QVariant read(const QString& name) const = 0;
    virtual void write(const QString& name, const QVariant& value) = 0;
    virtual void remove(const QString& name) = 0;

    bool readBool(const QString& name, bool defaultValue) const;
    quint32 readColor(const QString& name, quint32 defaultValue) const;
    QString readString(const QString& name, const QString& defaultValue) const;

    // Stores the value, or removes the entry when the value equals the default, so that a
    // default is never stored and an older stored value never outlives it.
    void writeUnlessDefault(const QString& name, const QVariant& value,
                            const QVariant& defaultValue);
};

// A bag held in memory, for hosts that persist the values themselves and for tests.
class VGLINTBAR_EXPORT MapPropertyBag : public PropertyBag {
  public:
    MapPropertyBag() = default;
    explicit MapPropertyBag(QVariantMap values) : values_(std::move(values)) {}

    QVariant read(const QString& name) const override;
    void write(const QString& name, const QVariant& value) override;
    void remove(const QString& name) override;

    const QVariantMap& values() const { return values_; }

  private:
    QVariantMap values_;
};

// A bag backed by a QSettings group, one group per control instance.
class VGLINTBAR_EXPORT SettingsPropertyBag : public PropertyBag {
  public:
    SettingsPropertyBag(QSettings& settings, QString group);

    QVariant read(const QString& name) const override;
    void write(const QString& name, const QVariant& value) override;
    void remove(const QString& name) override;

  private:
    QString key(const QString& name) const;

    QSettings& settings_;
    QString group_;
};

}  // namespace vglintbar
