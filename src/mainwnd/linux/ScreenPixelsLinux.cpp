#include "ScreenPixels.h"

QRect StoredRectOf(const QRect &shown)
{
    return shown;
}

QRect ToolkitRectOf(const QRect &stored)
{
    return stored;
}
