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

namespace {

// The class a .ui snippet declares for its widget, and the header of its customwidget entry.
std::pair<QString, QString> classAndHeader(const QString& domXml) {
    QXmlStreamReader xml(domXml);
    QString widgetClass;
    QString header;
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (xml.isStartElement() && xml.name() == QLatin1String("widget")) {
            widgetClass = xml.attributes().value("class").toString();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("header")) {
            header = xml.readElementText();
        }
        if (xml.hasError()) return {};
    }
    return {widgetClass, header};
}

}  // namespace

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
    QCOMPARE(QString(vGlintbarVersion()), QString("1.0.0.4"));
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
    QCOMPARE(DllGetClassObject("CheckBoxKV", &creator), int(VGLINTBAR_NO_SUCH_CLASS));
    QVERIFY(vglintbar::ControlFactory::instance().classNames().isEmpty());
}

void RegistrationTest::unloadIsRefusedWhileControlsLive() {
    QCOMPARE(DllCanUnloadNow(), int(VGLINTBAR_OK));
    auto prompter = std::make_unique<Glintbar>();
    auto box = std::make_unique<CheckBoxKV>();
    QCOMPARE(DllCanUnloadNow(), int(VGLINTBAR_FALSE));
    prompter.reset();
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
        const auto [widgetClass, header] = classAndHeader(plugin->domXml());
        QCOMPARE(widgetClass, plugin->name());
        QCOMPARE(header, plugin->includeFile());
        QVERIFY(QFile::exists(QString(CONTROLS_SOURCE_DIR) + '/' + header));
        std::unique_ptr<QWidget> widget(plugin->createWidget(nullptr));
        QCOMPARE(QString(widget->metaObject()->className()), plugin->name());
    }
    QCOMPARE(names, vglintbar::libraryClassNames());
#endif
}

QTEST_MAIN(RegistrationTest)
#include "tst_registration.moc"
