#pragma once
// The page editor's designed layout, in twips, and the rule by which its text box
// follows the window's size.

#include "common/TwipRect.h"

namespace editorLayout {

// The outer size the editor takes when it loads: the designed client area plus the frame.
inline constexpr int designedWidth = 3180;
inline constexpr int designedHeight = 1845;
// Below this outer height the window is put back to it without any layout.
inline constexpr int minimumHeight = 1000;
// The smallest outer size an editor is given or remembered at by the window arrangements:
// its designed size, which shows its buttons and a few lines of text.
inline constexpr int usableWidth = designedWidth;
inline constexpr int usableHeight = designedHeight;

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

}   // namespace editorLayout
