#include "tree/PageReferences.h"
#include "common/TextFile.h"
#include "common/TextHelpers.h"

#include <algorithm>
#include <array>
#include <optional>

namespace pageRefs {

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

char16_t lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}

// Whether `s` is `lowerName` (lower-case ASCII) in any letter case.
bool isName(QStringView s, QLatin1StringView lowerName)
{
    if (s.size() != lowerName.size())
        return false;
    for (qsizetype i = 0; i < s.size(); ++i)
        if (lower(s[i].unicode()) != char16_t(lowerName[i].unicode()))
            return false;
    return true;
}

// Whether the text at `at` starts with `lowerWord` in any letter case.
bool startsWithName(QStringView s, qsizetype at, QLatin1StringView lowerWord)
{
    return at + lowerWord.size() <= s.size() && isName(s.sliced(at, lowerWord.size()), lowerWord);
}

// Lines and columns of places visited in increasing order: each stretch of text is counted once.
class LineCounter
{
public:
    explicit LineCounter(QStringView text) : mText(text) { }

    template<typename Ref>
    void place(Ref &ref)
    {
        if (ref.offset > mAt) {
            qsizetype lastFeed = -1;
            if (const qsizetype feeds = lineFeedCount(mText.sliced(mAt, ref.offset - mAt), &lastFeed)) {
                mLine += qint32(feeds);
                mLineStart = mAt + lastFeed + 1;
            }
            mAt = ref.offset;
        }
        ref.line = mLine;
        ref.column = qint32(ref.offset - mLineStart + 1);
    }

private:
    QStringView mText;
    qsizetype mAt = 0;
    qsizetype mLineStart = 0;
    qint32 mLine = 1;
};

// Decodes the character reference that starts with the "&" at `at`; returns the
// characters it stands for and sets `end` after it, or returns nothing when none starts there.
QString charRefAt(QStringView s, qsizetype at, qsizetype &end)
{
    qsizetype i = at + 1;
    if (i < s.size() && s[i] == u'#') {
        ++i;
        const bool hex = i < s.size() && (s[i] == u'x' || s[i] == u'X');
        if (hex)
            ++i;
        const qsizetype first = i;
        char32_t code = 0;
        for (; i < s.size(); ++i) {
            const char16_t c = s[i].unicode();
            int digit = -1;
            if (isDigit(c))
                digit = c - u'0';
            else if (hex && lower(c) >= u'a' && lower(c) <= u'f')
                digit = lower(c) - u'a' + 10;
            if (digit < 0)
                break;
            code = code > 0x10FFFF ? code : code * (hex ? 16 : 10) + char32_t(digit);
        }
        if (i == first)
            return {};
        end = i < s.size() && s[i] == u';' ? i + 1 : i;
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            code = 0xFFFD;
        return QString::fromUcs4(&code, 1);
    }
    static const std::array<std::pair<QLatin1StringView, char16_t>, 6> named{{
        {QLatin1StringView("amp;"), u'&'},
        {QLatin1StringView("lt;"), u'<'},
        {QLatin1StringView("gt;"), u'>'},
        {QLatin1StringView("quot;"), u'"'},
        {QLatin1StringView("apos;"), u'\''},
        {QLatin1StringView("nbsp;"), u'\u00A0'},
    }};
    for (const auto &[name, c] : named) {
        if (s.sliced(i).startsWith(name)) {
            end = i + name.size();
            return QString(QChar(c));
        }
    }
    return {};
}

// Decodes the character references of `raw`; `rawAt`, when given, receives for every
// character of the result the index in `raw` it comes from.
QString decode(QStringView raw, QList<qsizetype> *rawAt)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size();) {
        qsizetype end = i;
        const QString decoded = raw[i] == u'&' ? charRefAt(raw, i, end) : QString();
        const qsizetype from = i;
        if (decoded.isEmpty()) {
            out += raw[i++];
        } else {
            out += decoded;
            i = end;
        }
        if (rawAt)
            rawAt->resize(out.size(), from);
    }
    return out;
}

