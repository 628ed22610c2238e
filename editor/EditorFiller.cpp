#include "editor/EditorFiller.h"
#include "editor/frmChild1.h"

#include <QApplication>

namespace {
// A slice of work; one unit (an editor's controls and first screen, a piece of a long
// text) always runs whole, so that a slice can take longer than this.
constexpr qint64 sliceMs = 8;
// The filling rests this long after a key, a click or a wheel turn.
constexpr qint64 restAfterInputMs = 100;
// What editors just come into sight get at once, before the area is painted, so that they
// do not show empty; whatever is left comes in slices.
constexpr qint64 seenNowMs = 16;

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::InputMethod: return true;
    default: return false;
    }
}
}   // namespace

EditorFiller &EditorFiller::instance()
{
    static QPointer<EditorFiller> filler;
    if (!filler)
        filler = new EditorFiller(qApp);
    return *filler;
}

EditorFiller::EditorFiller(QObject *parent) : QObject(parent)
{
    mSlices.setSingleShot(true);
    connect(&mSlices, &QTimer::timeout, this, &EditorFiller::fillSlice);
}

// The editors come in as the area finds them in sight, the top one first. Their first
// slice runs once the events now waiting are handled: the area's next paint waits behind
// events of ordinary priority.
void EditorFiller::fillSeen(frmChild1 *editor)
{
    if (!mSeen.contains(editor))
        mSeen << QPointer(editor);
    if (!mNowPosted) {
        mNowPosted = true;
        QCoreApplication::postEvent(this, new QEvent(QEvent::User));
    }
}

void EditorFiller::fillInPieces(frmChild1 *editor)
{
    if (!mPieces.contains(editor))
        mPieces << QPointer(editor);
    planNextSlice();
}

bool EditorFiller::busy() const
{
    return mNowPosted || !mSeen.isEmpty() || !mPieces.isEmpty();
}

void EditorFiller::customEvent(QEvent *event)
{
    if (event->type() != QEvent::User)
        return;
    mNowPosted = false;
    fillFor(seenNowMs);
    planNextSlice();
}

bool EditorFiller::InputClock::eventFilter(QObject *watched, QEvent *event)
{
    if (isInput(event->type()))
        mLast.start();
    return QObject::eventFilter(watched, event);
}

void EditorFiller::fillSlice()
{
    if (mInput.inputWithin(restAfterInputMs)) {
        mSlices.start(int(restAfterInputMs - mInput.sinceInput()));
        return;
    }
    fillFor(sliceMs);
    planNextSlice();
}

void EditorFiller::fillFor(qint64 budgetMs)
{
    QElapsedTimer spent;
    spent.start();
    while (spent.elapsed() < budgetMs && fillOne()) { }
}

// One unit of work: a seen editor's controls and first screen, else the next piece of a
// long text; false when there is none.
bool EditorFiller::fillOne()
{
    while (!mSeen.isEmpty()) {
        const QPointer<frmChild1> editor = mSeen.takeFirst();
        if (editor && editor->waitsForText() && editor->Visible()) {
            editor->fillDocument();
            return true;
        }
    }
    while (!mPieces.isEmpty()) {
        const QPointer<frmChild1> editor = mPieces.takeFirst();
        if (editor && editor->isFilling()) {
            if (editor->fillNextPiece())
                mPieces << editor;   // long texts take turns
            return true;
        }
    }
    return false;
}

// Keeps the slices coming while there is work, and watches for input meanwhile.
void EditorFiller::planNextSlice()
{
    const bool work = !mSeen.isEmpty() || !mPieces.isEmpty();
    if (work && !mSlices.isActive())
        mSlices.start(0);
    if (work != mWatchingInput) {
        mWatchingInput = work;
        if (work)
            qApp->installEventFilter(&mInput);
        else
            qApp->removeEventFilter(&mInput);
    }
}
