#pragma once
// The raw text of a text document (see editorText::crLfText), taken without holding up the
// window for long. toRawText() walks every fragment of the document at once: on a page of
// a million lines that is tens of milliseconds, and a key pressed meanwhile waits for it.
// A large document is taken in slices of whole lines instead, a few milliseconds each,
// over several turns of the event loop. An edit in the part already taken drops the
// slices from the edited place on, and they are taken again; so the text, once complete,
// is the document's text at that moment, whatever was typed in between.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QTextDocument;
class QTimer;

class DocumentSnapshot : public QObject
{
    Q_OBJECT
public:
    explicit DocumentSnapshot(QTextDocument *document, QObject *parent = nullptr);

    // Starts taking the text anew, from the document's start; a small document is taken
    // whole in the first slice. Slices run while the program is idle.
    void start();
    void cancel();
    bool isTaking() const;
    // The text taken, in pieces: each but the last ends just after a line break of the
    // document. The snapshot is left empty.
    QStringList takePieces();

signals:
    // The whole text is taken.
    void complete();

private:
    void takeSlice();
    void followEdit(int position);

    QPointer<QTextDocument> mDocument;
    QTimer *mTimer = nullptr;
    QStringList mPieces;
    QList<int> mPieceStarts;   // where each piece starts in the document
    int mTaken = 0;            // the document's text up to here is in the pieces
    int mRevision = 0;         // the document's revision when the last slice was taken
};