QString addressOf(QStringView raw)
{
    const QStringView trimmed = raw.trimmed();
    return trimmed.contains(u'&') ? decode(trimmed, nullptr).trimmed() : trimmed.toString();
}

// The address of `raw`: in place when it holds no character reference, otherwise decoded
// into `decoded`.
QStringView addressIn(QStringView raw, QString &decoded)
{
    const QStringView trimmed = raw.trimmed();
    if (indexOfUnit(trimmed, u'&', 0) < 0)
        return trimmed;
    decoded = decode(trimmed, nullptr).trimmed();
    return decoded;
}

// The elements whose tags matter, and what each attribute of interest means on them.
enum class Element { Other, A, Area, Link, Img, Script, Frame, IFrame, Embed, Input, Object, Source, Style, RawText };
enum class Attr { Href, Src, Background, Data, SrcSet, Style, Id, Name, Rel, Type, None };

Element elementOf(QStringView name)
{
    static const std::array<std::pair<QLatin1StringView, Element>, 17> elements{{
        {QLatin1StringView("a"), Element::A},
        {QLatin1StringView("area"), Element::Area},
        {QLatin1StringView("link"), Element::Link},
        {QLatin1StringView("img"), Element::Img},
        {QLatin1StringView("script"), Element::Script},
        {QLatin1StringView("frame"), Element::Frame},
        {QLatin1StringView("iframe"), Element::IFrame},
        {QLatin1StringView("embed"), Element::Embed},
        {QLatin1StringView("input"), Element::Input},
        {QLatin1StringView("object"), Element::Object},
        {QLatin1StringView("source"), Element::Source},
        {QLatin1StringView("style"), Element::Style},
        {QLatin1StringView("textarea"), Element::RawText},
        {QLatin1StringView("title"), Element::RawText},
        {QLatin1StringView("xmp"), Element::RawText},
        {QLatin1StringView("plaintext"), Element::RawText},
        {QLatin1StringView("noembed"), Element::RawText},
    }};
    if (name.isEmpty() || name.size() > 9)
        return Element::Other;
    const char16_t first = lower(name.front().unicode());
    for (const auto &[n, e] : elements)
        if (char16_t(n.front().unicode()) == first && isName(name, n))
            return e;
    return Element::Other;
}

Attr attrOf(QStringView name)
{
    static const std::array<std::pair<QLatin1StringView, Attr>, 10> attrs{{
        {QLatin1StringView("href"), Attr::Href},
        {QLatin1StringView("src"), Attr::Src},
        {QLatin1StringView("background"), Attr::Background},
        {QLatin1StringView("data"), Attr::Data},
        {QLatin1StringView("srcset"), Attr::SrcSet},
        {QLatin1StringView("style"), Attr::Style},
        {QLatin1StringView("id"), Attr::Id},
        {QLatin1StringView("name"), Attr::Name},
        {QLatin1StringView("rel"), Attr::Rel},
        {QLatin1StringView("type"), Attr::Type},
    }};
    if (name.size() < 2 || name.size() > 10)
        return Attr::None;
    const char16_t first = lower(name.front().unicode());
    for (const auto &[n, a] : attrs)
        if (char16_t(n.front().unicode()) == first && isName(name, n))
            return a;
    return Attr::None;
}

struct Value {
    Attr attr = Attr::None;
    qsizetype start = 0;
    qsizetype length = 0;
};

// Whether the blank-separated list `list` holds `lowerWord` in any letter case.
bool holdsWord(QStringView list, QLatin1StringView lowerWord)
{
    qsizetype i = 0;
    while (i < list.size()) {
        while (i < list.size() && isBlank(list[i].unicode()))
            ++i;
        const qsizetype start = i;
        while (i < list.size() && !isBlank(list[i].unicode()))
            ++i;
        if (i > start && isName(list.sliced(start, i - start), lowerWord))
            return true;
    }
    return false;
}

