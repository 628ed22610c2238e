#include "editor/SiteSearch.h"
#include "editor/EditorText.h"
#include "editor/PageSizeGuard.h"

#include <chrono>

namespace {
// Pages without hits are told at most this often, so that the progress moves without a
// wake for every page.
constexpr qint64 progressEveryMs = 50;

qint64 nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The line and the line's start of positions that never go back, each line break looked
// for once.
class LineTracker
{
public:
    explicit LineTracker(QStringView text) : mText(text), mNextBreak(text.indexOf(QLatin1Char('\n'))) { }

    std::pair<qsizetype, qsizetype> lineOf(qsizetype pos)
    {
        while (mNextBreak >= 0 && mNextBreak < pos) {
            ++mLine;
            mLineStart = mNextBreak + 1;
            mNextBreak = mText.indexOf(QLatin1Char('\n'), mLineStart);
        }
        return {mLine, mLineStart};
    }

private:
    QStringView mText;
    qsizetype mNextBreak;
    qsizetype mLine = 1;
    qsizetype mLineStart = 0;
};

// The limit replacing `result`'s hits in `text` would take the page past, if any; the
// replaced text is only made when the count of characters leaves it in doubt.
std::optional<PageExcess> excessOfReplacement(const QString &text, const PageResult &result, const QString &replacement,
                                              TextEncoding encoding)
{
    qsizetype units = text.size();
    for (const SiteHit &hit : result.hits)
        units -= hit.length;
    units += result.expansionEnds.isEmpty() ? replacement.size() * result.hits.size() : result.expansions.size();
    if (maxPageFileBytes(units, encoding) <= maxPageBytes && units < maxPageLines)
        return std::nullopt;
    return excessOfText(replacedText(text, result, replacement), encoding);
}
}   // namespace

QString searchTextOf(const PageSnapshot &snapshot)
{
    QString text = textSearch::searchLines(snapshot.waiting ? editorText::documentText(snapshot.text) : snapshot.text);
    for (const QList<textEdits::Edit> &edits : snapshot.pending)
        text = textEdits::applied(text, edits);
    return text;
}

std::pair<qsizetype, qsizetype> touchedHits(const QList<SiteHit> &hits, const TextEdit &edit)
{
    const qint32 editEnd = edit.position + edit.removed;
    const auto atEdit = [&](const SiteHit &h) { return h.length == 0 && h.start == edit.position; };
    const auto first = std::partition_point(
        hits.begin(), hits.end(), [&](const SiteHit &h) { return h.start + h.length <= edit.position && !atEdit(h); });
    const auto last
        = std::partition_point(first, hits.end(), [&](const SiteHit &h) { return h.start < editEnd || atEdit(h); });
    return {first - hits.begin(), last - hits.begin()};
}

void followEdit(QList<SiteHit> &hits, const TextEdit &edit)
{
    const auto [from, to] = touchedHits(hits, edit);
    for (qsizetype i = to; i < hits.size(); ++i) {
        SiteHit &h = hits[i];
        h.start += edit.added - edit.removed;
        h.line += edit.lineDelta;
        if (h.line == edit.endLine)
            h.column = h.start - edit.endLineStart + 1;
    }
    hits.remove(from, to - from);
}

QString replacedText(const QString &text, const PageResult &result, const QString &replacement)
{
    QString out;
    out.reserve(text.size());
    qsizetype done = 0;
    qsizetype expansion = 0;
    for (qsizetype i = 0; i < result.hits.size(); ++i) {
        const SiteHit &hit = result.hits.at(i);
        out.append(QStringView(text).sliced(done, hit.start - done));
        if (result.expansionEnds.isEmpty()) {
            out.append(replacement);
        } else {
            const qsizetype end = result.expansionEnds.at(i);
            out.append(QStringView(result.expansions).sliced(expansion, end - expansion));
            expansion = end;
        }
        done = hit.start + hit.length;
    }
    out.append(QStringView(text).sliced(done));
    return out;
}

SiteSearch::SiteSearch(Request request, std::function<void()> wake)
    : mRequest(std::move(request)), mWake(std::move(wake)), mThread([this] { run(); })
{ }

SiteSearch::~SiteSearch()
{
    mCancelled = true;
    mThread.join();
}

SiteSearch::Progress SiteSearch::take()
{
    const std::lock_guard lock(mMutex);
    Progress taken;
    taken.results = std::exchange(mOutbox.results, {});
    taken.pagesDone = mOutbox.pagesDone;
    taken.finished = mOutbox.finished;
    taken.stop = mOutbox.stop;
    mWoken = false;
    return taken;
}

void SiteSearch::run()
{
    std::optional<SearchStop> stop;
    for (qsizetype i = 0; i < mRequest.pages.size() && !stop && !mCancelled; ++i)
        stop = searchPage(mRequest.pages.at(i));
    hand(std::nullopt, true, std::move(stop));
}

// Finds the hits of one page and hands them over; why the search stops there, if it does.
std::optional<SearchStop> SiteSearch::searchPage(const PageSnapshot &snapshot)
{
    const QString text = searchTextOf(snapshot);
    const std::optional<QString> &replacement = mRequest.replacement;
    const bool expand = replacement && mRequest.query.options().regex;
    PageResult result;
    result.page = snapshot.page;
    LineTracker lines(text);
    const textSearch::Failure failure
        = mRequest.query.forEach(text, 0, [&](qsizetype start, qsizetype length, const PatternMatcher &match) {
              const auto [line, lineStart] = lines.lineOf(start);
              result.hits.append(SiteHit{qint32(start), qint32(line), qint32(start - lineStart + 1), qint32(length)});
              if (expand) {
                  mRequest.query.appendReplacement(result.expansions, *replacement, text, match);
                  result.expansionEnds.append(qint32(result.expansions.size()));
              }
              return !mCancelled;
          });
    if (mCancelled)
        return std::nullopt;
    if (failure)
        return SearchStop{snapshot.page, failure, textSearch::lineNumberAt(text, failure.at), {}};
    if (replacement && !result.hits.isEmpty()) {
        if (auto excess = excessOfReplacement(text, result, *replacement, snapshot.encoding))
            return SearchStop{snapshot.page, {}, 0, excess};
    }
    if (result.hits.isEmpty()) {
        hand(std::nullopt, false);
    } else {
        result.hits.squeeze();   // held as long as they are listed
        hand(std::move(result), false);
    }
    return std::nullopt;
}

// Puts a page's result (or the end) into the outbox, and wakes the taker: at once for
// hits and the end, for pages without hits only now and then.
void SiteSearch::hand(std::optional<PageResult> result, bool finished, std::optional<SearchStop> stop)
{
    bool wake = false;
    {
        const std::lock_guard lock(mMutex);
        const bool hits = result.has_value();
        if (result)
            mOutbox.results.append(std::move(*result));
        if (finished) {
            mOutbox.finished = true;
            mOutbox.stop = std::move(stop);
        } else {
            ++mOutbox.pagesDone;
        }
        const qint64 now = nowMs();
        if (!mWoken && (hits || finished || now - mLastWake >= progressEveryMs)) {
            mWoken = wake = true;
            mLastWake = now;
        }
    }
    if (wake)
        mWake();
}
