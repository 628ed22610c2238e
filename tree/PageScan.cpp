#include "tree/PageScan.h"
#include "common/PageHash.h"
#include "common/TextFile.h"
#include "common/TextHelpers.h"

#include <future>
#include <utility>

using namespace basSystem;

namespace {

// Finds the next " HREF" (any letter case) at or after a position. The walk asks with
// positions that never go back, so the last answer holds until the walk passes it.
class HrefFinder
{
public:
    explicit HrefFinder(QStringView text) : mText(text), mFinder(QLatin1StringView(" HREF")) { }

    qsizetype next(qsizetype from)
    {
        if (mDone)
            return -1;
        if (from <= mAt)
            return mAt;
        mAt = mFinder.indexIn(mText, from);
        mDone = mAt < 0;
        return mAt;
    }

private:
    QStringView mText;
    UpperFinder mFinder;
    qsizetype mAt = -1;
    bool mDone = false;
};

// Finds the next double quote at or after a position, remembering what earlier searches
// learnt: where the last one started and what it found (no quote lies between), and from
// where on no quote is left at all. Repeated searches over the same stretch then cost
// nothing, and no stretch is searched twice.
class QuoteFinder
{
public:
    explicit QuoteFinder(QStringView text) : mText(text), mNoneFrom(text.size()) { }

    qsizetype next(qsizetype from)
    {
        if (from >= mNoneFrom)
            return -1;
        if (from >= mFrom && from <= mAt)
            return mAt;
        const qsizetype at = quoteBefore(from, mNoneFrom);
        if (at < 0) {
            mNoneFrom = from;
            return -1;
        }
        mFrom = from;
        mAt = at;
        return at;
    }

private:
    // The first quote in [from, end), or -1 (a value's quotes stand a few characters apart,
    // too close for Qt's general search to pay).
    qsizetype quoteBefore(qsizetype from, qsizetype end) const { return indexOfUnit(mText.first(end), u'"', from); }

    QStringView mText;
    qsizetype mNoneFrom;
    qsizetype mFrom = 0;
    qsizetype mAt = -1;
};

// The walk counts UTF-16 units, so a value that starts where the walk stands can begin
// with the second half of a character outside the Basic Multilingual Plane; that half is
// no character of the value.
QString withoutHalfCharacter(QString value)
{
    if (!value.isEmpty() && value.at(0).isLowSurrogate())
        value.remove(0, 1);
    return value;
}

// The index of the first character from `i` on that control characters stripping keeps.
qsizetype firstKept(QStringView raw, qsizetype i)
{
    while (i < raw.size() && raw.at(i).unicode() <= 31)
        ++i;
    return i;
}

// Where the value withoutHalfCharacter(StripControlChars(raw)) starts in `raw`, or -1 when
// the scan leaves it out: it is empty or begins with "#".
qsizetype keptFrom(QStringView raw)
{
    qsizetype first = firstKept(raw, 0);
    if (first < raw.size() && raw.at(first).isLowSurrogate())
        first = firstKept(raw, first + 1);
    if (first >= raw.size() || raw.at(first) == QLatin1Char('#'))
        return -1;
    return first;
}

// Adds the value withoutHalfCharacter(StripControlChars(raw)) unless the scan leaves it
// out; a value left out is never copied.
void addLink(QStringList &links, QStringView raw)
{
    const qsizetype first = keptFrom(raw);
    if (first < 0)
        return;
    const QStringView value = raw.sliced(first);
    // A value without control characters, the usual one, is made in its place in the list.
    if (firstControlChar(value) == value.size())
        links.emplace_back(value.data(), value.size());
    else
        links.append(StripControlChars(value));
}

// The walk of scanLinks: calls `onValue(start, close)` for every value it finds, from its
// first character to its closing quote.
template<typename OnValue>
void walkLinks(QStringView text, OnValue onValue)
{
    // `rest` is where the current step's search begins (0-based): the rest of the page
    // from there on is what one step of the walk looks at.
    HrefFinder hrefs(text);
    QuoteFinder quotes(text);
    const qsizetype length = text.size();
    qsizetype rest = 0;
    while (rest < length) {
        const qsizetype href = hrefs.next(rest);
        if (href < 0)
            break;   // the step moves past the end of the page
        // The value starts after the first quote from the HREF on; with no such quote it
        // starts at the beginning of the rest. The closing quote is searched from the
        // second character after the value's start.
        const qsizetype open = quotes.next(href);
        const qsizetype start = open >= 0 ? open + 1 : rest;
        const qsizetype close = quotes.next(start + 1);
        if (close < 0) {
            if (open < 0)
                break;   // no quote is left after the rest's second character: no step finds a value
            // Each step moves on by two and finds the same HREF without a value until the
            // rest begins after it.
            rest += 2 * ((href - rest) / 2 + 1);
            continue;
        }
        onValue(start, close);
        rest = close + 3;   // the closing quote's position in the rest, plus two
    }
}

}   // namespace

QStringList scanLinks(QStringView text)
{
    QStringList links{QString()};
    // Room for a link every 64 characters, more than pages hold, so that the list does
    // not move as it grows; what is left over is given back at the end.
    links.reserve(text.size() / 64 + 1);
    walkLinks(text, [&](qsizetype start, qsizetype close) { addLink(links, text.sliced(start, close - start)); });
    links.squeeze();
    return links;
}

