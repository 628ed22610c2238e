#include "common/WindowCover.h"

namespace windowCover {

QList<Sight> sights(const QList<Window> &topDown, const QRect &visible)
{
    QList<Sight> result;
    result.reserve(topDown.size());
    QRegion uncovered(visible);   // what the windows so far leave to be seen
    for (const Window &window : topDown) {
        if (uncovered.isEmpty()) {
            result << Sight::Covered;
            continue;
        }
        const QRegion seen = uncovered.intersected(window.frame);
        if (seen.isEmpty()) {
            result << Sight::Covered;
            continue;
        }
        result << (seen.intersects(window.contents) ? Sight::Contents : Sight::FrameOnly);
        uncovered -= window.frame;
    }
    return result;
}

}   // namespace windowCover
