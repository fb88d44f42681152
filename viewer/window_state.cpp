#include "window_state.h"

#include <QStringList>
#include <algorithm>

#include "core/settings_store.h"

namespace fennick::viewer {

namespace {

constexpr int kLargestCoordinate = 100000;  // beyond any screen arrangement
constexpr double kFirstStartShare = 0.8;

// The client area a frame on `available` leaves.
QRect clientArea(const QRect& available, int frame, int titleBar) {
    return available.adjusted(frame, frame + titleBar, -frame, -frame);
}

QSize fitted(QSize size, const QRect& area) {
    return size.boundedTo(area.size()).expandedTo(QSize(1, 1));
}

}  // namespace

QSize firstStartSize(QSize design, const QRect& available) {
    const QSize share(qRound(available.width() * kFirstStartShare),
                      qRound(available.height() * kFirstStartShare));
    return share.expandedTo(design).boundedTo(available.size());
}

QRect centredPlacement(QSize size, const QRect& available, int frame, int titleBar) {
    const QRect area = clientArea(available, frame, titleBar);
    QRect placed(QPoint(), fitted(size, area));
    placed.moveCenter(area.center());
    return placed;
}

QRect clampedPlacement(const QRect& saved, const QRect& available, int frame, int titleBar) {
    const QRect area = clientArea(available, frame, titleBar);
    QRect placed(saved.topLeft(), fitted(saved.size(), area));
    placed.moveLeft(std::clamp(placed.left(), area.left(), area.right() - placed.width() + 1));
    placed.moveTop(std::clamp(placed.top(), area.top(), area.bottom() - placed.height() + 1));
    return placed;
}

std::string intListText(const QList<int>& values) {
    QStringList texts;
    for (int value : values)
        texts << QString::number(value);
    return texts.join(',').toStdString();
}

std::optional<QList<int>> parseIntList(const std::string& text, int count, int low, int high) {
    const QStringList parts = QString::fromStdString(text).split(',');
    if (text.empty() || (count > 0 && parts.size() != count)) return std::nullopt;
    QList<int> values;
    for (const QString& part : parts) {
        bool ok = false;
        const int value = part.trimmed().toInt(&ok);
        if (!ok || value < low || value > high) return std::nullopt;
        values << value;
    }
    return values;
}

std::optional<QRect> keptGeometry(core::SettingsStore& settings) {
    auto values =
        parseIntList(settings.value(kGeometryKey, ""), 4, -kLargestCoordinate, kLargestCoordinate);
    if (!values || (*values)[2] < 1 || (*values)[3] < 1) return std::nullopt;
    return QRect((*values)[0], (*values)[1], (*values)[2], (*values)[3]);
}

void keepGeometry(core::SettingsStore& settings, const QRect& client, bool maximized) {
    settings.save(kGeometryKey,
                  intListText({client.x(), client.y(), client.width(), client.height()}));
    settings.save(kMaximizedKey, maximized ? "1" : "0");
}

}  // namespace fennick::viewer
