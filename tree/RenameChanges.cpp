#include "tree/RenameChanges.h"
#include "tree/LinkCheck.h"
#include "tree/TreeTexts.h"

#include <QDir>

#include <algorithm>

using renamePlan::FileChanges;
using renamePlan::LinkChange;

void RenameChanges::setPlan(const renamePlan::Plan &plan, const QHash<qint32, QString> &pageNames,
                            const QString &siteFolder)
{
    beginResetModel();
    mPlan = plan;
    mPageNames = pageNames;
    mSiteFolder = linkCheck::cleanFilePath(siteFolder);
    mHead = 1 + mPlan.movedPages.size();
    mEnds.clear();
    qsizetype end = mHead;
    for (const FileChanges &file : std::as_const(mPlan.files))
        mEnds.append(end += file.changes.size() + file.broken.size());
    endResetModel();
}

void RenameChanges::clear()
{
    beginResetModel();
    mPlan = {};
    mHead = 0;
    mEnds.clear();
    endResetModel();
}

int RenameChanges::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(mEnds.isEmpty() ? mHead : mEnds.constLast());
}

int RenameChanges::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

// A file as the list names it: a page by its title, another file by its path below the site's folder.
QString RenameChanges::fileName(const FileChanges &file) const
{
    if (file.page > 0)
        return mPageNames.value(file.page);
    if (!mSiteFolder.isEmpty() && file.path.startsWith(mSiteFolder + u'/'))
        return QDir::toNativeSeparators(file.path.mid(mSiteFolder.size() + 1));
    return QDir::toNativeSeparators(file.path);
}

QStringList RenameChanges::rowTexts(qsizetype row) const
{
    if (row == 0)
        return {treeTexts::renameRowMove, QString(), QString(), QDir::toNativeSeparators(mPlan.from),
                QDir::toNativeSeparators(mPlan.to)};
    if (row < mHead)
        return {treeTexts::renameRowEntry, mPageNames.value(mPlan.movedPages.at(row - 1)), QString(),
                QDir::toNativeSeparators(mPlan.from), QDir::toNativeSeparators(mPlan.to)};
    const qsizetype at = std::upper_bound(mEnds.cbegin(), mEnds.cend(), row) - mEnds.cbegin();
    const FileChanges &file = mPlan.files.at(at);
    const qsizetype i = row - (at == 0 ? mHead : mEnds.at(at - 1));
    const bool broken = i >= file.changes.size();
    const LinkChange &c = broken ? file.broken.at(i - file.changes.size()) : file.changes.at(i);
    const QString kind = broken ? treeTexts::renameRowBroken
        : file.moved            ? treeTexts::renameRowOwnLink
                                : treeTexts::renameRowLink;
    return {kind, fileName(file), QString::number(c.line), c.before, broken ? QString() : c.after};
}

QVariant RenameChanges::data(const QModelIndex &index, int role) const
{
    if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !index.isValid() || index.row() >= rowCount())
        return {};
    return rowTexts(index.row()).value(index.column());
}

QVariant RenameChanges::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    switch (section) {
    case KindColumn: return treeTexts::renameColumnKind;
    case FileColumn: return treeTexts::renameColumnFile;
    case LineColumn: return treeTexts::renameColumnLine;
    case BeforeColumn: return treeTexts::renameColumnBefore;
    case AfterColumn: return treeTexts::renameColumnAfter;
    default: return {};
    }
}
