#pragma once

#include <QWidget>

#include "image_list.h"
#include "live_instances.h"
#include "persistent_control.h"
#include "vglintbar_global.h"

class QLabel;

// A check box drawn as a picture beside a caption, for hosts that show a boolean with their own
// check marks. The host sets and reads the value; the control has no click handling of its own.
class VGLINTBAR_EXPORT CheckBoxKV : public QWidget, public vglintbar::PersistentControl {
    Q_OBJECT
    Q_PROPERTY(bool Checked READ isChecked WRITE setChecked)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(QString ToolTip READ toolTipText WRITE setToolTipText STORED false)

  public:
    static constexpr int kUncheckedIndex = 1;
    static constexpr int kCheckedIndex = 2;

    explicit CheckBoxKV(QWidget* parent = nullptr);
    ~CheckBoxKV() override;

    bool isChecked() const { return checked_; }
    // Always re-assigns the picture, even when the value does not change.
    void setChecked(bool checked);

    QString caption() const;
    void setCaption(const QString& caption);

    // Shown over both the picture and the caption; not persisted.
    QString toolTipText() const;
    void setToolTipText(const QString& text);

    // The two check-mark pictures: index 1 "UnChecked", index 2 "Checked".
    const vglintbar::ImageList& imageList() const { return images_; }

    void readProperties(const vglintbar::PropertyBag& bag) override;
    void writeProperties(vglintbar::PropertyBag& bag) const override;

  signals:
    // A persisted property was set; the host should save the control's properties.
    void propertyChanged(const QString& name);

  private:
    vglintbar::ImageList images_;
    QLabel* chxBox_;
    QLabel* lblCaption_;
    bool checked_ = false;
    vglintbar::LiveInstance live_;
};
