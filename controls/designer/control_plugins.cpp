#include "control_plugins.h"

#include <QPixmap>

#include "checkboxkv.h"
#include "glintbar.h"
#include "pictures.h"

namespace {

template <typename Control>
QWidget* create(QWidget* parent) {
    return new Control(parent);
}

}  // namespace

ControlPlugin::ControlPlugin(QString className, QString header, QString toolTip, QIcon icon,
                             vglintbar::ControlCreator creator, QObject* parent)
    : QObject(parent),
      className_(std::move(className)),
      header_(std::move(header)),
      toolTip_(std::move(toolTip)),
      icon_(std::move(icon)),
      creator_(creator) {}

QString ControlPlugin::domXml() const {
    QString objectName = className_;
    objectName[0] = objectName[0].toLower();
    return QStringLiteral(
               "<ui language=\"c++\">\n"
               " <widget class=\"%1\" name=\"%2\"/>\n"
               " <customwidgets>\n"
               "  <customwidget>\n"
               "   <class>%1</class>\n"
               "   <extends>QWidget</extends>\n"
               "   <header>%3</header>\n"
               "  </customwidget>\n"
               " </customwidgets>\n"
               "</ui>\n")
        .arg(className_, objectName, header_);
}

ControlPluginCollection::ControlPluginCollection(QObject* parent) : QObject(parent) {
    using vglintbar::pictures::checkedPicture;
    using vglintbar::pictures::prompterPicture;
    plugins_ << new ControlPlugin(
        "Glintbar", "glintbar.h", "Paints the focused entry field of its window",
        QIcon(QPixmap::fromImage(prompterPicture(32))), &create<Glintbar>, this);
    plugins_ << new ControlPlugin(
        "CheckBoxKV", "checkboxkv.h", "A check box drawn from two pictures",
        QIcon(QPixmap::fromImage(checkedPicture())), &create<CheckBoxKV>, this);
}
