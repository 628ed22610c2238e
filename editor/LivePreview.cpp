#include "editor/LivePreview.h"
#include "app/basSystem.h"
#include "common/TextHelpers.h"
#include "editor/EditorTexts.h"
#include "editor/LiveFiles.h"
#include "editor/PageEvents.h"
#include "editor/frmChild1.h"

#include <QDir>
#include <QFileInfo>
#include <QDateTime>
#include <QFileSystemWatcher>
#include <QTimer>

#include <utility>

using namespace basSystem;

namespace {
LiveServer::Limits gLimits;

// Changes that come together (a save and the file it wrote) make one reload.
constexpr int gatherMs = 50;
// At most this many files and folders are watched for changes on disk.
constexpr qsizetype maxWatched = 8000;
// Files newly served are watched this many at a time, so that keys typed meanwhile come
// in between.
constexpr qsizetype watchBatch = 50;

// The path of `editor`'s page file, with links resolved where it exists; empty for a page
// that was never saved.
QString pageFile(const frmChild1 *editor)
{
    if (editor->plId < 1 || editor->plId >= gPageTable.size())
        return QString();
    const PageRecord &page = gPageTable.at(editor->plId);
    if (page.FileName.isEmpty())
        return QString();
    const QFileInfo file(page.Folder + page.FileName);
    const QString canonical = file.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(file.absoluteFilePath()) : canonical;
}

TextEncoding pageEncoding(const frmChild1 *editor)
{
    return editor->plId >= 1 && editor->plId < gPageTable.size() ? gPageTable.at(editor->plId).Encoding
                                                                 : TextEncoding::Cp932;
}
}   // namespace

LivePreview::LivePreview(QObject *parent)
    : QObject(parent), mWatcher(new QFileSystemWatcher(this)), mAnnounce(new QTimer(this))
{
    mAnnounce->setSingleShot(true);
    connect(mAnnounce, &QTimer::timeout, this, &LivePreview::announce);
    connect(mWatcher, &QFileSystemWatcher::fileChanged, this, &LivePreview::fileChanged);
    connect(mWatcher, &QFileSystemWatcher::directoryChanged, this, &LivePreview::folderChanged);
    connect(&PageEvents::instance(), &PageEvents::typingPaused, this, &LivePreview::typingPaused);
    connect(&PageEvents::instance(), &PageEvents::saved, this, &LivePreview::pageSaved);
    // Files are reported on the server's threads; they are watched from here.
    mServer.setFileSeen([this](const QString &file) {
        QMetaObject::invokeMethod(
            this, [this, file] { watch(file); }, Qt::QueuedConnection);
    });
}

LivePreview::~LivePreview()
{
    mServer.stop();
}

void LivePreview::setLimits(const LiveServer::Limits &limits)
{
    gLimits = limits;
}

QString LivePreview::pageAddress(frmChild1 *editor, QString *error)
{
    const QString file = pageFile(editor);
    if (file.isEmpty()) {
        *error = editorTexts::msgLiveUnsaved;
        return QString();
    }
    const QString root = QFileInfo(gSite.Folder).canonicalFilePath();
    if (gSite.Folder.isEmpty() || root.isEmpty() || !QFileInfo(root).isDir()) {
        *error = failureText(editorTexts::msgLiveNoFolder, QDir::toNativeSeparators(gSite.Folder), QString());
        return QString();
    }
    if (!liveFiles::isInside(root, file) || file == root) {
        *error = failureText(editorTexts::msgLiveOutside, QDir::toNativeSeparators(file), QString());
        return QString();
    }
    if (mServer.isRunning())
        mServer.setRoot(root);
    else if (!startServer(root, error))
        return QString();
    // Texts typed since the last pause are shown at once.
    for (qsizetype i = 1; i < gPageEditors.size(); ++i)
        if (frmChild1 *other = liveEditor(gPageEditors.at(i)); other && other->isModified())
            takeText(other);
    mAddress = mServer.address(file.mid(mServer.root().size()));
    emit addressChanged(mAddress);
    return mAddress;
}

bool LivePreview::startServer(const QString &root, QString *error)
{
    QString reason;
    if (!mServer.start(root, &reason, gLimits)) {
        *error = failureText(editorTexts::msgLiveStartFailed, QDir::toNativeSeparators(root), reason);
        return false;
    }
    return true;
}

void LivePreview::stop()
{
    if (!mServer.isRunning())
        return;
    mServer.stop();
    {
        std::lock_guard lock(mSeenMutex);
        mSeen.clear();
    }
    mTextFiles.clear();
    mStamps.clear();
    mFilesOfFolder.clear();
    mFilesAwaitingFolder.clear();
    mChanged.clear();
    mAnnounce->stop();
    if (const QStringList watched = mWatcher->files() + mWatcher->directories(); !watched.isEmpty())
        mWatcher->removePaths(watched);
    mAddress.clear();
    emit addressChanged(mAddress);
}

