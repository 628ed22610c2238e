#pragma once
// The texts of the desktop layer: the buttons of its own questions, and what it says of a
// desktop program that failed, kept in one place.

#include <QString>

namespace platformTexts {

// Each with its keyboard mnemonic, as the file dialog's buttons have theirs.
inline const QString save = QStringLiteral("保存(&S)");
inline const QString discard = QStringLiteral("保存しない(&N)");
inline const QString cancel = QStringLiteral("キャンセル(&C)");
inline const QString yes = QStringLiteral("はい(&Y)");
inline const QString no = QStringLiteral("いいえ(&N)");

// The desktop's opener ended with a failure and gave no reason.
inline QString openerExitCode(int code)
{
    return QStringLiteral("終了コード %1").arg(code);
}

}   // namespace platformTexts