QList<qsizetype> scanLinkPlaces(QStringView text)
{
    QList<qsizetype> places{0};
    walkLinks(text, [&](qsizetype start, qsizetype close) {
        if (const qsizetype first = keptFrom(text.sliced(start, close - start)); first >= 0)
            places.append(start + first);
    });
    return places;
}

QStringList scanLinksReference(QStringView text)
{
    QStringList links{QString()};
    const qsizetype length = text.size();
    qsizetype pos = 1;
    while (pos <= length) {
        qsizetype next = 0;
        const QString value = withoutHalfCharacter(GetHrefValue(text.sliced(pos - 1), next));
        if (!value.isEmpty() && value.at(0) != QLatin1Char('#'))
            links.append(value);
        pos += next + 2;
    }
    return links;
}

QString scanTitle(QStringView text)
{
    qsizetype endPos = 0;
    return GetTagText(text, QStringLiteral("TITLE"), endPos).value_or(QString());
}

namespace {
// Title and links of a page whose lines end in CR LF.
PageScan scanCrLfText(QString text)
{
    PageScan scan;
    scan.readOk = true;
    scan.Text = std::move(text);
    scan.Title = scanTitle(scan.Text);
    scan.Links = scanLinks(scan.Text);
    return scan;
}

// An empty page that could not be read, saying why.
PageScan unreadPage(const QString &error)
{
    PageScan page = scanCrLfText(QString());
    page.readOk = false;
    page.error = error;
    return page;
}
}   // namespace

PageScan scanPageText(const QString &decoded)
{
    return scanCrLfText(withCrLfBreaks(decoded, true));
}

// From this size on a second thread pays: it starts in tens of microseconds, and the
// hash of a megabyte takes a hundred.
constexpr qsizetype hashAsideBytes = qsizetype(1) << 20;

PageScan scanPageFile(const QString &path)
{
    QString error;
    qint64 refusedSize = -1;
    const std::optional<QByteArray> bytes = readFileBytes(path, &error, maxPageBytes, &refusedSize);
    if (!bytes) {
        PageScan failed = unreadPage(error);
        failed.tooLargeSize = refusedSize;
        return failed;
    }
    // Read as code page 932, a UTF-16 page would be saved back garbled: it is not opened.
    if (QString encoding = unreadableEncoding(*bytes); !encoding.isEmpty()) {
        PageScan refused = unreadPage(QStringLiteral("the page is in ") + encoding);
        refused.unreadableEncoding = std::move(encoding);
        return refused;
    }
    // A large page is hashed on a second thread while it is decoded and scanned.
    std::future<QByteArray> hash
        = std::async(bytes->size() >= hashAsideBytes ? std::launch::async : std::launch::deferred,
                     [&bytes] { return pageFileHash(*bytes); });
    // Most pages end every line in CR LF: the bytes tell, while they are fresh in the cache,
    // and the decoded text is then kept as it is without a walk of its own.
    const std::optional<qsizetype> crLfLines = crLfLineCount(*bytes);
    TextFileContent content = decodeFileBytes(*bytes, DetectMode::Page);
    // The decoded text is handed over, so that the scan's text (the same one, when its lines
    // already end in CR LF) is not shared and squeezing it below frees room in place. A page
    // with too many lines is refused before its links are walked; every line of the text
    // ends in a line break, the last one too.
    qsizetype lines = crLfLines.value_or(0);
    QString text = crLfLines ? std::exchange(content.text, QString())
                             : withCrLfBreaks(std::exchange(content.text, QString()), true, nullptr, &lines);
    if (lines > maxPageLines) {
        PageScan refused = unreadPage(QStringLiteral("the page has too many lines"));
        refused.tooManyLines = lines;
        return refused;
    }
    PageScan scan = scanCrLfText(std::move(text));
    // The decoder leaves room for a character per byte. The text stays as long as the
    // page is open, so it gives back what double-byte characters did not use.
    scan.Text.squeeze();
    scan.Encoding = content.encoding;
    scan.FileHash = hash.get();
    return scan;
}

PageScanAhead::PageScanAhead(QStringList paths)
    : mPaths(std::move(paths)),
      mScans(size_t(mPaths.size())),
      mScanned(std::make_unique<std::atomic<bool>[]>(size_t(mPaths.size())))
{
    // One page gains nothing from a second thread.
    if (mPaths.size() > 1)
        mWorker = std::thread([this] {
            while (!mStop.load(std::memory_order_relaxed) && scanNext()) { }
        });
}

PageScanAhead::~PageScanAhead()
{
    mStop = true;
    if (mWorker.joinable())
        mWorker.join();
}

bool PageScanAhead::scanNext()
{
    const qsizetype index = mNext.fetch_add(1);
    if (index >= mPaths.size())
        return false;
    mScans[size_t(index)] = scanPageFile(mPaths.at(index));
    {
        const std::lock_guard lock(mMutex);
        mScanned[size_t(index)].store(true, std::memory_order_release);
    }
    mScannedOne.notify_all();
    return true;
}

PageScan PageScanAhead::take(qsizetype index)
{
    std::atomic<bool> &scanned = mScanned[size_t(index)];
    while (!scanned.load(std::memory_order_acquire)) {
        if (scanNext())
            continue;
        // Every page is claimed: the one wanted is on the other thread.
        std::unique_lock lock(mMutex);
        mScannedOne.wait(lock, [&scanned] { return scanned.load(std::memory_order_acquire); });
    }
    return std::move(mScans[size_t(index)]);
}
