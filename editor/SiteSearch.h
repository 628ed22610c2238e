#pragma once
// Finding (and preparing to replace) across the site's pages on a thread of its own, over
// snapshots of the editors' texts, so that the window answers throughout and the search
// can be cancelled. Hits come back page by page, each as its place in the page's text
// (textSearch's positions), its line and column, and its length: the line itself is not
// kept, so that millions of hits take little room.

#include "common/PageLimits.h"
#include "editor/TextEdits.h"
#include "editor/TextSearch.h"

#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// A page's text as an editor holds it at one moment: the text it has not yet put into its
// text box (lines end in CR LF), or its text box's raw text. Taking either costs the
// editor a reference or one copy; what finding needs is made from it on the search's thread.
struct PageSnapshot {
    qint32 page = 0;   // index of the page in the page tables
    QString text;
    bool waiting = false;   // the text not yet in the text box
    // Edits another command made that wait with the text for the text box (TextEdits.h),
    // made in the text as textSearch reads it.
    QList<QList<textEdits::Edit>> pending;
    TextEncoding encoding = TextEncoding::Cp932;
};

// The text as textSearch reads it: its positions are the text box's cursor positions.
QString searchTextOf(const PageSnapshot &snapshot);

// One hit: where it starts in its page's text, its line and column (from 1) and length.
struct SiteHit {
    qint32 start = 0;
    qint32 line = 0;
    qint32 column = 0;
    qint32 length = 0;
};

// An edit of a page's text: `removed` characters at `position` replaced by `added`, the
// page's lines changed by `lineDelta`; the edit ends on line `endLine` (from 1), which
// starts at `endLineStart`.
struct TextEdit {
    qint32 position = 0;
    qint32 removed = 0;
    qint32 added = 0;
    qint32 lineDelta = 0;
    qint32 endLine = 0;
    qint32 endLineStart = 0;
};

// The range [first, last) of `hits` (in text order) that `edit` touches: it overlaps what
// was removed, holds the place of an insertion within it, or is an empty hit right at the
// edit (which may or may not still match there).
std::pair<qsizetype, qsizetype> touchedHits(const QList<SiteHit> &hits, const TextEdit &edit);
// Brings `hits` up to date with `edit`: the touched ones are taken out, those after them
// move with the text.
void followEdit(QList<SiteHit> &hits, const TextEdit &edit);

// What the search found in one page: its hits and, when replacing with a regular
// expression, each hit's replacement (one after another in `expansions`, the end of
// each in `expansionEnds`).
struct PageResult {
    qint32 page = 0;
    QList<SiteHit> hits;
    QString expansions;
    QList<qint32> expansionEnds;
};

// `text` (a page's search text) with the hits of `result` replaced: by their expansions,
// or all by `replacement`.
QString replacedText(const QString &text, const PageResult &result, const QString &replacement);

// Why a search stopped before its last page: the matcher gave up (`failure`, on `line`),
// or the replacement would take the page past its limits (`excess`).
struct SearchStop {
    qint32 page = 0;
    textSearch::Failure failure;
    qsizetype line = 0;
    std::optional<PageExcess> excess;
};

class SiteSearch
{
public:
    // What to find in which pages; with a replacement, each page's hits are checked to
    // leave the page within its limits once replaced.
    struct Request {
        textSearch::Query query;
        QList<PageSnapshot> pages;
        std::optional<QString> replacement;
    };
    // What came in since it was last taken.
    struct Progress {
        QList<PageResult> results;   // pages with hits, in page order
        qsizetype pagesDone = 0;
        bool finished = false;   // every page done, or stopped
        std::optional<SearchStop> stop;
    };

    // Starts the search on a thread of its own; `wake` is called on that thread when
    // something waits to be taken (not again until it is taken).
    SiteSearch(Request request, std::function<void()> wake);
    // Cancels the search and waits for its thread.
    ~SiteSearch();
    SiteSearch(const SiteSearch &) = delete;
    SiteSearch &operator=(const SiteSearch &) = delete;

    void cancel() { mCancelled = true; }
    bool isCancelled() const { return mCancelled; }
    Progress take();

private:
    void run();
    std::optional<SearchStop> searchPage(const PageSnapshot &snapshot);
    void hand(std::optional<PageResult> result, bool finished, std::optional<SearchStop> stop = {});

    const Request mRequest;
    const std::function<void()> mWake;
    std::atomic<bool> mCancelled{false};
    std::mutex mMutex;
    Progress mOutbox;
    bool mWoken = false;   // a wake is out and the outbox not yet taken
    qint64 mLastWake = 0;
    std::thread mThread;
};