// Hands the server `editor`'s text while it holds unsaved changes; without them the file
// is served, which holds the same text.
void LivePreview::takeText(frmChild1 *editor)
{
    const QString file = pageFile(editor);
    const QString before = mTextFiles.value(editor);
    if (!before.isEmpty() && before != file)
        mServer.dropPageText(before);
    if (file.isEmpty() || !editor->isModified()) {
        dropText(editor);
        return;
    }
    connect(editor, &QObject::destroyed, this, &LivePreview::dropText, Qt::UniqueConnection);
    mTextFiles.insert(editor, file);
    mServer.setPageText(file, editor->text(), pageEncoding(editor));
}

void LivePreview::dropText(const QObject *editor)
{
    const QString file = mTextFiles.take(editor);
    if (!file.isEmpty())
        mServer.dropPageText(file);
}

void LivePreview::typingPaused(frmChild1 *editor)
{
    if (!mServer.isRunning())
        return;
    takeText(editor);
    changed(pageFile(editor));
}

void LivePreview::pageSaved(frmChild1 *editor)
{
    if (!mServer.isRunning())
        return;
    takeText(editor);
    changed(pageFile(editor));
}

LivePreview::Stamp LivePreview::stampOf(const QString &file)
{
    const QFileInfo info(file);
    if (!info.exists())
        return Stamp();
    return Stamp{true, info.size(), info.lastModified().toMSecsSinceEpoch()};
}

void LivePreview::watchSeen()
{
    QStringList batch;
    {
        std::lock_guard lock(mSeenMutex);
        batch = mSeen.first(std::min(mSeen.size(), watchBatch));
        mSeen.remove(0, batch.size());
        if (!mSeen.isEmpty())
            QMetaObject::invokeMethod(this, &LivePreview::watchSeen, Qt::QueuedConnection);
    }
    for (const QString &file : std::as_const(batch))
        watch(file);
}

// A file the server served (or looked for) is watched, and so is its folder: most
// programs save by writing a new file and renaming it over the old one, which only the
// folder sees.
void LivePreview::watch(const QString &file)
{
    if (!mServer.isRunning() || mStamps.contains(file) || mStamps.size() >= maxWatched)
        return;
    const QString folder = QFileInfo(file).path();
    const Stamp stamp = stampOf(file);
    mStamps.insert(file, stamp);
    if (QFileInfo(folder).isDir()) {
        if (!mFilesOfFolder.contains(folder))
            mWatcher->addPath(folder);
        mFilesOfFolder[folder] << file;
    } else {
        // A picture looked for before its folder is made: the nearest folder there is sees
        // the folder come, and the file is watched again then.
        QString existing = folder;
        while (!QFileInfo(existing).isDir() && QFileInfo(existing).path() != existing)
            existing = QFileInfo(existing).path();
        if (!mFilesOfFolder.contains(existing) && !mFilesAwaitingFolder.contains(existing))
            mWatcher->addPath(existing);
        mFilesAwaitingFolder[existing] << file;
    }
    if (stamp.exists)
        mWatcher->addPath(file);
}

// Files waiting under `folder` for their own folder are watched anew; those that exist by
// now have changed.
void LivePreview::watchAgain(const QString &folder)
{
    const QStringList waiting = mFilesAwaitingFolder.take(folder);
    if (!mFilesOfFolder.contains(folder))
        mWatcher->removePath(folder);
    for (const QString &file : waiting) {
        mStamps.remove(file);
        watch(file);
        if (mStamps.value(file).exists)
            changed(file);
    }
}

void LivePreview::fileChanged(const QString &file)
{
    mStamps.insert(file, stampOf(file));
    // A file replaced by another is no longer watched by name.
    if (QFileInfo::exists(file) && !mWatcher->files().contains(file))
        mWatcher->addPath(file);
    changed(file);
}

void LivePreview::folderChanged(const QString &folder)
{
    const QStringList files = mWatcher->files();
    const QSet<QString> watched(files.cbegin(), files.cend());
    for (const QString &file : mFilesOfFolder.value(folder)) {
        const Stamp now = stampOf(file);
        if (now == mStamps.value(file))
            continue;
        mStamps.insert(file, now);
        if (now.exists && !watched.contains(file))
            mWatcher->addPath(file);
        changed(file);
    }
    if (mFilesAwaitingFolder.contains(folder))
        watchAgain(folder);
}

void LivePreview::changed(const QString &file)
{
    if (file.isEmpty() || mChanged.contains(file))
        return;
    mChanged << file;
    if (!mAnnounce->isActive())
        mAnnounce->start(gatherMs);
}

void LivePreview::announce()
{
    mServer.announceChanges(std::exchange(mChanged, QStringList()));
}
