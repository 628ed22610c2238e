#pragma once
// Finding and replacing in a text whose lines are separated by '\n' (the editor's
// document text, see searchLines). Characters are compared as typed: full-width and
// half-width forms are different characters; "match case" off folds case only.
//
// A whole word is a match with no letter, digit or '_' (Unicode's word characters, so
// kana and kanji too) right before or right after it.
// With regular expressions (Perl syntax, Unicode classes), ^ and $ match at every line
// and '.' never crosses a line break; in a replacement, \0 stands for the whole match,
// \1 to \9 for a group, \n for a line break, \t for a tab and \\ for a backslash; any
// other character after a backslash stands for itself. Without regular expressions the
// replacement is taken as it is.
//
// Every routine is linear in the text's length (plus the size of what it produces).

#include <QList>
#include <QRegularExpression>
#include <QString>

namespace textSearch {

struct Options {
    bool matchCase = false;
    bool wholeWord = false;
    bool regex = false;
};

struct Match {
    qsizetype start = -1;
    qsizetype length = 0;
    bool wrapped = false;   // found only by going round an end of the text
    bool found() const { return start >= 0; }
    qsizetype end() const { return start + length; }
};

struct Replaced {
    QString text;
    qsizetype count = 0;
};

// One match in its line, for lists of hits: line and column count from 1.
struct LineHit {
    qsizetype line = 0;
    qsizetype column = 0;
    qsizetype start = 0;   // in the whole text
    qsizetype length = 0;
    QString lineText;
};

// `text` with every line break (CR LF, a lone CR, and the text box's paragraph and frame
// breaks) written as '\n', so that positions in it are the text box's cursor positions.
// A text that needs no change is returned as it is, without a copy.
QString searchLines(const QString &text);

class Query
{
public:
    Query(const QString &pattern, Options options);

    // False for an empty pattern or a regular expression that does not compile.
    bool isValid() const;
    // Why the regular expression does not compile; empty when it does.
    QString errorString() const;

    // The first match at or after `from`, going round to the start when there is none; an
    // empty match at `from` itself is passed over, so that repeating never stands still.
    Match findNext(const QString &text, qsizetype from) const;
    // The last match that starts before `before`, going round to the end when there is none.
    Match findPrevious(const QString &text, qsizetype before) const;
    // The match that covers exactly [start, start + length), if it is one.
    bool matchesExactly(const QString &text, qsizetype start, qsizetype length) const;
    // What the match at [start, start + length) is replaced with.
    QString replacementAt(const QString &text, qsizetype start, const QString &replacement) const;
    // Every match replaced, left to right, and how many there were.
    Replaced replaceAll(const QString &text, const QString &replacement) const;
    // Every match with its line, left to right.
    QList<LineHit> lineHits(const QString &text) const;

    // Calls `visit(start, length, match)` for every match at or after `from`, left to
    // right; stops when it returns false.
    template<typename Visit>
    void forEach(const QString &text, qsizetype from, Visit visit) const;

private:
    Match firstFrom(const QString &text, qsizetype from, bool skipEmptyAtFrom) const;
    Match lastBefore(const QString &text, qsizetype before) const;

    QString mPattern;
    Options mOptions;
    QRegularExpression mRegex;
};

template<typename Visit>
void Query::forEach(const QString &text, qsizetype from, Visit visit) const
{
    if (!isValid())
        return;
    QRegularExpressionMatchIterator it = mRegex.globalMatch(text, from);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (!visit(m.capturedStart(), m.capturedLength(), m))
            return;
    }
}

}   // namespace textSearch

Q_DECLARE_TYPEINFO(textSearch::LineHit, Q_RELOCATABLE_TYPE);
