// Edits another command makes in a page editor's text, and takes back: links written anew
// when a file of the site moves.

#include "editor/frmChild1.h"

#include <QPlainTextEdit>
#include <QTextDocument>

void frmChild1::makeEdits(quint64 id, const QList<textEdits::Edit> &edits)
{
    if (mDocumentFilled) {
        // The text box's own signals mark the change; a long text goes in whole first.
        mEdits.apply(txtEdit()->document(), id, edits);
        return;
    }
    const bool wasModified = isModified();
    mEdits.addPending(id, edits);
    markPendingEdits(wasModified);
}

bool frmChild1::canTakeBackEdits(quint64 id) const
{
    return mEdits.canUndo(id, mDocumentFilled ? txtEdit()->document() : nullptr);
}

bool frmChild1::takeBackEdits(quint64 id)
{
    const bool wasModified = isModified();
    if (!mEdits.undo(id, mDocumentFilled ? txtEdit()->document() : nullptr))
        return false;
    if (!mDocumentFilled)
        markPendingEdits(wasModified);
    return true;
}

// An editor without its text box shows and tells whether it keeps edits, as the text box
// would tell of its own.
void frmChild1::markPendingEdits(bool wasModified)
{
    const bool modified = mEdits.hasPending();
    if (modified == wasModified)
        return;
    setModifiedMark(modified);
    emit modifiedChanged(modified);
}
