#pragma once
// The texts loading and saving the settings file tell the user, kept in one place.

#include <QString>

namespace settingsTexts {

inline const QString msgLoadFailed = QStringLiteral("初期データの取得に失敗しました。");
inline const QString msgSaveFailed = QStringLiteral("初期データの格納に失敗しました。");

}   // namespace settingsTexts
