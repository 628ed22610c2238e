#include "common/FormLayout.h"

#include <algorithm>
#include <limits>

namespace formLayout {

int clampTwips(qint64 twips)
{
    return int(std::clamp<qint64>(twips, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

SizeChange sizeChange(int prevWidth, int prevHeight, int width, int height)
{
    return SizeChange{qint64(width) - prevWidth, qint64(height) - prevHeight};
}

TwipRect follow(TwipRect r, SizeChange change, Follow how)
{
    if (how == Follow::Stretch)
        r.width = clampTwips(r.width + change.width);
    else if (how == Follow::MoveRight)
        r.left = clampTwips(r.left + change.width);
    r.height = clampTwips(r.height + change.height);
    return r;
}

TwipGeometry keepOnScreen(TwipGeometry g, qint32 screenWidth, qint32 screenHeight)
{
    g.width = std::clamp(g.width, 0, std::max(0, screenWidth));
    g.height = std::clamp(g.height, 0, std::max(0, screenHeight));
    g.left = std::clamp(g.left, 0, std::max(0, screenWidth - g.width));
    g.top = std::clamp(g.top, 0, std::max(0, screenHeight - g.height));
    return g;
}

}   // namespace formLayout
