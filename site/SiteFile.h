#pragma once
// The site definition file (.ksd): a profile file whose section "KSD INF" names the site
// (VER, PNM, DIR, URL) and whose section "HTML LIST" holds the page count (CNT) and one
// entry per page, keyed 001, 002, ... (four digits from 1000 on): the open flag, the
// page's folder and its file name, joined by asterisks.

#include "site/SiteRecords.h"

#include <QList>
#include <QString>

#include <optional>

class ProfileFile;

namespace ksd {

// The largest definition file read or rewritten, in bytes. A page takes one line of about
// a hundred bytes (its flag, folder and file name), so this holds some 300,000 pages,
// twenty times the largest site the program is measured with, and still reads in well
// under a second; a larger file is refused before it is read, from its size.
inline constexpr qint64 maxDefinitionBytes = qint64(32) << 20;

extern const QString infoSection;     // "KSD INF"
extern const QString listSection;     // "HTML LIST"
extern const QString versionPrefix;   // what every definition's version text contains

// The version text written into every definition.
QString versionText();
// True when `version` contains the version prefix anywhere (letter case matters).
bool isDefinitionVersion(const QString &version);

// The key of entry `i`: at least three digits, zero-filled on the left.
QString entryKey(qint64 i);

// The number a text begins with: blanks (spaces and tabs) anywhere are ignored, a sign, a
// decimal point and an exponent (E or e) may appear; 0 when the text does not begin with
// a number.
double leadingNumber(QStringView text);
// The page count a CNT value stands for: its leading number rounded to the nearest whole
// number, halves to the even neighbour.
qint64 pageCountOf(QStringView cnt);

struct PageEntry {
    bool open = false;   // the page's editor window is shown
    QString Folder;
    QString FileName;
    friend bool operator==(const PageEntry &, const PageEntry &) = default;
};

// An entry's value as flag*folder*file name; the file name keeps any further asterisks.
// Nothing for a blank value or one without two asterisks. The flag is read as a whole
// number: spaces and tabs around it, a sign, ASCII digits; any other flag, one with a
// full-width space or digit among them, counts as 0 (closed).
std::optional<PageEntry> parseEntry(const QString &value);
QString formatEntry(const PageEntry &entry);

// True when an entry can hold the folder and file name: no asterisk in the folder (it
// would end the folder early) and no line break in either (it would end the entry).
bool entryCarries(const QString &folder, const QString &fileName);
// True when a value of the "KSD INF" section can hold `value`: no line break.
bool infoCarries(const QString &value);

// The entry numbers from 1 to `count` whose keys the file holds, in ascending order. Any
// other number in that range reads as a blank entry, so the list bounds the reading by
// what the file holds, however large the count.
QList<qint64> listedEntries(const ProfileFile &file, qint64 count);

// How far reading a definition got.
enum class ReadStop {
    Missing,         // no ordinary file at the path
    Unreadable,      // the file could not be read, or is too large (`error` says why)
    NotDefinition,   // its version text lacks the prefix (site.Version holds it)
    NoPages,         // the count is 0 or no number (the site fields hold the file's)
    Listed,          // the page list was read
};

struct Definition {
    ReadStop stop = ReadStop::Missing;
    basSystem::SiteInfo site;   // the fields read before the reading stopped
    QList<PageEntry> pages;     // the non-blank entries within the count, in order
    QString error;              // why an unreadable file could not be read
};

Definition readDefinition(const QString &path);

// Writes the header and the page list into the definition at `path` (created when
// missing) in one atomic step: keys already there are replaced in place, others added,
// nothing removed. What would be written is read back first; when it does not give the
// same site and pages, nothing is written. On failure the file stays as it was and
// `error` says why.
bool writeDefinition(const QString &path, const basSystem::SiteInfo &site, const QList<PageEntry> &pages,
                     QString *error = nullptr);

}   // namespace ksd
