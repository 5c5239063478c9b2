#pragma once
// The live tray icon: two level bars, received on the left and sent on the right, each
// filled to its share of the graph's top.

#include <QColor>
#include <QIcon>

struct LevelBars {
    static constexpr int kFull = 32; // a level in 32nds: the largest icon's pixel rows
    int received = 0;                // 0 to kFull
    int sent = 0;
    QColor receivedColor;
    QColor sentColor;

    // The level of `value` against `top`, held within 0 to kFull.
    static int LevelOf(long long value, long long top);
    bool operator==(const LevelBars &other) const = default;
};

// Drawn at the sizes notification areas ask for: 16, 22, 24 and 32 pixels.
QIcon LevelBarsIcon(const LevelBars &bars);
