#include "platform/Twips.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cmath>
#include <limits>

int clampTwips(qint64 twips)
{
    return int(std::clamp<qint64>(twips, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

TwipGeometry keepOnScreen(TwipGeometry g, qint32 screenWidth, qint32 screenHeight)
{
    g.width = std::clamp(g.width, 0, std::max(0, screenWidth));
    g.height = std::clamp(g.height, 0, std::max(0, screenHeight));
    g.left = std::clamp(g.left, 0, std::max(0, screenWidth - g.width));
    g.top = std::clamp(g.top, 0, std::max(0, screenHeight - g.height));
    return g;
}

int twipsToPixelsX(double twips)
{
    return int(std::lround(twips / platform().twipsPerPixelX()));
}

int twipsToPixelsY(double twips)
{
    return int(std::lround(twips / platform().twipsPerPixelY()));
}

int pixelsToTwipsX(int pixels)
{
    return roundTwips(pixels * platform().twipsPerPixelX());
}

int pixelsToTwipsY(int pixels)
{
    return roundTwips(pixels * platform().twipsPerPixelY());
}

QRect toPixels(const TwipRect &r)
{
    return QRect(twipsToPixelsX(r.left), twipsToPixelsY(r.top), std::max(0, twipsToPixelsX(r.width)),
                 std::max(0, twipsToPixelsY(r.height)));
}
