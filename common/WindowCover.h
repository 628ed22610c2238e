#pragma once
// How much of each window of a stack can be seen: none of it, only some of its frame
// (title bar and edges), or some of its contents. A part can be seen when it lies inside
// the visible area and outside every window stacked above it. Used to give text boxes only
// to the editors one can see, and to let wholly covered windows rest.

#include <QList>
#include <QRect>
#include <QRegion>

namespace windowCover {

enum class Sight { Covered, FrameOnly, Contents };

struct Window {
    QRect frame;      // what the window covers, its frame included
    QRegion mask;     // where the window's frame is cut to a shape, in its own coordinates;
                      // empty when it covers its whole rectangle
    QRect contents;   // its contents, inside the frame (empty for a minimised window)
};

// The sight of each window of `topDown` (the top of the stack first) in `visible`. Linear
// in the number of windows for stacks that keep the covered area simple (cascades, tiles,
// windows on a few places).
QList<Sight> sights(const QList<Window> &topDown, const QRect &visible);

}   // namespace windowCover
