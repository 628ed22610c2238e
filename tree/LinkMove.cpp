#include "tree/LinkMove.h"
#include "common/TextHelpers.h"
#include "common/TextCodec.h"
#include "tree/PageReferences.h"

#include <QList>

using linkCheck::Base;

namespace linkMove {

namespace {
bool isSlash(QChar c)
{
    return c == u'/' || c == u'\\';
}

// How a link escaped what it escaped: non-ASCII names, in which code page, with which hex digits.
struct EscapeStyle {
    bool nonAscii = false;
    bool cp932 = false;
    bool lowerHex = false;
};

EscapeStyle escapeStyleOf(QStringView path)
{
    EscapeStyle style;
    QByteArray run;
    const auto endRun = [&] {
        if (!run.isEmpty() && !isValidUtf8(run))
            style.cp932 = true;
        run.clear();
    };
    for (qsizetype i = 0; i < path.size();) {
        if (path[i] == u'%' && i + 2 < path.size() && basSystem::hexDigitValue(path[i + 1].unicode()) >= 0
            && basSystem::hexDigitValue(path[i + 2].unicode()) >= 0) {
            const int byte = basSystem::hexDigitValue(path[i + 1].unicode()) * 16
                + basSystem::hexDigitValue(path[i + 2].unicode());
            if (byte >= 0x80) {
                style.nonAscii = true;
                run.append(char(byte));
            }
            style.lowerHex = style.lowerHex || path[i + 1] >= u'a' || path[i + 2] >= u'a';
            i += 3;
            continue;
        }
        endRun();
        ++i;
    }
    endRun();
    return style;
}

void appendEscaped(QString &out, QByteArrayView bytes, bool lowerHex)
{
    const char *digits = lowerHex ? "0123456789abcdef" : "0123456789ABCDEF";
    for (const char b : bytes) {
        out += u'%';
        out += QLatin1Char(digits[uchar(b) >> 4]);
        out += QLatin1Char(digits[uchar(b) & 15]);
    }
}

// ASCII characters that cannot stand in a link as they are, quoted or not, in HTML or CSS.
bool mustEscape(char16_t c)
{
    switch (c) {
    case u'%':
    case u'#':
    case u'?':
    case u' ':
    case u'"':
    case u'\'':
    case u'<':
    case u'>':
    case u'(':
    case u')':
    case u'\\':
    case u'/': return true;
    default: return c < 0x20 || c == 0x7f;
    }
}

// One step of a path (a file or folder name) as a link writes it.
QString escapedName(QStringView name, const EscapeStyle &style, Context context)
{
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size();) {
        const bool pair = name[i].isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate();
        const QStringView ch = name.sliced(i, pair ? 2 : 1);
        const char16_t c = name[i].unicode();
        i += ch.size();
        if (c < 0x80) {
            if (mustEscape(c))
                appendEscaped(out, QByteArray(1, char(c)), style.lowerHex);
            else if (c == u'&' && context == Context::Html)
                out += u"&amp;";
            else
                out += QChar(c);
        } else if (style.nonAscii) {
            const std::optional<QByteArray> cp932
                = style.cp932 ? encodeStrict(ch.toString(), TextEncoding::Cp932) : std::nullopt;
            appendEscaped(out, cp932 ? *cp932 : ch.toUtf8(), style.lowerHex);
        } else {
            out += ch;
        }
    }
    return out;
}

// The name a step written in a link stands for.
QString stepName(QStringView raw, Context context)
{
    return linkCheck::decodePercent(context == Context::Html ? pageRefs::decodeCharRefs(raw) : raw.toString());
}

// Whether the folder `folder` ("" for the root) is `dir` or holds it.
bool holds(const QString &folder, const QString &dir)
{
    if (dir == folder || folder.isEmpty())
        return true;
    return dir.size() > folder.size() && dir.startsWith(folder) && dir[folder.size()] == u'/';
}

QString folderOf(const QString &path)
{
    return path.left(std::max<qsizetype>(path.lastIndexOf(u'/'), 0));
}

// The steps from `folder` down to `path`, which it holds.
QStringList namesBelow(const QString &folder, const QString &path)
{
    return path.mid(folder.size()).split(u'/', Qt::SkipEmptyParts);
}

struct Step {
    qsizetype start = 0;
    qsizetype end = 0;
};

QList<Step> stepsOf(QStringView path, qsizetype from)
{
    QList<Step> steps;
    qsizetype start = from;
    for (qsizetype i = from; i <= path.size(); ++i) {
        if (i == path.size() || isSlash(path[i])) {
            steps.append({start, i});
            start = i + 1;
        }
    }
    return steps;
}

// The part of a link's path kept as written: up to the deepest folder it passes through
// that holds the target's folder.
struct Kept {
    qsizetype end = -1;   // -1: none
    QString folder;
};

Kept keptPart(QStringView path, const QList<Step> &steps, bool root, const Base &base, const QString &dir,
              Context context)
{
    Kept kept;
    QString folder = base.path;
    // Every folder that holds the target's lies on its way down: the longest is the deepest.
    // At one depth the later step wins, so that "../sub/" stays as written.
    const auto consider = [&](qsizetype end) {
        if (holds(folder, dir) && (kept.end < 0 || folder.size() >= kept.folder.size()))
            kept = {end, folder};
    };
    consider(root ? 1 : 0);
    for (qsizetype k = 0; k + 1 < steps.size(); ++k) {
        linkCheck::takeStep(folder, stepName(path.sliced(steps[k].start, steps[k].end - steps[k].start), context),
                            base.rootLength);
        consider(steps[k].end + 1);
    }
    return kept;
}

// The link written without regard to its style: relative, "/" separators, escaped where it must be.
QString plainLink(const Base &from, const QString &target, bool asFolder, Context context)
{
    QString common = from.path;
    QString out;
    const QString dir = asFolder ? target : folderOf(target);
    while (!holds(common, dir)) {
        if (common.size() <= from.rootLength)
            return QString();   // another drive: no relative link leads there
        common.truncate(std::max(common.lastIndexOf(u'/'), from.rootLength));
        out += u"../";
    }
    QStringList names = namesBelow(common, dir);
    if (!asFolder)
        names << target.mid(target.lastIndexOf(u'/') + 1);
    for (const QString &name : std::as_const(names))
        out += escapedName(name, {}, context) + u'/';
    if (!asFolder && !out.isEmpty())
        out.chop(1);
    return out.isEmpty() ? QStringLiteral("./") : out;
}

// Where the path of `link` ends: at its query or fragment. In HTML a "#" of a numeric
// character reference ("&#97;") is part of the path.
qsizetype pathLength(QStringView link, Context context)
{
    for (qsizetype i = 0; i < link.size(); ++i) {
        if (link[i] == u'?' || link[i] == u'#')
            return i;
        if (context == Context::Html && link[i] == u'&' && i + 1 < link.size() && link[i + 1] == u'#') {
            const qsizetype semi = link.indexOf(u';', i + 2);
            if (semi < 0)
                return link.size();
            i = semi;
        }
    }
    return link.size();
}

bool leadsTo(const QString &link, Context context, const Base &from, const Base &site, const QString &target,
             bool asFolder)
{
    bool folder = false;
    return resolvedPath(link, context, from, site, &folder) == target && folder == asFolder;
}
}   // namespace

