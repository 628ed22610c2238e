#pragma once
// The program's own desktop services: paths in the program folder and its message box.

#include <QString>

namespace basSystem {

extern const QString messageTitle;   // "HTML Editor"

// A path in the program folder: the folder, a "/" unless it already ends with one, and
// `name`; the folder itself when `name` is empty.
QString AppFilePath(const QString &name);

// Shows `prompt` in the program's message box, titled "HTML Editor".
int ShowMessage(const QString &prompt, int style = 0);

}   // namespace basSystem
