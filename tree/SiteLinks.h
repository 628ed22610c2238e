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
//
// Besides the links the tree shows (the HREF values of the page scan), the check reads
// every reference of each page's text (pictures, style sheets, scripts, frames, objects,
// anchors; see PageReferences.h) and of the style sheets they reach, each style sheet read
// once and its addresses resolved from its own folder. A reference whose file is missing
// or differs in letter case, a fragment ("page.htm#part", "#part") that its page does not
// offer, and a value that is no address at all are its problems. A page of the definition
// counts as there, also before it is first saved.

#include "tree/AddressSlots.h"
#include "tree/LinkCheck.h"
#include "tree/PageReferences.h"

#include <QSet>

#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <map>
#include <optional>

namespace linkCheck {

// A problem among the references of a page or a style sheet.
struct RefProblem {
    enum class Kind { Broken, CaseDiffers, BrokenAnchor, NotAddress };
    Kind kind = Kind::Broken;
    pageRefs::Kind refKind = pageRefs::Kind::Page;
    qint32 line = 0;        // where the value stands in the text checked: its line, 1 up,
    qsizetype offset = 0;   // and its place in the text
    QString link;           // the value as written
    QString target;         // the path looked for; for a missing anchor, the file and "#part"
    QString onDisk;         // CaseDiffers: the file whose name differs only in letter case
    friend bool operator==(const RefProblem &, const RefProblem &) = default;
};

// Two bits of each key of the files a page or style sheet looks for, out of 256: a check
// of a change passes over most pages by these bits alone, without touching their records.
struct KeyFilter {
    std::array<quint64, 4> words{};
    void add(quint32 key)
    {
        set(key >> 24);
        set((key >> 16) & 0xff);
    }
    bool mayHold(quint32 key) const { return has(key >> 24) && has((key >> 16) & 0xff); }

private:
    void set(quint32 bit) { words[bit >> 6] |= quint64(1) << (bit & 63); }
    bool has(quint32 bit) const { return words[bit >> 6] & (quint64(1) << (bit & 63)); }
};

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

    // The problems among the references of page `page`.
    const QList<RefProblem> &problems(qint32 page) const;
    // The style sheets the pages reach, by path: what could not be read, and the problems
    // among their references.
    struct StyleSheet {
        QString error;   // why it could not be read; empty when it was
        QList<pageRefs::Reference> refs;
        QList<RefProblem> problems;
        QList<quint32> targetKeys;
        KeyFilter keyFilter;
    };
    const std::map<QString, StyleSheet> &styleSheets() const { return mSheets; }

private:
    struct PageLinks {
        QString path;   // the page's file; empty for a page without one
        // A key of every file its links look for (letter case ignored), sorted, each once
        // (their filter is kept apart, in mKeyFilters).
        QList<quint32> targetKeys;
        QList<Broken> broken;
        QList<qint32> linksTo;         // the other pages its links lead to, each once
        QList<qint32> anchorTargets;   // the pages its links name an anchor in, sorted, each once
        QList<RefProblem> problems;
        QSet<QString> anchors;   // the fragment names its text offers
    };
    // A fragment to look for once the anchors of the page it names are known.
    struct PendingAnchor {
        qint32 page = 0;
        RefProblem problem;
        QString fragment;
    };
    // What a reference is checked for, and where its outcome goes.
    struct RefOwner {
        qint32 page = 0;   // 0 for a style sheet
        QList<RefProblem> &problems;
        QList<quint32> &targetKeys;
        KeyFilter &keyFilter;
    };

