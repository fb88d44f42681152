#include "glintbar.h"

#include <QLabel>
#include <QTimer>

#include "control_container.h"
#include "pictures.h"
#include "twips.h"

using vglintbar::ColorProperty;

namespace {

constexpr char kGridLeftAlone[] = "g_POS";

enum class Paint { Nothing, BackColor, BevelColorFace };

// Which colour of a field of that type the prompter paints; check boxes, option buttons and
// types it does not know are left alone.
Paint paintFor(const QString& type) {
    static const QStringList backColored = {"TDBNumber", "TDBDate", "SSDBCombo", "TextBox",
                                            "TDBText"};
    if (backColored.contains(type)) return Paint::BackColor;
    if (type == QLatin1String("SSDBGrid")) return Paint::BevelColorFace;
    return Paint::Nothing;
}

// Gives a field that lost the focus the fixed normal colour of its type.
void restore(QWidget* control) {
    switch (paintFor(vglintbar::controlTypeName(control))) {
        case Paint::BackColor:
            vglintbar::writeColor(control, ColorProperty::BackColor, Glintbar::kFieldColor);
            break;
        case Paint::BevelColorFace:
            vglintbar::writeColor(control, ColorProperty::BevelColorFace, Glintbar::kGridFaceColor);
            break;
        case Paint::Nothing:
            break;
    }
}

bool isPrompter(const QWidget* control) {
    return qobject_cast<const Glintbar*>(control) ||
           vglintbar::controlTypeName(control) == QLatin1String("Glintbar");
}

}  // namespace

Glintbar::Glintbar(QWidget* parent)
    : QWidget(parent), timer_(new QTimer(this)), image_(new QLabel(this)) {
    timer_->setObjectName("Timer1");
    timer_->setInterval(kTickMilliseconds);
    connect(timer_, &QTimer::timeout, this, &Glintbar::tick);

    setFixedSize(sideInPixels());
    image_->setObjectName("Image1");
    image_->setPixmap(QPixmap::fromImage(vglintbar::pictures::prompterPicture(width())));
    image_->setGeometry(rect());
}

Glintbar::~Glintbar() = default;

void Glintbar::setPrompterColor(quint32 bgr) {
    prompterColor_ = bgr;
    emit propertyChanged("PrompterColor");
}

bool Glintbar::controlEnabled() const {
    return !testAttribute(Qt::WA_ForceDisabled);
}

void Glintbar::setControlEnabled(bool enabled) {
    setEnabled(enabled);
    emit propertyChanged("Enabled");
}

void Glintbar::initProperties() {
    setPrompterColor(kDefaultPrompterColor);
}

void Glintbar::readProperties(const vglintbar::PropertyBag& bag) {
    setPrompterColor(bag.readColor("PrompterColor", kDefaultPrompterColor));
    setControlEnabled(bag.readBool("Enabled", false));
}

void Glintbar::writeProperties(vglintbar::PropertyBag& bag) const {
    bag.write("PrompterColor", prompterColor_);
    bag.write("Enabled", controlEnabled());
}

void Glintbar::tick() {
    QWidget* active = vglintbar::activeControl(this);
    // A prompter is never taken for the field to paint: holding one would stall every later
    // tick. Without an active control there is nothing to do until the focus lands somewhere.
    if (!active || isPrompter(active)) return;
    if (active == last_) return;  // the focus has not moved; the field is painted already
    if (last_) restore(last_);
    last_ = active;
    highlight(active);
}

void Glintbar::highlight(QWidget* control) {
    switch (paintFor(vglintbar::controlTypeName(control))) {
        case Paint::BackColor:
            vglintbar::writeColor(control, ColorProperty::BackColor, prompterColor_);
            break;
        case Paint::BevelColorFace:
            if (control->objectName() != QLatin1String(kGridLeftAlone)) {
                vglintbar::writeColor(control, ColorProperty::BevelColorFace, prompterColor_);
            }
            break;
        case Paint::Nothing:
            break;
    }
}

void Glintbar::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    const bool running = vglintbar::ambientUserMode(this);
    image_->setVisible(!running);
    setAttribute(Qt::WA_TransparentForMouseEvents, running);
    if (running) {
        timer_->start();
    } else {
        timer_->stop();
    }
}

void Glintbar::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (vglintbar::ambientUserMode(this) && !timer_->isActive()) timer_->start();
}

void Glintbar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QSize side = sideInPixels();
    if (size() != side) setFixedSize(side);
    image_->setGeometry(rect());
}

QSize Glintbar::sideInPixels() const {
    const int pixels = vglintbar::twipsToPixels(kSideTwips, this);
    return {pixels, pixels};
}
