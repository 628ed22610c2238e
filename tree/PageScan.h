#pragma once
// Reading one page into the site: its text with every line ending in CR LF, its title and
// the targets of its links, as the site tree shows them.

#include "common/TextCodec.h"

#include <QString>
#include <QStringList>
#include <QStringView>

// The largest page the program opens, in bytes: 8 MiB. An ordinary page of that size
// opens and shows in under a second; one made only of line ends (the slowest kind for the
// text box) in under twenty. Larger pages are refused before they are read, so that
// none can exhaust the memory or hold the program for minutes.
constexpr qint64 maxPageBytes = qint64(8) << 20;

struct PageScan {
    bool readOk = false;        // false when the file could not be read (the rest is then empty)
    QString error;              // why it could not be read
    qint64 tooLargeSize = -1;   // the file's size when it was refused as larger than maxPageBytes
    QString Title;
    QStringList Links;   // index 0 holds nothing; links stand at 1 to the upper bound
    QString Text;
    TextEncoding Encoding = TextEncoding::Cp932;
    QByteArray FileHash;   // pageFileHash() of the file's bytes; empty when not read
};

// The targets of the page's links, in page order, with index 0 left empty. The search
// walks the page from position 1: it takes the first HREF value of the rest of the page,
// keeps it unless it is empty or begins with "#", and moves on by the value's closing
// quote position plus two (or by two when the value has no closing quote). Positions
// count UTF-16 units; a value that would begin with the second half of a character
// outside the Basic Multilingual Plane starts after it. Runs in time linear in the
// page's length.
QStringList scanLinks(QStringView text);

// The same walk done literally, one search of the rest of the page per step. It is the
// yardstick the fast walk is checked against; its cost can grow with the square of the
// page's length.
QStringList scanLinksReference(QStringView text);

// Title, links and CR LF text of a page already decoded.
PageScan scanPageText(const QString &decoded);
// Reads the page file at `path` in its code page and scans it; a file that cannot be read,
// or is larger than maxPageBytes, gives an empty page with readOk false.
PageScan scanPageFile(const QString &path);
