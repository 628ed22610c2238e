#pragma once
// Colours a text box's HTML. Every line's end state is kept with the line, so that an
// edit re-reads only the lines whose state it changed; but only the lines the text box
// shows get colours. Lines out of sight are classified without colours and without a
// layout object of their own (a large page then holds nothing for lines nobody looks at);
// the text box asks for the shown lines' colours before it paints them.

#include "editor/HtmlHighlight.h"

#include <QList>
#include <QObject>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextLayout>

#include <array>

class QPalette;
class QTextDocument;

class HtmlHighlighter : public QObject
{
    Q_OBJECT
public:
    // Colours `document` with colours that read well on `palette`'s base colour; the
    // document owns the highlighter.
    HtmlHighlighter(QTextDocument *document, const QPalette &palette);

    // Colours the lines from `first` to `last` (block numbers) that have no colours yet;
    // from now on edits colour these lines at once.
    void colourLines(int first, int last);

private:
    // Classifies the lines from the one holding `from` on, until past the change and a
    // line ends in the state it ended in before.
    void followChange(int from, int removed, int added);
    htmlHighlight::State colourLine(QTextBlock block, htmlHighlight::State in);
    htmlHighlight::State classifyUnseen(QTextBlock block, htmlHighlight::State in);

    QTextDocument *mDocument;
    std::array<QTextCharFormat, 7> mFormats;
    QList<htmlHighlight::Span> mSpans;
    QList<QTextLayout::FormatRange> mRanges;
    int mFirst = 0;
    int mLast = -1;
};
