#include "editor/SiteHits.h"
#include "editor/EditorTexts.h"

void SiteHits::setHits(QList<SiteHit> hits, QHash<qint32, QString> titles)
{
    beginResetModel();
    mHits = std::move(hits);
    mTitles = std::move(titles);
    endResetModel();
}

int SiteHits::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(mHits.size());
}

int SiteHits::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SiteHits::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= mHits.size())
        return {};
    const SiteHit &hit = mHits.at(index.row());
    switch (index.column()) {
    case PageColumn: return mTitles.value(hit.page);
    case LineColumn: return hit.hit.line;
    case TextColumn: return shownLine(hit.hit);
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
