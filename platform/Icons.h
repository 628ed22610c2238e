#pragma once
// The pictures of the program's command buttons: the desktop theme's icon where the
// theme has one, otherwise a 16 x 16 picture drawn here, so that no image file ships.

#include <QIcon>

enum class CommandIcon {
    Save,       // document-save
    SaveAs,     // document-save-as
    Preview,    // web-browser
    Close,      // window-close
    // Further commands add their pictures here, before Count.
    Count
};

// The icon of `which`, made once and shared by every button that shows it.
QIcon commandIcon(CommandIcon which);

// The bundled 16 x 16 picture alone, without the theme's icon.
QPixmap fallbackPixmap(CommandIcon which);

// The size every command picture is drawn at.
constexpr int commandIconSize = 16;
