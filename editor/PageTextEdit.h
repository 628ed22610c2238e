#pragma once
// The editor's text box: a plain text box with the line numbers in a margin on its left
// (the caret's line marked) and, once asked, HTML colours for the lines it shows. The
// margin is no part of the text.

#include "common/PageLimits.h"

#include <QPlainTextEdit>
#include <QPointer>

#include <functional>

class HtmlHighlighter;
class PageSizeGuard;

class PageTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit PageTextEdit(QWidget *parent);

    // Starts colouring the text; until then the text box colours nothing.
    void startHighlighting();
    bool isHighlighting() const { return mHighlighter != nullptr; }

    // The margin takes the width of `lines` line numbers until told 0, so that filling
    // the text box does not widen it (and lay the text out anew) at 10, 100, 1,000 lines.
    void setLinesToCome(qsizetype lines);

    // The width of the line-number margin, in pixels.
    int lineNumberWidth() const;
    // Paints the line numbers of the shown lines into the margin.
    void paintLineNumbers(QPaintEvent *event);

    // Typing, input methods, pasting and dropping are checked against the page's limits
    // before they change the text: `encoding` gives the page's code page, and `refuse`
    // tells the user why an edit was not made.
    void guardPageLimits(std::function<TextEncoding()> encoding, std::function<void(const PageExcess &)> refuse);
    // Whether replacing the selection with `inserted` keeps the page within its limits
    // (a refused edit is told).
    bool allowsInsert(QStringView inserted);
    // Whether `text` (as the text box holds it, or as textSearch reads it) may replace the
    // whole text (a refused one is told).
    bool allowsText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void updateMarginWidth();
    void updateMargin(const QRect &rect, int dy);
    void colourShownLines();

    bool allows(const std::optional<PageExcess> &excess);

    QWidget *mLineNumbers = nullptr;
    PageSizeGuard *mSizeGuard = nullptr;
    std::function<TextEncoding()> mEncoding;
    std::function<void(const PageExcess &)> mRefuse;
    HtmlHighlighter *mHighlighter = nullptr;
    int mDigits = 0;
    qsizetype mLinesToCome = 0;
};
