#pragma once
// The files a page editor writes: the page itself, and the page's preview copy in the
// program folder. Both are replaced atomically; a failed write leaves the old file.

#include "common/TextCodec.h"

#include <QString>

namespace pageFiles {

// The save dialog's default extension; its filter is editorTexts::pageFilter.
extern const QString pageDefaultExt;

// Writes `text` to `path` in `encoding`; characters the code page cannot represent are
// written as numeric character references, so nothing is lost. A text past the page
// limits is not written. On failure the old file stays and `error` says why. `writtenHash`, when given, receives
// pageFileHash() of the bytes written.
bool writePageText(const QString &path, const QString &text, TextEncoding encoding, QString *error,
                   QByteArray *writtenHash = nullptr);
// Writes the preview copy as a fresh regular file: a link planted at `path` is replaced,
// never written through.
bool writePreviewText(const QString &path, const QString &text, TextEncoding encoding, QString *error);

// True when the system's file-name encoding carries `path` there and back. A name the
// system could not decode (it holds U+FFFD or a lone surrogate in its place) would name
// another file: reading it finds nothing and writing it creates a second file. So does a
// name that is missing while a file of that name in the code page exists (a Shift-JIS
// name on a UTF-8 system).
bool systemCarriesName(const QString &path);

// "temp" + the page's index + ".htm": the page's preview copy in the program folder.
QString previewFileName(qint32 pageId);

}   // namespace pageFiles
