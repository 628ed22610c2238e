#include "common/TextHelpers.h"

#include <algorithm>

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

QString StripControlChars(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (c.unicode() > 31)
            out += c;
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
    const qsizetype n = text.size();
    const qsizetype m = needle.size();
    if (from < 0)
        from = 0;
    if (m == 0)
        return from <= n ? from : -1;
    const char16_t first = char16_t(uchar(needle.at(0).toLatin1()));
    const char16_t *data = text.utf16();
    for (qsizetype i = from; i + m <= n; ++i) {
        if (asciiUpper(data[i]) != first)
            continue;
        qsizetype k = 1;
        while (k < m && asciiUpper(data[i + k]) == char16_t(uchar(needle.at(k).toLatin1())))
            ++k;
        if (k == m)
            return i;
    }
    return -1;
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
