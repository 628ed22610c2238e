#include "editor/HtmlHighlighter.h"

#include <QPalette>
#include <QTextDocument>
#include <QTextBlock>
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

// A line's user state holds the state it ends in, and whether it carries colours.
constexpr int colouredFlag = 0x100;

State endState(const QTextBlock &block)
{
    return block.isValid() && block.userState() >= 0 ? State(block.userState() & ~colouredFlag) : State::Text;
}

bool isColoured(const QTextBlock &block)
{
    return block.userState() >= 0 && (block.userState() & colouredFlag) != 0;
}
}   // namespace

HtmlHighlighter::HtmlHighlighter(QTextDocument *document, const QPalette &palette)
    : QObject(document), mDocument(document)
{
    // The active colours: an editor shown while a site is read is disabled for a moment,
    // and its palette then gives the greyed ones.
    const bool dark = palette.color(QPalette::Active, QPalette::Base).lightness() < 128;
    const Scheme &s = dark ? darkScheme : lightScheme;
    mFormats[size_t(Kind::Text)] = foreground(palette.color(QPalette::Active, QPalette::Text));
    mFormats[size_t(Kind::Tag)] = foreground(QColor(s.tag));
    mFormats[size_t(Kind::TagName)] = foreground(QColor(s.tagName));
    mFormats[size_t(Kind::AttributeName)] = foreground(QColor(s.attributeName));
    mFormats[size_t(Kind::Value)] = foreground(QColor(s.value));
    mFormats[size_t(Kind::Comment)] = foreground(QColor(s.comment));
    mFormats[size_t(Kind::CharRef)] = foreground(QColor(s.charRef));
    connect(document, &QTextDocument::contentsChange, this, &HtmlHighlighter::followChange);
    followChange(0, 0, document->characterCount());
}

void HtmlHighlighter::colourLines(int first, int last)
{
    mFirst = first;
    mLast = last;
    QTextBlock block = mDocument->findBlockByNumber(first);
    for (int number = first; block.isValid() && number <= last; block = block.next(), ++number)
        if (block.length() > 1 && !isColoured(block))
            colourLine(block, endState(block.previous()));
}

void HtmlHighlighter::followChange(int from, int /*removed*/, int added)
{
    QTextBlock block = mDocument->findBlock(from);
    if (!block.isValid())
        return;
    const int changeEnd = from + added;
    State in = endState(block.previous());
    for (int number = block.blockNumber(); block.isValid(); block = block.next(), ++number) {
        const State before = endState(block);
        const bool known = block.userState() >= 0;
        const State out = number >= mFirst && number <= mLast ? colourLine(block, in) : classifyUnseen(block, in);
        // The next line lies wholly after the change and begins in the state it began in
        // before: its colours stay, and so do those of the lines after it.
        const QTextBlock next = block.next();
        if (next.position() > changeEnd && known && before == out && next.userState() >= 0)
            break;
        in = out;
    }
}

// Gives a shown line its colours, classified from the state `in` it begins in; the state
// it ends in.
State HtmlHighlighter::colourLine(QTextBlock block, State in)
{
    mSpans.clear();
    const State out = htmlHighlight::classifyLine(block.text(), in, &mSpans);
    mRanges.clear();
    for (const htmlHighlight::Span &span : std::as_const(mSpans))
        mRanges.append({int(span.start), int(span.length), mFormats[size_t(span.kind)]});
    block.layout()->setFormats(mRanges);
    block.setUserState(int(out) | colouredFlag);
    mDocument->markContentsDirty(block.position(), block.length());
    return out;
}

// Classifies a line out of sight; it loses any colours it had, which are made again when
// it is next shown.
State HtmlHighlighter::classifyUnseen(QTextBlock block, State in)
{
    if (isColoured(block))
        block.layout()->clearFormats();
    const State out = htmlHighlight::classifyLine(block.text(), in, nullptr);
    block.setUserState(int(out));
    return out;
}
