// The site check's references: every reference of a page's text and of the style sheets
// the pages reach, their anchors, the values that are no address, and the report's rows.

#include "common/TextFile.h"
#include "tree/PageScan.h"
#include "tree/SiteLinks.h"

#include <algorithm>

using basSystem::PageRecord;
using pageRefs::FoundReference;
using pageRefs::Reference;

namespace linkCheck {

namespace {
bool leadsToPage(pageRefs::Kind kind)
{
    return kind == pageRefs::Kind::Page || kind == pageRefs::Kind::Frame;
}

bool isHtmlPath(QStringView path)
{
    return path.endsWith(u".htm", Qt::CaseInsensitive) || path.endsWith(u".html", Qt::CaseInsensitive);
}

// The fragment of an address ("part" of "page.htm#part"); nullopt when it has none.
std::optional<QStringView> fragmentOf(QStringView address)
{
    const qsizetype hash = indexOfUnit(address, u'#', 0);
    return hash < 0 ? std::nullopt : std::optional(address.sliced(hash + 1));
}

RefProblem problemOf(RefProblem::Kind kind, const FoundReference &ref)
{
    return RefProblem{kind, ref.kind, ref.line, ref.offset, ref.raw.toString(), {}, {}};
}

FoundReference viewOf(const Reference &ref)
{
    return FoundReference{ref.kind, ref.offset, ref.length, ref.line, ref.column, ref.raw, ref.address};
}

// The text of a file the program reads besides the pages (a style sheet, an HTML file
// outside the definition), in its code page; nullopt with `error` set when it cannot be read.
std::optional<QString> fileText(const QString &path, DetectMode mode, QString *error)
{
    const std::optional<QByteArray> bytes = readFileBytes(path, error, maxPageBytes);
    if (!bytes)
        return std::nullopt;
    return decodeFileBytes(*bytes, mode).text;
}
}   // namespace

const QList<RefProblem> &SiteLinks::problems(qint32 page) const
{
    static const QList<RefProblem> none;
    return page >= 1 && page < mPages.size() ? mPages.at(page).problems : none;
}

// Checks every reference the reading of the page's text found (links within the page once
// all its anchors are known), then the style sheets they reached.
void SiteLinks::checkReferences(const PageRecord &record, qint32 page, PageAhead &ahead)
{
    PageLinks &out = mPages[page];
    out.anchors = ahead.refs.takeAnchors();
    if (mAnchorsKnownTo < page) {   // a whole check has reached this page
        mAnchorsKnownTo = page;
        settleAnchorsOn(page);
    }
    for (qsizetype i = 0; i < ahead.refs.size(); ++i)
        checkReference(ahead.refs.at(record.Text, i), mMemos.at(ahead.refSlots.at(i)),
                       RefOwner{page, out.problems, out.targetKeys, mKeyFilters[page]});
    for (PendingAnchor &own : std::exchange(mOwnAnchors, {})) {
        if (!hasAnchor(out.anchors, own.fragment)) {
            own.problem.target = out.path + u'#' + own.fragment;
            out.problems << std::move(own.problem);
        }
    }
    readStyleSheets();
}

void SiteLinks::checkReference(const FoundReference &ref, const Memo &memo, RefOwner owner)
{
    if (ref.address.isEmpty())
        return;
    if (memo.notAddress) {
        owner.problems << problemOf(RefProblem::Kind::NotAddress, ref);
        return;
    }
    const std::optional<QStringView> fragment = fragmentOf(ref.address);
    if (memo.kind == LinkKind::SamePage && fragment && owner.page > 0) {
        mOwnAnchors << PendingAnchor{owner.page, problemOf(RefProblem::Kind::BrokenAnchor, ref), fragment->toString()};
        return;
    }
    if (memo.kind != LinkKind::File)
        return;
    addKey(owner.targetKeys, owner.keyFilter, memo.key);
    if (memo.found.broken()) {
        RefProblem problem = problemOf(
            memo.found.state == LinkState::CaseDiffers ? RefProblem::Kind::CaseDiffers : RefProblem::Kind::Broken, ref);
        problem.target = memo.found.path;
        problem.onDisk = memo.found.onDisk;
        owner.problems << std::move(problem);
        return;
    }
    const QString &path = memo.found.path;
    if (owner.page > 0 && leadsToPage(ref.kind)) {
        countLinkTo(owner.page, memo.pages);
        if (fragment)
            checkAnchor(owner.page, ref, memo, *fragment);
    }
    if (ref.kind == pageRefs::Kind::StyleSheet && mSheets.find(path) == mSheets.end()) {
        mSheets[path];   // known from now on, so that it is read once
        mSheetsToRead << path;
    }
}

void SiteLinks::checkAnchor(qint32 page, const FoundReference &ref, const Memo &memo, QStringView fragment)
{
    const QString &path = memo.found.path;
    RefProblem problem = problemOf(RefProblem::Kind::BrokenAnchor, ref);
    problem.target = path + u'#' + fragment;
    // A page's anchors are those of the first page at its path, which the memo knows.
    const qint32 target = memo.pages ? memo.pages->constFirst() : 0;
    if (target)
        mPages[page].anchorTargets << target;   // made each once when the page's check ends
    if (target > mAnchorsKnownTo)
        mAnchorsAwaited[target] << PendingAnchor{page, std::move(problem), fragment.toString()};
    else if (target ? !hasAnchor(mPages.at(target).anchors, fragment) : !hasAnchor(path, fragment))
        mPages[page].problems << std::move(problem);
}

// The links that waited for the anchors of `page`, now that they are known.
void SiteLinks::settleAnchorsOn(qint32 page)
{
    const auto awaited = mAnchorsAwaited.constFind(page);
    if (awaited == mAnchorsAwaited.cend())
        return;
    for (const PendingAnchor &pending : *awaited)
        if (!hasAnchor(mPages.at(page).anchors, pending.fragment))
            mPages[pending.page].problems << pending.problem;
    mAnchorsAwaited.erase(awaited);
}

bool SiteLinks::hasAnchor(const QSet<QString> &anchors, QStringView fragment)
{
    // An empty fragment and "top" mean the page's top, whatever it holds.
    if (fragment.isEmpty() || fragment.compare(u"top", Qt::CaseInsensitive) == 0)
        return true;
    if (anchors.contains(fragment.toString()))
        return true;
    return fragment.contains(u'%') && anchors.contains(decodePercent(fragment));
}

bool SiteLinks::hasAnchor(const QString &path, QStringView fragment)
{
    const QSet<QString> *anchors = anchorsAt(path);
    return !anchors || hasAnchor(*anchors, fragment);
}

// The anchors of the file at `path`: a page's from its text, another HTML file's read
// once; nullptr for a file whose anchors are not known (not HTML, or not readable).
const QSet<QString> *SiteLinks::anchorsAt(const QString &path)
{
    if (const auto page = mPagesByPath.constFind(path); page != mPagesByPath.cend())
        return &mPages.at(page->constFirst()).anchors;
    if (!isHtmlPath(path))
        return nullptr;
    auto it = mFileAnchors.find(path);
    if (it == mFileAnchors.end()) {
        QString error;
        std::optional<QSet<QString>> anchors;
        if (const std::optional<QString> text = fileText(path, DetectMode::Page, &error))
            anchors = pageRefs::readPage(*text).anchors;
        it = mFileAnchors.insert(path, std::move(anchors));
    }
    return it->has_value() ? &**it : nullptr;
}

// Reads the style sheets reached and not read yet, and checks their references from their
// own folders (which may reach more).
void SiteLinks::readStyleSheets()
{
    while (!mSheetsToRead.isEmpty()) {
        const QString path = mSheetsToRead.takeFirst();
        StyleSheet &sheet = mSheets[path];
        const std::optional<QString> text = fileText(path, DetectMode::Plain, &sheet.error);
        sheet.refs = text ? pageRefs::readStyleSheet(*text) : QList<Reference>();
        checkStyleSheet(path, sheet);
    }
}

void SiteLinks::checkStyleSheet(const QString &path, StyleSheet &sheet)
{
    sheet.problems.clear();
    sheet.targetKeys.clear();
    sheet.keyFilter = {};
    // Its addresses numbered apart from the pages': the pages' numbering goes on after it.
    AddressSlots numbering(mSite);
    numbering.setBase(baseOf(parentOf(path)));
    QList<Resolution> fresh;
    QList<qint32> slotOf;
    for (const Reference &ref : std::as_const(sheet.refs))
        slotOf << numbering.slotOf(ref.address, fresh);
    QList<Memo> memos;
    for (Resolution &r : fresh)
        memos << memoOf(std::move(r));
    for (qsizetype i = 0; i < sheet.refs.size(); ++i)
        checkReference(viewOf(sheet.refs.at(i)), memos.at(slotOf.at(i)),
                       RefOwner{0, sheet.problems, sheet.targetKeys, sheet.keyFilter});
    sortOnce(sheet.targetKeys);
}

// The program wrote the file at `path`: a style sheet or an HTML file read before is read
// again when next needed.
void SiteLinks::forgetFile(const QString &path)
{
    mFileAnchors.remove(path);
    if (const auto it = mSheets.find(path); it != mSheets.end() && !mSheetsToRead.contains(path))
        mSheetsToRead << path;
}

// The tree's links among `links` (indices into the page's Links) that are no address:
// listed with their lines, unless a reference read from the same place lists them already.
void SiteLinks::listNotAddresses(const PageRecord &record, qint32 page, const QList<qint32> &links)
{
    const QList<qsizetype> places = scanLinkPlaces(record.Text);
    if (places.size() != record.Links.size())
        return;   // the text is not the one the links were read from
    QList<RefProblem> &problems = mPages[page].problems;
    for (const qint32 j : links) {
        const qsizetype offset = places.at(j);
        if (std::any_of(problems.cbegin(), problems.cend(), [offset](const RefProblem &p) {
                return p.kind == RefProblem::Kind::NotAddress && p.offset == offset;
            }))
            continue;
        const qint32 line = qint32(lineFeedCount(QStringView(record.Text).left(offset))) + 1;
        problems << RefProblem{
            RefProblem::Kind::NotAddress, pageRefs::Kind::Page, line, offset, record.Links.at(j), {}, {}};
    }
}

namespace {
ReportRow::Kind rowKind(RefProblem::Kind kind)
{
    switch (kind) {
    case RefProblem::Kind::Broken: return ReportRow::Kind::Broken;
    case RefProblem::Kind::CaseDiffers: return ReportRow::Kind::CaseDiffers;
    case RefProblem::Kind::BrokenAnchor: return ReportRow::Kind::BrokenAnchor;
    case RefProblem::Kind::NotAddress: return ReportRow::Kind::NotAddress;
    }
    return ReportRow::Kind::Broken;
}

ReportRow rowOf(const RefProblem &p, qint32 page, const QString &file)
{
    return ReportRow{rowKind(p.kind), page, p.link, p.target, p.onDisk, file, p.line, p.refKind};
}

// The tree's broken links of a page that no reference read covers (one inside a comment,
// or read differently by the page scan), with their lines.
QList<ReportRow> uncoveredLinks(const PageRecord &record, qint32 page, const SiteLinks &links)
{
    QHash<QString, qsizetype> covered;   // how many broken references each value has
    for (const RefProblem &p : links.problems(page))
        if (p.kind == RefProblem::Kind::Broken || p.kind == RefProblem::Kind::CaseDiffers)
            ++covered[p.link];
    QList<ReportRow> rows;
    QList<qsizetype> places;
    for (const SiteLinks::Broken &b : links.brokenLinks(page)) {
        const QString &text = record.Links.at(b.link);
        if (qsizetype &n = covered[text]; n > 0) {
            --n;
            continue;
        }
        if (places.isEmpty())
            places = scanLinkPlaces(record.Text);
        const qsizetype offset = b.link < places.size() ? places.at(b.link) : -1;
        const qint32 line = offset < 0 ? 0 : qint32(lineFeedCount(QStringView(record.Text).left(offset))) + 1;
        const Lookup &l = b.lookup;
        rows << ReportRow{l.state == LinkState::CaseDiffers ? ReportRow::Kind::CaseDiffers : ReportRow::Kind::Broken,
                          page,
                          text,
                          l.path,
                          l.onDisk,
                          {},
                          line,
                          pageRefs::Kind::Page};
    }
    return rows;
}
}   // namespace

QList<ReportRow> siteReport(const QList<PageRecord> &pages, const SiteLinks &links, const QString &siteFolder)
{
    // The groups in the order they are listed.
    static constexpr ReportRow::Kind order[]
        = {ReportRow::Kind::Broken, ReportRow::Kind::BrokenAnchor, ReportRow::Kind::Unlinked,
           ReportRow::Kind::CaseDiffers, ReportRow::Kind::NotAddress};
    QList<ReportRow> rows;
    const qint32 last = qint32(std::min(pages.size(), links.tableSize())) - 1;
    for (qint32 page = 1; page <= last; ++page) {
        QList<ReportRow> ofPage = uncoveredLinks(pages.at(page), page, links);
        for (const RefProblem &p : links.problems(page))
            ofPage << rowOf(p, page, {});
        std::stable_sort(ofPage.begin(), ofPage.end(),
                         [](const ReportRow &a, const ReportRow &b) { return a.line < b.line; });
        rows << ofPage;
    }
    QStringList entrances;
    for (const char16_t *name : {u"index.html", u"index.htm"})
        entrances << cleanFilePath(siteFolder + u'/' + QStringView(name));
    for (qint32 p = 2; p <= last; ++p) {
        const QString path = pagePath(pages.at(p));
        if (links.linkedFrom(p) == 0 && !path.isEmpty() && (siteFolder.isEmpty() || !entrances.contains(path))) {
            ReportRow row;
            row.kind = ReportRow::Kind::Unlinked;
            row.page = p;
            row.target = path;
            rows << row;
        }
    }
    for (const auto &[path, sheet] : links.styleSheets())
        for (const RefProblem &p : sheet.problems)
            rows << rowOf(p, 0, path);
    QList<ReportRow> ordered;
    ordered.reserve(rows.size());
    for (const ReportRow::Kind kind : order)
        std::copy_if(rows.cbegin(), rows.cend(), std::back_inserter(ordered),
                     [kind](const ReportRow &r) { return r.kind == kind; });
    return ordered;
}

}   // namespace linkCheck
