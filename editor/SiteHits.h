#pragma once
// The hits of a search across the site's pages, as a table of page title, line number
// and the line itself, for the site search window's list.

#include "editor/TextSearch.h"

#include <QAbstractTableModel>

struct SiteHit {
    qint32 page = 0;   // index of the page in the page tables at the time of the search
    textSearch::LineHit hit;
};

class SiteHits : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { PageColumn, LineColumn, TextColumn, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    // Replaces the list: `hits` in page order, `titles` by page index.
    void setHits(QList<SiteHit> hits, QHash<qint32, QString> titles);
    const SiteHit &at(qsizetype row) const { return mHits.at(row); }
    qsizetype count() const { return mHits.size(); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The line as the list shows it: at most `width` characters around the hit, tabs as spaces.
    static QString shownLine(const textSearch::LineHit &hit, qsizetype width = 200);

private:
    QList<SiteHit> mHits;
    QHash<qint32, QString> mTitles;
};
