#pragma once
// The picture of the site tree as label records: for every page from the drawing's start
// on, a title label in the left column and, in the right column, a file-name label on the
// same row followed by one row per link. Labels keep the control indices of the two label
// arrays (title i; file name i × 100; link j of page i: i × 100 + j) wherever those fit in
// the arrays' 16-bit range without meeting the next page's indices; labels beyond that are
// drawn all the same, without an index. All lengths are in twips.
//
// Rows are not stored one by one: each drawn page keeps its captions (shared copies of the
// page's texts) and its first row, and a label is made when asked for. A drawing therefore
// costs what its pages cost, not what their links cost, and an index that no label holds
// costs nothing.

#include "site/SiteRecords.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct TreeLabel {
    enum class Array { HTML, Link };   // the title labels, the file-name and link labels

    Array array = Array::HTML;
    qint32 index = -1;   // control index in its array; -1 when it has none
    qint32 page = 0;     // index of the page in the page table
    qint32 link = 0;     // link number (1 up); 0 for title and file-name labels
    qint64 row = 0;      // row of the drawing, from 0
    qint64 left = 0;
    qint64 top = 0;
    qint32 width = 0;   // for right-column labels: sized to the caption (autoSize)
    bool autoSize = false;
    bool grey = false;   // drawn on the grey bar
    QString caption;
};

class TreeModel
{
public:
    static constexpr qint32 rowPitch = 300;
    static constexpr qint32 firstTop = 60;
    static constexpr qint32 labelHeight = 240;
    static constexpr qint32 titleLeft = 60;
    static constexpr qint32 maxIndex = 32767;

    // Designed geometry of the two templates (element 0 of each array).
    static constexpr qint32 templateWidth = 150;
    static constexpr qint32 templateLinkLeft = 900;

    // Removes every drawn label; the templates stay as they are.
    void clear();

    // Draws the pages from `start` to the last one, with the splitter at `splitLeft` and
    // `splitWidth` wide, and stores each drawn page's first row top in its TreeTop. Pages
    // before the start keep their TreeTop; a start past the last page draws nothing.
    void draw(QList<basSystem::PageRecord> &pages, qint32 start, qint32 splitLeft, qint32 splitWidth);
    // Takes the texts of drawn page `page` again from `pages`, as drawing anew would: when
    // its number of links changed, the rows of the pages after it move (their TreeTop too).
    void redrawPage(QList<basSystem::PageRecord> &pages, qint32 page);

    // The alignment rule on every loaded label, the templates included: title labels are
    // splitLeft - 120 wide (a negative width cannot be set: they keep theirs), right-column
    // labels start at splitLeft + splitWidth + 60.
    void align(qint32 splitLeft, qint32 splitWidth);

    // Rows of the drawing and the labels on them.
    qint64 rowCount() const { return mRowCount; }
    static qint64 rowTop(qint64 row) { return firstTop + rowPitch * row; }
    // The row whose labels cover `y`, if any.
    std::optional<qint64> rowAt(qint64 y) const;
    // The title label of a row (only a page's first row has one), and its right-column label.
    std::optional<TreeLabel> titleOnRow(qint64 row) const;
    std::optional<TreeLabel> rightOnRow(qint64 row) const;

    // The loaded element `index` of either array (element 0 is the template).
    std::optional<TreeLabel> lblHTML(qint32 index) const;
    std::optional<TreeLabel> lblLink(qint32 index) const;
    // Drawn labels of each array, templates not counted.
    qint64 titleCount() const { return mPages.size(); }
    qint64 rightCount() const { return mRowCount; }

    // Column geometry shared by the drawn labels, and the templates' own.
    qint32 titleWidth() const { return mTitleWidth; }
    qint32 rightLeft() const { return mRightLeft; }
    qint32 templateTitleWidthNow() const { return mTemplateTitleWidth; }
    qint32 templateLinkLeftNow() const { return mTemplateLinkLeft; }

    qint32 startPage() const { return mPages.isEmpty() ? 0 : mPages.first().page; }

private:
    struct DrawnPage {
        qint32 page = 0;
        qint64 firstRow = 0;
        QString title;
        QString fileName;
        QStringList links;   // as in the page record: index 0 holds nothing
    };

    qsizetype drawnIndex(qint32 page) const;   // -1 when the page is not drawn
    const DrawnPage *drawnPage(qint32 page) const;
    qsizetype pageOfRow(qint64 row) const;
    TreeLabel titleLabel(const DrawnPage &p) const;
    TreeLabel rightLabel(const DrawnPage &p, qint32 link) const;
    static qint32 linkIndex(qint32 page, qint32 link);

    QList<DrawnPage> mPages;
    qint64 mRowCount = 0;
    qint32 mTitleWidth = templateWidth;
    qint32 mRightLeft = templateLinkLeft;
    qint32 mTemplateTitleWidth = templateWidth;
    qint32 mTemplateLinkLeft = templateLinkLeft;
};
