#pragma once
// Colours a text box's HTML. Every line's end state is kept with the line, so that an
// edit re-reads only the lines whose state it changed; but only the lines the text box
// shows get colours. Lines out of sight are classified without colours (cheap, and a
// large page then holds no formats for lines nobody looks at); the text box asks for the
// shown lines' colours before it paints them.

#include "editor/HtmlHighlight.h"

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include <array>

class QPalette;

class HtmlHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    // Colours `document` with colours that read well on `palette`'s base colour.
    HtmlHighlighter(QTextDocument *document, const QPalette &palette);

    // Colours the lines from `first` to `last` (block numbers) that have no colours yet;
    // from now on edits colour these lines at once.
    void colourLines(int first, int last);

protected:
    void highlightBlock(const QString &text) override;

private:
    std::array<QTextCharFormat, 7> mFormats;
    QList<htmlHighlight::Span> mSpans;
    int mFirst = 0;
    int mLast = -1;
};
