// A page editor's recovery copy: written a few seconds after typing pauses, removed when
// the text is saved or discarded.

#include "app/basSystem.h"
#include "editor/EditorText.h"
#include "editor/PageTextEdit.h"
#include "editor/RecoveryFolder.h"
#include "editor/TypingPause.h"
#include "editor/frmChild1.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

using namespace basSystem;

namespace {
int gRecoveryDelayMs = typingPauseMs;
}

void frmChild1::setRecoveryDelay(int ms)
{
    gRecoveryDelayMs = ms;
}

void frmChild1::watchForRecovery()
{
    mRecoveryTimer = new QTimer(this);
    mRecoveryTimer->setSingleShot(true);
    connect(mRecoveryTimer, &QTimer::timeout, this, &frmChild1::writeRecoveryCopy);
    // Each change only restarts the timer: the copy is written once typing pauses. A
    // change back to the saved text is followed too, so that its copy goes away. The first
    // change of a text reports its contents before the document counts as modified.
    const auto restart = [this] {
        if (mTxtEdit->document()->isModified() || !mCopyPath.isEmpty())
            mRecoveryTimer->start(gRecoveryDelayMs);
    };
    connect(mTxtEdit->document(), &QTextDocument::contentsChange, this, restart);
    connect(mTxtEdit->document(), &QTextDocument::modificationChanged, this, restart);
}

bool frmChild1::writeRecoveryCopy()
{
    if (mRecoveryTimer)
        mRecoveryTimer->stop();
    const PageRecord *page = plId >= 1 && plId < gPageTable.size() ? &gPageTable.at(plId) : nullptr;
    if (!isModified() || !page) {
        dropRecoveryCopy();
        return true;
    }
    RecoveryCopy copy;
    copy.pagePath = page->FileName.isEmpty() ? QString() : page->Folder + page->FileName;
    copy.definitionPath = gSite.FilePath;
    copy.pageIndex = plId;
    copy.title = page->Title;
    copy.encoding = page->Encoding;
    copy.pageHash = mFileHash;
    copy.text = text();
    QString error;
    const QString written = recoveryFolder::write(copy, &error);
    if (written.isEmpty()) {
        // Worth a line in the log, not a message box after every pause in typing.
        if (error != mCopyError)
            qWarning("recovery copy not written: %s", qUtf8Printable(error));
        mCopyError = error;
        return false;
    }
    mCopyError.clear();
    // A page saved under a new name, or a definition saved under a new name, moves the copy.
    if (!mCopyPath.isEmpty() && mCopyPath != written)
        QFile::remove(mCopyPath);
    mCopyPath = written;
    return true;
}

void frmChild1::dropRecoveryCopy()
{
    if (mRecoveryTimer)
        mRecoveryTimer->stop();
    if (mCopyPath.isEmpty())
        return;
    QFile::remove(mCopyPath);
    mCopyPath.clear();
}

void frmChild1::restoreText(const QString &recovered, const QString &copyPath)
{
    QTextCursor cursor(txtEdit()->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(editorText::documentText(recovered));
    mCopyPath = copyPath;
    Show();
}
