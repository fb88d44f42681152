#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

#include "control_container.h"
#include "glintbar.h"
#include "property_bag.h"

using vglintbar::ColorProperty;
using vglintbar::readColor;

// A field that declares its own BackColor and counts how often it is painted.
class CountingField : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QColor BackColor READ backColor WRITE setBackColor)

  public:
    using QLineEdit::QLineEdit;
    QColor backColor() const { return color_; }
    void setBackColor(const QColor& color) {
        color_ = color;
        ++writes;
    }
    int writes = 0;

  private:
    QColor color_ = Qt::white;
};

// Stands in for a form designer's form window: matched by class name like the real one.
class QDesignerFormWindowInterface : public QWidget {
    Q_OBJECT
};

namespace {

constexpr quint32 kPrompter = Glintbar::kDefaultPrompterColor;
constexpr quint32 kWhite = Glintbar::kFieldColor;
constexpr quint32 kGrey = Glintbar::kGridFaceColor;

// A data-entry window with the kinds of fields the prompter knows and one prompter.
struct HostWindow {
    QWidget window;
    QLineEdit* txtA = add<QLineEdit>("txtA");
    QLineEdit* txtB = add<QLineEdit>("txtB");
    QCheckBox* chk = add<QCheckBox>("chkNew");
    QTableWidget* pos = add<QTableWidget>("g_POS");
    QTableWidget* grid = add<QTableWidget>("grdOptions");
    CountingField* counted = add<CountingField>("txtCounted");
    Glintbar* prompter = add<Glintbar>("glintbar");

    HostWindow() {
        pos->setRowCount(1);
        pos->setColumnCount(1);
        pos->setItem(0, 0, new QTableWidgetItem("U1001"));
        window.show();
    }

    template <typename W>
    W* add(const char* name) {
        if (!window.layout()) new QVBoxLayout(&window);
        auto* w = new W(&window);
        w->setObjectName(name);
        window.layout()->addWidget(w);
        w->show();
        return w;
    }

    void focus(QWidget* w) {
        w->setFocus(Qt::OtherFocusReason);
        prompter->tick();
    }
};

QWidget* makeField(const QString& kind, QWidget* parent) {
    if (kind == "QLineEdit") return new QLineEdit(parent);
    if (kind == "QPlainTextEdit") return new QPlainTextEdit(parent);
    if (kind == "QSpinBox") return new QSpinBox(parent);
    if (kind == "QDateEdit") return new QDateEdit(parent);
    if (kind == "QComboBox") return new QComboBox(parent);
    if (kind == "QTableWidget") return new QTableWidget(2, 2, parent);
    if (kind == "QRadioButton") return new QRadioButton(parent);
    if (kind == "QCheckBox") return new QCheckBox(parent);
    return new QPushButton(parent);
}

}  // namespace

class GlintbarTest : public QObject {
    Q_OBJECT

  private slots:
    void paintsByTypeName_data();
    void paintsByTypeName();
    void focusMovesFromTextBoxToCheckBox();
    void gridNamedPosIsLeftAloneButRestored();
    void manyTicksOnOneFieldPaintOnce();
    void numericColourPropertyIsWritten();
    void focusInsideGridEditorCountsAsGrid();
    void prompterWithFocusIsNeverHeld();
    void destroyedLastControlIsDropped();
    void timerDrivesHighlightInRunMode();
    void designModeShowsPictureWithoutTimer();
    void resizeSnapsBackToNineHundredTwips();
    void emptyStoreGivesDefaults();
    void propertiesSurviveSettingsFile();
};

void GlintbarTest::paintsByTypeName_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("typeName");
    QTest::addColumn<int>("painted");  // -1 none, else a ColorProperty

    const int back = int(ColorProperty::BackColor);
    const int bevel = int(ColorProperty::BevelColorFace);
    QTest::newRow("line edit") << "QLineEdit"
                               << "TextBox" << back;
    QTest::newRow("text edit") << "QPlainTextEdit"
                               << "TextBox" << back;
    QTest::newRow("spin box") << "QSpinBox"
                              << "TDBNumber" << back;
    QTest::newRow("date edit") << "QDateEdit"
                               << "TDBDate" << back;
    QTest::newRow("combo box") << "QComboBox"
                               << "SSDBCombo" << back;
    QTest::newRow("grid") << "QTableWidget"
                          << "SSDBGrid" << bevel;
    QTest::newRow("radio button") << "QRadioButton"
                                  << "OptionButton" << -1;
    QTest::newRow("check box") << "QCheckBox"
                               << "CheckBox" << -1;
    QTest::newRow("push button") << "QPushButton"
                                 << "QPushButton" << -1;
}

