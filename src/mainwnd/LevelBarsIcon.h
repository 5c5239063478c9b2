#pragma once
// The live tray icon: two level bars, received on the left and sent on the right, each
// filled to its share of the graph's top.

#include <QColor>
#include <QIcon>

struct LevelBars {
    // A level in eighths: enough to read at a glance, and coarse enough that a steady rate
    // keeps the icon as it is more often (each new icon costs the panel and the X server a
    // redraw: about a third fewer than with 32nds on a steady loopback stream).
    static constexpr int kFull = 8;
    int received = 0;                // 0 to kFull
    int sent = 0;
    QColor receivedColor;
    QColor sentColor;

    // The level of `value` against `top`, held within 0 to kFull.
    static int LevelOf(long long value, long long top);
    bool operator==(const LevelBars &other) const = default;
    // Whether an icon showing `drawn` is worth drawing anew for these bars: a bar that moved
    // by more than one step, or one that came to or left zero. Every new icon costs the
    // panel a redraw, and a steady rate wavers by a step from second to second.
    bool DiffersVisiblyFrom(const LevelBars &drawn) const;
};

// Drawn at the sizes notification areas ask for: 16, 22, 24 and 32 pixels.
QIcon LevelBarsIcon(const LevelBars &bars);
