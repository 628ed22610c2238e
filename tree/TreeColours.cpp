#include "tree/TreeColours.h"
#include "common/Contrast.h"

namespace {
constexpr QRgb designedBar = 0xffe0e0e0;      // RGB(224, 224, 224)
constexpr QRgb designedBroken = 0xffd00000;   // on a light window
constexpr QRgb lightBroken = 0xffff8080;      // on a dark one
constexpr double darkBarShare = 0.15;         // of the way from the window colour to the text's

// The first of `preferred` and `other` that reads on `background`, else the one that reads best.
QColor readableOn(const QColor &background, const QColor &preferred, const QColor &other)
{
    const double p = contrastRatio(preferred, background);
    if (p >= readableContrast)
        return preferred;
    return contrastRatio(other, background) > p ? other : preferred;
}
}   // namespace

TreeColours treeColours(const QPalette &palette)
{
    const QColor window = palette.color(QPalette::Window);
    const QColor text = palette.color(QPalette::WindowText);
    TreeColours c;
    c.text = text;
    const QColor grey = QColor::fromRgb(designedBar);
    c.bar = contrastRatio(text, grey) >= readableContrast ? grey : mixColours(window, text, darkBarShare);
    c.broken = readableOn(window, QColor::fromRgb(designedBroken), QColor::fromRgb(lightBroken));
    c.unchecked = palette.color(QPalette::PlaceholderText);
    return c;
}
