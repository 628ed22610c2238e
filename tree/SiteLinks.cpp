#include "tree/SiteLinks.h"
#include "tree/ReadAhead.h"

#include <algorithm>
#include <cstring>

using basSystem::PageRecord;

namespace linkCheck {

namespace {
// Folds the ASCII capitals of four UTF-16 units below 0x80 at once: a unit from 'A' to
// 'Z' gains 0x20. Each unit's sums stay below 0x100, so no carry reaches the next one.
quint64 foldFourAscii(quint64 units)
{
    constexpr quint64 ones = 0x0001000100010001u;
    const quint64 fromA = units + 0x3f * ones;   // 0x80 set where the unit is 'A' or more
    const quint64 pastZ = units + 0x25 * ones;   // 0x80 set where it is past 'Z'
    return units | ((fromA & ~pastZ & 0x80 * ones) >> 2);
}

quint64 mixKey(quint64 key, quint64 value)
{
    return (key ^ value) * 0x100000001b3u;   // FNV-1a's prime, four units a step
}

// Mixes the UTF-16 units of `path` into a key, four at a time. With `foldAscii`, ASCII
// capitals are folded on the way, and a path that is not all ASCII gives nullopt.
std::optional<quint64> mixUnits(QStringView path, bool foldAscii)
{
    constexpr quint64 notAscii = 0xff80ff80ff80ff80u;
    quint64 key = 0xcbf29ce484222325u;
    for (qsizetype i = 0; i < path.size(); i += 4) {
        quint64 units = 0;
        if (i + 4 <= path.size())
            std::memcpy(&units, path.data() + i, sizeof units);
        else
            for (qsizetype k = i; k < path.size(); ++k)
                units |= quint64(path[k].unicode()) << (16 * (k - i));
        if (foldAscii && (units & notAscii))
            return std::nullopt;
        key = mixKey(key, foldAscii ? foldFourAscii(units) : units);
    }
    return key;
}
}   // namespace

quint32 targetKey(QStringView path)
{
    // Letter case is folded as the folder listings fold it. Most paths are ASCII, whose
    // capitals are folded on the way, without a copy; an ASCII path and its folded copy
    // give the same key.
    std::optional<quint64> key = mixUnits(path, true);
    if (!key)
        key = mixUnits(path.toString().toCaseFolded(), false);
    const quint32 k = quint32(*key ^ (*key >> 32));
    return k ? k : 1;
}

SiteLinks::SiteLinks(const QString &siteFolder, qsizetype tableSize)
    : mSite(baseOf(siteFolder)),
      mPages(tableSize),
      mKeyFilters(tableSize),
      mLinkedFrom(tableSize, 0),
      mCounted(tableSize, 0),
      mSlots(mSite)
{ }

std::optional<SiteLinks> SiteLinks::check(const QList<PageRecord> &pages, const QString &siteFolder,
                                          const std::function<bool()> &cancelled)
{
    SiteLinks out(siteFolder, pages.size());
    {
        // The first pages are read while the table of paths is made.
        ReadAhead ahead(pages, out.mSite);
        for (qint32 p = 1; p < pages.size(); ++p)
            out.placePage(p, pagePath(pages.at(p)));
        // A link to an anchor of a page not read yet waits until that page is read.
        out.mAnchorsKnownTo = 0;
        for (qint32 p = 1; p < pages.size(); ++p) {
            if (cancelled && cancelled())
                return std::nullopt;
            out.checkPage(pages, p, ahead.take());
        }
    }
    out.forgetMemo();   // its slots were the reading thread's
    out.mAnchorsKnownTo = std::numeric_limits<qint32>::max();
    return out;
}

SiteLinks checkSite(const QList<PageRecord> &pages, const QString &siteFolder)
{
    return *SiteLinks::check(pages, siteFolder);
}

void SiteLinks::setPagePath(qint32 page, const QString &path)
{
    forgetMemo();
    placePage(page, path);
}

void SiteLinks::placePage(qint32 page, const QString &path)
{
    QString &known = mPages[page].path;
    if (known == path)
        return;
    if (!known.isEmpty()) {
        QList<qint32> &atPath = mPagesByPath[known];
        atPath.removeOne(page);
        if (atPath.isEmpty())
            mPagesByPath.remove(known);
    }
    known = path;
    if (!path.isEmpty())
        mPagesByPath[path].append(page);
}

void SiteLinks::checkPage(const QList<PageRecord> &pages, qint32 page)
{
    checkPage(pages, page, readAhead(pages.at(page), mSlots));
}

// Checks every link of page `page` anew: its broken links, the keys of what its links look
// for, and which pages it links to (each counted once, however many links lead there).
void SiteLinks::checkPage(const QList<PageRecord> &pages, qint32 page, PageAhead ahead)
{
    takeFresh(ahead);
    const PageRecord &record = pages.at(page);
    PageLinks &out = mPages[page];
    for (const qint32 target : std::as_const(out.linksTo))
        --mLinkedFrom[target];
    out.linksTo.clear();
    out.anchorTargets.clear();
    out.broken.clear();
    out.targetKeys.clear();
    KeyFilter &filter = mKeyFilters[page];
    filter = {};
    if (++mCheck == 0) {   // the marks have gone all the way round
        mCounted.fill(0);
        mCheck = 1;
    }
    out.problems.clear();
    out.targetKeys.reserve(record.Links.size() + ahead.refs.size());
    QList<qint32> notAddresses;
    for (qint32 j = 1; j < record.Links.size() && j < ahead.linkSlots.size(); ++j) {
        const Memo &memo = mMemos.at(ahead.linkSlots.at(j));
        if (memo.notAddress)
            notAddresses << j;
        if (memo.kind != LinkKind::File)
            continue;
        addKey(out.targetKeys, filter, memo.key);
        if (memo.found.broken())
            out.broken << Broken{j, memo.found};
        else
            countLinkTo(page, memo.pages);
    }
    checkReferences(record, page, ahead);
    sortOnce(out.targetKeys);
    sortOnce(out.anchorTargets);
    if (!notAddresses.isEmpty())
        listNotAddresses(record, page, notAddresses);
}

void SiteLinks::addKey(QList<quint32> &keys, KeyFilter &filter, quint32 key)
{
    keys << key;
    filter.add(key);
}

// Takes the slots a reading added: each looked up on disk once.
void SiteLinks::takeFresh(PageAhead &ahead)
{
    if (ahead.restart)
        mMemos.clear();
    for (Resolution &r : ahead.fresh)
        mMemos << memoOf(std::move(r));
}

SiteLinks::Memo SiteLinks::memoOf(Resolution r)
{
    Memo memo{r.notAddress, r.kind, r.key, {}, nullptr};
    if (r.kind != LinkKind::File)
        return memo;
    mPath = std::move(r.path);
    memo.found = lookUpFile(r.folder);
    if (memo.found.state == LinkState::NotChecked)
        memo.found = {LinkState::Found, mPath, {}};
    if (const auto pages = mPagesByPath.constFind(memo.found.path);
        !memo.found.broken() && pages != mPagesByPath.cend())
        memo.pages = &*pages;
    return memo;
}

// What the memo knows holds until the site or the files the check knows of change.
void SiteLinks::forgetMemo()
{
    mSlots = AddressSlots(mSite);
    mMemos.clear();
}

// Looks up the file at mPath. The common case, a file found as named, needs no copy of its
// path (the lookup's state stays NotChecked). A page of the definition counts as there,
// also before it is first saved.
Lookup SiteLinks::lookUpFile(bool folder)
{
    if (!folder && mCache.entry(mPath) == FolderCache::Entry::File)
        return {};
    Lookup found = lookUp(LinkTarget{LinkKind::File, mPath, folder}, mCache);
    if (found.broken() && mPagesByPath.contains(found.path))
        return {LinkState::Found, found.path, {}};
    return found;
}

void SiteLinks::countLinkTo(qint32 page, const QList<qint32> *targets)
{
    if (!targets)
        return;
    for (const qint32 to : *targets) {
        if (to == page || mCounted.at(to) == mCheck)
            continue;
        mCounted[to] = mCheck;
        mPages[page].linksTo << to;
        ++mLinkedFrom[to];
    }
}

// Checks again every page but `except` with a link that looks for one of `paths`, or for
// the folder of one that is an index page; with `anchorsOf` set, only those among them
// that name an anchor in page `anchorsOf` (style sheets name none).
void SiteLinks::checkPagesLookingFor(const QList<PageRecord> &pages, const QStringList &paths, qint32 except,
                                     qint32 anchorsOf)
{
    QList<quint32> keys;
    for (const QString &path : paths) {
        keys << targetKey(path);
        if (isIndexName(QStringView(path).mid(path.lastIndexOf(u'/') + 1)))
            keys << targetKey(parentOf(path));
    }
    const auto looksFor = [&keys](const KeyFilter &filter, const QList<quint32> &targetKeys) {
        return std::any_of(keys.cbegin(), keys.cend(), [&](quint32 k) {
            return filter.mayHold(k) && std::binary_search(targetKeys.cbegin(), targetKeys.cend(), k);
        });
    };
    const auto namesAnchor = [anchorsOf](const PageLinks &page) {
        return std::binary_search(page.anchorTargets.cbegin(), page.anchorTargets.cend(), anchorsOf);
    };
    for (qint32 p = 1; p < mPages.size(); ++p)
        if (p != except && looksFor(mKeyFilters.at(p), mPages.at(p).targetKeys)
            && (!anchorsOf || namesAnchor(mPages.at(p))))
            checkPage(pages, p);
    if (!anchorsOf)
        for (auto &[path, sheet] : mSheets)
            if (looksFor(sheet.keyFilter, sheet.targetKeys))
                checkStyleSheet(path, sheet);
    readStyleSheets();
}

bool SiteLinks::pageSaved(const QList<PageRecord> &pages, qint32 page)
{
    forgetMemo();
    if (pages.size() != mPages.size() || page < 1 || page >= mPages.size())
        return false;
    const QString before = mPages.at(page).path;
    const QString now = pagePath(pages.at(page));
    QStringList touched = mCache.noteFile(now);
    // Saved where it was, to a file already there: what the links to it find is unchanged,
    // but for the anchors they name in it.
    const bool sameFile = touched.isEmpty() && before == now;
    touched << now;
    if (before != now) {
        if (!before.isEmpty())
            touched << before;
        setPagePath(page, now);
    }
    checkPage(pages, page);
    checkPagesLookingFor(pages, touched, page, sameFile ? page : 0);
    return true;
}

bool SiteLinks::pageAdded(const QList<PageRecord> &pages)
{
    forgetMemo();
    if (pages.size() != mPages.size() + 1)
        return false;
    const qint32 page = qint32(mPages.size());
    mPages.append(PageLinks{});
    mKeyFilters.append(KeyFilter{});
    mLinkedFrom.append(0);
    mCounted.append(0);
    const QString path = pagePath(pages.at(page));
    setPagePath(page, path);
    checkPage(pages, page);
    if (!path.isEmpty())
        checkPagesLookingFor(pages, {path}, page);
    return true;
}

bool SiteLinks::pageRemoved(const QList<PageRecord> &pages, qint32 page)
{
    forgetMemo();
    if (pages.size() != mPages.size() - 1 || page < 1 || page >= mPages.size())
        return false;
    for (const qint32 target : std::as_const(mPages.at(page).linksTo))
        --mLinkedFrom[target];
    setPagePath(page, QString());
    mPages.removeAt(page);
    mKeyFilters.removeAt(page);
    mLinkedFrom.removeAt(page);
    mCounted.removeAt(page);
    // The pages after it move up by one.
    const auto renumber = [page](QList<qint32> &pagesAt) {
        pagesAt.removeAll(page);
        for (qint32 &p : pagesAt)
            if (p > page)
                --p;
    };
    for (PageLinks &p : mPages) {
        renumber(p.linksTo);
        renumber(p.anchorTargets);
    }
    for (QList<qint32> &atPath : mPagesByPath)
        renumber(atPath);
    return true;
}

bool SiteLinks::fileWritten(const QList<PageRecord> &pages, const QString &path)
{
    forgetMemo();
    if (pages.size() != mPages.size())
        return false;
    QStringList touched = mCache.noteFile(path);
    touched << cleanFilePath(path);
    forgetFile(touched.constLast());
    checkPagesLookingFor(pages, touched, 0);
    return true;
}

const QList<SiteLinks::Broken> &SiteLinks::brokenLinks(qint32 page) const
{
    static const QList<Broken> none;
    return page >= 1 && page < mPages.size() ? mPages.at(page).broken : none;
}

const Lookup *SiteLinks::brokenLink(qint32 page, qint32 link) const
{
    const QList<Broken> &broken = brokenLinks(page);
    const auto it
        = std::lower_bound(broken.cbegin(), broken.cend(), link, [](const Broken &b, qint32 l) { return b.link < l; });
    return it != broken.cend() && it->link == link ? &it->lookup : nullptr;
}

qsizetype SiteLinks::brokenCount() const
{
    qsizetype count = 0;
    for (const PageLinks &p : mPages)
        count += p.broken.size();
    return count;
}

qint32 SiteLinks::linkedFrom(qint32 page) const
{
    return page >= 0 && page < mLinkedFrom.size() ? mLinkedFrom.at(page) : 0;
}

}   // namespace linkCheck
