#include "editor/RecoveryStore.h"
#include "common/TextFile.h"
#include "editor/EditorTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString copySuffix = QStringLiteral(".recovery");
const QString lockSuffix = QStringLiteral(".lock");

std::mutex gCurrentMutex;
std::weak_ptr<RecoveryStore> gCurrent;
std::shared_ptr<RecoveryStore> gStartedOnUse;

// A name no other program running now or later takes: its process id and 32 random bits.
QString instanceId()
{
    return QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-')
        + QString::number(QRandomGenerator::system()->generate(), 16);
}

// Why `folder` cannot hold copies; empty when it is a folder of this user's, made if need
// be. Not a link: another user could otherwise plant the shared temporary folder's entry
// and read the copies.
QString folderProblem(const QString &folder)
{
    QDir().mkpath(folder);
    struct stat st;
    if (::lstat(QFile::encodeName(folder).constData(), &st) != 0)
        return editorTexts::recoveryFolderNotMade;
    if (!S_ISDIR(st.st_mode))
        return editorTexts::recoveryFolderNotAFolder;
    if (st.st_uid != ::geteuid())
        return editorTexts::recoveryFolderOthers;
    return QString();
}

// A lock held for as long as a program runs: only a dead owner makes it stale, never its age.
std::unique_ptr<QLockFile> lockAt(const QString &path)
{
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    return lock->tryLock(0) ? std::move(lock) : nullptr;
}

QStringList copyNames(const QDir &dir)
{
    return dir.entryList({QLatin1Char('*') + copySuffix}, QDir::Files | QDir::Hidden, QDir::Name);
}
}   // namespace

struct RecoveryStore::Adopted {
    QString folder;
    std::unique_ptr<QLockFile> lock;
};

RecoveryStore::RecoveryStore(QStringList locations)
    : mLocations(std::move(locations)), mId(instanceId()), mOwnLocks(size_t(mLocations.size()))
{ }

RecoveryStore::~RecoveryStore()
{
    tidyLeftovers();
    for (qsizetype i = 0; i < mLocations.size(); ++i)
        if (mOwnLocks[size_t(i)])
            QDir(mLocations.at(i)).rmdir(mId);   // only when empty: copies left are leftovers now
}

QStringList RecoveryStore::defaultLocations()
{
    // QDir::tempPath() is empty when $TMPDIR names no folder: /tmp then, as when it is
    // unset, rather than a folder at the file system's root.
    QString temporary = QDir::tempPath();
    if (temporary.isEmpty())
        temporary = QStringLiteral("/tmp");
    return {QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/recovery"),
            temporary + QStringLiteral("/pageKiln-") + QString::number(::geteuid())};
}

std::shared_ptr<RecoveryStore> RecoveryStore::start()
{
    auto store = std::make_shared<RecoveryStore>(defaultLocations());
    const std::lock_guard guard(gCurrentMutex);
    gCurrent = store;
    return store;
}

std::shared_ptr<RecoveryStore> RecoveryStore::current()
{
    {
        const std::lock_guard guard(gCurrentMutex);
        if (std::shared_ptr<RecoveryStore> store = gCurrent.lock())
            return store;
    }
    gStartedOnUse = start();
    return gStartedOnUse;
}

QString RecoveryStore::lockPath(qsizetype index, const QString &id) const
{
    return mLocations.at(index) + QLatin1Char('/') + id + lockSuffix;
}

QString RecoveryStore::copyPath(qsizetype index, const QString &name) const
{
    return mLocations.at(index) + QLatin1Char('/') + mId + QLatin1Char('/') + name;
}

QString RecoveryStore::claimCopyPath(qsizetype index, const QString &name, QString *error)
{
    const std::lock_guard guard(mMutex);
    return claimFolder(index, error) ? copyPath(index, name) : QString();
}

// The location made private to the user, the lock taken, then the program's folder made.
bool RecoveryStore::claimFolder(qsizetype index, QString *error)
{
    if (mOwnLocks[size_t(index)])
        return true;
    const QString location = mLocations.at(index);
    *error = folderProblem(location);
    if (!error->isEmpty())
        return false;
    QFile::setPermissions(location, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    std::unique_ptr<QLockFile> lock = lockAt(lockPath(index, mId));
    if (!lock) {
        *error = editorTexts::recoveryLockNotMade;
        return false;
    }
    if (!QDir(location).mkpath(mId)) {
        *error = editorTexts::recoveryInnerFolderNotMade;
        return false;
    }
    mOwnLocks[size_t(index)] = std::move(lock);
    return true;
}

bool RecoveryStore::adopt(const QString &location, const QString &id)
{
    const QString folder = location + QLatin1Char('/') + id;
    for (const Adopted &a : mAdopted)
        if (a.folder == folder)
            return true;
    std::unique_ptr<QLockFile> lock = lockAt(location + QLatin1Char('/') + id + lockSuffix);
    if (!lock)
        return false;   // its program is still running
    mAdopted.push_back({folder, std::move(lock)});
    return true;
}

QList<RecoveryStore::Leftover> RecoveryStore::leftovers()
{
    QList<Leftover> found;
    for (const QString &location : mLocations) {
        const QDir dir(location);
        addLeftoversIn(location, found);   // written by earlier versions
        for (const QString &id : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name))
            if (id != mId && adopt(location, id))
                addLeftoversIn(dir.filePath(id), found);
    }
    return found;
}

// The copies in `folder` with their headers; a file too large is not opened.
void RecoveryStore::addLeftoversIn(const QString &folder, QList<Leftover> &found) const
{
    const QDir dir(folder);
    for (const QString &name : copyNames(dir)) {
        Leftover leftover;
        leftover.path = dir.filePath(name);
        leftover.size = QFileInfo(leftover.path).size();
        if (leftover.size > maxCopyBytes) {
            leftover.problem = Problem::TooLarge;
            found << leftover;
            continue;
        }
        QFile file(leftover.path);
        if (!file.open(QIODevice::ReadOnly))
            continue;   // gone meanwhile, or not ours to read
        qsizetype textStart = 0;
        std::optional<RecoveryCopy> header = parseRecoveryHeader(file.read(maxCopyHeaderBytes), &textStart);
        if (header)
            leftover.copy = std::move(*header);
        else
            leftover.problem = Problem::NotACopy;
        found << leftover;
    }
}

bool RecoveryStore::readText(Leftover &leftover)
{
    QString error;
    qint64 refusedSize = -1;
    const std::optional<QByteArray> bytes = readFileBytes(leftover.path, &error, maxCopyBytes, &refusedSize);
    qsizetype textStart = 0;
    if (!bytes || !parseRecoveryHeader(*bytes, &textStart)) {
        // Changed since its header was read, or gone (no problem then: there is nothing to tell).
        leftover.problem = bytes ? Problem::NotACopy : refusedSize >= 0 ? Problem::TooLarge : Problem::None;
        leftover.size = refusedSize >= 0 ? refusedSize : leftover.size;
        return false;
    }
    const QByteArrayView text = QByteArrayView(*bytes).sliced(textStart);
    leftover.lines = recoveryTextLines(text);
    if (leftover.lines > maxPageLines) {
        leftover.problem = Problem::TooManyLines;
        return false;
    }
    leftover.copy.text = recoveryCopyText(text);
    return true;
}

void RecoveryStore::tidyLeftovers()
{
    std::erase_if(mAdopted, [](const Adopted &a) {
        QDir dir(a.folder);
        if (!copyNames(dir).isEmpty())
            return false;
        dir.removeRecursively();
        return true;   // the lock goes with it
    });
}
