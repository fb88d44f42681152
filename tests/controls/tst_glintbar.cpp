#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

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

// A shown data-entry window with a few fields and one prompter.
struct HostWindow {
    QWidget window;
    QVBoxLayout* layout = new QVBoxLayout(&window);
    QLineEdit* txtA = add(new QLineEdit, "txtA");
    QLineEdit* txtB = add(new QLineEdit, "txtB");
    QCheckBox* chk = add(new QCheckBox, "chkNew");
    QTableWidget* pos = add(new QTableWidget, "g_POS");
    QTableWidget* grid = add(new QTableWidget, "grdOptions");
    Glintbar* prompter = add(new Glintbar, "glintbar");

    HostWindow() { window.show(); }

    template <typename W>
    W* add(W* w, const char* name) {
        w->setObjectName(name);
        layout->addWidget(w);
        w->show();
        return w;
    }

    void focus(QWidget* w) {
        w->setFocus(Qt::OtherFocusReason);
        prompter->tick();
    }
};

QWidget* makeField(const QString& kind) {
    if (kind == "QLineEdit") return new QLineEdit;
    if (kind == "QPlainTextEdit") return new QPlainTextEdit;
    if (kind == "QSpinBox") return new QSpinBox;
    if (kind == "QDateEdit") return new QDateEdit;
    if (kind == "QComboBox") return new QComboBox;
    if (kind == "QTableWidget") return new QTableWidget(2, 2);
    if (kind == "QRadioButton") return new QRadioButton;
    if (kind == "QCheckBox") return new QCheckBox;
    return new QPushButton;
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
    void cellEditorCountsAsItsGrid();
    void prompterWithFocusIsNeverHeld();
    void destroyedLastControlIsDropped();
    void runModeTimerAndDesignPicture();
    void resizeSnapsBackToNineHundredTwips();
    void emptyStoreGivesDefaults();
    void propertiesReadFromSettingsFile();
};

void GlintbarTest::paintsByTypeName_data() {
    QTest::addColumn<QString>("typeName");
    QTest::addColumn<int>("painted");  // -1 none, else a ColorProperty
    QTest::addColumn<QString>("kind");
    const int back = int(ColorProperty::BackColor);
    QTest::newRow("line edit") << "TextBox" << back << "QLineEdit";
    QTest::newRow("text edit") << "TextBox" << back << "QPlainTextEdit";
    QTest::newRow("spin box") << "TDBNumber" << back << "QSpinBox";
    QTest::newRow("date edit") << "TDBDate" << back << "QDateEdit";
    QTest::newRow("combo box") << "SSDBCombo" << back << "QComboBox";
    QTest::newRow("grid") << "SSDBGrid" << int(ColorProperty::BevelColorFace) << "QTableWidget";
    QTest::newRow("radio button") << "OptionButton" << -1 << "QRadioButton";
    QTest::newRow("check box") << "CheckBox" << -1 << "QCheckBox";
    QTest::newRow("push button") << "QPushButton" << -1 << "QPushButton";
}

void GlintbarTest::paintsByTypeName() {
    QFETCH(QString, typeName);
    QFETCH(int, painted);
    QFETCH(QString, kind);
    HostWindow host;
    QWidget* field = host.add(makeField(kind), "field");
    const quint32 backBefore = readColor(field, ColorProperty::BackColor);
    const quint32 bevelBefore = readColor(field, ColorProperty::BevelColorFace);

    host.focus(field);
    QCOMPARE(vglintbar::activeControl(host.prompter), field);
    QCOMPARE(vglintbar::controlTypeName(field), typeName);
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
    host.focus(host.grid);
    QCOMPARE(readColor(host.grid, ColorProperty::BevelColorFace), kPrompter);
}

void GlintbarTest::manyTicksOnOneFieldPaintOnce() {
    HostWindow host;
    auto* field = host.add(new CountingField, "txtCounted");
    field->setProperty(vglintbar::kControlTypeProperty, "TDBText");
    host.focus(field);
    for (int i = 0; i < 10; ++i)
        host.prompter->tick();
    QCOMPARE(field->writes, 1);
    QCOMPARE(field->backColor(), vglintbar::colorFromBgr(kPrompter));
    host.focus(host.txtA);
    QCOMPARE(field->writes, 2);
    QCOMPARE(field->backColor(), QColor(Qt::white));
}

