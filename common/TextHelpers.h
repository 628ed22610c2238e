#pragma once
// The shared text helpers: the HTML routines the page scan relies on, and the folder of a
// chosen file. Positions count characters from 1;
// 0 means not found.

#include <QString>
#include <QStringView>

#include <optional>

namespace basSystem {

// What the user is told when a file failed: the message, the file's path on a line of
// its own, and the system's reason on a further line (left out when there is none).
QString failureText(const QString &message, const QString &path, const QString &reason);
extern const QString appTitle;       // the application's own title, "pageKiln"
extern const QString modifiedMark;   // what a title starts with while it has unsaved changes
extern const QString appVersion;     // the program's version, as the build names it
extern const QString listItem;       // starts each named item of a list in a question, "\n・"

// A chosen file's folder, with its trailing separator: the first
// (length of fullPath - length of fileName) characters of fullPath.
QString folderOfChosenFile(const QString &fullPath, const QString &fileName);

// The value of the hexadecimal digit `c` (0 to 15), or -1 when it is none.
constexpr int hexDigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// `text` without every character of code 0 to 31.
QString StripControlChars(QStringView text);
// The index of the first character of code 0 to 31 in `text`, or its length when it holds
// none (the usual case, in which StripControlChars() gives the text as it is).
qsizetype firstControlChar(QStringView text);

// The text between the first opening tag "<" + tagName (upper case, may carry
// attributes) and the following closing tag, without control characters; searched
// without regard to letter case. Fails (nullopt, endPos untouched) when either tag is
// missing; otherwise endPos is the position just after the closing tag's name.
std::optional<QString> GetTagText(QStringView text, const QString &tagName, qsizetype &endPos);

// The first HREF value (after " HREF", between double quotes) of `text`, with the
// contract's positions: nextPos is the closing quote, or 0 when none closes the value, or
// the text's length when there is no " HREF".
QString GetHrefValue(QStringView text, qsizetype &nextPos);

// Case-insensitive (ASCII letters) search of an upper-case ASCII `needle` in `text`,
// starting at the 0-based index `from`; returns the 0-based index or -1. This is the
// search the routines above run on their upper-case copy, without making one.
qsizetype indexOfUpper(QStringView text, QLatin1StringView needle, qsizetype from = 0);

// The same search prepared once for many calls with one needle (which must outlive it).
class UpperFinder
{
public:
    explicit UpperFinder(QLatin1StringView needle);
    qsizetype indexIn(QStringView text, qsizetype from = 0) const;

private:
    // A character c matches an upper-case needle character exactly when
    // (c | bits) == value: a letter in either case, any other character only itself.
    struct Match {
        char16_t bits = 0;
        char16_t value = 0;
    };
    bool matchesAt(const char16_t *at) const;
    qsizetype skipToCandidate(const char16_t *data, qsizetype end, qsizetype from) const;

    QLatin1StringView mNeedle;
    Match mFirst, mSecond;
    bool mFiltered = false;   // whether the first two characters narrow the search
};

// The upper-case copy the contract speaks of: the letters a to z become A to Z and
// nothing else changes, so the copy always has the text's length.
QString upperCopy(QStringView text);

}   // namespace basSystem
