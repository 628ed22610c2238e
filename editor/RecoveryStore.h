#pragma once
// Where recovery copies are kept, and which of them a program may offer to restore.
//
// Copies go into the folder "recovery" in the user's data location or, when a copy cannot
// be written there, into a folder of the user's in the system's temporary folder. In each
// of them a running program keeps its copies in a folder of its own, `<id>/`, one file
// `<editor>.recovery` per editor, and holds the lock file `<id>.lock` beside it for as long
// as it runs (QLockFile, which tells a lock left behind by a program that died from one
// that is still held). A folder whose lock is free holds leftovers: copies a program that
// ended without settling its unsaved text left behind (a crash, a kill, the session's
// end). Copies lying in a location itself were written by earlier versions, one per page,
// and are leftovers too.

#include "editor/RecoveryCopy.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class QLockFile;

class RecoveryStore
{
public:
    // A store in `locations`, the preferred one first.
    explicit RecoveryStore(QStringList locations);
    // Gives up the locks; folders left empty are removed.
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore &) = delete;
    RecoveryStore &operator=(const RecoveryStore &) = delete;

    // The user's data location's folder "recovery", then "pageKiln-<user id>" in the
    // system's temporary folder.
    static QStringList defaultLocations();
    // Makes a store in the default locations the running program's, for as long as the
    // pointer returned, or a copy under way, holds it.
    static std::shared_ptr<RecoveryStore> start();
    // The running program's store; one is started on first use when none is.
    static std::shared_ptr<RecoveryStore> current();

    const QStringList &locations() const { return mLocations; }
    // Where this program's copy named `name` goes in location `index`.
    QString copyPath(qsizetype index, const QString &name) const;
    // The same, with the program's folder there made and locked on first use; empty, with
    // `error` saying why, when the location cannot be used. Safe from any thread.
    QString claimCopyPath(qsizetype index, const QString &name, QString *error);

    enum class Problem {
        None,
        TooLarge,       // larger than maxCopyBytes: not read at all
        NotACopy,       // no header of a copy at its start
        TooManyLines,   // more lines than a page may have: its text is not taken
    };
    struct Leftover {
        QString path;
        qint64 size = 0;
        qsizetype lines = 0;   // for TooManyLines
        Problem problem = Problem::None;
        RecoveryCopy copy;   // the header; readText() reads the text
    };
    // Every leftover file, with only the headers read: those of programs no longer running
    // (whose folders this store locks from now on, so that no other program offers them
    // meanwhile) and those earlier versions left.
    QList<Leftover> leftovers();
    // Reads a leftover's text into its copy; false when the copy holds more lines than a
    // page may have or changed into something else meanwhile (its problem says which), or
    // is gone (no problem).
    static bool readText(Leftover &leftover);
    // Removes the leftover folders that no longer hold a copy and gives up their locks.
    void tidyLeftovers();

private:
    struct Adopted;
    QString lockPath(qsizetype index, const QString &id) const;
    bool claimFolder(qsizetype index, QString *error);
    bool adopt(const QString &location, const QString &id);
    void addLeftoversIn(const QString &folder, QList<Leftover> &found) const;

    const QStringList mLocations;
    const QString mId;
    std::mutex mMutex;   // guards mOwnLocks
    std::vector<std::unique_ptr<QLockFile>> mOwnLocks;
    std::vector<Adopted> mAdopted;
};
