#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "checkboxkv.h"
#include "image_list.h"
#include "pictures.h"
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
    void picturesAreDrawnForThePixelRatio_data();
    void picturesAreDrawnForThePixelRatio();
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

void CheckBoxKVTest::picturesAreDrawnForThePixelRatio_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<int>("pixels");
    QTest::newRow("1") << 1.0 << 16;
    QTest::newRow("1.5") << 1.5 << 24;
    QTest::newRow("2") << 2.0 << 32;
}

// Drawn at the screen's pixels, not blown up: the picture has the pixels, the list keeps them,
// and the checked one still shows a tick across its middle.
void CheckBoxKVTest::picturesAreDrawnForThePixelRatio() {
    QFETCH(qreal, ratio);
    QFETCH(int, pixels);
    vglintbar::ImageList list(QSize(16, 16), QColor(0xC0, 0xC0, 0xC0), ratio);
    list.add("Checked", vglintbar::pictures::checkedPicture(ratio));
    const QPixmap picture = list.picture("Checked");
    QCOMPARE(picture.size(), QSize(pixels, pixels));
    QCOMPARE(picture.devicePixelRatio(), ratio);
    QCOMPARE(picture.deviceIndependentSize(), QSizeF(16, 16));
    const QImage image = picture.toImage();
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(QColor(image.pixel(qRound(7 * ratio), qRound(10.5 * ratio))), QColor(Qt::black));
}

QTEST_MAIN(CheckBoxKVTest)
#include "tst_checkboxkv.moc"
