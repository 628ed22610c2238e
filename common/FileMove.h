#pragma once
// Moving a file to another name or folder without ever replacing a file: renamed in one
// step where both places lie on one file system, otherwise copied (through the atomic
// writer, with its permission bits and times) and then deleted. A move that fails leaves
// everything as it was, and says why.

#include <QString>
#include <QStringList>

namespace fileMove {

struct Outcome {
    bool moved = false;
    bool targetExists = false;   // refused: something is already at the new place
    QString reason;              // why it failed, in the system's words
    QStringList madeFolders;     // folders made on the way to the new place, outermost first
};

// Moves the file at `from` to `to` (absolute paths), making the folders missing on the way
// to `to`. The new place must be free: an existing file, folder or link there is never
// replaced, and a move across file systems checks it right before the copy is made.
Outcome moveFile(const QString &from, const QString &to);

// Moves the file at `path` to the desktop's trash; false, with the file where it was and
// the reason, when it cannot.
bool moveToTrash(const QString &path, QString *reason);

// Removes `folders` (as Outcome lists them), innermost first, each only while it is empty.
void removeFolders(const QStringList &folders);

}   // namespace fileMove
