#include "editor/TypingPause.h"

#include <QTextDocument>
#include <QTimer>

namespace {
int gDelayMs = 0;
}

TypingPause::TypingPause(QTextDocument *document, QObject *parent) : QObject(parent), mTimer(new QTimer(this))
{
    mTimer->setSingleShot(true);
    // A coarse timer may end the pause a twentieth early.
    mTimer->setTimerType(Qt::PreciseTimer);
    connect(mTimer, &QTimer::timeout, this, &TypingPause::paused);
    // Each change only restarts the timer. The first change of a text reports its contents
    // before the document counts as modified; its modification change follows at once.
    connect(document, &QTextDocument::contentsChange, this, [this, document] {
        if (document->isModified())
            mTimer->start(delay());
    });
    connect(document, &QTextDocument::modificationChanged, this, [this] { mTimer->start(delay()); });
}

void TypingPause::setDelay(int ms)
{
    gDelayMs = ms;
}

int TypingPause::delay()
{
    return gDelayMs > 0 ? gDelayMs : typingPauseMs;
}
