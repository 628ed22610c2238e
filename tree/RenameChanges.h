#pragma once
// The list of changes a move of a file will make, as the rename dialog shows it: the file
// moved, the definition's entries of its pages, then file by file the references written
// anew and those already broken, each with its line.

#include "tree/RenamePlan.h"

#include <QAbstractTableModel>
#include <QHash>

class RenameChanges : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { KindColumn, FileColumn, LineColumn, BeforeColumn, AfterColumn, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    // Shows `plan`; the pages are named by `pageNames` (by page index), other files by
    // their path below `siteFolder`.
    void setPlan(const renamePlan::Plan &plan, const QHash<qint32, QString> &pageNames, const QString &siteFolder);
    void clear();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The texts of row `row`, column by column.
    QStringList rowTexts(qsizetype row) const;

private:
    QString fileName(const renamePlan::FileChanges &file) const;

    renamePlan::Plan mPlan;
    QHash<qint32, QString> mPageNames;
    QString mSiteFolder;
    qsizetype mHead = 0;      // the rows before the files' rows: the move and the entries
    QList<qsizetype> mEnds;   // for each file, the row after its last
};
