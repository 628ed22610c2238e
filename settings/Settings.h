#pragma once
// The settings file pageKiln.INI in the program folder: window layout, working folder and
// file history, moved between the file and the shared state.

#include <QString>

namespace basSystem {

extern const QString settingsFileName;   // "pageKiln.INI"

// The largest settings file read or rewritten, in bytes. A real one holds a few dozen
// short lines, well under 4 KiB; this leaves room for thousands of times that (a file
// damaged by a long line still loads) and reads in a few milliseconds, while a larger file
// is refused from its size, before it is read.
inline constexpr qint64 maxSettingsBytes = qint64(16) << 20;

// Copies the settings file and tag database the program folder lacks from the defaults
// folder (an installed program's first start); on failure returns false, and `failure`
// holds what to tell the user: the message, the file and the reason.
bool PlaceDefaultFiles(QString *failure = nullptr);
// Reads every setting; on failure returns false, and `failure` holds what to tell the
// user: the message, the file and the reason.
bool LoadSettings(QString *failure = nullptr);
// Writes every setting in one atomic step into the existing file (never creates it);
// on failure leaves the file as it was, returns false and fills `failure` as above.
bool SaveSettings(QString *failure = nullptr);

}   // namespace basSystem
