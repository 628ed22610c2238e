#include "editor/SiteSearchSession.h"
#include "app/basSystem.h"
#include "editor/PageEvents.h"
#include "editor/frmChild1.h"

#include <QElapsedTimer>
#include <QTimer>

using namespace basSystem;

namespace {
// Replacing gives the window back after this long, and goes on when it is idle again.
constexpr int applySliceMs = 20;
}   // namespace

SiteSearchSession::SiteSearchSession(const textSearch::Query &query, std::optional<QString> replacement, SiteHits *hits,
                                     QObject *parent)
    : QObject(parent), mHits(hits), mReplacement(std::move(replacement))
{
    SiteSearch::Request request{query, {}, mReplacement};
    request.pages.reserve(pageCount());
    mPages.reserve(pageCount());
    mPageOf.reserve(pageCount());
    for (qint32 id = 1; id <= qint32(pageCount()); ++id) {
        frmChild1 *editor = liveEditor(gPageEditors.at(id));
        if (!editor)
            continue;
        PageSnapshot snapshot = editor->textSnapshot();
        snapshot.page = id;
        request.pages.append(std::move(snapshot));
        mPages.insert(id, Page{editor, gPageTable.at(id).Title, request.pages.size() - 1, false, false, {}});
        mPageOf.insert(editor, id);
    }
    watchEdits();
    mPageTotal = request.pages.size();
    mSearch = std::make_unique<SiteSearch>(std::move(request), [this] {
        QMetaObject::invokeMethod(this, &SiteSearchSession::takeResults, Qt::QueuedConnection);
    });
}

SiteSearchSession::~SiteSearchSession()
{
    mSearch.reset();   // no result may come in while the rest goes
}

void SiteSearchSession::watchEdits()
{
    PageEvents &events = PageEvents::instance();
    connect(&events, &PageEvents::textEdited, this, [this](frmChild1 *editor, const TextEdit &edit) {
        if (const qint32 page = mPageOf.value(editor))
            pageEdited(page, edit);
    });
    connect(&events, &PageEvents::textReplaced, this, [this](frmChild1 *editor) {
        if (const qint32 page = mPageOf.value(editor))
            pageReplaced(page);
    });
}

frmChild1 *SiteSearchSession::editor(qint32 page) const
{
    const auto found = mPages.constFind(page);
    return found == mPages.cend() ? nullptr : liveEditor(found->editor);
}

QString SiteSearchSession::title(qint32 page) const
{
    return mPages.value(page).title;
}

// Hits already listed follow the edit at once; those still to come follow it when they do.
void SiteSearchSession::pageEdited(qint32 page, const TextEdit &edit)
{
    if (!mHits)
        return;
    Page &p = mPages[page];
    p.edited = true;
    if (p.order < mPagesDone)
        mHits->followEdit(page, edit);
    else
        p.edits.append(edit);
}

void SiteSearchSession::pageReplaced(qint32 page)
{
    if (!mHits)
        return;
    Page &p = mPages[page];
    p.edited = p.replaced = true;
    p.edits.clear();
    mHits->dropPage(page);
}

void SiteSearchSession::takeResults()
{
    if (!mRunning || mApplying)
        return;
    SiteSearch::Progress progress = mSearch->take();
    QList<SiteHits::Page> listed;
    for (PageResult &result : progress.results)
        take(std::move(result), listed);
    mHits->appendPages(std::move(listed));
    mPagesDone = progress.pagesDone;
    emit progressed();
    if (progress.finished) {
        mOutcome.stop = progress.stop;
        end();
    }
}

// A page's hits, brought up to date with the edits made since its snapshot, go into the
// list (or, when replacing, wait for the rest).
void SiteSearchSession::take(PageResult result, QList<SiteHits::Page> &listed)
{
    Page &p = mPages[result.page];
    if (p.replaced)
        return;
    for (const TextEdit &edit : std::as_const(p.edits))
        followEdit(result.hits, edit);
    p.edits.clear();
    if (mReplacement)
        mToReplace.append(std::move(result));
    else
        listed.append(SiteHits::Page{result.page, p.title, std::move(result.hits)});
}

void SiteSearchSession::detach()
{
    cancel();
    mHits = nullptr;
}

void SiteSearchSession::cancel()
{
    if (!mRunning || mApplying)
        return;
    mSearch->cancel();
    mOutcome.cancelled = true;
    mRunning = false;
    mToReplace.clear();
    emit finished(mOutcome);
}

// The search is done: a replacement that met nothing in its way begins.
void SiteSearchSession::end()
{
    if (mReplacement && !mOutcome.stop) {
        mApplying = true;
        mPagesDone = 0;
        mPageTotal = mToReplace.size();
        applyReplacements();
        return;
    }
    mRunning = false;
    mToReplace.clear();
    emit finished(mOutcome);
}

// Replaces the hits of a few pages, each page as one edit, and comes back for more while
// the program is idle. A page edited after its snapshot is left as it is.
void SiteSearchSession::applyReplacements()
{
    QElapsedTimer slice;
    slice.start();
    while (mApplied < mToReplace.size() && slice.elapsed() < applySliceMs) {
        const PageResult &result = mToReplace.at(mApplied++);
        const Page &p = mPages[result.page];
        frmChild1 *editor = liveEditor(p.editor);
        if (!editor || p.edited) {
            mOutcome.skipped << p.title;
            continue;
        }
        editor->replaceText(replacedText(searchTextOf(editor->textSnapshot()), result, *mReplacement));
        mOutcome.replaced += result.hits.size();
        ++mOutcome.replacedPages;
    }
    mPagesDone = mApplied;
    emit progressed();
    if (mApplied < mToReplace.size()) {
        QTimer::singleShot(0, this, &SiteSearchSession::applyReplacements);
        return;
    }
    mApplying = false;
    mRunning = false;
    mToReplace.clear();
    emit finished(mOutcome);
}
