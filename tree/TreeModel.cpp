#include "tree/TreeModel.h"

#include <algorithm>
#include <limits>

using basSystem::PageRecord;

namespace {
// A page's number of links: the upper bound of its list (index 0 holds nothing).
qint32 linkCount(const QStringList &links)
{
    return qint32(std::max<qsizetype>(0, links.size() - 1));
}

qint32 clampToLong(qint64 v)
{
    return qint32(std::clamp<qint64>(v, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}
}   // namespace

void TreeModel::clear()
{
    mPages.clear();
    mRowCount = 0;
}

void TreeModel::draw(QList<PageRecord> &pages, qint32 start, qint32 splitLeft, qint32 splitWidth)
{
    clear();
    mTitleWidth = splitLeft - 120 >= 0 ? splitLeft - 120 : mTemplateTitleWidth;
    mRightLeft = splitLeft + splitWidth + 60;
    const qsizetype last = pages.size() - 1;
    const qsizetype first = std::max<qsizetype>(1, start);
    if (first > last)
        return;
    mPages.reserve(last - first + 1);
    qint64 row = 0;
    for (qsizetype i = first; i <= last; ++i) {
        PageRecord &page = pages[i];
        page.TreeTop = clampToLong(rowTop(row));
        mPages.append(DrawnPage{qint32(i), row, page.Title, page.FileName, page.Links});
        row += 1 + linkCount(page.Links);
    }
    mRowCount = row;
}

void TreeModel::redrawPage(QList<PageRecord> &pages, qint32 page)
{
    const qsizetype at = drawnIndex(page);
    if (at < 0 || page >= pages.size())
        return;
    DrawnPage &p = mPages[at];
    const PageRecord &record = pages.at(page);
    const qint32 shift = linkCount(record.Links) - linkCount(p.links);
    p.title = record.Title;
    p.fileName = record.FileName;
    p.links = record.Links;
    if (shift == 0)
        return;
    for (qsizetype i = at + 1; i < mPages.size(); ++i) {
        DrawnPage &after = mPages[i];
        after.firstRow += shift;
        if (after.page < pages.size())
            pages[after.page].TreeTop = clampToLong(rowTop(after.firstRow));
    }
    mRowCount += shift;
}

void TreeModel::align(qint32 splitLeft, qint32 splitWidth)
{
    if (splitLeft - 120 >= 0) {
        mTitleWidth = splitLeft - 120;
        mTemplateTitleWidth = splitLeft - 120;
    }
    mRightLeft = splitLeft + splitWidth + 60;
    mTemplateLinkLeft = mRightLeft;
}

std::optional<qint64> TreeModel::rowAt(qint64 y) const
{
    if (y < firstTop)
        return std::nullopt;
    const qint64 row = (y - firstTop) / rowPitch;
    if (row >= mRowCount || y >= rowTop(row) + labelHeight)
        return std::nullopt;
    return row;
}

qsizetype TreeModel::pageOfRow(qint64 row) const
{
    const auto it = std::upper_bound(mPages.cbegin(), mPages.cend(), row,
                                     [](qint64 r, const DrawnPage &p) { return r < p.firstRow; });
    return (it - mPages.cbegin()) - 1;
}

qsizetype TreeModel::drawnIndex(qint32 page) const
{
    if (mPages.isEmpty())
        return -1;
    const qint64 at = qint64(page) - mPages.first().page;
    return (at >= 0 && at < mPages.size()) ? at : -1;
}

const TreeModel::DrawnPage *TreeModel::drawnPage(qint32 page) const
{
    const qsizetype at = drawnIndex(page);
    return at >= 0 ? &mPages.at(at) : nullptr;
}

qint32 TreeModel::linkIndex(qint32 page, qint32 link)
{
    const qint64 index = qint64(page) * 100 + link;
    return (link <= 99 && index <= maxIndex) ? qint32(index) : -1;
}

TreeLabel TreeModel::titleLabel(const DrawnPage &p) const
{
    TreeLabel l;
    l.array = TreeLabel::Array::HTML;
    l.index = p.page <= maxIndex ? p.page : -1;
    l.page = p.page;
    l.row = p.firstRow;
    l.left = titleLeft;
    l.top = rowTop(p.firstRow);
    l.width = mTitleWidth;
    l.grey = true;
    l.caption = p.title;
    return l;
}

TreeLabel TreeModel::rightLabel(const DrawnPage &p, qint32 link) const
{
    TreeLabel l;
    l.array = TreeLabel::Array::Link;
    l.index = linkIndex(p.page, link);
    l.page = p.page;
    l.link = link;
    l.row = p.firstRow + link;
    l.left = mRightLeft;
    l.top = rowTop(l.row);
    l.autoSize = true;
    l.grey = link == 0;
    l.caption = link == 0 ? p.fileName : p.links.at(link);
    return l;
}

std::optional<TreeLabel> TreeModel::titleOnRow(qint64 row) const
{
    if (row < 0 || row >= mRowCount)
        return std::nullopt;
    const DrawnPage &p = mPages.at(pageOfRow(row));
    if (p.firstRow != row)
        return std::nullopt;
    return titleLabel(p);
}

std::optional<TreeLabel> TreeModel::rightOnRow(qint64 row) const
{
    if (row < 0 || row >= mRowCount)
        return std::nullopt;
    const DrawnPage &p = mPages.at(pageOfRow(row));
    return rightLabel(p, qint32(row - p.firstRow));
}

std::optional<TreeLabel> TreeModel::lblHTML(qint32 index) const
{
    if (index == 0) {
        TreeLabel t;
        t.left = titleLeft;
        t.top = firstTop;
        t.width = mTemplateTitleWidth;
        return t;
    }
    if (index < 0 || index > maxIndex)
        return std::nullopt;
    const DrawnPage *p = drawnPage(index);
    return p ? std::optional<TreeLabel>(titleLabel(*p)) : std::nullopt;
}

std::optional<TreeLabel> TreeModel::lblLink(qint32 index) const
{
    if (index == 0) {
        TreeLabel t;
        t.array = TreeLabel::Array::Link;
        t.left = mTemplateLinkLeft;
        t.top = firstTop;
        t.width = templateWidth;
        t.autoSize = true;
        return t;
    }
    if (index < 0 || index > maxIndex)
        return std::nullopt;
    const DrawnPage *p = drawnPage(index / 100);
    const qint32 link = index % 100;
    if (!p || link > linkCount(p->links))
        return std::nullopt;
    return rightLabel(*p, link);
}
