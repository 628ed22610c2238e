#pragma once
// The editor's text box: a plain text box with the line numbers in a margin on its left
// (the caret's line marked) and, once asked, HTML colours for the lines it shows. The
// margin is no part of the text.

#include <QPlainTextEdit>
#include <QPointer>

class HtmlHighlighter;

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

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateMarginWidth();
    void updateMargin(const QRect &rect, int dy);

    QWidget *mLineNumbers = nullptr;
    HtmlHighlighter *mHighlighter = nullptr;
    int mDigits = 0;
    qsizetype mLinesToCome = 0;
};
