#pragma once
// Code pages of the program's text files. Files written by earlier versions are in
// Windows code page 932 (Shift-JIS as Windows writes it); UTF-8 files are recognised and
// written back as UTF-8.
//
// Bytes that code page 932 cannot decode (a stray byte, a cut-off character) are kept in
// the text as the lone surrogates U+DC80 to U+DCFF and written back as the same bytes, so
// that reading and saving a damaged page loses nothing. Decoding yields no lone surrogate
// otherwise (Qt's decoders replace what is invalid), so a kept byte cannot be mistaken
// for a real character: a private-use character such as U+F7C2 from a file name or a
// pasted text is written as any other character the code page cannot hold.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

enum class TextEncoding {
    Cp932,     // Windows code page 932
    Utf8,      // UTF-8 without a byte-order mark
    Utf8Bom,   // UTF-8 with a byte-order mark
};

enum class DetectMode {
    Plain,   // settings, definitions, tag database
    Page,    // an HTML page: an all-ASCII page may declare charset=utf-8 in its head
};

// Whether `c` is a byte that code page 932 could not decode, kept as it was read.
bool isKeptByte(QChar c);
// The private-use character U+F700 + b that earlier versions kept a byte b as: how a kept
// byte goes where a lone surrogate cannot (a UTF-8 file, a keystroke into a text box).
QChar keptByteAsPrivateUse(QChar keptByte);

bool isValidUtf8(QByteArrayView bytes);
// The encoding of bytes that code page 932 and UTF-8 cannot read without changing them
// when they are written back: a UTF-16 or UTF-32 byte-order mark, or the NUL bytes that
// the same encodings without a mark put among the first few thousand (an eighth of them
// or more); its name, or an empty text for bytes the program reads. A stray NUL is no
// sign: it is read and written back as it is.
QString unreadableEncoding(QByteArrayView bytes);
TextEncoding detectEncoding(QByteArrayView bytes, DetectMode mode = DetectMode::Plain);

QString decodeText(QByteArrayView bytes, TextEncoding encoding);

// The bytes decoded when they are valid UTF-8 (as isValidUtf8 judges them), checked and
// decoded in one pass; nothing, as soon as a byte shows they are not.
std::optional<QString> decodeIfValidUtf8(QByteArrayView bytes);
// detectEncoding and decodeText in one, with `encoding` set to what was detected; bytes
// that may be UTF-8 are decoded while they are checked, not checked first and decoded again.
QString decodeDetected(QByteArrayView bytes, DetectMode mode, TextEncoding &encoding);

// The text in `encoding`, or nothing when a character cannot be represented in it. Kept
// bytes are written back as themselves in code page 932; UTF-8 writes a kept byte b as
// the private-use character U+F700 + b, as earlier versions did.
std::optional<QByteArray> encodeStrict(const QString &text, TextEncoding encoding);
// The text in `encoding`; characters the code page cannot represent are written as HTML
// numeric character references (&#NNNNN;), so nothing is lost.
QByteArray encodeWithReferences(const QString &text, TextEncoding encoding);
