#pragma once
// Window and control geometry is kept in twips (1/1440 inch), so that every designed
// position and stored window size holds as it stands.

#include <cmath>

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TwipRect &, const TwipRect &) = default;
};

// Rounds a measured size to whole twips, halves to the even neighbour.
inline int roundTwips(double twips)
{
    return int(std::nearbyint(twips));   // the default rounding mode: halves to even
}
