#include "tree/ReadAhead.h"

namespace linkCheck {

ReadAhead::ReadAhead(const QList<basSystem::PageRecord> &pages, const Base &site)
    : mPages(pages), mSlots(site), mThread([this] { run(); })
{ }

ReadAhead::~ReadAhead()
{
    {
        const std::lock_guard lock(mMutex);
        mStop = true;
    }
    mRoom.notify_one();
    mThread.join();
}

PageAhead ReadAhead::take()
{
    std::unique_lock lock(mMutex);
    mReadable.wait(lock, [this] { return !mRead.empty(); });
    PageAhead reading = std::move(mRead.front());
    mRead.pop_front();
    const bool room = mRead.size() == window / 2;
    lock.unlock();
    if (room)
        mRoom.notify_one();
    return reading;
}

void ReadAhead::run()
{
    for (qsizetype p = 1; p < mPages.size(); ++p) {
        PageAhead reading = readAhead(mPages.at(p), mSlots);
        std::unique_lock lock(mMutex);
        mRoom.wait(lock, [this] { return mStop || mRead.size() < window; });
        if (mStop)
            return;
        mRead.push_back(std::move(reading));
        lock.unlock();
        mReadable.notify_one();
    }
}

}   // namespace linkCheck
