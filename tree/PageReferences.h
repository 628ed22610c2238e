#pragma once
// The references of a page: every attribute value and style sheet address by which a
// browser follows or loads another file (links, pictures, style sheets, scripts, frames,
// embedded objects), read in one pass over the page's text, each with the place it stands
// on, so that a check can report it and a rewrite can replace it where it stands. The same
// pass gathers the fragment names the page offers to links ("#part"): every id, and the
// NAME of every A.
//
// Tags are read as browsers read them: a tag starts at "<" followed by an ASCII letter,
// names and attributes in any letter case, values double-quoted, single-quoted or
// unquoted, character references (&amp;, &#38;, &#x26;) decoded. Comments and the contents
// of SCRIPT, TEXTAREA, TITLE and XMP hold no references; the contents of STYLE are read as
// a style sheet.
//
// Which values count: HREF of A, AREA and LINK (a LINK's kind from its REL: a style sheet,
// an icon, or else a page); SRC of IMG, SCRIPT, FRAME, IFRAME, EMBED and of an INPUT of
// type image; DATA of OBJECT; BACKGROUND of any element; every candidate of a SRCSET; every
// url(...) in a STYLE attribute; url(...) and @import in style sheets.

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

namespace pageRefs {

enum class Kind { Page, Image, StyleSheet, Script, Frame, Object };

struct Reference {
    Kind kind = Kind::Page;
    qsizetype offset = 0;   // where the value starts in the text (UTF-16 units from 0), after its quote
    qsizetype length = 0;   // the value's length as written
    qint32 line = 0;        // the line it starts on, 1 up
    qint32 column = 0;      // its first character's place in that line, 1 up
    QString raw;            // the value as written
    QString address;        // the value with character references decoded and blanks around it removed
    friend bool operator==(const Reference &, const Reference &) = default;
};

// A reference as the reading finds it, its texts seen in place: `raw` in the text read,
// `address` there too unless character references had to be decoded. Both hold only
// while the reading's call to the finder lasts.
struct FoundReference {
    Kind kind = Kind::Page;
    qsizetype offset = 0;
    qsizetype length = 0;
    qint32 line = 0;
    qint32 column = 0;
    QStringView raw;
    QStringView address;
    Reference toReference() const;
};
using Finder = std::function<void(const FoundReference &)>;

struct PageReferences {
    QList<Reference> refs;   // in the order they stand in the text
    QSet<QString> anchors;   // every id and A NAME, as written (character references decoded)
};

// Reads the references and anchors of an HTML text, in time linear in its length.
PageReferences readPage(QStringView html);
// The same reading handing each reference to `found` as it comes, and the anchors to
// `anchors`, so that a check copies only what it keeps.
void readPage(QStringView html, const Finder &found, QSet<QString> &anchors);

// A page's references and anchors, read once and kept: each reference as its place in the
// page's text, an address that had to be decoded kept apart. Read ahead of its use (on
// another thread), it costs a few integers per reference.
class PageReading
{
public:
    PageReading() = default;
    explicit PageReading(QStringView html);
    qsizetype size() const { return mPlaces.size(); }
    // Reference `i` as the reading found it in `html`, which must be the text read.
    FoundReference at(QStringView html, qsizetype i) const;
    QSet<QString> takeAnchors() { return std::move(mAnchors); }

private:
    struct Place {
        Kind kind = Kind::Page;
        qint32 line = 0;
        qint32 column = 0;
        qint32 decoded = -1;   // its index in mDecoded, or -1: the address stands in the text
        qsizetype offset = 0;
        qsizetype length = 0;
        qsizetype addressOffset = 0;
        qsizetype addressLength = 0;
    };
    QList<Place> mPlaces;
    QStringList mDecoded;
    QSet<QString> mAnchors;
};

// Reads the url(...) and @import addresses of a style sheet, in time linear in its length.
QList<Reference> readStyleSheet(QStringView css);

// Whether a value cannot be an address at all: it holds a double quote, "<", ">" or a line
// break (markup taken for a value, as a stray quote makes HREF reading do).
bool isNotAddress(QStringView value);

// `text` with its character references decoded: numeric ones, and the named ones an
// address may hold (&amp; &lt; &gt; &quot; &apos; &nbsp;). Others stay as written.
QString decodeCharRefs(QStringView text);

// The text a link's reader sees for the A element whose HREF stands at `ref` in `html`:
// its content up to "</A>", tags left out, blanks collapsed; empty when there is none.
QString linkTextAt(QStringView html, const Reference &ref);

}   // namespace pageRefs
