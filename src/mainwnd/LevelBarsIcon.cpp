#include "LevelBarsIcon.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kSizes[] = {16, 22, 24, 32};

QPixmap DrawBars(const LevelBars &bars, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const int gap = std::max(1, size / 8);
    const int barWidth = (size - 3 * gap) / 2;
    const auto drawBar = [&](int left, int level, const QColor &color) {
        painter.fillRect(left, 0, barWidth, size, QColor(0, 0, 0, 96)); // the empty part, seen on any panel
        const int filled = (level * size + LevelBars::kFull - 1) / LevelBars::kFull; // any traffic shows
        painter.fillRect(left, size - filled, barWidth, filled, color);
    };
    drawBar(gap, bars.received, bars.receivedColor);
    drawBar(2 * gap + barWidth, bars.sent, bars.sentColor);
    return pixmap;
}

} // namespace

int LevelBars::LevelOf(long long value, long long top)
{
    if (value <= 0 || top <= 0)
        return 0;
    return value >= top ? kFull : static_cast<int>(std::max(1LL, value * kFull / top));
}

bool LevelBars::DiffersVisiblyFrom(const LevelBars &drawn) const
{
    const auto moved = [](int now, int before) { return std::abs(now - before) > 1 || (now == 0) != (before == 0); };
    return moved(received, drawn.received) || moved(sent, drawn.sent) || receivedColor != drawn.receivedColor
        || sentColor != drawn.sentColor;
}

QIcon LevelBarsIcon(const LevelBars &bars)
{
    QIcon icon;
    for (const int size : kSizes)
        icon.addPixmap(DrawBars(bars, size));
    return icon;
}
