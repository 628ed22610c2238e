#pragma once
// The texts the frame (menus, the about box, the start-up messages) show the user, kept in one place.

#include <QString>

namespace appTexts {

// The site check command of the file menu.
inline const QString siteCheckCommand = QStringLiteral("リンクの検査(&K)…");

}   // namespace appTexts