QString resolvedPath(const QString &link, Context context, const Base &from, const Base &site, bool *folder)
{
    const QString address = (context == Context::Html ? pageRefs::decodeCharRefs(link) : link).trimmed();
    QString path;
    const linkCheck::Resolved r = linkCheck::resolveInto(path, address, from, site);
    if (folder)
        *folder = r.folder;
    return r.kind == linkCheck::LinkKind::File ? path : QString();
}

std::optional<QString> rewritten(const QString &value, Context context, const Base &from, const Base &site,
                                 const QString &target, bool asFolder)
{
    qsizetype begin = 0;
    qsizetype end = value.size();
    while (begin < end && value[begin].isSpace())
        ++begin;
    while (end > begin && value[end - 1].isSpace())
        --end;
    const QStringView core = QStringView(value).sliced(begin, end - begin);
    const qsizetype pathEnd = pathLength(core, context);
    const QStringView path = core.first(pathEnd);
    if (!from.usable || resolvedPath(core.toString(), context, from, site).isEmpty()
        || (path.size() >= 2 && path[1] == u':'))
        return std::nullopt;   // nothing on disk, or a drive's path
    const bool root = isSlash(path.front());
    const Base fromRoot{true, QString(), 0};
    const Base &base = root ? (site.usable ? site : fromRoot) : from;
    const QList<Step> steps = stepsOf(path, root ? 1 : 0);
    const QString dir = asFolder ? target : folderOf(target);
    const Kept kept = keptPart(path, steps, root, base, dir, context);
    const QChar separator = path.contains(u'\\') && !path.contains(u'/') ? u'\\' : u'/';

    QString out;
    QString below = kept.folder;
    if (kept.end >= 0) {
        out = path.first(kept.end).toString();
    } else {
        // Up from the page's folder to one that holds the target's.
        below = from.path;
        while (!holds(below, dir) && below.size() > from.rootLength) {
            below.truncate(std::max(below.lastIndexOf(u'/'), from.rootLength));
            out += QStringLiteral("..") + separator;
        }
        if (out.isEmpty() && path.startsWith(u"./"))
            out = QStringLiteral("./");
    }
    QStringList names = namesBelow(below, dir);
    if (!asFolder)
        names << target.mid(target.lastIndexOf(u'/') + 1);
    // Steps that name what they named before are kept as written, matched from the end.
    const EscapeStyle style = escapeStyleOf(path);
    for (qsizetype j = 0; j < names.size(); ++j) {
        const qsizetype old = steps.size() - (names.size() - j);
        const QStringView raw = old >= 0 && old < steps.size()
            ? path.sliced(steps[old].start, steps[old].end - steps[old].start)
            : QStringView();
        out += !raw.isEmpty() && stepName(raw, context) == names[j] ? raw.toString()
                                                                    : escapedName(names[j], style, context);
        if (j + 1 < names.size() || asFolder)
            out += separator;
    }
    if (out.isEmpty())
        out = QStringLiteral("./");
    const QStringView suffix = core.sliced(pathEnd);
    QString link = out + suffix;
    if (!leadsTo(link, context, from, site, target, asFolder)) {
        const QString plain = plainLink(from, target, asFolder, context);
        if (plain.isEmpty())
            return std::nullopt;
        link = plain + suffix;
    }
    QString result = value.first(begin) + link + value.sliced(end);
    if (result == value)
        return std::nullopt;
    return result;
}

}   // namespace linkMove
