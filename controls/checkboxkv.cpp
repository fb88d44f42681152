#include "checkboxkv.h"

#include <QHBoxLayout>
#include <QLabel>

#include "pictures.h"

namespace {

constexpr int kPictureSide = 16;
const QColor kMaskColor(0xC0, 0xC0, 0xC0);

}  // namespace

CheckBoxKV::CheckBoxKV(QWidget* parent)
    : QWidget(parent),
      images_(QSize(kPictureSide, kPictureSide), kMaskColor, devicePixelRatioF()),
      chxBox_(new QLabel(this)),
      lblCaption_(new QLabel(this)) {
    // Drawn for the screen's pixel ratio, so that the box is sharp on a scaled screen.
    images_.add("UnChecked", vglintbar::pictures::uncheckedPicture(devicePixelRatioF()));
    images_.add("Checked", vglintbar::pictures::checkedPicture(devicePixelRatioF()));

    chxBox_->setObjectName("chxBox");
    chxBox_->setFixedSize(kPictureSide, kPictureSide);
    chxBox_->setPixmap(images_.picture(kUncheckedIndex));
    lblCaption_->setObjectName("lblCaption");
    lblCaption_->setText(QString::fromLatin1(metaObject()->className()));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chxBox_);
    layout->addWidget(lblCaption_, 1);
}

CheckBoxKV::~CheckBoxKV() = default;

void CheckBoxKV::setChecked(bool checked) {
    checked_ = checked;
    chxBox_->setPixmap(images_.picture(checked ? kCheckedIndex : kUncheckedIndex));
    emit propertyChanged("Checked");
}

QString CheckBoxKV::caption() const {
    return lblCaption_->text();
}

void CheckBoxKV::setCaption(const QString& caption) {
    lblCaption_->setText(caption);
    emit propertyChanged("Caption");
}

QString CheckBoxKV::toolTipText() const {
    return chxBox_->toolTip();
}

void CheckBoxKV::setToolTipText(const QString& text) {
    lblCaption_->setToolTip(text);
    chxBox_->setToolTip(text);
}

void CheckBoxKV::readProperties(const vglintbar::PropertyBag& bag) {
    setChecked(bag.readBool("Checked", false));
    setCaption(bag.readString("Caption", QString()));
}

void CheckBoxKV::writeProperties(vglintbar::PropertyBag& bag) const {
    bag.writeUnlessDefault("Checked", checked_, false);
    bag.writeUnlessDefault("Caption", caption(), QString());
}
