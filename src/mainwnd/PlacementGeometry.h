#pragma once
// The stored window placement and the window's geometry, and keeping a window in reach
// of the screens that exist now.

#include "CSetWndPos.h"

#include <QList>
#include <QRect>
#include <QSize>

// The normal rectangle of a placement as a geometry (right and bottom are exclusive).
QRect NormalRectOf(const WndPlacement &placement);

// A placement of a window shown normally with this geometry.
WndPlacement PlacementOf(const QRect &geometry);

// `rect` when enough of it lies on one of `screens` to grab it; otherwise the same size
// (shrunk to fit) centred on `primary`.
QRect KeepOnScreens(const QRect &rect, const QList<QRect> &screens, const QRect &primary);

// Where a window stored with `placement` is shown now: its normal rectangle at a size the
// window can take, kept in reach of the screens attached now.
QRect RestoredGeometry(const WndPlacement &placement, const QSize &minimum, const QSize &maximum);
