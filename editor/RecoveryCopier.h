#pragma once
// One editor's recovery copy (see editor/RecoveryStore.h for where copies go). A copy is
// made when asked, once typing pauses: its text is taken on the window's thread in slices
// (see editor/DocumentSnapshot.h), then turned into the copy's bytes and written piece by
// piece on a worker thread, so that neither holds up the window for long. It goes into
// the first location of the program's recovery store that takes it. One copy is made at a
// time, whichever editor asks, so that no more than one page's text is held aside at once.

#include "editor/RecoveryCopy.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class DocumentSnapshot;
class QTextDocument;
class RecoveryStore;
struct CopyJob;

class RecoveryCopier : public QObject
{
    Q_OBJECT
public:
    // `describe` gives what the copy records besides its text, at the moment the text has
    // been taken.
    RecoveryCopier(QTextDocument *document, std::function<RecoveryCopy()> describe, QObject *parent);
    // A copy under way is abandoned; a copy already written stays, as after a crash.
    ~RecoveryCopier() override;

    // Makes a copy of the text as it stands when its turn comes.
    void request();
    // Writes the copy now, on this thread, the text taken whole (the program is ending and
    // no one can be asked); false when no location took it.
    bool writeNow();
    // Abandons a copy under way and removes the copy, and a leftover it was restored from.
    void drop();
    // The leftover copy at `path` that the text was restored from: it goes once this
    // editor's own copy is written (asked for at once) or dropped.
    void adopt(const QString &path);

    // Why the last copy could not be written in any location: each place tried and the
    // system's reason, one line each; empty once a copy was written or dropped.
    const QString &failure() const { return mFailure; }
    // True from a request until its copy was written or could not be.
    bool isBusy() const;
    // The copy's file in each location of the store.
    const QString &fileName() const { return mName; }

signals:
    // A copy was written, or could not be (failure() says why), or was dropped.
    void finished();
    // The copy's text has been taken: later edits are not in it.
    void textTaken();

private:
    friend class CopyQueue;
    void beginTaking();
    void textComplete();
    void jobDone(const CopyJob &job);
    void abandon();
    std::shared_ptr<CopyJob> newJob(QStringList pieces);

    QTextDocument *mDocument;
    std::function<RecoveryCopy()> mDescribe;
    // The program's store when the editor was made: it stays while the editor does.
    std::shared_ptr<RecoveryStore> mStore;
    DocumentSnapshot *mSnapshot;
    QString mName;
    std::shared_ptr<CopyJob> mJob;   // the copy being written, while it is
    QString mAdopted;
    QString mFailure;
    bool mCopyMade = false;   // a copy may have been written since the last drop
};
