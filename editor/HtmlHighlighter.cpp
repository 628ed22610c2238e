#include "editor/HtmlHighlighter.h"

#include <QPalette>
#include <QTextDocument>
#include <QTextLayout>

using htmlHighlight::Kind;
using htmlHighlight::State;

namespace {
// Colours for tag marks, tag names, attribute names, values, comments and character
// references, on a light base and on a dark one; text keeps the palette's text colour.
struct Scheme {
    QRgb tag, tagName, attributeName, value, comment, charRef;
};
constexpr Scheme lightScheme{0x7a3e9d, 0x1f4fb4, 0xa0522d, 0x2e7d32, 0x707070, 0xc62828};
constexpr Scheme darkScheme{0xc586c0, 0x6cb0f0, 0xe0a060, 0xa8d08d, 0x8a9a8a, 0xf08080};

QTextCharFormat foreground(const QColor &colour)
{
    QTextCharFormat format;
    format.setForeground(colour);
    return format;
}
}   // namespace

HtmlHighlighter::HtmlHighlighter(QTextDocument *document, const QPalette &palette) : QSyntaxHighlighter(document)
{
    const bool dark = palette.color(QPalette::Base).lightness() < 128;
    const Scheme &s = dark ? darkScheme : lightScheme;
    mFormats[size_t(Kind::Text)] = foreground(palette.color(QPalette::Text));
    mFormats[size_t(Kind::Tag)] = foreground(QColor(s.tag));
    mFormats[size_t(Kind::TagName)] = foreground(QColor(s.tagName));
    mFormats[size_t(Kind::AttributeName)] = foreground(QColor(s.attributeName));
    mFormats[size_t(Kind::Value)] = foreground(QColor(s.value));
    mFormats[size_t(Kind::Comment)] = foreground(QColor(s.comment));
    mFormats[size_t(Kind::CharRef)] = foreground(QColor(s.charRef));
}

void HtmlHighlighter::colourLines(int first, int last)
{
    mFirst = first;
    mLast = last;
    // A line with text has colours once it was coloured (text too has a colour of its own).
    for (QTextBlock block = document()->findBlockByNumber(first); block.isValid() && block.blockNumber() <= last;
         block = block.next())
        if (block.length() > 1 && block.layout()->formats().isEmpty())
            rehighlightBlock(block);
}

void HtmlHighlighter::highlightBlock(const QString &text)
{
    const int previous = previousBlockState();
    const State in = previous < 0 ? State::Text : State(previous);
    const int number = currentBlock().blockNumber();
    if (number < mFirst || number > mLast) {
        setCurrentBlockState(int(htmlHighlight::classifyLine(text, in, nullptr)));
        return;
    }
    mSpans.clear();
    setCurrentBlockState(int(htmlHighlight::classifyLine(text, in, &mSpans)));
    for (const htmlHighlight::Span &span : std::as_const(mSpans))
        setFormat(int(span.start), int(span.length), mFormats[size_t(span.kind)]);
}
