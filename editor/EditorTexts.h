#pragma once
// The texts the page editor and its page files show the user, kept in one place.

#include <QString>

namespace editorTexts {

// --- the status line below the text box ---
// The caret's place: its line and column, both counted from 1.
inline QString caretPlace(int line, int column)
{
    return QStringLiteral("%1 行、%2 列").arg(line).arg(column);
}
// --- end of the status line ---

}   // namespace editorTexts
