#pragma once
// The tag database TagDB.TXT: one tag per line, "caption<TAB>tag text<TAB>rest". The
// palette shows one button per tag; a click types the tag text.

#include "tags/TagRecord.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace basSystem {

extern const QString tagDatabaseFileName;   // "TagDB.TXT"

// The largest tag database read, in bytes: the palette shows at most 32,767 buttons, and
// this holds that many tags of 500 bytes each, far beyond any hand-made list of snippets,
// while reading stays well under a second. A larger file is refused from its size,
// before it is read.
inline constexpr qint64 maxTagDatabaseBytes = qint64(16) << 20;

// True when `line` holds nothing but spaces (tabs and other blanks count as content).
bool isBlankTagLine(QStringView line);

// Splits one line at its first two tabs, nothing trimmed: caption, tag text, and the
// rest (further tabs included). A line with one tab has an empty rest. A blank line or
// a line without a tab is no tag.
std::optional<TagRecord> parseTagLine(QStringView line);

// The tag table of a whole database text: element 0 empty, the tags at 1 to N in file
// order. Lines end at CR LF, at a lone CR or at a lone LF.
QList<TagRecord> parseTagDatabase(QStringView text);

struct TagDatabaseLoad {
    bool ok = false;
    QList<TagRecord> table{TagRecord{}};   // only the empty element 0 when the file failed
    QString error;
};

// Reads and parses the database file at `path` (code page detected as for any text file);
// a file larger than maxTagDatabaseBytes is not read.
TagDatabaseLoad readTagDatabase(const QString &path);

}   // namespace basSystem
