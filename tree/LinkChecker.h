#pragma once
// Keeps the link check of the open site: a whole-site check runs on a worker thread over a
// copy of the page table, and can be cancelled; changes the program makes meanwhile (a page
// saved, added or removed, a file written) are checked on the spot against the outcome
// when there is one, and otherwise applied to the running check's outcome when it arrives
// (a page added or removed starts the check again), so that it never ends stale.

#include "tree/SiteLinks.h"

#include <QFutureWatcher>
#include <QObject>

#include <memory>

class LinkChecker : public QObject
{
    Q_OBJECT
public:
    // Checks the pages of `pages` (the live page table, which outlives the checker).
    explicit LinkChecker(const QList<basSystem::PageRecord> &pages, QObject *parent = nullptr);
    // Cancels the check that is running.
    ~LinkChecker() override;

    // Starts checking every link of the site as its pages stand now, cancelling the check
    // that is running; until it is done, links() is nullptr.
    void checkSite(const QString &siteFolder);
    bool isChecking() const { return mChecking; }
    // The outcome; nullptr while a whole-site check runs (and before the first).
    const linkCheck::SiteLinks *links() const { return mChecking ? nullptr : mLinks.get(); }

    // What the program changed, as the page table stands now.
    void pageSaved(qint32 page);
    void pageAdded();
    void pageRemoved(qint32 page);
    void fileWritten(const QString &path);

signals:
    // The outcome changed: a whole-site check started (there is none until it ends) or
    // ended, or a change was checked.
    void linksChanged();

private:
    void takeResult();
    // Applies a change to the outcome (false when it no longer fits the page table).
    void apply(const std::function<bool(linkCheck::SiteLinks &)> &change);

    const QList<basSystem::PageRecord> &mPages;
    QString mSiteFolder;
    std::shared_ptr<linkCheck::SiteLinks> mLinks;
    QFutureWatcher<std::shared_ptr<linkCheck::SiteLinks>> mWatcher;
    bool mChecking = false;
    // Changes made while the check runs, for its outcome.
    QList<qint32> mSavedMeanwhile;
    QStringList mWrittenMeanwhile;
};
