#include "common/TextHelpers.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace basSystem {

const QString appTitle = QStringLiteral("pageKiln");
const QString modifiedMark = QStringLiteral("● ");
const QString appVersion = QStringLiteral(PAGEKILN_VERSION);
const QString listItem = QStringLiteral("\n・");

QString folderOfChosenFile(const QString &fullPath, const QString &fileName)
{
    return fullPath.left(std::max<qsizetype>(0, fullPath.size() - fileName.size()));
}

QString failureText(const QString &message, const QString &path, const QString &reason)
{
    QString text = message + QLatin1Char('\n') + path;
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + reason;
    return text;
}

qsizetype firstControlChar(QStringView text)
{
    const char16_t *src = text.utf16();
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && src[i] > 31)
        ++i;
    return i;
}

QString StripControlChars(QStringView text)
{
    const char16_t *src = text.utf16();
    const qsizetype n = text.size();
    qsizetype kept = firstControlChar(text);   // a text without any, the usual case, is copied whole
    if (kept == n)
        return text.toString();
    QString out(n, Qt::Uninitialized);
    char16_t *dst = reinterpret_cast<char16_t *>(out.data());
    std::copy(src, src + kept, dst);
    for (qsizetype i = kept + 1; i < n; ++i)
        if (src[i] > 31)
            dst[kept++] = src[i];
    out.truncate(kept);
    return out;
}

namespace {
inline char16_t asciiUpper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}

// 0-based index of the first `c` at or after `from`, or -1.
qsizetype indexOfChar(QStringView text, QChar c, qsizetype from)
{
    if (from < 0 || from >= text.size())
        return -1;
    return text.indexOf(c, from);
}

}   // namespace

qsizetype indexOfUpper(QStringView text, QLatin1StringView needle, qsizetype from)
{
    return UpperFinder(needle).indexIn(text, from);
}

UpperFinder::UpperFinder(QLatin1StringView needle) : mNeedle(needle)
{
    // A lower-case needle letter matches no character once upper-cased: such a needle,
    // and one of a single character, is searched without the filter.
    const auto match = [](QLatin1Char c, Match &m) {
        const char16_t u = uchar(c.toLatin1());
        const bool letter = u >= u'A' && u <= u'Z';
        m = {char16_t(letter ? 0x20 : 0), char16_t(letter ? u | 0x20 : u)};
        return !(u >= u'a' && u <= u'z');
    };
    mFiltered = needle.size() >= 2 && match(needle.at(0), mFirst) && match(needle.at(1), mSecond);
}

qsizetype UpperFinder::indexIn(QStringView text, qsizetype from) const
{
    const qsizetype n = text.size();
    const qsizetype m = mNeedle.size();
    from = std::max<qsizetype>(from, 0);
    if (m == 0)
        return from <= n ? from : -1;
    const char16_t *data = text.utf16();
    const qsizetype end = n - m + 1;   // the positions at which the needle fits
    if (!mFiltered) {
        for (qsizetype i = from; i < end; ++i)
            if (matchesAt(data + i))
                return i;
        return -1;
    }
    for (qsizetype i = skipToCandidate(data, end, from); i < end; i = skipToCandidate(data, end, i + 1))
        if (matchesAt(data + i))
            return i;
    return -1;
}

bool UpperFinder::matchesAt(const char16_t *at) const
{
    for (qsizetype k = 0; k < mNeedle.size(); ++k)
        if (asciiUpper(at[k]) != char16_t(uchar(mNeedle.at(k).toLatin1())))
            return false;
    return true;
}

// The first position in [from, end) whose character and the next match the needle's
// first two characters, or `end` (the text holds at least one character past `end`).
// Eight positions at a time where the processor allows; the caller compares the rest.
qsizetype UpperFinder::skipToCandidate(const char16_t *data, qsizetype end, qsizetype from) const
{
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i bits0 = _mm_set1_epi16(short(mFirst.bits)), value0 = _mm_set1_epi16(short(mFirst.value));
    const __m128i bits1 = _mm_set1_epi16(short(mSecond.bits)), value1 = _mm_set1_epi16(short(mSecond.value));
    for (; i + 8 <= end; i += 8) {
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i));
        const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i + 1));
        const __m128i hit = _mm_and_si128(_mm_cmpeq_epi16(_mm_or_si128(first, bits0), value0),
                                          _mm_cmpeq_epi16(_mm_or_si128(second, bits1), value1));
        if (const int mask = _mm_movemask_epi8(hit))
            return i + std::countr_zero(unsigned(mask)) / 2;
    }
#endif
    for (; i < end; ++i)
        if ((data[i] | mFirst.bits) == mFirst.value && (data[i + 1] | mSecond.bits) == mSecond.value)
            return i;
    return end;
}

QString upperCopy(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    char16_t *dst = reinterpret_cast<char16_t *>(out.data());
    const char16_t *src = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i)
        dst[i] = asciiUpper(src[i]);
    return out;
}

std::optional<QString> GetTagText(QStringView text, const QString &tagName, qsizetype &endPos)
{
    const QString name = tagName.trimmed();
    const QByteArray open = "<" + name.toLatin1();
    const QByteArray close = "</" + name.toLatin1();
    const qsizetype p1 = indexOfUpper(text, QLatin1StringView(open));
    if (p1 < 0)
        return std::nullopt;
    const qsizetype g = indexOfChar(text, QLatin1Char('>'), p1);   // 0-based, -1 if none
    const qsizetype s = g + 1;                                     // 0-based start of the title
    const qsizetype p3 = indexOfUpper(text, QLatin1StringView(close), s);
    if (p3 < 0)
        return std::nullopt;
    endPos = p3 + 1 + close.size();
    return StripControlChars(text.sliced(s, p3 - s));
}

QString GetHrefValue(QStringView text, qsizetype &nextPos)
{
    const qsizetype p = indexOfUpper(text, QLatin1StringView(" HREF"));
    if (p < 0) {
        nextPos = text.size();
        return QString();
    }
    // 1-based positions from here on, as the contract gives them.
    const qsizetype q1 = indexOfChar(text, QLatin1Char('"'), p) + 1;   // 0 when none
    const qsizetype s = q1 + 1;
    const qsizetype q2 = indexOfChar(text, QLatin1Char('"'), s) + 1;   // search from s + 1
    if (s >= q2) {
        nextPos = q2;
        return QString();
    }
    nextPos = q2;
    return StripControlChars(text.sliced(s - 1, q2 - s));
}

}   // namespace basSystem
