#pragma once
// Where a window opens in the visible part of the frame's area, in pixels.

#include <QRect>

// A window of `wanted` size wholly inside `visible`: cut down to it where it is larger, and
// centred in it.
inline QRect centredInside(const QRect &visible, QSize wanted)
{
    QRect r(QPoint(), wanted.boundedTo(visible.size()));
    r.moveCenter(visible.center());
    return r;
}
