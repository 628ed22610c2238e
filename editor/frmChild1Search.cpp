// What a page editor offers searches: its text as a snapshot or a line at a time, the
// edits made to it (so that listed hits follow them), and selecting or replacing text.

#include "editor/FindBar.h"
#include "editor/PageEvents.h"
#include "editor/PageTextEdit.h"
#include "editor/frmChild1.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

PageSnapshot frmChild1::textSnapshot() const
{
    PageSnapshot snapshot;
    snapshot.page = plId;
    snapshot.encoding = pageEncoding();
    // A long text still going into the text box is all in mFillText; no edit comes between.
    if (!mDocumentFilled || isFilling()) {
        snapshot.text = mDocumentFilled ? mFillText : mPendingText;
        snapshot.waiting = true;
        // Edits kept for the text box are made on the search's thread; the hits' places
        // count in the text with them, as the text box will hold it.
        if (!mDocumentFilled)
            snapshot.pending = mEdits.pending();
    } else {
        snapshot.text = mTxtEdit->document()->toRawText();
    }
    return snapshot;
}

QString frmChild1::lineText(qsizetype line) const
{
    if (!mDocumentFilled && mEdits.hasPending())
        return LineFinder().line(searchText(), line);   // rare: a rename's edits wait for the text box
    if (mDocumentFilled && !isFilling())
        return mTxtEdit->document()->findBlockByNumber(int(line - 1)).text();
    return mLineFinder.line(mDocumentFilled ? mFillText : mPendingText, line);
}

void frmChild1::selectText(qsizetype start, qsizetype length)
{
    QTextDocument *document = txtEdit()->document();
    const qsizetype last = document->characterCount() - 1;
    QTextCursor cursor(document);
    cursor.setPosition(int(std::clamp(start, qsizetype(0), last)));
    cursor.setPosition(int(std::clamp(start + length, qsizetype(0), last)), QTextCursor::KeepAnchor);
    mTxtEdit->setTextCursor(cursor);
    mTxtEdit->ensureCursorVisible();
}

void frmChild1::replaceText(const QString &text)
{
    txtEdit();
    replaceTextBoxText(mTxtEdit, text);
}

// Tells of every change of the text box's text but a text set from outside coming in.
void frmChild1::followContentsChange(int position, int removed, int added)
{
    QTextDocument *document = mTxtEdit->document();
    const int blocks = document->blockCount();
    const int lineDelta = blocks - std::exchange(mBlockCount, blocks);
    if (mReplacingText)
        return;
    const QTextBlock end = document->findBlock(position + added);
    emit PageEvents::instance().textEdited(
        this, TextEdit{position, removed, added, lineDelta, end.blockNumber() + 1, end.position()});
}
