#include "platform/Twips.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cmath>

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