void GlintbarTest::paintsByTypeName() {
    QFETCH(QString, kind);
    QFETCH(QString, typeName);
    QFETCH(int, painted);
    HostWindow host;
    QWidget* field = makeField(kind, &host.window);
    host.window.layout()->addWidget(field);
    field->show();
    const quint32 backBefore = readColor(field, ColorProperty::BackColor);
    const quint32 bevelBefore = readColor(field, ColorProperty::BevelColorFace);

    // Spin and date boxes pass their focus to an inner editor; the box is still the control.
    field->setFocus();
    QCOMPARE(vglintbar::activeControl(host.prompter), field);
    QCOMPARE(vglintbar::controlTypeName(field), typeName);
    host.prompter->tick();

    const bool back = painted == int(ColorProperty::BackColor);
    const bool bevel = painted == int(ColorProperty::BevelColorFace);
    QCOMPARE(readColor(field, ColorProperty::BackColor), back ? kPrompter : backBefore);
    QCOMPARE(readColor(field, ColorProperty::BevelColorFace), bevel ? kPrompter : bevelBefore);
}

void GlintbarTest::focusMovesFromTextBoxToCheckBox() {
    HostWindow host;
    QPalette yellow = host.txtA->palette();
    yellow.setColor(QPalette::Base, Qt::yellow);
    host.txtA->setPalette(yellow);
    const QPalette checkBoxBefore = host.chk->palette();

    host.focus(host.txtA);
    QCOMPARE(readColor(host.txtA, ColorProperty::BackColor), kPrompter);
    host.focus(host.chk);
    // The fixed field colour comes back, not the yellow the field had before.
    QCOMPARE(readColor(host.txtA, ColorProperty::BackColor), kWhite);
    QCOMPARE(host.chk->palette(), checkBoxBefore);
    QCOMPARE(host.prompter->lastHighlighted(), host.chk);
}

void GlintbarTest::gridNamedPosIsLeftAloneButRestored() {
    HostWindow host;
    const quint32 faceBefore = readColor(host.pos, ColorProperty::BevelColorFace);
    QVERIFY(faceBefore != kGrey);

    host.focus(host.txtA);
    host.focus(host.pos);
    QCOMPARE(readColor(host.txtA, ColorProperty::BackColor), kWhite);
    QCOMPARE(readColor(host.pos, ColorProperty::BevelColorFace), faceBefore);
    host.focus(host.txtB);
    QCOMPARE(readColor(host.pos, ColorProperty::BevelColorFace), kGrey);
    QCOMPARE(readColor(host.txtB, ColorProperty::BackColor), kPrompter);

    // Any other grid gets the prompter colour on its face.
    host.focus(host.grid);
    QCOMPARE(readColor(host.grid, ColorProperty::BevelColorFace), kPrompter);
}

void GlintbarTest::manyTicksOnOneFieldPaintOnce() {
    HostWindow host;
    host.counted->setProperty(vglintbar::kControlTypeProperty, "TDBText");
    host.focus(host.counted);
    for (int i = 0; i < 10; ++i)
        host.prompter->tick();
    QCOMPARE(host.counted->writes, 1);
    QCOMPARE(host.counted->backColor(), vglintbar::colorFromBgr(kPrompter));
    host.focus(host.txtA);
    QCOMPARE(host.counted->writes, 2);
    QCOMPARE(host.counted->backColor(), QColor(Qt::white));
}

void GlintbarTest::numericColourPropertyIsWritten() {
    HostWindow host;
    auto* field = host.add<QWidget>("txtAmount");
    field->setFocusPolicy(Qt::StrongFocus);
    field->setProperty(vglintbar::kControlTypeProperty, "TDBText");
    field->setProperty("BackColor", quint32(0x00FF00));
    const QPalette before = field->palette();
    host.focus(field);
    QCOMPARE(field->property("BackColor").toUInt(), kPrompter);
    QCOMPARE(field->palette(), before);
    host.focus(host.txtA);
    QCOMPARE(readColor(field, ColorProperty::BackColor), kWhite);
}

