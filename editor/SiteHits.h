#pragma once
// The hits of a search across the site's pages, as a table of page title, line number
// and the line itself, for the site search window's list. Each hit is held as its place
// only; the line is fetched from its page when the row is drawn, as the page stands then.

#include "editor/SiteSearch.h"

#include <QAbstractTableModel>
#include <QHash>

#include <functional>

class SiteHits : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { PageColumn, LineColumn, TextColumn, ColumnCount };
    // Line `line` (from 1) of page `page`, as it stands now.
    using LineSource = std::function<QString(qint32 page, qint32 line)>;

    using QAbstractTableModel::QAbstractTableModel;
    void setLineSource(LineSource source) { mLineSource = std::move(source); }

    // The hits of one page.
    struct Page {
        qint32 page = 0;
        QString title;
        QList<SiteHit> hits;
    };

    void clear();
    // Lists the hits of `pages` after those listed so far.
    void appendPages(QList<Page> pages);
    // Follows an edit of page `page` (see followEdit): touched hits go, later ones move.
    void followEdit(qint32 page, const TextEdit &edit);
    // Takes out every hit of page `page`.
    void dropPage(qint32 page);

    struct Row {
        qint32 page = 0;
        SiteHit hit;
    };
    Row at(qsizetype row) const;
    qsizetype count() const { return mEnds.isEmpty() ? 0 : mEnds.constLast(); }
    // The pages that have hits.
    qsizetype pageCount() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The line as the list shows it: at most `width` characters around column `column`
    // (from 1), tabs as spaces.
    static QString shownLine(const QString &line, qsizetype column, qsizetype width = 200);

private:
    // The page of `row` and the row's place among that page's hits.
    std::pair<qsizetype, qsizetype> locate(qsizetype row) const;
    qsizetype firstRow(qsizetype pageIndex) const { return pageIndex == 0 ? 0 : mEnds.at(pageIndex - 1); }
    void recountFrom(qsizetype pageIndex);

    QList<Page> mPages;
    QList<qsizetype> mEnds;   // for each page, the row after its last hit
    QHash<qint32, qsizetype> mIndexOf;
    LineSource mLineSource;
};
