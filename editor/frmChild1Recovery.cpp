// A page editor's recovery copy: written once typing pauses, removed when the text is
// saved or discarded, its failure shown in the status line.

#include "app/basSystem.h"
#include "editor/EditorText.h"
#include "editor/EditorTexts.h"
#include "editor/PageTextEdit.h"
#include "editor/RecoveryCopier.h"
#include "editor/frmChild1.h"

#include <QLabel>
#include <QTextCursor>
#include <QTextDocument>

using namespace basSystem;

void frmChild1::watchForRecovery()
{
    mRecovery = new RecoveryCopier(
        mTxtEdit->document(), [this] { return recoveryCopyDescription(); }, this);
    connect(mRecovery, &RecoveryCopier::finished, this, &frmChild1::showRecoveryState);
    // A change back to the saved text is followed too, so that its copy goes away.
    connect(this, &frmChild1::typingPaused, this, &frmChild1::keepRecoveryCopy);
}

// Everything a copy records besides the text; a page no longer in the table has none.
RecoveryCopy frmChild1::recoveryCopyDescription() const
{
    RecoveryCopy copy;
    copy.definitionPath = gSite.FilePath;
    copy.pageIndex = plId;
    copy.pageHash = mFileHash;
    if (plId >= 1 && plId < gPageTable.size()) {
        const PageRecord &page = gPageTable.at(plId);
        copy.pagePath = page.FileName.isEmpty() ? QString() : page.Folder + page.FileName;
        copy.title = page.Title;
        copy.encoding = page.Encoding;
    }
    return copy;
}

void frmChild1::keepRecoveryCopy()
{
    if (isModified())
        mRecovery->request();
    else
        dropRecoveryCopy();
}

bool frmChild1::writeRecoveryCopyNow()
{
    if (!mRecovery)
        return true;   // never filled, so never changed
    if (!isModified()) {
        dropRecoveryCopy();
        return true;
    }
    return mRecovery->writeNow();
}

void frmChild1::writeAllRecoveryCopies()
{
    for (const QPointer<frmChild1> &editor : std::as_const(gPageEditors))
        if (frmChild1 *e = liveEditor(editor); e && !e->writeRecoveryCopyNow())
            qWarning("recovery copy not written: %s", qUtf8Printable(e->mRecovery->failure()));
}

void frmChild1::dropRecoveryCopy()
{
    if (!mRecovery)
        return;
    mRecovery->drop();
}

void frmChild1::restoreText(const QString &recovered, const QString &copyPath)
{
    QTextCursor cursor(txtEdit()->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(editorText::documentText(recovered));
    mRecovery->adopt(copyPath);
    Show();
}

// The status line carries a mark while the text is in no copy; its tooltip says why.
void frmChild1::showRecoveryState()
{
    showCaretPlace();
    const QString &failure = mRecovery->failure();
    mStatusLine->setToolTip(failure.isEmpty() ? QString() : editorTexts::recoveryFailedTip + failure);
}
