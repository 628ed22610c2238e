#pragma once
// The hits of a search across the site's pages, as a table of page title, line number
// and the line itself, for the site search window's list.

#include "editor/TextSearch.h"

#include <QAbstractTableModel>

// The hits in one page.
struct PageHits {
    qint32 page = 0;   // index of the page in the page tables at the time of the search
    QString title;
    QList<textSearch::LineHit> hits;
};
Q_DECLARE_TYPEINFO(PageHits, Q_RELOCATABLE_TYPE);

// One row of the list.
struct SiteHit {
    qint32 page = 0;
    textSearch::LineHit hit;
};

class SiteHits : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { PageColumn, LineColumn, TextColumn, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    // Replaces the list with the hits of `pages`, in that order.
    void setHits(QList<PageHits> pages);
    SiteHit at(qsizetype row) const;
    qsizetype count() const { return mEnds.isEmpty() ? 0 : mEnds.constLast(); }
    qsizetype pageCount() const { return mPages.size(); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The line as the list shows it: at most `width` characters around the hit, tabs as spaces.
    static QString shownLine(const textSearch::LineHit &hit, qsizetype width = 200);

private:
    // The page of `row` and the row's place among that page's hits.
    std::pair<const PageHits *, qsizetype> locate(qsizetype row) const;

    QList<PageHits> mPages;
    QList<qsizetype> mEnds;   // for each page, the row after its last hit
};
