#include "tree/LinkMend.h"
#include "tree/LinkCheck.h"

#include <QDir>
#include <QList>
#include <QUrl>

#include <cstdlib>

namespace linkMend {

namespace {
bool isSlash(QChar c)
{
    return c == u'/' || c == u'\\';
}

// The named steps of `path` (neither "." nor ".." nor empty), each as start and length.
struct Step {
    qsizetype start = 0;
    qsizetype length = 0;
};

QList<Step> namedSteps(QStringView path)
{
    QList<Step> steps;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !isSlash(path[i]))
            continue;
        const QStringView step = path.sliced(start, i - start);
        if (!step.isEmpty() && step != u"." && step != u"..")
            steps.append({start, i - start});
        start = i + 1;
    }
    return steps;
}

QStringList lastSteps(const QString &path)
{
    return path.split(u'/', Qt::SkipEmptyParts);
}
}   // namespace

QString caseFixed(const QString &link, const QString &lookedFor, const QString &onDisk)
{
    qsizetype end = 0;
    while (end < link.size() && link[end] != u'?' && link[end] != u'#')
        ++end;
    const QStringView path = QStringView(link).left(end);
    const QList<Step> steps = namedSteps(path);
    const QStringList was = lastSteps(lookedFor);
    const QStringList now = lastSteps(onDisk);
    if (steps.isEmpty() || was.size() != now.size())
        return link;
    // A link to a folder names no index page: its last step is the folder's.
    const QString lastNamed = linkCheck::decodePercent(path.sliced(steps.last().start, steps.last().length));
    qsizetype skip = lastNamed.compare(was.last(), Qt::CaseInsensitive) == 0 ? 0 : 1;
    QString out = link;
    for (qsizetype k = steps.size() - 1; k >= 0 && skip < was.size(); --k, ++skip) {
        const Step &s = steps.at(k);
        const qsizetype at = was.size() - 1 - skip;
        const QStringView written = path.sliced(s.start, s.length);
        if (linkCheck::decodePercent(written).compare(was.at(at), Qt::CaseInsensitive) != 0)
            break;
        const QString step
            = written.contains(u'%') ? QString::fromUtf8(QUrl::toPercentEncoding(now.at(at))) : now.at(at);
        out.replace(s.start, s.length, step);   // from the last step back: the earlier ones keep their places
    }
    return out;
}

QString linkTo(const QString &pageFolder, const QString &path)
{
    const QString relative
        = QDir(QDir::fromNativeSeparators(pageFolder)).relativeFilePath(QDir::fromNativeSeparators(path));
    QString out;
    for (const QChar c : relative) {
        if (c == u'%' || c == u'#' || c == u'?' || c == u' ' || c == u'"' || c == u'\'' || c == u'<' || c == u'>')
            out += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}

qsizetype placeOfValue(QStringView text, QStringView value, qint32 line)
{
    if (value.isEmpty())
        return -1;
    qsizetype best = -1;
    qint64 bestDistance = 0;
    qint32 at = 1;   // the line of `from`
    qsizetype from = 0;
    for (qsizetype found = text.indexOf(value); found >= 0; found = text.indexOf(value, found + 1)) {
        at += qint32(text.sliced(from, found - from).count(u'\n'));
        from = found;
        const qint64 distance = std::abs(qint64(at) - line);
        if (best < 0 || distance < bestDistance) {
            best = found;
            bestDistance = distance;
        }
        if (at >= line)
            break;   // later places only lie further away
    }
    return best;
}

}   // namespace linkMend
