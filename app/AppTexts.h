#pragma once
// The texts the frame (menus, the about box, the start-up messages) show the user, kept in one place.

#include <QString>

namespace appTexts {

// The edit menu: find and replace in the active page and across the site.
inline const QString editMenu = QStringLiteral("編集(&E)");
inline const QString findCommand = QStringLiteral("検索(&F)…");
inline const QString replaceCommand = QStringLiteral("置換(&R)…");
inline const QString findNextCommand = QStringLiteral("次を検索(&N)");
inline const QString findPreviousCommand = QStringLiteral("前を検索(&V)");
inline const QString findInSiteCommand = QStringLiteral("サイト内検索・置換(&S)…");

}   // namespace appTexts
