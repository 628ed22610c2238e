#pragma once
// The recovery folder in the user's data location, where page editors keep copies of
// their unsaved text (see editor/RecoveryCopy.h for a copy's format).

#include "editor/RecoveryCopy.h"

#include <QList>
#include <QString>

namespace recoveryFolder {

// AppLocalDataLocation + "/recovery".
QString path();

// Writes `copy` atomically under its file name, creating the folder on first use;
// returns the file's path, or an empty text with `error` set on failure.
QString write(const RecoveryCopy &copy, QString *error);

struct Found {
    QString path;
    RecoveryCopy copy;
};
// Every readable copy in the folder (files that are no copy are passed over).
QList<Found> findAll();

// Writes the copy of every page editor with unsaved changes, at once.
void writeAll();

}   // namespace recoveryFolder
