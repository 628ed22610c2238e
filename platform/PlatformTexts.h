#pragma once
// The buttons of the desktop layer's own questions, kept in one place.

#include <QString>

namespace platformTexts {

inline const QString save = QStringLiteral("保存");
inline const QString discard = QStringLiteral("保存しない");
inline const QString cancel = QStringLiteral("キャンセル");
inline const QString yes = QStringLiteral("はい");
inline const QString no = QStringLiteral("いいえ");

}   // namespace platformTexts
