#include "common/FileMove.h"
#include "common/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileMove {

namespace {
QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

bool occupied(const QString &path)
{
    struct stat status { };
    return ::lstat(encoded(path).constData(), &status) == 0;
}

Outcome failed(Outcome outcome, int error)
{
    removeFolders(outcome.madeFolders);
    outcome.madeFolders.clear();
    outcome.targetExists = error == EEXIST;
    outcome.reason = qt_error_string(error);
    return outcome;
}

Outcome failed(Outcome outcome, const QString &reason)
{
    removeFolders(outcome.madeFolders);
    outcome.madeFolders.clear();
    outcome.reason = reason;
    return outcome;
}

// Makes the folders missing on the way to `folder`, outermost first, into `made`.
bool makeFolders(const QString &folder, QStringList &made)
{
    QStringList missing;
    for (QString f = folder; !f.isEmpty() && !QFileInfo(f).exists(); f = QFileInfo(f).path()) {
        if (f == QFileInfo(f).path())
            break;
        missing.prepend(f);
    }
    for (const QString &f : std::as_const(missing)) {
        if (::mkdir(encoded(f).constData(), 0777) != 0)
            return false;
        made << f;
    }
    return true;
}

// Renames without replacing: in one step where the file system allows it, else by a second
// link to the file (which also refuses an existing name) and the old one removed, else (a
// file system without links) by a rename right after checking the new place is free.
int renameFree(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (::link(from.constData(), to.constData()) == 0) {
        if (::unlink(from.constData()) == 0)
            return 0;
        const int error = errno;
        ::unlink(to.constData());
        return error;
    }
    if (errno != EPERM && errno != EOPNOTSUPP)
        return errno;
    struct stat status { };
    if (::lstat(to.constData(), &status) == 0)
        return EEXIST;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

// The copy across file systems, to a free place: the bytes through the atomic writer, then
// the permission bits and times of the original; then the original removed. Nothing is
// left behind when a step fails.
QString copyThenDelete(const QString &from, const QString &to)
{
    struct stat status { };
    if (::lstat(encoded(from).constData(), &status) != 0)
        return qt_error_string(errno);
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("not a regular file");
    QString error;
    const std::optional<QByteArray> bytes = readFileBytes(from, &error);
    if (!bytes)
        return error;
    if (!writeFileAtomic(to, *bytes, &error, LinkPolicy::Replace))
        return error;
    const QByteArray target = encoded(to);
    const timespec times[2] = {status.st_atim, status.st_mtim};
    if (::chmod(target.constData(), status.st_mode & 07777) != 0
        || ::utimensat(AT_FDCWD, target.constData(), times, AT_SYMLINK_NOFOLLOW) != 0
        || ::unlink(encoded(from).constData()) != 0) {
        error = qt_error_string(errno);
        ::unlink(target.constData());
        return error;
    }
    return QString();
}
}   // namespace

Outcome moveFile(const QString &from, const QString &to)
{
    Outcome outcome;
    if (!occupied(from))
        return failed(outcome, ENOENT);
    if (occupied(to))
        return failed(outcome, EEXIST);
    if (!makeFolders(QFileInfo(to).path(), outcome.madeFolders))
        return failed(outcome, errno);
    const int error = renameFree(encoded(from), encoded(to));
    if (error == EXDEV) {
        if (occupied(to))
            return failed(outcome, EEXIST);
        if (const QString reason = copyThenDelete(from, to); !reason.isEmpty())
            return failed(outcome, reason);
    } else if (error != 0) {
        return failed(outcome, error);
    }
    outcome.moved = true;
    return outcome;
}

bool moveToTrash(const QString &path, QString *reason)
{
    // Without the user's data folder the trash there cannot be set up, and the file would
    // go to a "files" folder below the working folder instead, reported as trashed.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!data.isEmpty())
        QDir().mkpath(data);
    QString inTrash;
    if (!QFile::moveToTrash(path, &inTrash)) {
        *reason = occupied(path) ? QString() : qt_error_string(ENOENT);
        return false;
    }
    if (QFileInfo(inTrash).isAbsolute())
        return true;
    // Put back what went astray, and its description beside it.
    const QFileInfo astray(inTrash);
    QFile::rename(astray.absoluteFilePath(), path);
    QFile::remove(astray.absolutePath() + QStringLiteral("/../info/") + astray.fileName()
                  + QStringLiteral(".trashinfo"));
    *reason = QStringLiteral("no trash folder");
    return false;
}

void removeFolders(const QStringList &folders)
{
    for (qsizetype i = folders.size() - 1; i >= 0; --i)
        ::rmdir(encoded(folders.at(i)).constData());
}

}   // namespace fileMove
