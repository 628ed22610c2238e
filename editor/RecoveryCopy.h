#pragma once
// A recovery copy: the text of a page editor with unsaved changes, written aside so that
// a crash, a kill or the end of the session does not lose it. The copy is a small UTF-8
// file: a first line naming the format, header lines "key=value", an empty line, then the
// page's text. Header values escape backslash, CR and LF as \\, \r and \n. The text is
// UTF-8, except that a lone surrogate (a byte code page 932 could not decode, kept as it
// was read) is written as the three bytes UTF-8 would give its code point, so that it
// comes back as the same lone surrogate. Earlier versions wrote the same format.

#include "common/TextCodec.h"
#include "tree/PageScan.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

struct RecoveryCopy {
    QString pagePath;         // the page file, empty for a page never saved
    QString definitionPath;   // the definition the page belonged to (may be empty)
    qint32 pageIndex = 0;     // the page's place in the definition when the copy was taken
    QString title;            // the page's title, for a page without a file
    TextEncoding encoding = TextEncoding::Cp932;
    QByteArray pageHash;   // pageFileHash() of the page file as last read or saved; empty for none
    QString text;          // the editor's text, lines ending in CR LF
};

// The most a copy's header may take; a longer one is no copy of this program's.
constexpr qint64 maxCopyHeaderBytes = qint64(64) << 10;
// The largest copy read back: the text of the largest page the program opens, at three
// bytes of UTF-8 for each byte of the page file (a kept byte, a kanji of two bytes), and a
// header. A copy of more lines than a page may have is not read back either.
constexpr qint64 maxCopyBytes = 3 * maxPageBytes + maxCopyHeaderBytes;

QByteArray formatRecoveryCopy(const RecoveryCopy &copy);
// The header alone, up to and with the empty line, for a copy whose text is written
// piece by piece after it.
QByteArray recoveryCopyHeader(const RecoveryCopy &copy);
// `raw`, the raw text of an editor's document (see editorText::crLfText), as the bytes of a
// copy's text. A document's raw text cut into pieces just after its line breaks gives the
// same bytes piece by piece as whole.
QByteArray recoveryTextBytes(const QString &raw);

// The copy in `bytes`, or nothing when they are not a recovery copy of this format.
std::optional<RecoveryCopy> parseRecoveryCopy(QByteArrayView bytes);
// The same for the header alone, read from the start of a copy (its text stays empty);
// `textStart` receives where the text begins.
std::optional<RecoveryCopy> parseRecoveryHeader(QByteArrayView head, qsizetype *textStart);
// The text of a copy from its bytes after the header.
QString recoveryCopyText(QByteArrayView textBytes);
// The lines of a copy's text, counted as the page scan counts a page's lines.
qsizetype recoveryTextLines(QByteArrayView textBytes);

// True when the page file no longer holds the bytes the copy was taken against: the
// page was changed elsewhere (or deleted, or created) since. `currentPageHash` is
// pageFileHash() of the file as its editor read it; copies written by earlier versions
// hold a SHA-1 (40 digits), and for them the file at the copy's page path is read again
// and must still be those bytes.
bool isStale(const RecoveryCopy &copy, const QByteArray &currentPageHash);

// The question asked when copies are found for an opened definition's pages: the
// question, the pages by name, and the pages whose file changed since their copy was taken.
QString recoveryPrompt(const QStringList &pages, const QStringList &changedPages);
