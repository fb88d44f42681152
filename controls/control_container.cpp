#include "control_container.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <QWidget>

#include <optional>

namespace vglintbar {

namespace {

// The type name a host set, or the one that the widget's class stands for.
std::optional<QString> knownTypeName(const QWidget* w) {
    const QVariant own = w->property(kControlTypeProperty);
    if (own.isValid() && !own.toString().isEmpty()) return own.toString();
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
        qobject_cast<const QPlainTextEdit*>(w)) {
        return QStringLiteral("TextBox");
    }
    if (qobject_cast<const QCheckBox*>(w)) return QStringLiteral("CheckBox");
    if (qobject_cast<const QRadioButton*>(w)) return QStringLiteral("OptionButton");
    if (qobject_cast<const QDateTimeEdit*>(w)) return QStringLiteral("TDBDate");
    if (qobject_cast<const QAbstractSpinBox*>(w)) return QStringLiteral("TDBNumber");
    if (qobject_cast<const QComboBox*>(w)) return QStringLiteral("SSDBCombo");
    if (qobject_cast<const QAbstractItemView*>(w)) return QStringLiteral("SSDBGrid");
    return std::nullopt;
}

const char* propertyName(ColorProperty which) {
    return which == ColorProperty::BackColor ? "BackColor" : "BevelColorFace";
}

QPalette::ColorRole paletteRole(ColorProperty which) {
    return which == ColorProperty::BackColor ? QPalette::Base : QPalette::Button;
}

}  // namespace

QColor colorFromBgr(quint32 bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

quint32 bgrFromColor(const QColor& color) {
    return static_cast<quint32>(color.red()) | static_cast<quint32>(color.green()) << 8 |
           static_cast<quint32>(color.blue()) << 16;
}

QString controlTypeName(const QWidget* widget) {
    if (!widget) return QStringLiteral("Nothing");
    return knownTypeName(widget).value_or(QString::fromLatin1(widget->metaObject()->className()));
}

QWidget* activeControl(const QWidget* member) {
    if (!member) return nullptr;
    QWidget* window = member->window();
    QWidget* focus = window->focusWidget();
    if (!focus || focus == window) return nullptr;
    QWidget* control = focus;
    for (QWidget* w = focus; w && w != window; w = w->parentWidget()) {
        if (knownTypeName(w)) control = w;
    }
    return control;
}

bool ambientUserMode(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant forced = w->property(kUserModeProperty);
        if (forced.isValid()) return forced.toBool();
        // Matched by name so that the library does not link the designer's own libraries.
        if (w->inherits("QDesignerFormWindowInterface")) return false;
    }
    return true;
}

quint32 readColor(const QWidget* widget, ColorProperty which) {
    const QVariant own = widget->property(propertyName(which));
    if (!own.isValid()) return bgrFromColor(widget->palette().color(paletteRole(which)));
    if (own.typeId() == QMetaType::QColor) return bgrFromColor(own.value<QColor>());
    return own.toUInt();
}

void writeColor(QWidget* widget, ColorProperty which, quint32 bgr) {
    const char* name = propertyName(which);
    const QVariant own = widget->property(name);
    if (own.isValid()) {
        const bool asColor = own.typeId() == QMetaType::QColor;
        widget->setProperty(name, asColor ? QVariant(colorFromBgr(bgr)) : QVariant(bgr));
        return;
    }
    QPalette palette = widget->palette();
    palette.setColor(paletteRole(which), colorFromBgr(bgr));
    widget->setPalette(palette);
}

}  // namespace vglintbar