// Reads url(...) and @import in a style sheet `css` standing at `base` in the text, and
// hands each address's place (relative to `css`) to `found`.
template<typename Found>
void readCss(QStringView css, Kind urlKind, Found found)
{
    const qsizetype n = css.size();
    // Where the quoted string opened at `at` stops: at its closing quote, or at the line
    // break or the end that cuts it short.
    const auto stringStop = [&](qsizetype at) {
        const QChar quote = css[at];
        qsizetype i = at + 1;
        while (i < n && css[i] != quote && css[i] != u'\n')
            i += css[i] == u'\\' ? 2 : 1;
        return std::min(i, n);
    };
    const auto after = [&](qsizetype stop) { return stop < n && css[stop] != u'\n' ? stop + 1 : stop; };
    const auto skipBlanks = [&](qsizetype i) {
        while (i < n && isBlank(css[i].unicode()))
            ++i;
        return i;
    };
    // Reads a url( argument starting at `i`, returns where it ends.
    const auto readUrl = [&](qsizetype i, Kind kind) {
        i = skipBlanks(i);
        if (i < n && (css[i] == u'"' || css[i] == u'\'')) {
            const qsizetype stop = stringStop(i);
            found(kind, i + 1, stop - i - 1);
            return after(stop);
        }
        const qsizetype start = i;
        while (i < n && css[i] != u')' && !isBlank(css[i].unicode()))
            ++i;
        found(kind, start, i - start);
        return i;
    };
    bool importing = false;
    qsizetype i = 0;
    while (i < n) {
        const QChar c = css[i];
        if (c == u'/' && i + 1 < n && css[i + 1] == u'*') {
            const qsizetype close = css.indexOf(u"*/", i + 2);
            i = close < 0 ? n : close + 2;
        } else if (c == u'"' || c == u'\'') {
            const qsizetype stop = stringStop(i);
            if (importing)
                found(Kind::StyleSheet, i + 1, stop - i - 1);
            importing = false;
            i = after(stop);
        } else if (c == u'@' && startsWithName(css, i + 1, QLatin1StringView("import"))) {
            importing = true;
            i += 7;
        } else if ((c == u'u' || c == u'U') && startsWithName(css, i, QLatin1StringView("url("))
                   && (i == 0 || !(css[i - 1].isLetterOrNumber() || css[i - 1] == u'-' || css[i - 1] == u'_'))) {
            i = readUrl(i + 4, importing ? Kind::StyleSheet : urlKind);
            importing = false;
        } else {
            if (c == u';' || c == u'{')
                importing = false;
            ++i;
        }
    }
}

class PageReader
{
public:
    PageReader(QStringView text, const Finder &found, QSet<QString> &anchors)
        : mText(text), mLines(text), mFound(found), mAnchors(anchors)
    { }

    void read()
    {
        qsizetype i = 0;
        const qsizetype n = mText.size();
        while (i < n) {
            const qsizetype open = indexOfUnit(mText, u'<', i);
            if (open < 0 || open + 1 >= n)
                break;
            const char16_t c = mText[open + 1].unicode();
            if (isAsciiLetter(c))
                i = startTag(open + 1);
            else if (c == u'/' && open + 2 < n && isAsciiLetter(mText[open + 2].unicode()))
                i = tagEnd(open + 2, nullptr);
            else if (c == u'!' && mText.sliced(open + 2).startsWith(u"--"))
                i = commentEnd(open + 4);
            else if (c == u'!' || c == u'?')
                i = afterNext(u'>', open + 2);
            else
                i = open + 1;
        }
    }

private:
    qsizetype afterNext(char16_t c, qsizetype from) const
    {
        const qsizetype at = indexOfUnit(mText, c, from);
        return at < 0 ? mText.size() : at + 1;
    }

