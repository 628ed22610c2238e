#pragma once
// How well one colour reads on another, so that a colour the program chooses itself can be
// checked against the palette it is drawn on.

#include <QColor>

// The contrast ratio of two colours by their relative luminance: 1 for the same colour, 21
// for black on white. Text reads well from 4.5 on.
double contrastRatio(const QColor &a, const QColor &b);
inline constexpr double readableContrast = 4.5;

// `share` (0 to 1) of the way from `from` to `to`.
QColor mixColours(const QColor &from, const QColor &to, double share);
