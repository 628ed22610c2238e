#pragma once
// The texts the frame (menus, the about box, the start-up messages) show the user, kept in one place.

#include <QString>

namespace appTexts {

// --- the editors' word wrap ---
inline const QString wordWrapCommand = QStringLiteral("右端で折り返す(&W)");
// --- end of the editors' word wrap ---

}   // namespace appTexts
