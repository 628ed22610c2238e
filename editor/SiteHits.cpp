#include "editor/SiteHits.h"
#include "editor/EditorTexts.h"

#include <algorithm>

void SiteHits::setHits(QList<PageHits> pages)
{
    beginResetModel();
    mPages = std::move(pages);
    mEnds.clear();
    mEnds.reserve(mPages.size());
    qsizetype end = 0;
    for (const PageHits &page : std::as_const(mPages))
        mEnds.append(end += page.hits.size());
    endResetModel();
}

std::pair<const PageHits *, qsizetype> SiteHits::locate(qsizetype row) const
{
    const auto page = std::upper_bound(mEnds.cbegin(), mEnds.cend(), row) - mEnds.cbegin();
    const qsizetype first = page == 0 ? 0 : mEnds.at(page - 1);
    return {&mPages.at(page), row - first};
}

SiteHit SiteHits::at(qsizetype row) const
{
    const auto [page, i] = locate(row);
    return SiteHit{page->page, page->hits.at(i)};
}

int SiteHits::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(count());
}

int SiteHits::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SiteHits::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= count())
        return {};
    const auto [page, i] = locate(index.row());
    const textSearch::LineHit &hit = page->hits.at(i);
    switch (index.column()) {
    case PageColumn: return page->title;
    case LineColumn: return hit.line;
    case TextColumn: return shownLine(hit);
    default: return {};
    }
}

QVariant SiteHits::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    switch (section) {
    case PageColumn: return editorTexts::hitPage;
    case LineColumn: return editorTexts::hitLine;
    case TextColumn: return editorTexts::hitText;
    default: return {};
    }
}

QString SiteHits::shownLine(const textSearch::LineHit &hit, qsizetype width)
{
    const QString &line = hit.lineText;
    const qsizetype from
        = line.size() <= width ? 0 : std::clamp(hit.column - 1 - width / 4, qsizetype(0), line.size() - width);
    QString shown = line.mid(from, width);
    shown.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return shown;
}
