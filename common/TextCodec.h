#pragma once
// Code pages of the program's text files. Files written by earlier versions are in
// Windows code page 932 (Shift-JIS as Windows writes it); UTF-8 files are recognised and
// written back as UTF-8.

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

bool isValidUtf8(QByteArrayView bytes);
TextEncoding detectEncoding(QByteArrayView bytes, DetectMode mode = DetectMode::Plain);

QString decodeText(QByteArrayView bytes, TextEncoding encoding);

// The text in `encoding`, or nothing when a character cannot be represented in it.
std::optional<QByteArray> encodeStrict(const QString &text, TextEncoding encoding);
// The text in `encoding`; characters the code page cannot represent are written as HTML
// numeric character references (&#NNNNN;), so nothing is lost.
QByteArray encodeWithReferences(const QString &text, TextEncoding encoding);
