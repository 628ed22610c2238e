#pragma once
// Puts the texts of shown editors into their text boxes while the program is idle, so that
// a site with every page open shows at once and answers every key and click meanwhile.
//
// Editors shown together (a site read) wait for their controls and text until some of
// their contents can be seen (KForm::contentsSeen), and those one can see take them first,
// the top one first; an editor wholly covered by other windows waits until it is
// uncovered or reached (activated, clicked, asked for its text), so that a thousand open
// pages make text boxes only for the few one can see. A long text goes in piece by piece.
// The work runs from the event loop when nothing else waits, in slices of a few
// milliseconds, and rests for a moment after each key, click or wheel turn, so that
// whatever the user does is handled and painted first.

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class frmChild1;

class EditorFiller : public QObject
{
public:
    // The program's one filler.
    static EditorFiller &instance();

    // `editor`, shown while waiting for its controls and text, can be seen: it takes them
    // before the rest of the filling, if possible before the area is painted.
    void fillSeen(frmChild1 *editor);
    // `editor` takes in the rest of a long text piece by piece (frmChild1::fillNextPiece).
    void fillInPieces(frmChild1 *editor);
    // True while an editor one can see still waits for its text, or a long text is still
    // coming in.
    bool busy() const;

protected:
    void customEvent(QEvent *event) override;

private:
    // Notes when the user last pressed a key or a button or turned the wheel, while it is
    // installed on the application.
    class InputClock : public QObject
    {
    public:
        bool inputWithin(qint64 ms) const { return mLast.isValid() && mLast.elapsed() < ms; }
        qint64 sinceInput() const { return mLast.elapsed(); }

    protected:
        bool eventFilter(QObject *watched, QEvent *event) override;

    private:
        QElapsedTimer mLast;
    };

    explicit EditorFiller(QObject *parent);
    void fillSlice();
    void fillFor(qint64 budgetMs);
    bool fillOne();
    void planNextSlice();

    QList<QPointer<frmChild1>> mSeen;     // waiting editors one can see, the top one first
    QList<QPointer<frmChild1>> mPieces;   // long texts coming in, taking turns
    QTimer mSlices;
    InputClock mInput;
    bool mNowPosted = false;
    bool mWatchingInput = false;
};
