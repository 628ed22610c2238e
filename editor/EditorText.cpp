#include "editor/EditorText.h"

namespace editorText {

namespace {
// Characters the text box's document turns into a line break of its own.
inline bool isDocumentBreak(char16_t c)
{
    return c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

// The index of the first line break that is not already a CR LF pair, or -1.
qsizetype firstIrregularBreak(const char16_t *s, qsizetype n)
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
        if (c == u'\n' || isDocumentBreak(c))
            return i;
    }
    return -1;
}
} // namespace

QString crLfText(const QString &text)
{
    const auto *s = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    const qsizetype first = firstIrregularBreak(s, n);
    if (first < 0)
        return text;
    QString out;
    out.reserve(n + n / 16 + 2);
    qsizetype run = 0;   // the start of the characters not yet copied
    for (qsizetype i = first; i < n; ++i) {
        const char16_t c = s[i];
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
