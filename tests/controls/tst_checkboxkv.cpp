#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "checkboxkv.h"
#include "property_bag.h"

namespace {

QLabel* label(const CheckBoxKV& box, const char* name) {
    return box.findChild<QLabel*>(name);
}

QImage shownPicture(const CheckBoxKV& box) {
    return label(box, "chxBox")->pixmap().toImage();
}

QImage listPicture(const CheckBoxKV& box, const QString& key) {
    return box.imageList().picture(key).toImage();
}

}  // namespace

class CheckBoxKVTest : public QObject {
    Q_OBJECT

  private slots:
    void pictureFollowsChecked();
    void emptyStoreGivesUncheckedAndNoCaption();
    void defaultsAreNotStored();
    void toolTipCoversPictureAndCaption();
};

void CheckBoxKVTest::pictureFollowsChecked() {
    CheckBoxKV box;
    QCOMPARE(label(box, "lblCaption")->text(), QString("CheckBoxKV"));
    QCOMPARE(shownPicture(box), listPicture(box, "UnChecked"));
    QVERIFY(listPicture(box, "UnChecked") != listPicture(box, "Checked"));
    QCOMPARE(qAlpha(listPicture(box, "Checked").pixel(0, 0)), 0);  // grey mask is see-through
    box.setChecked(true);
    QCOMPARE(shownPicture(box), listPicture(box, "Checked"));

    // Setting the same value again still puts the picture back and marks the change.
    label(box, "chxBox")->setPixmap(QPixmap());
    QSignalSpy changed(&box, &CheckBoxKV::propertyChanged);
    box.setChecked(true);
    QCOMPARE(shownPicture(box), listPicture(box, "Checked"));
    QCOMPARE(changed.count(), 1);
    box.setChecked(false);
    QCOMPARE(shownPicture(box), listPicture(box, "UnChecked"));
}

void CheckBoxKVTest::emptyStoreGivesUncheckedAndNoCaption() {
    CheckBoxKV box;
    box.setChecked(true);
    box.setCaption("On pick list");
    box.readProperties(vglintbar::MapPropertyBag());
    QVERIFY(!box.isChecked());
    QCOMPARE(shownPicture(box), listPicture(box, "UnChecked"));
    QCOMPARE(box.caption(), QString());
}

void CheckBoxKVTest::defaultsAreNotStored() {
    CheckBoxKV box;
    box.setChecked(true);
    box.setCaption("Demo unit");
    box.setToolTipText("not kept");
    vglintbar::MapPropertyBag bag;
    box.writeProperties(bag);
    QCOMPARE(bag.values().keys(), QStringList({"Caption", "Checked"}));

    CheckBoxKV loaded;
    loaded.readProperties(bag);
    QCOMPARE(shownPicture(loaded), listPicture(loaded, "Checked"));
    QCOMPARE(loaded.caption(), QString("Demo unit"));
    // Back at the defaults, the stored entries go away rather than linger.
    loaded.setChecked(false);
    loaded.setCaption(QString());
    loaded.writeProperties(bag);
    QVERIFY(bag.values().isEmpty());
}

void CheckBoxKVTest::toolTipCoversPictureAndCaption() {
    CheckBoxKV box;
    box.setToolTipText("Unit is on the pick list");
    QCOMPARE(label(box, "chxBox")->toolTip(), QString("Unit is on the pick list"));
    QCOMPARE(label(box, "lblCaption")->toolTip(), QString("Unit is on the pick list"));
}

QTEST_MAIN(CheckBoxKVTest)
#include "tst_checkboxkv.moc"