    qsizetype commentEnd(qsizetype from) const
    {
        if (mText.sliced(from).startsWith(u">"))
            return from + 1;
        if (mText.sliced(from).startsWith(u"->"))
            return from + 2;
        const qsizetype close = mText.indexOf(u"-->", from);
        return close < 0 ? mText.size() : close + 3;
    }

    // Reads the name and attributes of a tag whose name starts at `at`; returns the index
    // after its ">" and the name's extent in `name`.
    qsizetype tagEnd(qsizetype at, QStringView *name)
    {
        const qsizetype n = mText.size();
        qsizetype i = at;
        while (i < n && !isBlank(mText[i].unicode()) && mText[i] != u'/' && mText[i] != u'>')
            ++i;
        if (name)
            *name = mText.sliced(at, i - at);
        mValues.clear();
        while (i < n) {
            while (i < n && (isBlank(mText[i].unicode()) || mText[i] == u'/'))
                ++i;
            if (i >= n)
                break;
            if (mText[i] == u'>')
                return i + 1;
            const qsizetype nameStart = i++;
            while (i < n && !isBlank(mText[i].unicode()) && mText[i] != u'/' && mText[i] != u'>' && mText[i] != u'=')
                ++i;
            const Attr attr = name ? attrOf(mText.sliced(nameStart, i - nameStart)) : Attr::None;
            while (i < n && isBlank(mText[i].unicode()))
                ++i;
            Value value{attr, i, 0};
            if (i < n && mText[i] == u'=') {
                i = valueAt(i + 1, value);
            }
            if (attr != Attr::None && !hasValue(attr))
                mValues.append(value);
        }
        return n;
    }

    // Reads the value after "=" from `i`; returns where it ends.
    qsizetype valueAt(qsizetype i, Value &value) const
    {
        const qsizetype n = mText.size();
        while (i < n && isBlank(mText[i].unicode()))
            ++i;
        if (i < n && (mText[i] == u'"' || mText[i] == u'\'')) {
            const qsizetype close = indexOfUnit(mText, mText[i].unicode(), i + 1);
            value.start = i + 1;
            value.length = (close < 0 ? n : close) - value.start;
            return close < 0 ? n : close + 1;
        }
        value.start = i;
        while (i < n && !isBlank(mText[i].unicode()) && mText[i] != u'>')
            ++i;
        value.length = i - value.start;
        return i;
    }

    bool hasValue(Attr attr) const
    {
        for (const Value &v : mValues)
            if (v.attr == attr)
                return true;
        return false;
    }

    QStringView valueOf(Attr attr) const
    {
        for (const Value &v : mValues)
            if (v.attr == attr)
                return mText.sliced(v.start, v.length);
        return {};
    }

    qsizetype startTag(qsizetype at)
    {
        QStringView name;
        const qsizetype end = tagEnd(at, &name);
        const Element element = elementOf(name);
        for (const Value &v : std::as_const(mValues))
            takeValue(element, v);
        switch (element) {
        case Element::Script: return rawTextEnd(end, QLatin1StringView("</SCRIPT"));
        case Element::Style: {
            const qsizetype close = rawTextEnd(end, QLatin1StringView("</STYLE"));
            readCss(mText.sliced(end, close - end), Kind::Image,
                    [&](Kind kind, qsizetype start, qsizetype length) { add(kind, end + start, length); });
            return close;
        }
        case Element::RawText: {
            if (isName(name, QLatin1StringView("plaintext")))
                return mText.size();
            const QByteArray endTag = "</" + name.toLatin1().toUpper();
            return rawTextEnd(end, QLatin1StringView(endTag));
        }
        default: return end;
        }
    }

    // Where the raw text from `from` ends: at its end tag (`upperEndTag`, "</" and the
    // element's name in upper case), or at the end of the text.
    qsizetype rawTextEnd(qsizetype from, QLatin1StringView upperEndTag) const
    {
        const qsizetype close = basSystem::indexOfUpper(mText, upperEndTag, from);
        return close < 0 ? mText.size() : close;
    }

