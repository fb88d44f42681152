#include <QFile>
#include <QPluginLoader>
#include <QTest>
#include <QXmlStreamReader>

#include <dlfcn.h>

#include <memory>

#include "checkboxkv.h"
#include "control_factory.h"
#include "glintbar.h"

#ifdef DESIGNER_PLUGIN_FILE
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#endif

class RegistrationTest : public QObject {
    Q_OBJECT

  private slots:
    void entryPointsAreExportedByName();
    void registerCreatesControlsByClassName();
    void unloadIsRefusedWhileControlsLive();
    void designerPluginOffersBothControls();
};

void RegistrationTest::entryPointsAreExportedByName() {
    void* library = dlopen(VGLINTBAR_FILE, RTLD_NOW | RTLD_NOLOAD);
    QVERIFY(library);
    for (const char* name :
         {"DllRegisterServer", "DllUnregisterServer", "DllGetClassObject", "DllCanUnloadNow"}) {
        QVERIFY2(dlsym(library, name), name);
    }
    dlclose(library);
}

void RegistrationTest::registerCreatesControlsByClassName() {
    vglintbar::ControlCreator creator = nullptr;
    QCOMPARE(DllGetClassObject("Glintbar", &creator), int(VGLINTBAR_NO_SUCH_CLASS));
    QCOMPARE(DllRegisterServer(), int(VGLINTBAR_OK));
    QCOMPARE(DllGetClassObject("Glintbar", &creator), int(VGLINTBAR_OK));
    std::unique_ptr<QWidget> prompter(creator(nullptr));
    QVERIFY(qobject_cast<Glintbar*>(prompter.get()));
    std::unique_ptr<QWidget> box(vglintbar::ControlFactory::instance().create("CheckBoxKV"));
    QVERIFY(qobject_cast<CheckBoxKV*>(box.get()));
    QCOMPARE(DllGetClassObject("glintbar", &creator), int(VGLINTBAR_NO_SUCH_CLASS));
    QCOMPARE(DllGetClassObject(nullptr, &creator), int(VGLINTBAR_BAD_ARGUMENT));

    QCOMPARE(DllUnregisterServer(), int(VGLINTBAR_OK));
    QVERIFY(vglintbar::ControlFactory::instance().classNames().isEmpty());
}

void RegistrationTest::unloadIsRefusedWhileControlsLive() {
    QCOMPARE(DllCanUnloadNow(), int(VGLINTBAR_OK));
    auto box = std::make_unique<CheckBoxKV>();
    QCOMPARE(DllCanUnloadNow(), int(VGLINTBAR_FALSE));
    box.reset();
    QCOMPARE(DllCanUnloadNow(), int(VGLINTBAR_OK));
}

void RegistrationTest::designerPluginOffersBothControls() {
#ifndef DESIGNER_PLUGIN_FILE
    QSKIP("The Designer plugin is not built here");
#else
    QPluginLoader loader(DESIGNER_PLUGIN_FILE);
    auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader.instance());
    QVERIFY2(collection, qPrintable(loader.errorString()));
    QStringList names;
    for (QDesignerCustomWidgetInterface* plugin : collection->customWidgets()) {
        names << plugin->name();
        const QString xml = plugin->domXml();
        QXmlStreamReader reader(xml);
        while (!reader.atEnd())
            reader.readNext();
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        QVERIFY(xml.contains(QString("<widget class=\"%1\"").arg(plugin->name())));
        QVERIFY(QFile::exists(QString(CONTROLS_SOURCE_DIR) + '/' + plugin->includeFile()));
        std::unique_ptr<QWidget> widget(plugin->createWidget(nullptr));
        QCOMPARE(QString(widget->metaObject()->className()), plugin->name());
    }
    QCOMPARE(names, vglintbar::libraryClassNames());
#endif
}

QTEST_MAIN(RegistrationTest)
#include "tst_registration.moc"
