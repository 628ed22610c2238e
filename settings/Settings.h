#pragma once
// The settings file pageKiln.INI in the program folder: window layout, working folder and
// file history, moved between the file and the shared state.

#include <QString>

namespace basSystem {

extern const QString settingsFileName;       // "pageKiln.INI"
extern const QString msgSettingsLoadFailed;  // "初期データの取得に失敗しました。"
extern const QString msgSettingsSaveFailed;  // "初期データの格納に失敗しました。"

// Reads every setting; on failure shows the message and returns false.
bool LoadSettings();
// Writes every setting in one atomic step into the existing file (never creates it);
// on failure shows the message, leaves the file as it was and returns false.
bool SaveSettings();

} // namespace basSystem
