#pragma once
// The texts of the desktop layer: the buttons of its own questions, and what it says of a
// desktop program that failed, kept in one place.

#include <QString>

namespace platformTexts {

inline const QString save = QStringLiteral("保存");
inline const QString discard = QStringLiteral("保存しない");
inline const QString cancel = QStringLiteral("キャンセル");
inline const QString yes = QStringLiteral("はい");
inline const QString no = QStringLiteral("いいえ");

// The desktop's opener ended with a failure and gave no reason.
inline QString openerExitCode(int code)
{
    return QStringLiteral("終了コード %1").arg(code);
}

}   // namespace platformTexts
