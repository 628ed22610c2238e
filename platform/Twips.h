#pragma once
// Twips to pixels and back, at the screen's scale.
#include "common/TwipRect.h"

#include <QRect>

int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
int pixelsToTwipsX(int pixels);
int pixelsToTwipsY(int pixels);
QRect toPixels(const TwipRect &r);
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
