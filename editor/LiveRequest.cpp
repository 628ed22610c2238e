#include "editor/LiveRequest.h"
#include "common/TextHelpers.h"

#include <QStringDecoder>

namespace liveRequest {

namespace {
bool isControl(uchar c)
{
    return c < 0x20 || c == 0x7F;
}

// A byte that must not come percent-encoded: it would stand for a separator or a dot that
// the raw path does not show.
bool refusedEncoded(uchar c)
{
    return c == '.' || c == '/' || c == '\\' || isControl(c);
}

// Decodes one segment; the kind tells whether that was possible.
Target::Kind decodeSegment(QByteArrayView raw, QByteArray &out)
{
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const uchar c = uchar(raw[i]);
        if (c == '\\' || isControl(c))
            return Target::Refused;
        if (c != '%') {
            out += char(c);
            continue;
        }
        const int high = i + 2 < raw.size() ? basSystem::hexDigitValue(char16_t(uchar(raw[i + 1]))) : -1;
        const int low = high >= 0 ? basSystem::hexDigitValue(char16_t(uchar(raw[i + 2]))) : -1;
        if (low < 0)
            return Target::Malformed;
        const uchar decoded = uchar(high * 16 + low);
        if (refusedEncoded(decoded))
            return Target::Refused;
        out += char(decoded);
        i += 2;
    }
    return Target::Site;
}
}   // namespace

Target parseTarget(QByteArrayView target)
{
    Target result;
    if (!target.startsWith('/'))
        return result;
    qsizetype end = target.indexOf('?');
    if (end >= 0)
        result.query = target.sliced(end + 1).toByteArray();
    else
        end = target.size();
    if (const qsizetype hash = target.first(end).indexOf('#'); hash >= 0)
        end = hash;
    const QByteArrayView rawPath = target.first(end);
    QByteArray path("/");
    qsizetype from = 1;
    while (from < rawPath.size()) {
        qsizetype slash = rawPath.indexOf('/', from);
        if (slash < 0)
            slash = rawPath.size();
        const QByteArrayView segment = rawPath.sliced(from, slash - from);
        // The query stays with a refused target, so that its token is still seen: a
        // request with the token is refused (403), not answered as a stranger's (404).
        if (segment.isEmpty() || segment == "." || segment == "..") {
            result.kind = Target::Refused;
            return result;
        }
        if (const Target::Kind kind = decodeSegment(segment, path); kind != Target::Site) {
            result.kind = kind;
            return result;
        }
        if (slash < rawPath.size())
            path += '/';
        from = slash + 1;
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    result.path = utf8.decode(path);
    if (utf8.hasError())
        return result;
    result.kind = Target::Site;
    return result;
}

QString sameOriginPath(QByteArrayView referer, quint16 port)
{
    const QByteArray port_ = QByteArray::number(port);
    for (const QByteArray &origin : {QByteArray("http://127.0.0.1:" + port_), QByteArray("http://[::1]:" + port_)}) {
        if (!referer.startsWith(origin))
            continue;
        const Target target = parseTarget(referer.sliced(origin.size()));
        return target.kind == Target::Site ? target.path : QString();
    }
    return QString();
}

bool hostAllowed(QByteArrayView host, quint16 port)
{
    const QByteArray port_ = QByteArray::number(port);
    return host == QByteArray("127.0.0.1:" + port_) || host == QByteArray("[::1]:" + port_);
}

QByteArray queryValue(QByteArrayView query, QByteArrayView name)
{
    qsizetype from = 0;
    while (from <= query.size()) {
        qsizetype end = query.indexOf('&', from);
        if (end < 0)
            end = query.size();
        const QByteArrayView pair = query.sliced(from, end - from);
        if (pair.size() > name.size() && pair.startsWith(name) && pair[name.size()] == '=')
            return pair.sliced(name.size() + 1).toByteArray();
        from = end + 1;
    }
    return QByteArray();
}

bool tokenMatches(QByteArrayView presented, QByteArrayView token)
{
    if (token.isEmpty() || presented.size() != token.size())
        return false;
    uchar difference = 0;
    for (qsizetype i = 0; i < token.size(); ++i)
        difference |= uchar(presented[i] ^ token[i]);
    return difference == 0;
}

QByteArray charsetName(TextEncoding encoding)
{
    return encoding == TextEncoding::Cp932 ? QByteArrayLiteral("Shift_JIS") : QByteArrayLiteral("UTF-8");
}

namespace {
// `text` as a JavaScript string literal of ASCII characters only, so that it reads the
// same in a page of any code page, and never closes the script element it stands in.
QByteArray scriptString(const QString &text)
{
    QByteArray out("\"");
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7F && u != '"' && u != '\\' && u != '<' && u != '>')
            out += char(u);
        else
            out += "\\u" + QByteArray::number(u, 16).rightJustified(4, '0');
    }
    return out + '"';
}

// The position of the last `tag` (lower case) in `page`, in any letter case, or -1.
qsizetype lastTag(QByteArrayView page, QByteArrayView tag)
{
    for (qsizetype i = page.size() - tag.size(); i >= 0; --i) {
        if (page[i] != '<')
            continue;
        if (page.sliced(i, tag.size()).compare(tag, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}
}   // namespace

QByteArray reloadScript(const QString &pagePath, quint64 generation)
{
    // The scroll position goes into the tab's session storage just before the reload and
    // is put back once the reloaded page has its pictures (the page may not allow storage).
    return "<script>(function(){var p=" + scriptString(pagePath) + ",v=" + QByteArray::number(generation)
        + ",k=\"pagekiln-scroll:\"+p,s=null;"
          "try{s=sessionStorage.getItem(k);sessionStorage.removeItem(k);}catch(x){}"
          "if(s){s=s.split(\",\");addEventListener(\"load\",function(){scrollTo(+s[0],+s[1]);});}"
          "var e=new EventSource(\""
        + QByteArray(ownFolder)
        + "events?v=\"+v+\"&page=\"+encodeURIComponent(p));"
          "e.addEventListener(\"reload\",function(){e.close();"
          "try{sessionStorage.setItem(k,scrollX+\",\"+scrollY);}catch(x){}location.reload();});})();</script>";
}

QByteArray withScript(QByteArray page, QByteArrayView script)
{
    qsizetype at = lastTag(page, "</body");
    if (at < 0)
        at = lastTag(page, "</html");
    if (at < 0)
        at = page.size();
    return page.insert(at, script);
}

}   // namespace liveRequest
