#include "editor/TextSearch.h"

#include <algorithm>

namespace textSearch {

namespace {
inline bool isBreak(char16_t c)
{
    return c == u'\r' || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

QRegularExpression compile(const QString &pattern, Options options)
{
    if (pattern.isEmpty())
        return {};
    // A plain pattern runs as an escaped expression too: the compiled matcher folds case
    // many times faster than a character-by-character comparison.
    QString source = options.regex ? pattern : QRegularExpression::escape(pattern);
    if (options.wholeWord)
        source = QStringLiteral("(?<!\\w)(?:") + source + QStringLiteral(")(?!\\w)");
    QRegularExpression::PatternOptions flags
        = QRegularExpression::MultilineOption | QRegularExpression::UseUnicodePropertiesOption;
    if (!options.matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    QRegularExpression re(source, flags);
    re.optimize();
    return re;
}

// The position after `pos`, never inside a surrogate pair.
qsizetype stepOver(const QString &text, qsizetype pos)
{
    if (pos + 1 < text.size() && text.at(pos).isHighSurrogate() && text.at(pos + 1).isLowSurrogate())
        return pos + 2;
    return pos + 1;
}

// The replacement text of one regular-expression match, its escapes expanded.
void appendExpanded(QString &out, const QString &replacement, const QRegularExpressionMatch &m)
{
    const qsizetype n = replacement.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = replacement.at(i);
        if (c != QLatin1Char('\\') || i + 1 == n) {
            out.append(c);
            continue;
        }
        const QChar next = replacement.at(++i);
        if (next.isDigit() && next.digitValue() <= 9)
            out.append(m.capturedView(next.digitValue()));
        else if (next == QLatin1Char('n'))
            out.append(QLatin1Char('\n'));
        else if (next == QLatin1Char('t'))
            out.append(QLatin1Char('\t'));
        else
            out.append(next);
    }
}
}   // namespace

QString searchLines(const QString &text)
{
    const auto *s = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && !isBreak(s[i]))
        ++i;
    if (i == n)
        return text;
    QString out;
    out.reserve(n);
    qsizetype runStart = 0;   // the characters from here to i go over as they are
    for (; i < n; ++i) {
        if (!isBreak(s[i]))
            continue;
        out.append(QStringView(s + runStart, i - runStart));
        out.append(QLatin1Char('\n'));
        if (s[i] == u'\r' && i + 1 < n && s[i + 1] == u'\n')
            ++i;
        runStart = i + 1;
    }
    out.append(QStringView(s + runStart, n - runStart));
    return out;
}

Query::Query(const QString &pattern, Options options)
    : mPattern(pattern), mOptions(options), mRegex(compile(pattern, options))
{ }

bool Query::isValid() const
{
    return !mPattern.isEmpty() && mRegex.isValid();
}

QString Query::errorString() const
{
    return !mPattern.isEmpty() && !mRegex.isValid() ? mRegex.errorString() : QString();
}

// The first match at or after `from`; with `skipEmptyAtFrom`, an empty match at `from`
// is passed over.
Match Query::firstFrom(const QString &text, qsizetype from, bool skipEmptyAtFrom) const
{
    for (qsizetype at = from; at <= text.size(); at = stepOver(text, at)) {
        const QRegularExpressionMatch m = mRegex.match(text, at);
        if (!m.hasMatch())
            return {};
        if (!skipEmptyAtFrom || m.capturedLength() > 0 || m.capturedStart() > from)
            return Match{m.capturedStart(), m.capturedLength()};
    }
    return {};
}

// The last match that starts before `before`.
Match Query::lastBefore(const QString &text, qsizetype before) const
{
    Match last;
    forEach(text, 0, [&](qsizetype start, qsizetype length, const QRegularExpressionMatch &) {
        if (start >= before)
            return false;
        last = Match{start, length};
        return true;
    });
    return last;
}

Match Query::findNext(const QString &text, qsizetype from) const
{
    if (!isValid())
        return {};
    const Match m = firstFrom(text, std::clamp<qsizetype>(from, 0, text.size()), true);
    if (m.found())
        return m;
    Match wrapped = firstFrom(text, 0, false);
    wrapped.wrapped = wrapped.found();
    return wrapped;
}

Match Query::findPrevious(const QString &text, qsizetype before) const
{
    if (!isValid())
        return {};
    const Match m = lastBefore(text, std::clamp<qsizetype>(before, 0, text.size()));
    if (m.found())
        return m;
    Match wrapped = lastBefore(text, text.size() + 1);
    wrapped.wrapped = wrapped.found();
    return wrapped;
}

bool Query::matchesExactly(const QString &text, qsizetype start, qsizetype length) const
{
    if (!isValid() || start < 0 || start + length > text.size())
        return false;
    const QRegularExpressionMatch m
        = mRegex.match(text, start, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
    return m.hasMatch() && m.capturedLength() == length;
}

QString Query::replacementAt(const QString &text, qsizetype start, const QString &replacement) const
{
    if (!mOptions.regex)
        return replacement;
    QString out;
    const QRegularExpressionMatch m
        = mRegex.match(text, start, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
    if (m.hasMatch())
        appendExpanded(out, replacement, m);
    return out;
}

Replaced Query::replaceAll(const QString &text, const QString &replacement) const
{
    Replaced result;
    qsizetype done = 0;
    forEach(text, 0, [&](qsizetype start, qsizetype length, const QRegularExpressionMatch &m) {
        if (result.count == 0)
            result.text.reserve(text.size());
        result.text.append(QStringView(text).mid(done, start - done));
        if (mOptions.regex)
            appendExpanded(result.text, replacement, m);
        else
            result.text.append(replacement);
        done = start + length;
        ++result.count;
        return true;
    });
    if (result.count == 0)
        result.text = text;
    else
        result.text.append(QStringView(text).mid(done));
    return result;
}

QList<LineHit> Query::lineHits(const QString &text) const
{
    QList<LineHit> hits;
    qsizetype line = 1;
    qsizetype lineStart = 0;
    qsizetype lineEnd = -1;   // end of the line of the last hit; -1 before the first
    qsizetype scanned = 0;    // line breaks before this position are counted
    QString lineText;
    forEach(text, 0, [&](qsizetype start, qsizetype length, const QRegularExpressionMatch &) {
        if (start > lineEnd) {
            for (qsizetype at = text.indexOf(QLatin1Char('\n'), scanned); at >= 0 && at < start;
                 at = text.indexOf(QLatin1Char('\n'), at + 1)) {
                ++line;
                lineStart = at + 1;
            }
            scanned = start;
            lineEnd = text.indexOf(QLatin1Char('\n'), start);
            if (lineEnd < 0)
                lineEnd = text.size();
            lineText = text.mid(lineStart, lineEnd - lineStart);
        }
        hits.append(LineHit{line, start - lineStart + 1, start, length, lineText});
        return true;
    });
    return hits;
}

}   // namespace textSearch
