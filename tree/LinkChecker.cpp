#include "tree/LinkChecker.h"

#include <QPromise>
#include <QThreadPool>

using linkCheck::SiteLinks;

LinkChecker::LinkChecker(const QList<basSystem::PageRecord> &pages, QObject *parent) : QObject(parent), mPages(pages)
{
    connect(&mWatcher, &QFutureWatcherBase::finished, this, &LinkChecker::takeResult);
}

LinkChecker::~LinkChecker()
{
    mWatcher.future().cancel();
}

void LinkChecker::checkSite(const QString &siteFolder)
{
    mWatcher.future().cancel();
    mLinks.reset();
    mSavedMeanwhile.clear();
    mWrittenMeanwhile.clear();
    mSiteFolder = siteFolder;
    mChecking = true;
    emit linksChanged();
    auto promise = std::make_shared<QPromise<std::shared_ptr<SiteLinks>>>();
    mWatcher.setFuture(promise->future());
    promise->start();
    // The copy of the page table shares its pages' texts until the table changes.
    QThreadPool::globalInstance()->start([promise, pages = mPages, siteFolder] {
        if (auto links = SiteLinks::check(pages, siteFolder, [&promise] { return promise->isCanceled(); }))
            promise->addResult(std::make_shared<SiteLinks>(std::move(*links)));
        promise->finish();
    });
}

void LinkChecker::takeResult()
{
    const QFuture<std::shared_ptr<SiteLinks>> future = mWatcher.future();
    if (future.isCanceled() || future.resultCount() == 0)
        return;
    mLinks = future.result();
    mChecking = false;
    const QList<qint32> saved = std::exchange(mSavedMeanwhile, {});
    const QStringList written = std::exchange(mWrittenMeanwhile, {});
    for (const qint32 page : saved)
        if (!mLinks->pageSaved(mPages, page))
            return checkSite(mSiteFolder);
    for (const QString &path : written)
        if (!mLinks->fileWritten(mPages, path))
            return checkSite(mSiteFolder);
    emit linksChanged();
}

void LinkChecker::apply(const std::function<bool(SiteLinks &)> &change)
{
    if (!mLinks)
        return;
    if (change(*mLinks))
        emit linksChanged();
    else
        checkSite(mSiteFolder);
}

void LinkChecker::pageSaved(qint32 page)
{
    if (mChecking) {
        if (!mSavedMeanwhile.contains(page))
            mSavedMeanwhile << page;
        return;
    }
    apply([this, page](SiteLinks &links) { return links.pageSaved(mPages, page); });
}

void LinkChecker::pageAdded()
{
    if (mChecking)
        return checkSite(mSiteFolder);
    apply([this](SiteLinks &links) { return links.pageAdded(mPages); });
}

void LinkChecker::pageRemoved(qint32 page)
{
    if (mChecking)
        return checkSite(mSiteFolder);
    apply([this, page](SiteLinks &links) { return links.pageRemoved(mPages, page); });
}

void LinkChecker::fileWritten(const QString &path)
{
    if (mChecking) {
        mWrittenMeanwhile << path;
        return;
    }
    apply([this, path](SiteLinks &links) { return links.fileWritten(mPages, path); });
}
