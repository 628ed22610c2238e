#pragma once
// Finding and replacing in a text whose lines are separated by '\n' (the editor's
// document text, see searchLines). Characters are compared as typed: full-width and
// half-width forms are different characters; "match case" off folds case only.
//
// A whole word is a match with no letter, digit or '_' (Unicode's word characters, so
// kana and kanji too) right before or right after it.
// With regular expressions (Perl syntax, Unicode classes, PatternMatcher), ^ and $ match
// at every line and '.' never crosses a line break; in a replacement, \0 stands for the whole match,
// \1 to \9 for a group, \n for a line break, \t for a tab and \\ for a backslash; any
// other character after a backslash stands for itself. Without regular expressions the
// replacement is taken as it is.
//
// Every routine is linear in the text's length (plus the size of what it produces). An
// expression that meets one of the matcher's limits makes the routine fail, saying where,
// rather than report the matches found before it as all there are.

#include "editor/PatternMatcher.h"

#include <QString>

#include <algorithm>

namespace textSearch {

struct Options {
    bool matchCase = false;
    bool wholeWord = false;
    bool regex = false;
};

// A search the matcher gave up on: PatternMatcher's failure code and a place on the line
// where it happened.
struct Failure {
    int code = 0;
    qsizetype at = -1;
    explicit operator bool() const { return code != 0; }
};

struct Match {
    qsizetype start = -1;
    qsizetype length = 0;
    bool wrapped = false;   // found only by going round an end of the text
    Failure failure;        // set when the search failed; nothing is found then
    bool found() const { return start >= 0; }
    qsizetype end() const { return start + length; }
};

struct Replaced {
    QString text;   // empty after a failure
    qsizetype count = 0;
    Failure failure;
};

// `text` with every line break (CR LF, a lone CR, and the text box's paragraph and frame
// breaks) written as '\n', so that positions in it are the text box's cursor positions.
// A text that needs no change is returned as it is, without a copy.
QString searchLines(const QString &text);

// The line (from 1) of position `pos` in a text whose lines are separated by '\n'.
qsizetype lineNumberAt(QStringView text, qsizetype pos);

class Query
{
public:
    Query(const QString &pattern, Options options);

    Options options() const { return mOptions; }
    // False for an empty pattern or a regular expression that does not compile.
    bool isValid() const;
    // Why the regular expression does not compile; empty when it does.
    QString errorString() const;

    // The first match at or after `from`, going round to the start when there is none; an
    // empty match at `from` itself is passed over, so that repeating never stands still.
    Match findNext(const QString &text, qsizetype from) const;
    // The last match that starts before `before`, going round to the end when there is none.
    Match findPrevious(const QString &text, qsizetype before) const;
    // The match that starts at `start`, if there is one.
    Match matchAt(const QString &text, qsizetype start) const;
    // What the match at `start` is replaced with.
    QString replacementAt(const QString &text, qsizetype start, const QString &replacement) const;
    // Appends what the match the matcher holds (one that forEach gave) is replaced with.
    void appendReplacement(QString &out, const QString &replacement, QStringView text,
                           const PatternMatcher &match) const;
    // Every match replaced, left to right, and how many there were; after a failure nothing.
    Replaced replaceAll(const QString &text, const QString &replacement) const;

    // Calls `visit(start, length, matcher)` for every match at or after `from`, left to
    // right, the matcher holding the match's groups; stops when it returns false. Matches
    // follow one another as in Perl: after an empty match, the next may start at the same
    // place only if it is not empty.
    template<typename Visit>
    Failure forEach(QStringView text, qsizetype from, Visit visit) const;

private:
    Match firstFrom(const QString &text, qsizetype from, bool skipEmptyAtFrom) const;
    Match lastBefore(const QString &text, qsizetype before) const;
    Failure failure() const { return Failure{mMatcher.failureCode(), mMatcher.failedAt()}; }
    static qsizetype stepOver(QStringView text, qsizetype pos);

    QString mPattern;
    Options mOptions;
    PatternMatcher mMatcher;
};

template<typename Visit>
Failure Query::forEach(QStringView text, qsizetype from, Visit visit) const
{
    if (!isValid())
        return {};
    int flags = 0;
    for (qsizetype at = from; at <= text.size();) {
        const PatternMatcher::Outcome outcome = mMatcher.match(text, at, flags);
        if (outcome == PatternMatcher::Outcome::Failed)
            return failure();
        if (outcome == PatternMatcher::Outcome::NoMatch) {
            if (flags == 0)
                return {};
            // No longer match where the empty one was: go on from the next character.
            at = stepOver(text, at);
            flags = 0;
            continue;
        }
        const qsizetype start = mMatcher.capturedStart();
        const qsizetype end = std::max(mMatcher.capturedEnd(), start);
        if (!visit(start, end - start, mMatcher))
            return {};
        at = end;
        flags = start == end ? PatternMatcher::Anchored | PatternMatcher::NotEmptyAtStart : 0;
    }
    return {};
}

}   // namespace textSearch