    // What one attribute of interest means on `element`.
    void takeValue(Element element, const Value &v)
    {
        const QStringView raw = mText.sliced(v.start, v.length);
        switch (v.attr) {
        case Attr::Id: mAnchors.insert(addressOf(raw)); break;
        case Attr::Name:
            if (element == Element::A)
                mAnchors.insert(addressOf(raw));
            break;
        case Attr::Href:
            if (element == Element::A || element == Element::Area)
                add(Kind::Page, v.start, v.length);
            else if (element == Element::Link)
                add(linkKind(), v.start, v.length);
            break;
        case Attr::Src:
            if (const auto kind = srcKind(element))
                add(*kind, v.start, v.length);
            break;
        case Attr::Data:
            if (element == Element::Object)
                add(Kind::Object, v.start, v.length);
            break;
        case Attr::Background: add(Kind::Image, v.start, v.length); break;
        case Attr::SrcSet: addSrcSet(v); break;
        case Attr::Style: addStyle(v); break;
        case Attr::Rel:
        case Attr::Type:
        case Attr::None: break;
        }
    }

    Kind linkKind() const
    {
        const QStringView rel = valueOf(Attr::Rel);
        if (holdsWord(rel, QLatin1StringView("stylesheet")))
            return Kind::StyleSheet;
        if (holdsWord(rel, QLatin1StringView("icon")) || holdsWord(rel, QLatin1StringView("apple-touch-icon")))
            return Kind::Image;
        return Kind::Page;
    }

    std::optional<Kind> srcKind(Element element) const
    {
        switch (element) {
        case Element::Img: return Kind::Image;
        case Element::Script: return Kind::Script;
        case Element::Frame:
        case Element::IFrame: return Kind::Frame;
        case Element::Embed: return Kind::Object;
        case Element::Input:
            if (isName(valueOf(Attr::Type).trimmed(), QLatin1StringView("image")))
                return Kind::Image;
            return std::nullopt;
        default: return std::nullopt;
        }
    }

    // Each candidate of a SRCSET list: an address, then descriptors up to a comma.
    void addSrcSet(const Value &v)
    {
        const QStringView list = mText.sliced(v.start, v.length);
        qsizetype i = 0;
        while (i < list.size()) {
            while (i < list.size() && (isBlank(list[i].unicode()) || list[i] == u','))
                ++i;
            const qsizetype start = i;
            while (i < list.size() && !isBlank(list[i].unicode()))
                ++i;
            qsizetype end = i;
            if (end > start && list[end - 1] == u',') {
                while (end > start && list[end - 1] == u',')
                    --end;
            } else {
                qsizetype depth = 0;   // descriptors may hold commas inside parentheses
                for (; i < list.size() && (depth > 0 || list[i] != u','); ++i)
                    depth += list[i] == u'(' ? 1 : list[i] == u')' ? -1 : 0;
            }
            if (end > start)
                add(Kind::Image, v.start + start, end - start);
        }
    }

    // The url(...) addresses in a STYLE attribute, read from its decoded text and placed
    // back where they stand as written.
    void addStyle(const Value &v)
    {
        const QStringView raw = mText.sliced(v.start, v.length);
        if (!raw.contains(u'&')) {
            readCss(raw, Kind::Image, [&](Kind kind, qsizetype s, qsizetype l) { add(kind, v.start + s, l); });
            return;
        }
        QList<qsizetype> rawAt;
        const QString css = decode(raw, &rawAt);
        const auto rawIndex = [&](qsizetype i) { return i < rawAt.size() ? rawAt.at(i) : raw.size(); };
        readCss(css, Kind::Image, [&](Kind kind, qsizetype s, qsizetype l) {
            add(kind, v.start + rawIndex(s), rawIndex(s + l) - rawIndex(s));
        });
    }