    SiteLinks(const QString &siteFolder, qsizetype tableSize);
    void setPagePath(qint32 page, const QString &path);
    void placePage(qint32 page, const QString &path);
    void checkPage(const QList<basSystem::PageRecord> &pages, qint32 page);
    void checkPage(const QList<basSystem::PageRecord> &pages, qint32 page, PageAhead ahead);
    void countLinkTo(qint32 page, const QList<qint32> *targets);
    void checkPagesLookingFor(const QList<basSystem::PageRecord> &pages, const QStringList &paths, qint32 except,
                              qint32 anchorsOf = 0);
    Lookup lookUpFile(bool folder);
    // What an address leads to from one folder: resolved, looked up and keyed once while
    // one change (or the whole check) is checked, since the pages of a folder share most
    // of their addresses; kept by the address's slot (AddressSlots).
    struct Memo {
        bool notAddress = false;   // markup taken for a value (pageRefs::isNotAddress): never resolved
        LinkKind kind = LinkKind::Empty;
        quint32 key = 0;
        Lookup found;   // a file: Found with the path found, or broken
        // The pages at the path found (looked up once for all the links that lead there);
        // valid while the memo is, which is forgotten whenever a page's path changes.
        const QList<qint32> *pages = nullptr;
    };
    void takeFresh(PageAhead &ahead);
    Memo memoOf(Resolution r);
    void forgetMemo();
    static void addKey(QList<quint32> &keys, KeyFilter &filter, quint32 key);
    // Sorted and each once, taken once the list is all in, so that it is looked up by halves.
    template<typename T>
    static void sortOnce(QList<T> &list)
    {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }
    void listNotAddresses(const basSystem::PageRecord &record, qint32 page, const QList<qint32> &links);
    void checkReferences(const basSystem::PageRecord &record, qint32 page, PageAhead &ahead);
    void checkReference(const pageRefs::FoundReference &ref, const Memo &memo, RefOwner owner);
    void checkAnchor(qint32 page, const pageRefs::FoundReference &ref, const Memo &memo, QStringView fragment);
    void settleAnchorsOn(qint32 page);
    static bool hasAnchor(const QSet<QString> &anchors, QStringView fragment);
    bool hasAnchor(const QString &path, QStringView fragment);
    const QSet<QString> *anchorsAt(const QString &path);
    void readStyleSheets();
    void checkStyleSheet(const QString &path, StyleSheet &sheet);
    void forgetFile(const QString &path);

    Base mSite;
    FolderCache mCache;
    QList<PageLinks> mPages;        // by page; index 0 is a placeholder
    QList<KeyFilter> mKeyFilters;   // by page, side by side so that a change's check reads only them
    QList<qint32> mLinkedFrom;
    QHash<QString, QList<qint32>> mPagesByPath;
    QList<quint32> mCounted;   // by page: the check that last counted a link to it
    quint32 mCheck = 0;
    QString mPath;         // the path being looked up
    AddressSlots mSlots;   // numbers the addresses of a change's pages
    QList<Memo> mMemos;    // by slot: of mSlots, or of the reading thread's in a whole check
    std::map<QString, StyleSheet> mSheets;
    QStringList mSheetsToRead;
    QHash<QString, std::optional<QSet<QString>>> mFileAnchors;   // of HTML files outside the definition
    // The pages whose anchors are known: all but while a whole check reads them in order.
    qint32 mAnchorsKnownTo = std::numeric_limits<qint32>::max();
    QHash<qint32, QList<PendingAnchor>> mAnchorsAwaited;   // by the page they name
    QList<PendingAnchor> mOwnAnchors;                      // the page being read: its links within itself
};

// Checks every page at once (SiteLinks::check, never cancelled).
SiteLinks checkSite(const QList<basSystem::PageRecord> &pages, const QString &siteFolder);

// A key of the file `path` names, letter case ignored; never 0.
quint32 targetKey(QStringView path);

// The rows of the site check: broken references (those among the tree's links that no
// reference read covers too), missing anchors, pages no other page links to, references
// to a file whose name differs only in letter case, and values that are no address; each
// group by page and line, then the style sheets' by file and line.
struct ReportRow {
    enum class Kind { Broken, Unlinked, CaseDiffers, BrokenAnchor, NotAddress };
    Kind kind = Kind::Broken;
    qint32 page = 0;                         // 0 for a reference in a style sheet
    QString link;                            // the link as written; empty for Unlinked
    QString target;                          // the path looked for; the page's file for Unlinked
    QString onDisk;                          // CaseDiffers: the file on disk
    QString file;                            // the style sheet the reference stands in; empty for a page's
    qint32 line = 0;                         // the line the reference stands on, 1 up; 0 for Unlinked
    std::optional<pageRefs::Kind> refKind;   // what it refers to; none for Unlinked
    friend bool operator==(const ReportRow &, const ReportRow &) = default;
};

// The first page and an index page in the site's folder are where visitors come in: they
// are not reported as unlinked, nor is a page without a file.
QList<ReportRow> siteReport(const QList<basSystem::PageRecord> &pages, const SiteLinks &links,
                            const QString &siteFolder);

}   // namespace linkCheck
