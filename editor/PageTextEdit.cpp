#include "editor/PageTextEdit.h"
#include "editor/HtmlHighlighter.h"
#include "editor/PageSizeGuard.h"

#include <QScrollBar>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QResizeEvent>
#include <QTextBlock>

#include <algorithm>

namespace {
// The margin that carries the line numbers; its owner paints it.
class LineNumberArea : public QWidget
{
public:
    // It paints every pixel it is asked for, so that an update of the margin (at every
    // blink of the caret) paints nothing beneath it: not the frame, nor the window's title.
    explicit LineNumberArea(PageTextEdit *edit) : QWidget(edit), mEdit(edit)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setObjectName(QStringLiteral("lineNumbers"));
    }
    QSize sizeHint() const override { return QSize(mEdit->lineNumberWidth(), 0); }

protected:
    void paintEvent(QPaintEvent *event) override { mEdit->paintLineNumbers(event); }

private:
    PageTextEdit *mEdit;
};

// The text box's layout of its document. Told that characters changed, Qt's plain layout
// takes the change to reach over the characters removed and added together, which in the
// text as it now stands reaches past them: a line given its colours (reported as the
// whole line removed and added again) or a letter typed and the line coloured with it
// reached into the next line, and the whole text area was repainted. Here a change
// reaches over the characters it added, or the one where it took some away, so that a
// change within one line repaints that line; a change of the lines' number is told as
// before.
class PageDocumentLayout : public QPlainTextDocumentLayout
{
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;

protected:
    void documentChanged(int from, int /*removed*/, int added) override
    {
        QPlainTextDocumentLayout::documentChanged(from, 0, std::max(added, 1));
    }
};

// The text a key press types, as the text box takes it; empty for a key that types nothing.
QString typedText(const QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return QStringLiteral("\n");
    const QString text = event->text();
    if (text.isEmpty() || (text.at(0).category() == QChar::Other_Control && text.at(0) != u'\t'))
        return {};
    return text;
}

// Blank space on either side of the numbers, in widths of a digit.
constexpr int marginPadding = 1;

// Texts of more lines keep their layout when the text box's width changes without wrapping.
constexpr int relayoutLines = 20000;
}   // namespace

PageTextEdit::PageTextEdit(QWidget *parent) : QPlainTextEdit(parent), mLineNumbers(new LineNumberArea(this))
{
    auto *text = new QTextDocument(this);
    text->setDocumentLayout(new PageDocumentLayout(text));
    setDocument(text);   // the document the text box made is deleted
    connect(this, &QPlainTextEdit::blockCountChanged, this, &PageTextEdit::updateMarginWidth);
    connect(this, &QPlainTextEdit::updateRequest, this, &PageTextEdit::updateMargin);
    connect(this, &QPlainTextEdit::cursorPositionChanged, mLineNumbers, qOverload<>(&QWidget::update));
    updateMarginWidth();
}

void PageTextEdit::startHighlighting()
{
    if (mHighlighter)
        return;
    mHighlighter = new HtmlHighlighter(document(), palette());
    // The lines coming into sight are coloured as they come, before the paint that shows
    // them: colouring a line inside the paint would have the text painted a second time.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &PageTextEdit::colourShownLines);
    colourShownLines();
}

int PageTextEdit::lineNumberWidth() const
{
    return fontMetrics().horizontalAdvance(QLatin1Char('9')) * (mDigits + 2 * marginPadding);
}

void PageTextEdit::setLinesToCome(qsizetype lines)
{
    mLinesToCome = lines;
    updateMarginWidth();
}

void PageTextEdit::updateMarginWidth()
{
    const int digits = int(QString::number(std::max<qsizetype>({1, blockCount(), mLinesToCome})).size());
    if (digits == mDigits)
        return;
    mDigits = digits;
    setViewportMargins(lineNumberWidth(), 0, 0, 0);
}

// The numbers change only with the text's lines, and a change of the text repaints the
// text area's whole width from the line changed on. A narrower repaint is the caret's
// (a blink or a move) or a selection's, which leave the numbers as they are; the current
// line's number follows the caret by itself.
void PageTextEdit::updateMargin(const QRect &rect, int dy)
{
    if (dy != 0)
        mLineNumbers->scroll(0, dy);
    else if (rect.width() >= viewport()->width())
        mLineNumbers->update(0, rect.y(), mLineNumbers->width(), rect.height());
}

