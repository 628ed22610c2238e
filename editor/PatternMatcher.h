#pragma once
// A Perl-compatible regular expression over UTF-16 text, matched by PCRE2 (the library
// behind Qt's own regular expressions) so that an attempt the matcher gave up on is told
// apart from no match: its limits come back as a failure with PCRE2's code, never as
// "not found".
//
// The pattern is compiled with Unicode classes, ^ and $ at every line, '.' stopping at a
// line feed, and (when asked) case folded; text that is not valid UTF-16 (a lone
// surrogate) never matches but does not stop the search. The attempts that start on one
// line get 10,000,000 match steps between them, the compiled matcher a stack of up to
// 64 MiB (a repeated group takes about 50 bytes a repetition, so a 64 KiB line needs
// about 3 MiB), and the interpreter, where the compiled matcher is unavailable, 256 MiB.
//
// Copies share the compiled pattern, so that each thread can match with a copy of its own;
// one object must not be used by two threads at once.

#include <QString>
#include <QStringView>

#include <memory>

class PatternMatcher
{
public:
    enum class Outcome { Match, NoMatch, Failed };
    enum Flag {
        Anchored = 0x1,         // a match must start at `from`
        NotEmptyAtStart = 0x2   // an empty match at `from` does not count
    };

    // Matches nothing and is not valid.
    PatternMatcher();
    PatternMatcher(const QString &pattern, bool caseInsensitive);
    PatternMatcher(const PatternMatcher &other);
    PatternMatcher &operator=(const PatternMatcher &other);
    ~PatternMatcher();

    bool isValid() const;
    // Why the pattern does not compile; empty when it does.
    QString errorString() const;

    // The leftmost match that starts at or after `from`. When the attempts fail, those of
    // each line are tried again on their own, so that a failure names the line where the
    // limit was met and a line that needs no more than its own share still matches.
    Outcome match(QStringView text, qsizetype from, int flags = 0) const;

    // The last match's group `group` (0: the whole match); -1 for a group that took no part.
    qsizetype capturedStart(int group = 0) const;
    qsizetype capturedEnd(int group = 0) const;
    QStringView captured(QStringView text, int group) const;
    int groupCount() const;

    // After Failed: PCRE2's error code, and a place on the line where it happened (the
    // line's start, or `from` on the first line).
    int failureCode() const { return mFailureCode; }
    qsizetype failedAt() const { return mFailedAt; }

    // Which of the matcher's limits a failure code stands for.
    enum class Limit { Steps, Stack, Memory, Other };
    static Limit limitOf(int failureCode);

private:
    struct Compiled;
    struct Scratch;
    int matchOnce(QStringView text, qsizetype from, int flags, qsizetype lastStart) const;
    Outcome matchLineByLine(QStringView text, qsizetype from, int flags) const;
    Scratch &scratch() const;

    std::shared_ptr<const Compiled> mCompiled;
    mutable std::unique_ptr<Scratch> mScratch;   // match data and stack of this object
    mutable int mFailureCode = 0;
    mutable qsizetype mFailedAt = -1;
};
