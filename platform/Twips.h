#pragma once
// Twips to pixels and back, at the screen's scale.
#include "common/TwipRect.h"

#include <QRect>

int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
int pixelsToTwipsX(int pixels);
int pixelsToTwipsY(int pixels);
QRect toPixels(const TwipRect &r);
