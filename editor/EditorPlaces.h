#pragma once
// Where editor windows go inside the frame's area, in pixels: the room beside the tool
// windows, the cascade of places a new editor takes one after another, and the cascade
// and tile arrangements of the window menu.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace editorPlaces {

// The part of `visible` that editors are laid out in: the widest stretch of its width that
// no tool window (`tools`, their places in the area) takes, at the full height; the whole
// of `visible` when that stretch is narrower than `wantedWidth`.
QRect room(const QRect &visible, const QList<QRect> &tools, int wantedWidth);

// The place after `last` for a window of `size` wholly inside `area`, on a grid of `step`
// whose columns line up with the left edge of `room` (the part of the area beside the
// tool windows). The grid's columns come in three bands, taken in turn: the room's own
// (where a window lies wholly in the room), those right of it, those left of it. Within a
// band the place after the last is one step down and to the right; where that would leave
// the band, the start of the next diagonal, first along the top edge, then down the band's
// left edge. So every place of the grid is taken once before any comes back, and places
// beside the tool windows come before those over them. Without a `last`, the room's top
// left corner.
QPoint nextCascadePlace(const QRect &area, const QRect &room, QSize size, int step, std::optional<QPoint> last);

// `count` windows of `size` (cut down to the room) cascaded from the room's top left corner.
QList<QRect> cascade(const QRect &room, QSize size, int step, int count);

// `count` windows tiled over `room` in rows of equal height, as many columns as the
// square root rounds up to, the last row's windows sharing its whole width. Windows are
// never smaller than `minimum` (where the room allows): too many for the room overlap,
// spread evenly, each still wholly inside it.
QList<QRect> tile(const QRect &room, int count, QSize minimum);

// `r` moved (and cut down if need be) to lie wholly inside `visible`.
QRect keepInside(QRect r, const QRect &visible);

}   // namespace editorPlaces