// Qt lays a text box's whole document out anew at every change of its width, making a
// layout object for every line: for a page of a million lines, a third of a second and
// over 300 MB at the first enlarging. Lines that do not wrap look the same at any width,
// so a long text without wrapping keeps its layout; the scroll bars follow the new size.
void PageTextEdit::resizeEvent(QResizeEvent *event)
{
    if (lineWrapMode() == NoWrap && blockCount() > relayoutLines) {
        QResizeEvent sameWidth(event->size(), QSize(event->size().width(), event->oldSize().height()));
        QPlainTextEdit::resizeEvent(&sameWidth);
    } else {
        QPlainTextEdit::resizeEvent(event);
    }
    const QRect r = contentsRect();
    mLineNumbers->setGeometry(QRect(r.left(), r.top(), lineNumberWidth(), r.height()));
    colourShownLines();
}

void PageTextEdit::paintEvent(QPaintEvent *event)
{
    colourShownLines();   // any line not coloured yet as it came into sight
    QPlainTextEdit::paintEvent(event);
}

// Colours the lines in sight, so that they never show uncoloured. They are counted from
// the line height, before any of them is laid out (a wrapped line only has a few more
// lines coloured than are seen), so that each is laid out once, with its colours, rather
// than once to be measured and again once coloured.
void PageTextEdit::colourShownLines()
{
    if (!mHighlighter)
        return;
    const int first = firstVisibleBlock().blockNumber();
    const int lines = viewport()->height() / std::max(1, fontMetrics().lineSpacing()) + 1;
    mHighlighter->colourLines(first, first + lines);
}

void PageTextEdit::paintLineNumbers(QPaintEvent *event)
{
    QPainter painter(mLineNumbers);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    const int current = textCursor().blockNumber();
    const int right = mLineNumbers->width() - fontMetrics().horizontalAdvance(QLatin1Char('9')) * marginPadding;
    const int lineHeight = fontMetrics().height();
    QTextBlock block = firstVisibleBlock();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    while (block.isValid() && top <= event->rect().bottom()) {
        const qreal height = blockBoundingRect(block).height();
        if (block.isVisible() && top + height >= event->rect().top()) {
            const bool isCurrent = block.blockNumber() == current;
            if (isCurrent)
                painter.fillRect(QRectF(0, top, mLineNumbers->width(), lineHeight),
                                 palette().color(QPalette::Highlight));
            painter.setPen(palette().color(isCurrent ? QPalette::HighlightedText : QPalette::PlaceholderText));
            painter.drawText(QRect(0, int(top), right, lineHeight), Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(block.blockNumber() + 1));
        }
        top += height;
        block = block.next();
    }
}

void PageTextEdit::guardPageLimits(std::function<TextEncoding()> encoding,
                                   std::function<void(const PageExcess &)> refuse)
{
    if (!mSizeGuard)
        mSizeGuard = new PageSizeGuard(document());
    mEncoding = std::move(encoding);
    mRefuse = std::move(refuse);
}

bool PageTextEdit::allows(const std::optional<PageExcess> &excess)
{
    if (excess && mRefuse)
        mRefuse(*excess);
    return !excess;
}

bool PageTextEdit::allowsInsert(QStringView inserted)
{
    if (!mSizeGuard || inserted.isEmpty())
        return true;
    const QTextCursor selection = textCursor();
    return allows(
        mSizeGuard->excessOfEdit(selection.selectionStart(), selection.selectionEnd(), inserted, mEncoding()));
}

bool PageTextEdit::allowsText(const QString &text)
{
    return !mSizeGuard || allows(excessOfText(text, mEncoding()));
}

void PageTextEdit::keyPressEvent(QKeyEvent *event)
{
    if (!isReadOnly() && !allowsInsert(typedText(event))) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void PageTextEdit::inputMethodEvent(QInputMethodEvent *event)
{
    if (!isReadOnly() && !allowsInsert(event->commitString())) {
        event->accept();
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void PageTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (!isReadOnly() && source->hasText() && !allowsInsert(source->text()))
        return;
    QPlainTextEdit::insertFromMimeData(source);
}
