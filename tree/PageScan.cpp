#include "tree/PageScan.h"
#include "common/TextFile.h"
#include "common/TextHelpers.h"
#include "editor/RecoveryCopy.h"

#include <QFileInfo>

using namespace basSystem;

namespace {

// Finds the next " HREF" (any letter case) at or after a position. The walk asks with
// positions that never go back, so the last answer holds until the walk passes it.
class HrefFinder
{
public:
    explicit HrefFinder(QStringView text) : mText(text) { }

    qsizetype next(qsizetype from)
    {
        if (mDone)
            return -1;
        if (from <= mAt)
            return mAt;
        mAt = indexOfUpper(mText, QLatin1StringView(" HREF"), from);
        mDone = mAt < 0;
        return mAt;
    }

private:
    QStringView mText;
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
        const qsizetype at = mText.first(mNoneFrom).indexOf(QLatin1Char('"'), from);
        if (at < 0) {
            mNoneFrom = from;
            return -1;
        }
        mFrom = from;
        mAt = at;
        return at;
    }

private:
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
    if (!value.isEmpty() && value.front().isLowSurrogate())
        value.remove(0, 1);
    return value;
}

void addLink(QStringList &links, QStringView raw)
{
    QString value = withoutHalfCharacter(StripControlChars(raw));
    if (!value.isEmpty() && value.at(0) != QLatin1Char('#'))
        links.append(std::move(value));
}

}   // namespace

QStringList scanLinks(QStringView text)
{
    // `rest` is where the current step's search begins (0-based): the rest of the page
    // from there on is what one step of the walk looks at.
    QStringList links{QString()};
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
        addLink(links, text.sliced(start, close - start));
        rest = close + 3;   // the closing quote's position in the rest, plus two
    }
    return links;
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

PageScan scanPageText(const QString &decoded)
{
    PageScan scan;
    scan.readOk = true;
    scan.Text = withCrLfBreaks(decoded, true);
    qsizetype endPos = 0;
    scan.Title = GetTagText(scan.Text, QStringLiteral("TITLE"), endPos).value_or(QString());
    scan.Links = scanLinks(scan.Text);
    return scan;
}

PageScan scanPageFile(const QString &path)
{
    if (const QFileInfo info(path); info.isFile() && info.size() > maxPageBytes) {
        PageScan refused = scanPageText(QString());
        refused.readOk = false;
        refused.error = QStringLiteral("the page is too large");
        refused.tooLargeSize = info.size();
        return refused;
    }
    QByteArray bytes;
    TextFileContent content = readTextFile(path, DetectMode::Page, &bytes);
    if (!content.ok) {
        PageScan failed = scanPageText(QString());
        failed.readOk = false;
        failed.error = content.error;
        return failed;
    }
    PageScan scan = scanPageText(content.text);
    if (const qsizetype lines = scan.Text.count(QLatin1Char('\n')) + 1; lines > maxPageLines) {
        PageScan refused = scanPageText(QString());
        refused.readOk = false;
        refused.error = QStringLiteral("the page has too many lines");
        refused.tooManyLines = lines;
        return refused;
    }
    scan.Encoding = content.encoding;
    scan.FileHash = pageFileHash(bytes);
    return scan;
}
