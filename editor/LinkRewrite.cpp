#include "editor/LinkRewrite.h"
#include "common/TextHelpers.h"

#include <algorithm>

namespace linkRewrite {

namespace {
// How much of a page goes into the first pass at a time: small enough that the pieces in
// flight between the passes stay in the processor's cache.
constexpr qsizetype pieceLength = 16 * 1024;

inline char16_t latin1At(QLatin1StringView s, qsizetype i)
{
    return char16_t(uchar(s.at(i).toLatin1()));
}

// True when the characters at `s` spell `keyword` (upper-case ASCII) in any letter case;
// the first character is already known to match.
bool restMatches(const char16_t *s, QLatin1StringView keyword)
{
    for (qsizetype k = 1; k < keyword.size(); ++k) {
        char16_t c = s[k];
        if (c >= u'a' && c <= u'z')
            c = char16_t(c - 0x20);
        if (c != latin1At(keyword, k))
            return false;
    }
    return true;
}

// The first occurrence of an upper-case ASCII `keyword` in any letter case at or after
// `from`, or -1. Candidates are found by their first character, tested in blocks the
// compiler can vectorise: OR-ing in 0x20 maps exactly the two cases of a letter onto one
// value.
qsizetype findKeyword(QStringView text, QLatin1StringView keyword, qsizetype from)
{
    if (keyword.isEmpty())
        return from <= text.size() ? from : -1;
    const char16_t first = latin1At(keyword, 0);
    const char16_t mask = (first >= u'A' && first <= u'Z') ? 0x20 : 0;
    const char16_t wanted = char16_t(first | mask);
    const auto *s = reinterpret_cast<const char16_t *>(text.data());
    const qsizetype end = text.size() - keyword.size() + 1;   // candidates stand before this
    constexpr qsizetype block = 16;
    qsizetype i = from;
    while (i < end) {
        for (; i + block <= end; i += block) {
            bool any = false;
            for (qsizetype j = 0; j < block; ++j)
                any |= char16_t(s[i + j] | mask) == wanted;
            if (any)
                break;
        }
        const qsizetype stop = std::min(end, i + block);
        for (; i < stop; ++i)
            if (char16_t(s[i] | mask) == wanted && restMatches(s + i, keyword))
                return i;
    }
    return -1;
}
}   // namespace

bool isExternalHead(QStringView head)
{
    using basSystem::indexOfUpper;
    return indexOfUpper(head, QLatin1StringView("HTTP:")) >= 0 || indexOfUpper(head, QLatin1StringView("HTTPS:")) >= 0
        || indexOfUpper(head, QLatin1StringView("MAILTO:")) >= 0;
}

LinkPass::LinkPass(QLatin1StringView keyword, QStringView folder, Sink sink)
    : mKeyword(keyword), mFolder(folder), mSink(std::move(sink))
{ }

void LinkPass::feed(QStringView piece)
{
    compact();
    mBuffer.append(piece);
    run(false);
}

void LinkPass::finish()
{
    run(true);
}

void LinkPass::run(bool complete)
{
    // A keyword's first characters may end the input so far; they wait for the rest.
    const qsizetype keywordTail = std::max<qsizetype>(0, mKeyword.size() - 1);
    const QStringView text(mBuffer);
    for (;;) {
        if (mKeywordAt < 0) {
            mKeywordAt = findKeyword(text, mKeyword, mScan);
            if (mKeywordAt < 0) {
                const qsizetype settled = complete ? text.size() : std::max(mStart, text.size() - keywordTail);
                handOn(settled);
                mScan = settled;
                return;
            }
            mPlaceScan = mKeywordAt;
        }
        // The keyword's place: the first double quote after it, or, when no quote follows
        // anywhere (known only once the input is complete), the first equals sign.
        qsizetype place = -1;
        if (!mQuotesExhausted) {
            place = text.indexOf(u'"', mPlaceScan);
            if (place < 0) {
                mPlaceScan = text.size();
                if (!complete)
                    return;
                mQuotesExhausted = true;
            }
        }
        if (place < 0) {
            place = text.indexOf(u'=', mKeywordAt);
            if (place < 0) {   // nothing can place this keyword: the rest goes as it is
                handOn(text.size());
                mKeywordAt = -1;
                mScan = text.size();
                return;
            }
        }
        if (!complete && place + headLength > text.size()) {
            mPlaceScan = place;   // the target's head has not all arrived yet
            return;
        }
        const bool external = isExternalHead(text.sliced(place, std::min(headLength, text.size() - place)));
        handOn(place + 1);
        if (!external)
            mSink(mFolder);
        mKeywordAt = -1;
        mScan = place + 1;
    }
}

void LinkPass::handOn(qsizetype end)
{
    if (end > mStart)
        mSink(QStringView(mBuffer).sliced(mStart, end - mStart));
    mStart = std::max(mStart, end);
}

void LinkPass::compact()
{
    // What has been handed on is dropped once it is the larger part of the buffer, so
    // every character is moved at most a few times and the buffer stays small.
    if (mStart == 0 || mStart < mBuffer.size() / 2)
        return;
    mBuffer.remove(0, mStart);
    mScan = std::max<qsizetype>(0, mScan - mStart);
    if (mKeywordAt >= 0) {
        mKeywordAt -= mStart;
        mPlaceScan -= mStart;
    }
    mStart = 0;
}

namespace {
void feedInPieces(LinkPass &pass, QStringView text)
{
    for (qsizetype at = 0; at < text.size(); at += pieceLength)
        pass.feed(text.sliced(at, std::min(pieceLength, text.size() - at)));
    pass.finish();
}
}   // namespace

QString rewritePass(QStringView text, QLatin1StringView keyword, QStringView folder)
{
    if (folder.isEmpty())
        return text.toString();
    QString out;
    out.reserve(text.size() + text.size() / 4);
    LinkPass pass(keyword, folder, [&out](QStringView s) { out += s; });
    feedInPieces(pass, text);
    return out;
}

QString previewText(QStringView text, QStringView folder)
{
    if (folder.isEmpty())
        return text.toString();
    QString out;
    out.reserve(text.size() + text.size() / 4);
    LinkPass src(srcKeyword, folder, [&out](QStringView s) { out += s; });
    LinkPass background(backgroundKeyword, folder, [&src](QStringView s) { src.feed(s); });
    LinkPass href(hrefKeyword, folder, [&background](QStringView s) { background.feed(s); });
    feedInPieces(href, text);
    background.finish();
    src.finish();
    return out;
}

}   // namespace linkRewrite

QString linkRewrite::rewritePassReference(const QString &text, QLatin1StringView keyword, const QString &folder)
{
    const QString upper = basSystem::upperCopy(text);
    QString out;
    qsizetype p = 0;
    for (;;) {
        const qsizetype k = upper.indexOf(keyword, p);
        if (k < 0)
            break;
        qsizetype q = upper.indexOf(QLatin1Char('"'), k);
        if (q < 0)
            q = upper.indexOf(QLatin1Char('='), k);
        if (q < 0)
            break;
        out += QStringView(text).sliced(p, q - p + 1);
        if (!isExternalHead(QStringView(upper).sliced(q, std::min<qsizetype>(headLength, upper.size() - q))))
            out += folder;
        p = q + 1;
    }
    out += QStringView(text).sliced(p);
    return out;
}
