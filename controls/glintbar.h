#pragma once

#include <QPointer>
#include <QWidget>

#include "live_instances.h"
#include "persistent_control.h"
#include "vglintbar_global.h"

class QLabel;
class QTimer;

// The prompter: dropped on a data-entry window it stays invisible at run time and, ten times a
// second, paints the window's focused entry field in the prompter colour and gives the field
// that lost the focus its normal colour back. In a form designer it shows its picture instead.
class VGLINTBAR_EXPORT Glintbar : public QWidget, public vglintbar::PersistentControl {
    Q_OBJECT
    Q_PROPERTY(uint PrompterColor READ prompterColor WRITE setPrompterColor)
    Q_PROPERTY(bool Enabled READ controlEnabled WRITE setControlEnabled DESIGNABLE false)

  public:
    static constexpr quint32 kDefaultPrompterColor = 0xFFFFC0;  // pale cyan, as 0x00BBGGRR
    static constexpr quint32 kFieldColor = 0xFFFFFF;            // white
    static constexpr quint32 kGridFaceColor = 0xC0C0C0;         // light grey
    static constexpr int kSideTwips = 900;
    static constexpr int kTickMilliseconds = 100;

    explicit Glintbar(QWidget* parent = nullptr);
    ~Glintbar() override;

    quint32 prompterColor() const { return prompterColor_; }
    void setPrompterColor(quint32 bgr);

    // The control's own enabled state, as stored with its properties.
    bool controlEnabled() const;
    void setControlEnabled(bool enabled);

    // The host control painted last, or null.
    QWidget* lastHighlighted() const { return last_; }

    void initProperties() override;
    void readProperties(const vglintbar::PropertyBag& bag) override;
    void writeProperties(vglintbar::PropertyBag& bag) const override;

  public slots:
    // One look at the window's focus; the timer calls it every 100 ms in run mode.
    void tick();

  signals:
    // A persisted property was set; the host should save the control's properties.
    void propertyChanged(const QString& name);

  protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QSize sideInPixels() const;
    void highlight(QWidget* control);

    QTimer* timer_;
    QLabel* image_;
    quint32 prompterColor_ = kDefaultPrompterColor;
    QPointer<QWidget> last_;
    vglintbar::LiveInstance live_;
};
