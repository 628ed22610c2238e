#include "editor/TypingPause.h"

#include <QTextDocument>
#include <QTimer>

namespace {
int gDelayMs = typingPauseMs;
}

TypingPause::TypingPause(QTextDocument *document, std::function<bool()> isUsersChange, QObject *parent)
    : QObject(parent),
      mDocument(document),
      mIsUsersChange(std::move(isUsersChange)),
      mTimer(new QTimer(this)),
      mRevision(document->revision())
{
    mTimer->setSingleShot(true);
    connect(mTimer, &QTimer::timeout, this, &TypingPause::paused);
    connect(document, &QTextDocument::contentsChange, this, [this] {
        const int revision = mDocument->revision();
        if (revision == mRevision)
            return;
        mRevision = revision;
        if (mIsUsersChange())
            mTimer->start(gDelayMs);
    });
}

void TypingPause::stop()
{
    mTimer->stop();
}

bool TypingPause::isWaiting() const
{
    return mTimer->isActive();
}

void TypingPause::setDelay(int ms)
{
    gDelayMs = ms;
}
