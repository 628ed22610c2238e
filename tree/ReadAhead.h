#pragma once
// Reads the references of a site's pages and numbers their addresses (AddressSlots) on a
// thread of its own, a few pages ahead of a whole check that takes them in page order: the
// check looks up on disk while the next pages are read, each on a core of its own.

#include "tree/AddressSlots.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace linkCheck {

class ReadAhead
{
public:
    // `pages` must stay unchanged while the reading lasts; `site` resolves addresses from "/".
    ReadAhead(const QList<basSystem::PageRecord> &pages, const Base &site);
    ~ReadAhead();
    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

    // The reading of the next page, 1 up; waits until it is read.
    PageAhead take();

private:
    void run();

    // How many pages may wait read; the reader goes on once half of them are taken.
    static constexpr std::size_t window = 64;
    const QList<basSystem::PageRecord> &mPages;
    AddressSlots mSlots;   // the reading thread's own
    std::mutex mMutex;
    std::condition_variable mReadable;   // a page was read
    std::condition_variable mRoom;       // half the window was taken, or the reading stops
    std::deque<PageAhead> mRead;
    bool mStop = false;
    std::thread mThread;   // last: started once the rest is set up
};

}   // namespace linkCheck
