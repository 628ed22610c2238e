#include "editor/EditorText.h"
#include "common/TextFile.h"

namespace editorText {

namespace {
constexpr char16_t escape = 0xFDEF;

// Characters the text box's document turns into a line break of its own.
inline bool isDocumentBreak(char16_t c)
{
    return c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

// The tag that follows the escape character for `c`, or 0 when `c` goes in as it is.
inline char16_t tagOf(char16_t c)
{
    switch (c) {
    case 0x2029: return 0xFDEC;
    case 0xFDD0: return 0xFDED;
    case 0xFDD1: return 0xFDEE;
    case escape: return escape;
    default: return 0;
    }
}

// The character an escape pair with `tag` stands for, or 0 when `tag` is no tag.
inline char16_t characterOfTag(char16_t tag)
{
    switch (tag) {
    case 0xFDEC: return 0x2029;
    case 0xFDED: return 0xFDD0;
    case 0xFDEE: return 0xFDD1;
    case escape: return escape;
    default: return 0;
    }
}

// `text` with every escape pair turned back into its character; an escape character not
// followed by a tag stays as it is.
QString withoutEscapePairs(const QString &text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        const char16_t original = c == escape && i + 1 < n ? characterOfTag(text.at(i + 1).unicode()) : 0;
        out.append(QChar(original ? original : c));
        if (original)
            ++i;
    }
    return out;
}
}   // namespace

QString documentText(const QString &text)
{
    const auto *s = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && !tagOf(s[i]))
        ++i;
    if (i == n)
        return text;
    QString out;
    out.reserve(n + 16);
    out.append(QStringView(s, i));
    for (; i < n; ++i) {
        if (const char16_t tag = tagOf(s[i])) {
            out.append(QChar(escape));
            out.append(QChar(tag));
        } else {
            out.append(QChar(s[i]));
        }
    }
    return out;
}

QString crLfText(const QString &text)
{
    // Line breaks first: a U+2029 of the page is still an escape pair at this point.
    const QString lines = withCrLfBreaks(text, false, isDocumentBreak);
    return lines.contains(QChar(escape)) ? withoutEscapePairs(lines) : lines;
}

qsizetype pieceEnd(QStringView text, qsizetype from)
{
    const qsizetype n = text.size();
    int lines = 0;
    for (qsizetype i = from; i < n; ++i) {
        if (text[i] != QLatin1Char('\n'))
            continue;
        if (++lines >= pieceLines || i + 1 - from >= pieceChars)
            return i + 1;
    }
    return n;
}

}   // namespace editorText

namespace {
qsizetype lineEndFrom(const QString &text, qsizetype from)
{
    const qsizetype n = text.size();
    while (from < n && text.at(from) != u'\r' && text.at(from) != u'\n')
        ++from;
    return from;
}
}   // namespace

QString LineFinder::line(const QString &text, qsizetype number)
{
    if (text.constData() != mData || text.size() != mSize || number < mLine) {
        mData = text.constData();
        mSize = text.size();
        mLine = 1;
        mStart = 0;
    }
    while (mLine < number) {
        qsizetype end = lineEndFrom(text, mStart);
        if (end == text.size())
            return {};
        if (text.at(end) == u'\r' && end + 1 < text.size() && text.at(end + 1) == u'\n')
            ++end;
        mStart = end + 1;
        ++mLine;
    }
    return text.mid(mStart, lineEndFrom(text, mStart) - mStart);
}
