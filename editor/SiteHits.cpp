#include "editor/SiteHits.h"
#include "editor/EditorTexts.h"

#include <algorithm>

void SiteHits::clear()
{
    beginResetModel();
    mPages.clear();
    mEnds.clear();
    mIndexOf.clear();
    endResetModel();
}

void SiteHits::appendPages(QList<Page> pages)
{
    qsizetype added = 0;
    for (const Page &page : std::as_const(pages))
        added += page.hits.size();
    if (added == 0)
        return;
    const qsizetype first = count();
    beginInsertRows({}, int(first), int(first + added - 1));
    for (Page &page : pages) {
        if (page.hits.isEmpty())
            continue;
        mIndexOf.insert(page.page, mPages.size());
        mEnds.append(count() + page.hits.size());
        mPages.append(std::move(page));
    }
    endInsertRows();
}

void SiteHits::followEdit(qint32 page, const TextEdit &edit)
{
    const auto found = mIndexOf.constFind(page);
    if (found == mIndexOf.cend())
        return;
    const qsizetype index = *found;
    Page &p = mPages[index];
    const qsizetype first = firstRow(index);
    const auto [from, to] = touchedHits(p.hits, edit);
    if (from < to)
        beginRemoveRows({}, int(first + from), int(first + to - 1));
    ::followEdit(p.hits, edit);
    if (from < to) {
        recountFrom(index);
        endRemoveRows();
    }
    if (from < p.hits.size())
        emit dataChanged(this->index(int(first + from), LineColumn),
                         this->index(int(first + p.hits.size() - 1), TextColumn));
}

void SiteHits::dropPage(qint32 page)
{
    const auto found = mIndexOf.constFind(page);
    if (found == mIndexOf.cend() || mPages.at(*found).hits.isEmpty())
        return;
    const qsizetype index = *found;
    const qsizetype first = firstRow(index);
    beginRemoveRows({}, int(first), int(mEnds.at(index) - 1));
    mPages[index].hits.clear();
    recountFrom(index);
    endRemoveRows();
}

void SiteHits::recountFrom(qsizetype pageIndex)
{
    qsizetype end = firstRow(pageIndex);
    for (qsizetype i = pageIndex; i < mPages.size(); ++i)
        mEnds[i] = end += mPages.at(i).hits.size();
}

qsizetype SiteHits::pageCount() const
{
    return std::count_if(mPages.cbegin(), mPages.cend(), [](const Page &p) { return !p.hits.isEmpty(); });
}

std::pair<qsizetype, qsizetype> SiteHits::locate(qsizetype row) const
{
    const qsizetype page = std::upper_bound(mEnds.cbegin(), mEnds.cend(), row) - mEnds.cbegin();
    return {page, row - firstRow(page)};
}

SiteHits::Row SiteHits::at(qsizetype row) const
{
    const auto [page, i] = locate(row);
    return Row{mPages.at(page).page, mPages.at(page).hits.at(i)};
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
    const Page &p = mPages.at(page);
    const SiteHit &hit = p.hits.at(i);
    switch (index.column()) {
    case PageColumn: return p.title;
    case LineColumn: return hit.line;
    case TextColumn: return mLineSource ? shownLine(mLineSource(p.page, hit.line), hit.column) : QString();
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

QString SiteHits::shownLine(const QString &line, qsizetype column, qsizetype width)
{
    const qsizetype from
        = line.size() <= width ? 0 : std::clamp(column - 1 - width / 4, qsizetype(0), line.size() - width);
    QString shown = line.mid(from, width);
    shown.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return shown;
}