void GlintbarTest::cellEditorCountsAsItsGrid() {
    HostWindow host;
    host.grid->setRowCount(1);
    host.grid->setColumnCount(1);
    host.grid->setItem(0, 0, new QTableWidgetItem("Snow blade"));
    host.focus(host.txtA);
    host.grid->editItem(host.grid->item(0, 0));
    QVERIFY(host.grid->isAncestorOf(host.window.focusWidget()));
    host.prompter->tick();
    QCOMPARE(readColor(host.grid, ColorProperty::BevelColorFace), kPrompter);
    QCOMPARE(readColor(host.txtA, ColorProperty::BackColor), kWhite);
}

void GlintbarTest::prompterWithFocusIsNeverHeld() {
    HostWindow host;
    host.focus(host.prompter);
    host.prompter->tick();
    QCOMPARE(host.prompter->lastHighlighted(), nullptr);
    host.focus(host.txtA);
    QCOMPARE(readColor(host.txtA, ColorProperty::BackColor), kPrompter);
}

void GlintbarTest::destroyedLastControlIsDropped() {
    HostWindow host;
    host.focus(host.txtA);
    delete host.txtA;
    host.focus(host.txtB);
    QCOMPARE(readColor(host.txtB, ColorProperty::BackColor), kPrompter);
}

void GlintbarTest::runModeTimerAndDesignPicture() {
    HostWindow host;
    QVERIFY(host.prompter->findChild<QTimer*>("Timer1")->isActive());
    QVERIFY(!host.prompter->findChild<QLabel*>("Image1")->isVisible());
    host.txtB->setFocus();
    QTRY_COMPARE(readColor(host.txtB, ColorProperty::BackColor), kPrompter);

    QDesignerFormWindowInterface form;
    auto* designed = new Glintbar(&form);
    form.show();
    QVERIFY(!designed->findChild<QTimer*>("Timer1")->isActive());
    QVERIFY(designed->findChild<QLabel*>("Image1")->isVisible());
}

void GlintbarTest::resizeSnapsBackToNineHundredTwips() {
    Glintbar prompter;
    prompter.show();
    const int side = qRound(900.0 * prompter.logicalDpiX() / 1440);
    for (const QSize asked : {QSize(300, 20), QSize(1, 1), QSize(side, side + 5)}) {
        prompter.resize(asked);
        QCOMPARE(prompter.size(), QSize(side, side));
        prompter.setFixedSize(asked);  // even when the size limits are lifted
        QCOMPARE(prompter.size(), QSize(side, side));
    }
}

void GlintbarTest::emptyStoreGivesDefaults() {
    Glintbar prompter;
    prompter.setPrompterColor(0x123456);
    prompter.readProperties(vglintbar::MapPropertyBag());
    QCOMPARE(prompter.prompterColor(), kPrompter);
    QVERIFY(!prompter.isEnabled());
}

void GlintbarTest::propertiesReadFromSettingsFile() {
    // A settings file hands numbers and booleans back as text.
    QTemporaryDir dir;
    QFile file(dir.filePath("controls.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[glintbar]\nPrompterColor=8454016\nEnabled=true\n");
    file.close();
    QSettings settings(file.fileName(), QSettings::IniFormat);
    Glintbar prompter;
    prompter.readProperties(vglintbar::SettingsPropertyBag(settings, "glintbar"));
    QCOMPARE(prompter.prompterColor(), quint32(0x80FF80));
    QVERIFY(prompter.controlEnabled());

    // Both properties are always written, defaults included.
    vglintbar::MapPropertyBag bag;
    Glintbar().writeProperties(bag);
    QCOMPARE(bag.values().keys(), QStringList({"Enabled", "PrompterColor"}));
}

QTEST_MAIN(GlintbarTest)
#include "tst_glintbar.moc"
