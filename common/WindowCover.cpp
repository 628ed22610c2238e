#include "common/WindowCover.h"

namespace windowCover {

QList<Sight> sights(const QList<Window> &topDown, const QRect &visible)
{
    QList<Sight> result;
    result.reserve(topDown.size());
    QRegion uncovered(visible);   // what the windows so far leave to be seen
    for (const Window &window : topDown) {
        // Most windows of a deep stack lie wholly under what is covered already: that is
        // found without making a region of their own.
        if (!uncovered.intersects(window.frame)) {
            result << Sight::Covered;
            continue;
        }
        const QRegion frame
            = window.mask.isEmpty() ? QRegion(window.frame) : window.mask.translated(window.frame.topLeft());
        const QRegion seen = uncovered.intersected(frame);
        if (seen.isEmpty()) {
            result << Sight::Covered;
            continue;
        }
        result << (seen.intersects(window.contents) ? Sight::Contents : Sight::FrameOnly);
        uncovered -= frame;
    }
    return result;
}

}   // namespace windowCover
