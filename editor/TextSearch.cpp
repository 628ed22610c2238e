#include "editor/TextSearch.h"
#include "common/TextFile.h"

#include <QRegularExpression>

#include <algorithm>

namespace textSearch {

namespace {
inline bool isBreak(char16_t c)
{
    return c == u'\r' || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

PatternMatcher compile(const QString &pattern, Options options)
{
    if (pattern.isEmpty())
        return {};
    // A plain pattern runs as an escaped expression too: the compiled matcher folds case
    // many times faster than a character-by-character comparison.
    QString source = options.regex ? pattern : QRegularExpression::escape(pattern);
    if (options.wholeWord)
        source = QStringLiteral("(?<!\\w)(?:") + source + QStringLiteral(")(?!\\w)");
    return PatternMatcher(source, !options.matchCase);
}

// The match from `start` to `end` (which \K in a look-ahead can put before it).
Match matchOf(qsizetype start, qsizetype end)
{
    Match m;
    m.start = start;
    m.length = std::max(end - start, qsizetype(0));
    return m;
}

// The replacement text of one regular-expression match, its escapes expanded.
void appendExpanded(QString &out, const QString &replacement, QStringView text, const PatternMatcher &m)
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
            out.append(m.captured(text, next.digitValue()));
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

qsizetype lineNumberAt(QStringView text, qsizetype pos)
{
    return lineFeedCount(text.first(std::clamp(pos, qsizetype(0), text.size()))) + 1;
}

Query::Query(const QString &pattern, Options options)
    : mPattern(pattern), mOptions(options), mMatcher(compile(pattern, options))
{ }

bool Query::isValid() const
{
    return !mPattern.isEmpty() && mMatcher.isValid();
}

QString Query::errorString() const
{
    return mPattern.isEmpty() ? QString() : mMatcher.errorString();
}

// The position after `pos`, never inside a surrogate pair.
qsizetype Query::stepOver(QStringView text, qsizetype pos)
{
    if (pos + 1 < text.size() && text.at(pos).isHighSurrogate() && text.at(pos + 1).isLowSurrogate())
        return pos + 2;
    return pos + 1;
}

// The first match at or after `from`; with `skipEmptyAtFrom`, an empty match at `from`
// is passed over.
Match Query::firstFrom(const QString &text, qsizetype from, bool skipEmptyAtFrom) const
{
    switch (mMatcher.match(text, from, skipEmptyAtFrom ? PatternMatcher::NotEmptyAtStart : 0)) {
    case PatternMatcher::Outcome::Match: return matchOf(mMatcher.capturedStart(), mMatcher.capturedEnd());
    case PatternMatcher::Outcome::Failed: return Match{-1, 0, false, failure()};
    case PatternMatcher::Outcome::NoMatch: break;
    }
    return {};
}

// The last match that starts before `before`.
Match Query::lastBefore(const QString &text, qsizetype before) const
{
    Match last;
    last.failure = forEach(text, 0, [&](qsizetype start, qsizetype length, const PatternMatcher &) {
        if (start >= before)
            return false;
        last = matchOf(start, start + length);
        return true;
    });
    if (last.failure)
        last.start = -1;
    return last;
}

Match Query::findNext(const QString &text, qsizetype from) const
{
    if (!isValid())
        return {};
    const Match m = firstFrom(text, std::clamp<qsizetype>(from, 0, text.size()), true);
    if (m.found() || m.failure)
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
    if (m.found() || m.failure)
        return m;
    Match wrapped = lastBefore(text, text.size() + 1);
    wrapped.wrapped = wrapped.found();
    return wrapped;
}

Match Query::matchAt(const QString &text, qsizetype start) const
{
    if (!isValid() || start < 0 || start > text.size())
        return {};
    switch (mMatcher.match(text, start, PatternMatcher::Anchored)) {
    case PatternMatcher::Outcome::Match: return matchOf(start, mMatcher.capturedEnd());
    case PatternMatcher::Outcome::Failed: return Match{-1, 0, false, failure()};
    case PatternMatcher::Outcome::NoMatch: break;
    }
    return {};
}

QString Query::replacementAt(const QString &text, qsizetype start, const QString &replacement) const
{
    if (!mOptions.regex)
        return replacement;
    QString out;
    if (mMatcher.match(text, start, PatternMatcher::Anchored) == PatternMatcher::Outcome::Match)
        appendExpanded(out, replacement, text, mMatcher);
    return out;
}

void Query::appendReplacement(QString &out, const QString &replacement, QStringView text,
                              const PatternMatcher &match) const
{
    if (mOptions.regex)
        appendExpanded(out, replacement, text, match);
    else
        out.append(replacement);
}

Replaced Query::replaceAll(const QString &text, const QString &replacement) const
{
    Replaced result;
    qsizetype done = 0;
    result.failure = forEach(text, 0, [&](qsizetype start, qsizetype length, const PatternMatcher &m) {
        if (result.count == 0)
            result.text.reserve(text.size());
        result.text.append(QStringView(text).mid(done, start - done));
        appendReplacement(result.text, replacement, text, m);
        done = start + length;
        ++result.count;
        return true;
    });
    if (result.failure)
        return Replaced{QString(), 0, result.failure};
    if (result.count == 0)
        result.text = text;
    else
        result.text.append(QStringView(text).mid(done));
    return result;
}

}   // namespace textSearch
