#include "editor/DocumentSnapshot.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <utility>

namespace {
// A document this small is taken at once: toRawText() takes a millisecond or two for it.
constexpr int wholeChars = 1 << 18;
// How long a slice runs, and how many lines it takes between looks at the clock.
constexpr qint64 sliceNs = 4'000'000;
constexpr int linesBetweenLooks = 64;
}   // namespace

DocumentSnapshot::DocumentSnapshot(QTextDocument *document, QObject *parent)
    : QObject(parent), mDocument(document), mTimer(new QTimer(this))
{
    mTimer->setInterval(0);
    connect(mTimer, &QTimer::timeout, this, &DocumentSnapshot::takeSlice);
    // Colours change the document's layout, not its text, and leave its revision as it was.
    connect(document, &QTextDocument::contentsChange, this, [this](int position) {
        if (!isTaking() || mDocument->revision() == mRevision)
            return;
        mRevision = mDocument->revision();
        followEdit(position);
    });
}

void DocumentSnapshot::start()
{
    cancel();
    mRevision = mDocument->revision();
    mTimer->start();
}

void DocumentSnapshot::cancel()
{
    mTimer->stop();
    mPieces.clear();
    mPieceStarts.clear();
    mTaken = 0;
}

bool DocumentSnapshot::isTaking() const
{
    return mTimer->isActive();
}

QStringList DocumentSnapshot::takePieces()
{
    mPieceStarts.clear();
    mTaken = 0;
    return std::exchange(mPieces, {});
}

void DocumentSnapshot::takeSlice()
{
    if (!mDocument) {
        cancel();
        return;
    }
    mRevision = mDocument->revision();
    if (mTaken == 0 && mDocument->characterCount() <= wholeChars) {
        mPieces = {mDocument->toRawText()};
        mPieceStarts = {0};
        mTimer->stop();
        emit complete();
        return;
    }
    QElapsedTimer spent;
    spent.start();
    QString piece;
    QTextBlock block = mDocument->findBlock(mTaken);
    for (int lines = 1; block.isValid(); ++lines) {
        piece += block.text();
        block = block.next();
        if (block.isValid())
            piece += QChar(QChar::ParagraphSeparator);
        if (lines % linesBetweenLooks == 0 && spent.nsecsElapsed() > sliceNs)
            break;
    }
    mPieceStarts << mTaken;
    mTaken += int(piece.size());
    mPieces << piece;
    if (block.isValid())
        return;
    mTimer->stop();
    emit complete();
}

// Text before `position` is as it was; the pieces that reach it are taken again.
void DocumentSnapshot::followEdit(int position)
{
    while (!mPieces.isEmpty() && mPieceStarts.constLast() + mPieces.constLast().size() > position) {
        mTaken = mPieceStarts.takeLast();
        mPieces.removeLast();
    }
}
