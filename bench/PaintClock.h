#pragma once
// Times a click or a key to the last paint it causes. The benchmark's application notes
// when each paint of a watched widget ends, and when the update of the window that
// carried it ends (the update paints the window's widgets and hands the result to the
// window system). After the action the event loop runs until nothing watched has been
// painted for a while; the action's time runs from its start to the end of that last
// paint. The caret does not blink, so that its blinking never counts as a paint.

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <functional>

class PaintClockApplication : public QApplication
{
public:
    PaintClockApplication(int &argc, char **argv) : QApplication(argc, argv)
    {
        mClock.start();
        setCursorFlashTime(0);
    }

    static PaintClockApplication *instance() { return static_cast<PaintClockApplication *>(qApp); }

    // Paints of `widget` and of everything inside it count from now on; nullptr counts
    // every paint.
    void watch(QWidget *widget)
    {
        mWatched = widget;
        mWatchAll = widget == nullptr;
    }

    // Runs `action`, then the event loop until nothing watched has been painted for
    // `quietMs`; the milliseconds from the start of the action to the end of its last
    // paint, or -1 when it painted nothing.
    Q_NEVER_INLINE double timeToLastPaint(const std::function<void()> &action, int quietMs = 150)
    {
        const qint64 start = mClock.nsecsElapsed();
        mLastPaint = -1;
        action();
        waitForQuiet(mClock.nsecsElapsed(), quietMs);
        return mLastPaint < 0 ? -1 : double(mLastPaint - start) / 1e6;
    }

    // Runs the event loop until nothing watched has been painted for `quietMs`; the moment
    // that last paint ended, or now when nothing was painted (see now()).
    qint64 settle(int quietMs = 150)
    {
        const qint64 start = mClock.nsecsElapsed();
        mLastPaint = -1;
        waitForQuiet(start, quietMs);
        return std::max(start, mLastPaint);
    }

    // Nanoseconds on the clock the paints are timed with.
    qint64 now() const { return mClock.nsecsElapsed(); }

    // Runs the event loop for `ms` milliseconds.
    void runFor(int ms)
    {
        const qint64 end = mClock.nsecsElapsed() + qint64(ms) * 1000000;
        QTimer beat;
        beat.start(1);
        while (mClock.nsecsElapsed() < end)
            processEvents(QEventLoop::WaitForMoreEvents);
    }

    bool notify(QObject *receiver, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::Paint && type != QEvent::UpdateRequest)
            return QApplication::notify(receiver, event);
        const qint64 paintsBefore = mWatchedPaints;

        const bool done = QApplication::notify(receiver, event);
        if (type == QEvent::Paint && isWatched(receiver))
            ++mWatchedPaints;

        if (mWatchedPaints != paintsBefore)
            mLastPaint = mClock.nsecsElapsed();
        return done;
    }

private:
    bool isWatched(QObject *receiver) const
    {
        if (mWatchAll)
            return true;
        const auto *widget = qobject_cast<QWidget *>(receiver);
        return widget && mWatched && (widget == mWatched || mWatched->isAncestorOf(widget));
    }

    void waitForQuiet(qint64 start, int quietMs)
    {
        const qint64 quiet = qint64(quietMs) * 1000000;
        // A beat wakes the loop, so that it notices the quiet without waiting for an event.
        QTimer beat;
        beat.start(2);
        while (mClock.nsecsElapsed() - std::max(start, mLastPaint) < quiet)
            processEvents(QEventLoop::WaitForMoreEvents);
    }

    QElapsedTimer mClock;
    QPointer<QWidget> mWatched;
    bool mWatchAll = true;
    qint64 mWatchedPaints = 0;
    qint64 mLastPaint = -1;
};
