#pragma once
// The stored placement is in the screen's own pixels. On Windows the toolkit's geometry is in
// pixels scaled by each screen's ratio (1.25 at 120 dpi), so the two are converted there;
// Linux stores the toolkit's geometry as it is.

#include <QRect>

// A window's geometry in the toolkit's pixels as the screen's pixels, to be stored.
QRect StoredRectOf(const QRect &shown);

// A stored rectangle as the toolkit's geometry, scaled by the screen it lies on.
QRect ToolkitRectOf(const QRect &stored);