    void add(Kind kind, qsizetype offset, qsizetype length)
    {
        FoundReference ref;
        ref.kind = kind;
        ref.offset = offset;
        ref.length = length;
        ref.raw = mText.sliced(offset, length);
        ref.address = addressIn(ref.raw, mDecoded);
        mLines.place(ref);
        mFound(ref);
    }

    QStringView mText;
    LineCounter mLines;
    const Finder &mFound;
    QSet<QString> &mAnchors;
    QList<Value> mValues;   // the attributes of interest of the tag being read, first of each
    QString mDecoded;       // the address of the reference being handed on, when decoded
};

}   // namespace

Reference FoundReference::toReference() const
{
    Reference ref{kind, offset, length, line, column, raw.toString(), {}};
    // An address seen in the raw text as a whole shares its copy.
    ref.address = address == raw ? ref.raw : address.toString();
    return ref;
}

void readPage(QStringView html, const Finder &found, QSet<QString> &anchors)
{
    PageReader(html, found, anchors).read();
}

PageReferences readPage(QStringView html)
{
    PageReferences out;
    readPage(
        html, [&out](const FoundReference &ref) { out.refs.append(ref.toReference()); }, out.anchors);
    return out;
}

PageReading::PageReading(QStringView html)
{
    const auto keep = [&](const FoundReference &ref) {
        Place place{ref.kind, ref.line, ref.column, -1, ref.offset, ref.length, 0, ref.address.size()};
        const std::less<const QChar *> before;   // a total order, also for pointers into other strings
        if (!before(ref.address.data(), html.data()) && before(ref.address.data(), html.data() + html.size())) {
            place.addressOffset = ref.address.data() - html.data();
        } else {
            place.decoded = qint32(mDecoded.size());
            mDecoded << ref.address.toString();
        }
        mPlaces << place;
    };
    readPage(html, keep, mAnchors);
}

FoundReference PageReading::at(QStringView html, qsizetype i) const
{
    const Place &p = mPlaces.at(i);
    const QStringView address
        = p.decoded < 0 ? html.sliced(p.addressOffset, p.addressLength) : QStringView(mDecoded.at(p.decoded));
    return FoundReference{p.kind, p.offset, p.length, p.line, p.column, html.sliced(p.offset, p.length), address};
}

QList<Reference> readStyleSheet(QStringView css)
{
    QList<Reference> refs;
    LineCounter lines(css);
    readCss(css, Kind::Image, [&](Kind kind, qsizetype offset, qsizetype length) {
        Reference ref;
        ref.kind = kind;
        ref.offset = offset;
        ref.length = length;
        ref.raw = css.sliced(offset, length).toString();
        ref.address = ref.raw.trimmed();
        lines.place(ref);
        refs.append(std::move(ref));
    });
    return refs;
}

bool isNotAddress(QStringView value)
{
    for (const QChar c : value)
        if (c == u'"' || c == u'<' || c == u'>' || c == u'\n' || c == u'\r')
            return true;
    return false;
}

QString decodeCharRefs(QStringView text)
{
    return text.contains(u'&') ? decode(text, nullptr) : text.toString();
}

QString linkTextAt(QStringView html, const Reference &ref)
{
    const qsizetype from = ref.offset + ref.length;
    if (from > html.size())
        return {};
    qsizetype open = html.indexOf(u'>', from);
    const qsizetype close = basSystem::indexOfUpper(html, QLatin1StringView("</A"), from);
    if (open < 0 || close < 0 || close < open)
        return {};
    QString text;
    bool inTag = false;
    for (qsizetype i = open + 1; i < close; ++i) {
        const QChar c = html[i];
        if (c == u'<')
            inTag = true;
        else if (c == u'>')
            inTag = false;
        else if (!inTag)
            text += c;
    }
    return decodeCharRefs(text).simplified();
}

}   // namespace pageRefs
