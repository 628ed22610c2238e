#pragma once
// The live preview: the site's folder served to the user's own browser by a LiveServer,
// pages with unsaved changes shown from their editors, and the browser told to reload a
// page when typing in it pauses, when it is saved, or when a file it shows changes on
// disk. The texts are taken here on the window's thread; the server encodes and sends
// them on its own.

#include "editor/LiveServer.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <mutex>

class QFileSystemWatcher;
class QTimer;
class frmChild1;

class LivePreview : public QObject
{
    Q_OBJECT
public:
    explicit LivePreview(QObject *parent = nullptr);
    ~LivePreview() override;

    // Starts the server for the site's folder unless it runs, and returns the address of
    // `editor`'s page; an empty text, with `error` saying why, when the page cannot be
    // shown (not saved yet, outside the site's folder, or the server could not start).
    QString pageAddress(frmChild1 *editor, QString *error);
    void stop();
    bool isRunning() const { return mServer.isRunning(); }
    // The address handed out last, while the server runs; empty once it stopped.
    QString address() const { return mAddress; }

    LiveServer &server() { return mServer; }
    // Tests shorten the server's limits.
    static void setLimits(const LiveServer::Limits &limits);

signals:
    void addressChanged(const QString &address);

private:
    bool startServer(const QString &root, QString *error);
    void takeText(frmChild1 *editor);
    void typingPaused(frmChild1 *editor);
    void pageSaved(frmChild1 *editor);
    void dropText(const QObject *editor);
    void watchSeen();
    void watch(const QString &file);
    void fileChanged(const QString &file);
    void folderChanged(const QString &folder);
    void changed(const QString &file);
    void announce();

    // The state of a file as last seen: changed when any of it differs.
    struct Stamp {
        bool exists = false;
        qint64 size = 0;
        qint64 modified = 0;
        bool operator==(const Stamp &) const = default;
    };
    static Stamp stampOf(const QString &file);

    LiveServer mServer;
    QString mAddress;
    // The file whose editor text the server holds, for each editor that gave one.
    QHash<const QObject *, QString> mTextFiles;
    // Files the server's threads reported, waiting to be watched.
    std::mutex mSeenMutex;
    QStringList mSeen;
    QFileSystemWatcher *mWatcher;
    QHash<QString, Stamp> mStamps;
    QHash<QString, QStringList> mFilesOfFolder;
    // Files whose folder did not exist when they were looked for, under the nearest folder
    // that did, which is watched until theirs is made.
    QHash<QString, QStringList> mFilesAwaitingFolder;
    void watchAgain(const QString &folder);
    QStringList mChanged;
    QTimer *mAnnounce;
};
