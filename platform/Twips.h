#pragma once
// Window and control geometry is kept in twips (1/1440 inch), so that every designed
// position and stored window size holds as it stands; this converts to pixels.
#include <QRect>

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TwipRect &, const TwipRect &) = default;
};

int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
int pixelsToTwipsX(int pixels);
int pixelsToTwipsY(int pixels);
QRect toPixels(const TwipRect &r);
// Rounds a measured size to whole twips, halves to the even neighbour.
int roundTwips(double twips);
// A twip value computed in 64 bits, brought back into the range a position or size holds.
int clampTwips(qint64 twips);
// A stored outer size and place (any values a settings file may hold) made to fit a
// screen of `screenWidth` by `screenHeight` twips: sizes at most the screen's, places
// such that the whole window lies on the screen.
struct TwipGeometry {
    qint32 height;
    qint32 width;
    qint32 top;
    qint32 left;
};
TwipGeometry keepOnScreen(TwipGeometry g, qint32 screenWidth, qint32 screenHeight);
