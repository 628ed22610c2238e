#pragma once
// How the forms' controls follow their window's outer size, and how stored window
// geometry is fitted to the screen. Everything is in twips; sums are taken in 64 bits,
// so that any value a settings file may hold stays defined.

#include "common/TwipRect.h"

#include <QtGlobal>

namespace formLayout {

// A twip value computed in 64 bits, brought back into the range a position or size holds.
int clampTwips(qint64 twips);

// The change of a window's outer size.
struct SizeChange {
    qint64 width = 0;
    qint64 height = 0;
};
SizeChange sizeChange(int prevWidth, int prevHeight, int width, int height);

// Which edges of a control move with the window: its right or its left edge with the
// width (the control stretches, or moves along), and its bottom edge with the height.
enum class Follow { Stretch, MoveRight, BottomOnly };
// The control's place after the window's outer size changed. The numbers follow the
// window even below zero, so that growing it again restores the margins exactly.
TwipRect follow(TwipRect r, SizeChange change, Follow how);

// A stored outer size and place (any values a settings file may hold).
struct TwipGeometry {
    qint32 height;
    qint32 width;
    qint32 top;
    qint32 left;
};
// `g` made to fit a screen of `screenWidth` by `screenHeight` twips: sizes at most the
// screen's, places such that the whole window lies on the screen.
TwipGeometry keepOnScreen(TwipGeometry g, qint32 screenWidth, qint32 screenHeight);

}   // namespace formLayout
