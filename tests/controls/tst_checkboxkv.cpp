#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "checkboxkv.h"
#include "property_bag.h"

namespace {

QImage shownPicture(const CheckBoxKV& box) {
    return box.findChild<QLabel*>("chxBox")->pixmap().toImage();
}

QImage listPicture(const CheckBoxKV& box, const QString& key) {
    return box.imageList().picture(key).toImage();
}

QString captionText(const CheckBoxKV& box) {
    return box.findChild<QLabel*>("lblCaption")->text();
}

}  // namespace

class CheckBoxKVTest : public QObject {
    Q_OBJECT

  private slots:
    void pictureFollowsChecked();
    void settingSameValueReassignsPicture();
    void pictureListMasksTheGreyBackground();
    void emptyStoreGivesUncheckedAndNoCaption();
    void defaultsAreNotStored();
    void toolTipCoversPictureAndCaption();
};

void CheckBoxKVTest::pictureFollowsChecked() {
    CheckBoxKV box;
    QCOMPARE(captionText(box), QString("CheckBoxKV"));
    QCOMPARE(shownPicture(box), listPicture(box, "UnChecked"));
    QVERIFY(listPicture(box, "UnChecked") != listPicture(box, "Checked"));
    box.setChecked(true);
    QVERIFY(box.isChecked());
    QCOMPARE(shownPicture(box), listPicture(box, "Checked"));
    QCOMPARE(box.imageList().picture(CheckBoxKV::kCheckedIndex).toImage(),
             listPicture(box, "Checked"));
    box.setChecked(false);
    QCOMPARE(shownPicture(box), listPicture(box, "UnChecked"));
}

void CheckBoxKVTest::settingSameValueReassignsPicture() {
    CheckBoxKV box;
    box.setChecked(true);
    box.findChild<QLabel*>("chxBox")->setPixmap(QPixmap());
    QSignalSpy changed(&box, &CheckBoxKV::propertyChanged);
    box.setChecked(true);
    QCOMPARE(shownPicture(box), listPicture(box, "Checked"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().toString(), QString("Checked"));
}

void CheckBoxKVTest::pictureListMasksTheGreyBackground() {
    CheckBoxKV box;
    for (const QString key : {"UnChecked", "Checked"}) {
        const QImage picture = listPicture(box, key);
        QCOMPARE(picture.size(), QSize(16, 16));
        QCOMPARE(qAlpha(picture.pixel(0, 0)), 0);    // grey corner masked out
        QCOMPARE(qAlpha(picture.pixel(7, 7)), 255);  // inside of the box kept
    }
    QVERIFY(box.imageList().picture(3).isNull());
    QVERIFY(box.imageList().picture(0).isNull());
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
    QVERIFY(loaded.isChecked());
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
    QCOMPARE(box.findChild<QLabel*>("chxBox")->toolTip(), QString("Unit is on the pick list"));
    QCOMPARE(box.findChild<QLabel*>("lblCaption")->toolTip(), QString("Unit is on the pick list"));
}

QTEST_MAIN(CheckBoxKVTest)
#include "tst_checkboxkv.moc"
