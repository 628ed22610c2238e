#pragma once
// The colours the site tree draws with, checked against the palette: the grey bar under
// titles and file names, the red of a broken link, and the quieter colour of a link not
// checked yet. Text keeps the palette's colour.

#include <QColor>
#include <QPalette>

struct TreeColours {
    QColor text;        // the labels' text
    QColor bar;         // under title and file-name labels
    QColor broken;      // a broken link's text
    QColor unchecked;   // a link's text while the site's links are being checked
};

// The designed light grey bar and red wherever the palette's text reads on them (a light
// palette); on a palette where it would not (a dark one), a bar a little lighter than the
// window and a lighter red, so that every label reads.
TreeColours treeColours(const QPalette &palette);
