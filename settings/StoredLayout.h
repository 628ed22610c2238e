#pragma once
// The window sizes and places kept in the settings file, brought into range on reading
// and on writing: any number a file may hold becomes one that every later sum handles,
// and no window is kept smaller than it can be used.

#include <QtGlobal>

namespace storedLayout {

// Stored places lie at most this many twips either side of the origin, and stored sizes
// are at most this large: a thousand inches, far beyond any screen, yet small enough that
// sums of a few of them stay far inside a Long.
inline constexpr qint32 maxTwips = 1440000;

// The smallest outer size kept for a window, in twips.
struct MinimumSize {
    qint32 width;
    qint32 height;
};

// The site tree at least as wide as its row of nine buttons: the last ends 3525 twips into
// the client area; with the row's margin of 30 on the right as on the left and the
// window's frame (150 twips, the designed outer width 3210 less the client width 3060).
// At least 1000 twips high, as every resizable window.
inline constexpr MinimumSize treeMinimum{3525 + 30 + 150, 1000};
// The tag palette at least as wide as its tag buttons: they end 1575 twips into the button
// area, which keeps a margin of 60 after them as before them; the scroll bar and margins
// to its right take 345 (the designed client width 2700 less the button area's 2355), and
// the frame 120 (the designed outer width 2820 less 2700).
inline constexpr MinimumSize tagMinimum{1575 + 60 + 345 + 120, 1000};
// The frame at least wide enough for both tool windows side by side, and high enough for
// the site tree's buttons and a few rows under the menu bar.
inline constexpr MinimumSize frameMinimum{treeMinimum.width + tagMinimum.width, 3000};

// A stored place, within maxTwips either side of the origin.
qint32 place(qint32 twips);
// A stored size, at least `minimum` and at most maxTwips.
qint32 size(qint32 twips, qint32 minimum);

}   // namespace storedLayout