void GlintbarTest::focusInsideGridEditorCountsAsGrid() {
    HostWindow host;
    host.grid->setRowCount(1);
    host.grid->setColumnCount(1);
    host.grid->setItem(0, 0, new QTableWidgetItem("Snow blade"));
    host.focus(host.txtA);
    host.grid->setFocus();
    host.grid->editItem(host.grid->item(0, 0));
    QWidget* editor = host.window.focusWidget();
    QVERIFY(editor && editor != host.grid && host.grid->isAncestorOf(editor));
    host.prompter->tick();
    QCOMPARE(host.prompter->lastHighlighted(), host.grid);
    QCOMPARE(readColor(host.grid, ColorProperty::BevelColorFace), kPrompter);
    QCOMPARE(readColor(host.txtA, ColorProperty::BackColor), kWhite);
}

void GlintbarTest::prompterWithFocusIsNeverHeld() {
    HostWindow host;
    host.focus(host.prompter);
    host.prompter->tick();
    QCOMPARE(host.prompter->lastHighlighted(), nullptr);
    // Once the focus reaches a field, painting works as usual.
    host.focus(host.txtA);
    QCOMPARE(readColor(host.txtA, ColorProperty::BackColor), kPrompter);
    // Focus on the prompter again leaves the last field painted.
    host.focus(host.prompter);
    QCOMPARE(host.prompter->lastHighlighted(), host.txtA);
}

void GlintbarTest::destroyedLastControlIsDropped() {
    HostWindow host;
    host.focus(host.txtA);
    delete host.txtA;
    QCOMPARE(host.prompter->lastHighlighted(), nullptr);
    host.focus(host.txtB);
    QCOMPARE(readColor(host.txtB, ColorProperty::BackColor), kPrompter);
}

void GlintbarTest::timerDrivesHighlightInRunMode() {
    HostWindow host;
    auto* timer = host.prompter->findChild<QTimer*>("Timer1");
    QVERIFY(timer && timer->isActive());
    QCOMPARE(timer->interval(), 100);
    QVERIFY(!host.prompter->findChild<QLabel*>("Image1")->isVisible());
    host.txtB->setFocus();
    QTRY_COMPARE(readColor(host.txtB, ColorProperty::BackColor), kPrompter);
}

void GlintbarTest::designModeShowsPictureWithoutTimer() {
    QDesignerFormWindowInterface form;
    auto* prompter = new Glintbar(&form);
    form.show();
    QVERIFY(!prompter->findChild<QTimer*>("Timer1")->isActive());
    QVERIFY(prompter->findChild<QLabel*>("Image1")->isVisible());

    // A host may also switch run mode off itself.
    QWidget window;
    window.setProperty(vglintbar::kUserModeProperty, false);
    auto* hosted = new Glintbar(&window);
    window.show();
    QVERIFY(!hosted->findChild<QTimer*>("Timer1")->isActive());
}

void GlintbarTest::resizeSnapsBackToNineHundredTwips() {
    Glintbar prompter;
    const int side = qRound(900.0 * prompter.logicalDpiX() / 1440);
    for (const QSize asked : {QSize(300, 20), QSize(1, 1), QSize(side, side + 5)}) {
        prompter.resize(asked);
        QCOMPARE(prompter.size(), QSize(side, side));
    }
}

void GlintbarTest::emptyStoreGivesDefaults() {
    Glintbar prompter;
    prompter.setPrompterColor(0x123456);
    QSignalSpy changed(&prompter, &Glintbar::propertyChanged);
    prompter.readProperties(vglintbar::MapPropertyBag());
    QCOMPARE(prompter.prompterColor(), kPrompter);
    QVERIFY(!prompter.controlEnabled());
    QVERIFY(!prompter.isEnabled());
    QCOMPARE(changed.count(), 2);
}

void GlintbarTest::propertiesSurviveSettingsFile() {
    QTemporaryDir dir;
    const QString file = dir.filePath("controls.ini");
    {
        QSettings settings(file, QSettings::IniFormat);
        vglintbar::SettingsPropertyBag bag(settings, "glintbar");
        Glintbar prompter;
        prompter.setPrompterColor(0x80FF80);
        prompter.writeProperties(bag);  // Enabled is stored although it is true
    }
    QSettings settings(file, QSettings::IniFormat);
    QVERIFY(settings.contains("glintbar/Enabled"));
    Glintbar prompter;
    prompter.readProperties(vglintbar::SettingsPropertyBag(settings, "glintbar"));
    QCOMPARE(prompter.prompterColor(), quint32(0x80FF80));
    QVERIFY(prompter.controlEnabled());
}

QTEST_MAIN(GlintbarTest)
#include "tst_glintbar.moc"
