#pragma once
// The page editor's designed layout, in twips, and the rule by which its text box
// follows the window's size.

#include "common/TwipRect.h"

#include <QRect>

namespace editorLayout {

// The outer size the editor takes when it loads: the designed client area plus the frame.
inline constexpr int designedWidth = 3180;
inline constexpr int designedHeight = 1845;
// Below this outer height the window is put back to it without any layout.
inline constexpr int minimumHeight = 1000;

// Controls inside the client area. The buttons never move; the text box keeps its left
// and top and stretches its right and bottom edges with the window.
inline constexpr TwipRect txtEdit{30, 420, 2985, 975};
inline constexpr TwipRect cmdSav{30, 30, 375, 375};
inline constexpr TwipRect cmdSAs{420, 30, 375, 375};
inline constexpr TwipRect cmdBrz{810, 30, 375, 375};
inline constexpr TwipRect cmdClo{1200, 30, 375, 375};

// The text box's extent. It is kept unclamped, so that a window made narrower than its
// margins and widened again gets its margins back exactly; only the placed box stops at
// zero.
struct Extent {
    int width = txtEdit.width;
    int height = txtEdit.height;
    friend bool operator==(const Extent &, const Extent &) = default;
};

// The extent after the outer size changed from (prevWidth, prevHeight) to
// (width, height): each edge moves by the change of the outer size.
Extent followOuterSize(Extent extent, int prevWidth, int prevHeight, int width, int height);

// Where the text box goes for `extent`: its designed left and top, no side below zero.
TwipRect textBoxRect(Extent extent);

// The text box's place shared with the bars along its bottom edge. The bar, `barHeight`
// high (or what height there is when `area` is lower), takes the bottom of `area` and the
// text box keeps the rest. From the bottom up: the status line (the caret's line and
// column), then the find bar while it is shown, then the text box.
struct TextBoxAndBar {
    TwipRect textBox;
    TwipRect bar;
};
TextBoxAndBar splitBottomBar(const TwipRect &area, int barHeight);

// Where a newly shown editor window opens, in pixels: `wanted` cut down to the visible
// part of the area, to the right of the tool windows (whose right edge is `toolsRight`)
// while that leaves room, else against the area's right edge; then `index` cascade steps
// of `step` down and to the right, starting over where the next step would leave the
// visible part.
QRect firstPlacement(const QRect &visible, int toolsRight, QSize wanted, int index, int step);

}   // namespace editorLayout
