#pragma once
// The pictures of the program's command buttons, each a 16 x 16 picture drawn here so that
// no image file ships. The page editor's buttons prefer the desktop theme's icon where the
// theme has one; the site tree's nine commands always show their own pictures, because no
// theme tells a site definition from a page (two "new", two "save" and an "add" and a
// "remove" side by side must stay distinguishable).

#include <QIcon>

enum class CommandIcon {
    Save,      // document-save
    SaveAs,    // document-save-as
    Preview,   // web-browser
    Close,     // window-close
    // The site tree's button row.
    SiteNew,          // a new site definition
    SiteOpen,         // open a site definition
    SiteSave,         // save the site definition
    SiteSaveAs,       // save the site definition under a name
    PageNew,          // create a new page
    PageAdd,          // add an existing page to the definition
    PageRemove,       // take a page out of the definition
    SiteProperties,   // the definition's settings
    AppExit,          // close the application
    // Further commands add their pictures here, before Count.
    Count
};

// The icon of `which`, made once and shared by every button that shows it.
QIcon commandIcon(CommandIcon which);

// The program's own icon, shown by every window (drawn like resources/pagekiln.svg, which
// the desktop launcher uses).
QIcon programIcon();

// The bundled 16 x 16 picture alone, without the theme's icon.
QPixmap fallbackPixmap(CommandIcon which);

// The size every command picture is drawn at.
constexpr int commandIconSize = 16;
