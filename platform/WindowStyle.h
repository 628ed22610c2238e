#pragma once
// The program's widget style: the platform's own, with the title-bar icons every editor
// window asks for made once. Qt's styles read them from their image files for each new
// window: a tenth of the time of opening a site whose thousand pages are all open.

// Makes the style the application's; call once the application object exists.
void installWindowStyle();
