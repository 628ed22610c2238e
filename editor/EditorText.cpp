#include "editor/EditorText.h"

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

// The index of the first line break that is not already a CR LF pair, or of the first
// escape character, or -1.
qsizetype firstToChange(const char16_t *s, qsizetype n)
{
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c == u'\r') {
            if (i + 1 < n && s[i + 1] == u'\n') {
                ++i;
                continue;
            }
            return i;
        }
        if (c == u'\n' || c == escape || isDocumentBreak(c))
            return i;
    }
    return -1;
}
} // namespace

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
    const auto *s = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    const qsizetype first = firstToChange(s, n);
    if (first < 0)
        return text;
    QString out;
    out.reserve(n + n / 16 + 2);
    qsizetype run = 0;   // the start of the characters not yet copied
    for (qsizetype i = first; i < n; ++i) {
        const char16_t c = s[i];
        if (c == escape && i + 1 < n && characterOfTag(s[i + 1])) {
            out.append(QStringView(s + run, i - run));
            out.append(QChar(characterOfTag(s[i + 1])));
            run = ++i + 1;
            continue;
        }
        if (c != u'\r' && c != u'\n' && !isDocumentBreak(c))
            continue;
        out.append(QStringView(s + run, i - run));
        out.append(QLatin1String("\r\n"));
        if (c == u'\r' && i + 1 < n && s[i + 1] == u'\n')
            ++i;
        run = i + 1;
    }
    out.append(QStringView(s + run, n - run));
    return out;
}

} // namespace editorText
