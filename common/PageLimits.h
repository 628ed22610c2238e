#pragma once
// The limits of a page: the program opens no page larger than these, and no edit or save
// may take a page past them, so that every page it writes opens again.

#include "common/TextCodec.h"

#include <QStringView>

#include <optional>

// The largest page in bytes, as its file holds it: 64 MiB. A long page shows its first
// screen at once and its text box takes in the rest while the program stays usable (a
// page of 50 MB and a million lines: about a second to the first screen, 330 MB in all).
// Larger pages are refused before they are read, so that none can exhaust the memory.
constexpr qint64 maxPageBytes = qint64(64) << 20;
// The most lines a page may have: each line costs the text box about 130 bytes, so that
// a page of nothing but line ends would otherwise take gigabytes.
constexpr qsizetype maxPageLines = qsizetype(4) << 20;

// A page past one of the limits: its size in bytes or lines, and that limit.
struct PageExcess {
    enum class Measure { Bytes, Lines };
    Measure measure = Measure::Bytes;
    qint64 size = 0;
    qint64 limit = 0;
};

// The lines of a page text whose lines end in CR LF: one for each line feed, and one for
// a last line without a break (an empty text has none).
qsizetype pageLineCount(QStringView crLfText);

// At most how many bytes `units` UTF-16 units of text take as a page file in `encoding`,
// with each line break written as CR LF and each character the code page lacks as a
// numeric character reference.
qint64 maxPageFileBytes(qsizetype units, TextEncoding encoding);

// Which limit a page of `bytes` and `lines` is past, if any (bytes first).
std::optional<PageExcess> pageExcess(qint64 bytes, qsizetype lines);
