#include "tags/TagWrap.h"

namespace {

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isNameChar(QChar c)
{
    return isAsciiLetter(c) || (c >= u'0' && c <= u'9');
}

qsizetype skipSpaces(QStringView s, qsizetype i)
{
    while (i < s.size() && isSpace(s.at(i)))
        ++i;
    return i;
}

// The end of the tag name starting at `i` (a letter, then letters and digits).
qsizetype nameEnd(QStringView s, qsizetype i)
{
    if (i >= s.size() || !isAsciiLetter(s.at(i)))
        return i;
    while (i < s.size() && isNameChar(s.at(i)))
        ++i;
    return i;
}

// The position after the ">" that ends a start tag whose name ends at `i`, attribute values
// in quotes passed over; 0 when the tag does not end.
qsizetype startTagEnd(QStringView s, qsizetype i)
{
    if (i < s.size() && s.at(i) != u'>' && !isSpace(s.at(i)))
        return 0;   // the name goes on with a character a name cannot hold
    QChar quote;
    for (; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'>') {
            return i + 1;
        } else if (c == u'<') {
            return 0;
        }
    }
    return 0;
}

}   // namespace

QString typedText(const QList<TagKey> &keys)
{
    QString text;
    text.reserve(keys.size());
    for (const TagKey &k : keys)
        text += k.key == Qt::Key_Return ? QStringLiteral("\n") : k.text;
    return text;
}

std::optional<TagPair> tagPair(QStringView typed)
{
    const qsizetype open = skipSpaces(typed, 0);
    if (open >= typed.size() || typed.at(open) != u'<')
        return std::nullopt;
    const qsizetype nameFrom = open + 1;
    const qsizetype nameTo = nameEnd(typed, nameFrom);
    if (nameTo == nameFrom)
        return std::nullopt;
    const qsizetype afterStart = startTagEnd(typed, nameTo);
    if (afterStart == 0)
        return std::nullopt;
    const qsizetype close = skipSpaces(typed, afterStart);
    const QStringView name = typed.sliced(nameFrom, nameTo - nameFrom);
    if (!typed.sliced(close).startsWith(u"</"))
        return std::nullopt;
    const qsizetype closeNameTo = close + 2 + name.size();
    if (closeNameTo > typed.size() || typed.sliced(close + 2, name.size()).compare(name, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const qsizetype closeEnd = skipSpaces(typed, closeNameTo);
    if (closeEnd >= typed.size() || typed.at(closeEnd) != u'>' || skipSpaces(typed, closeEnd + 1) != typed.size())
        return std::nullopt;
    return TagPair{typed.first(close).toString(), typed.sliced(close).toString()};
}
