#pragma once
// The outcome of checking every link of a site, kept current as the program changes the
// site: a page saved, added or removed, or a file written. Each change checks again only
// the links it can have changed: the changed page's own links, and the links that look
// for a file the change made, moved or took away (found through a key of every link's
// target, letter case ignored). The directory listings read by the check stay, and learn
// the files the program writes; files changed by others are seen at the next whole check.
//
// A site's outcome is the set of its broken links and, for every page, how many other
// pages link to it. Checked anew from scratch it is the same as kept current, change by
// change.

#include "tree/LinkCheck.h"

#include <functional>
#include <optional>

namespace linkCheck {

class SiteLinks
{
public:
    // Checks every link of pages 1 up (index 0 is a placeholder), in time linear in the
    // links' total length, with one directory listing per folder looked into. `cancelled`
    // is asked between pages; a check it stops gives nothing.
    static std::optional<SiteLinks> check(const QList<basSystem::PageRecord> &pages, const QString &siteFolder,
                                          const std::function<bool()> &cancelled = {});

    // What the program changed, with `pages` as they are now. Each returns false, and
    // changes nothing, when `pages` no longer has the pages this outcome knows (it then
    // needs a whole check).
    //
    // Page `page` was written to its file (under a new name, perhaps) and its links read anew.
    bool pageSaved(const QList<basSystem::PageRecord> &pages, qint32 page);
    // A page was appended: the last of `pages`.
    bool pageAdded(const QList<basSystem::PageRecord> &pages);
    // Page `page` was taken out; `pages` no longer holds it and the pages after it moved up.
    bool pageRemoved(const QList<basSystem::PageRecord> &pages, qint32 page);
    // The program wrote the file at `path`, which is no page's.
    bool fileWritten(const QList<basSystem::PageRecord> &pages, const QString &path);

    // The outcome of link `link` (1 up) of page `page` when it is broken, or nullptr.
    const Lookup *brokenLink(qint32 page, qint32 link) const;
    struct Broken {
        qint32 link = 0;
        Lookup lookup;
        friend bool operator==(const Broken &, const Broken &) = default;
    };
    // The broken links of page `page`, in link order.
    const QList<Broken> &brokenLinks(qint32 page) const;
    qsizetype brokenCount() const;
    // How many other pages link to page `page`.
    qint32 linkedFrom(qint32 page) const;
    // The pages this outcome knows, as the page table counts them (the placeholder included).
    qsizetype tableSize() const { return mPages.size(); }
    qsizetype listingsRead() const { return mCache.listingsRead(); }

private:
    struct PageLinks {
        QString path;   // the page's file; empty for a page without one
        // A key of every file its links look for (letter case ignored), sorted, each once,
        // and one bit of each key: most pages are passed over by the bits alone.
        QList<quint32> targetKeys;
        quint64 keyBits = 0;
        QList<Broken> broken;
        QList<qint32> linksTo;   // the other pages its links lead to, each once
    };

    SiteLinks(const QString &siteFolder, qsizetype tableSize);
    void setPagePath(qint32 page, const QString &path);
    void checkPage(const QList<basSystem::PageRecord> &pages, qint32 page);
    void countLinkTo(qint32 page, const QString &target);
    void checkPagesLookingFor(const QList<basSystem::PageRecord> &pages, const QStringList &paths, qint32 except);

    Base mSite;
    FolderCache mCache;
    QList<PageLinks> mPages;   // by page; index 0 is a placeholder
    QList<qint32> mLinkedFrom;
    QHash<QString, QList<qint32>> mPagesByPath;
    QList<quint32> mCounted;   // by page: the check that last counted a link to it
    quint32 mCheck = 0;
    QString mPath;   // reused from link to link
};

// Checks every page at once (SiteLinks::check, never cancelled).
SiteLinks checkSite(const QList<basSystem::PageRecord> &pages, const QString &siteFolder);

// A key of the file `path` names, letter case ignored; never 0.
quint32 targetKey(QStringView path);

// The rows of the site check: broken links, pages no other page links to, and links to
// a file whose name differs only in letter case.
struct ReportRow {
    enum class Kind { Broken, Unlinked, CaseDiffers };
    Kind kind = Kind::Broken;
    qint32 page = 0;
    QString link;     // the link as written; empty for Unlinked
    QString target;   // the path looked for; the page's file for Unlinked
    QString onDisk;   // CaseDiffers: the file on disk
};

// The first page and an index page in the site's folder are where visitors come in: they
// are not reported as unlinked, nor is a page without a file.
QList<ReportRow> siteReport(const QList<basSystem::PageRecord> &pages, const SiteLinks &links,
                            const QString &siteFolder);

}   // namespace linkCheck
