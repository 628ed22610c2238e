#pragma once
// A recovery copy: the text of a page editor with unsaved changes, written aside so that
// a crash, a kill or the end of the session does not lose it. The copy is a small UTF-8
// file: a first line naming the format, header lines "key=value", an empty line, then the
// page's text. Header values escape backslash, CR and LF as \\, \r and \n. The text is
// UTF-8, except that a lone surrogate (a byte code page 932 could not decode, kept as it
// was read) is written as the three bytes UTF-8 would give its code point, so that it
// comes back as the same lone surrogate.

#include "common/TextCodec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

struct RecoveryCopy {
    QString pagePath;         // the page file, empty for a page never saved
    QString definitionPath;   // the definition the page belonged to (may be empty)
    qint32 pageIndex = 0;     // the page's place in the definition, for a page without a file
    QString title;            // the page's title, for a page without a file
    TextEncoding encoding = TextEncoding::Cp932;
    QByteArray pageHash;   // pageFileHash() of the page file as last read or saved; empty for none
    QString text;          // the editor's text, lines ending in CR LF
};

// The hash a copy records of the page file's bytes: 16 hexadecimal digits, taken at
// memory speed (every page is hashed as it is read). Copies written by earlier versions
// hold a SHA-1 (40 digits) instead; isStale still reads them.
QByteArray pageFileHash(QByteArrayView bytes);

QByteArray formatRecoveryCopy(const RecoveryCopy &copy);
// The copy in `bytes`, or nothing when they are not a recovery copy of this format.
std::optional<RecoveryCopy> parseRecoveryCopy(QByteArrayView bytes);

// The copy's file name in the recovery folder: the same for the same page every time, a
// hash of the page's path (or, for a page without a file, of the definition's path and
// the page's index), so that each page has at most one copy.
QString recoveryFileName(const RecoveryCopy &copy);

// True when the page file no longer holds the bytes the copy was taken against: the
// page was changed elsewhere (or deleted, or created) since. `currentPageHash` is
// pageFileHash() of the file as its editor read it; for a copy holding a SHA-1 the file
// at the copy's page path is read again and must still be those bytes.
bool isStale(const RecoveryCopy &copy, const QByteArray &currentPageHash);

// The question asked when copies are found for an opened definition's pages: the
// question, the pages by name, and the pages whose file changed since their copy was taken.
QString recoveryPrompt(const QStringList &pages, const QStringList &changedPages);
