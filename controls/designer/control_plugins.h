#pragma once

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include "control_factory.h"

// Describes one control of the library to Qt Designer.
class ControlPlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

  public:
    ControlPlugin(QString className, QString header, QString toolTip, QIcon icon,
                  vglintbar::ControlCreator creator, QObject* parent);

    QString name() const override { return className_; }
    QString group() const override { return QStringLiteral("Fennick controls"); }
    QString toolTip() const override { return toolTip_; }
    QString whatsThis() const override { return toolTip_; }
    QString includeFile() const override { return header_; }
    QIcon icon() const override { return icon_; }
    bool isContainer() const override { return false; }
    QString domXml() const override;
    QWidget* createWidget(QWidget* parent) override { return creator_(parent); }
    bool isInitialized() const override { return initialized_; }
    void initialize(QDesignerFormEditorInterface*) override { initialized_ = true; }

  private:
    QString className_;
    QString header_;
    QString toolTip_;
    QIcon icon_;
    vglintbar::ControlCreator creator_;
    bool initialized_ = false;
};

// The collection Designer loads from the plugin file.
class ControlPluginCollection : public QObject, public QDesignerCustomWidgetCollectionInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

  public:
    explicit ControlPluginCollection(QObject* parent = nullptr);

    QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return plugins_; }

  private:
    QList<QDesignerCustomWidgetInterface*> plugins_;
};
