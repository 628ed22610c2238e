#pragma once
// The editor holds lines; whatever leaves it (save, preview, the text other windows read)
// has its lines joined by CR LF.
//
// The text box's document turns three characters into line breaks of its own: the
// paragraph separator U+2029 and the frame marks U+FDD0 and U+FDD1. So that a page
// holding them saves back unchanged, they go into the document as escape pairs: an escape
// character (the noncharacter U+FDEF) followed by a tag (U+FDEC, U+FDED, U+FDEE, or the
// escape character itself for an escape character of the page). Coming out of the
// document, an escape pair turns back into its character; an escape character not
// followed by a tag stays as it is.

#include <QString>

namespace editorText {

// `text` as it goes into the text box's document. A text that needs no change is
// returned as it is, without a copy.
QString documentText(const QString &text);

// The document's raw text as the page's text: every line break the text box knows (CR
// LF, a lone CR, a lone LF, and the paragraph separator and frame marks the document
// keeps between lines) written as CR LF, and every escape pair turned back into its
// character. A text that needs no change is returned as it is, without a copy.
QString crLfText(const QString &text);

// A long text goes into the text box piece by piece, each of a few thousand lines, so
// that the first screen shows at once and the program answers while the rest comes in.
// Texts up to `wholeTextChars` go in at once.
constexpr qsizetype wholeTextChars = qsizetype(1) << 18;
constexpr qsizetype pieceChars = qsizetype(1) << 16;
constexpr int pieceLines = 2000;

// Where the piece of `text` that starts at `from` ends: just after the first LF that
// completes `pieceLines` lines or `pieceChars` characters, or at the end of the text. A
// piece never splits a CR LF pair.
qsizetype pieceEnd(QStringView text, qsizetype from);

}   // namespace editorText

// Finds the lines of one text one after another, going on from the last one found, so
// that neighbouring lines cost no more than the stretch between them. Lines end at CR LF,
// a lone CR or a lone LF.
class LineFinder
{
public:
    // Line `number` (from 1) of `text`, without its line break; empty past the end.
    QString line(const QString &text, qsizetype number);

private:
    const QChar *mData = nullptr;   // the text the place below is in
    qsizetype mSize = -1;
    qsizetype mLine = 1;
    qsizetype mStart = 0;   // where line mLine starts
};
