#include "tree/frmSiteCheck.h"
#include "site/SiteCommands.h"
#include "tree/TreeTexts.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

using linkCheck::ReportRow;

namespace {
QString kindText(ReportRow::Kind kind)
{
    switch (kind) {
    case ReportRow::Kind::Broken: return treeTexts::kindBroken;
    case ReportRow::Kind::Unlinked: return treeTexts::kindUnlinked;
    case ReportRow::Kind::CaseDiffers: return treeTexts::kindCaseDiffers;
    }
    return QString();
}

QString targetText(const ReportRow &row)
{
    const QString target = QDir::toNativeSeparators(row.target);
    return row.onDisk.isEmpty() ? target : target + QStringLiteral(" → ") + QDir::toNativeSeparators(row.onDisk);
}
}   // namespace

frmSiteCheck::frmSiteCheck(QMdiArea *area, std::function<void(qint32)> showPage, std::function<void()> recheck)
    : KForm(area, Border::Sizable), mShowPage(std::move(showPage))
{
    setCaption(treeTexts::siteCheckCaption);
    setWidth(12000);
    setHeight(5000);
    mSummary = new QLabel(this);
    mRows = new QTableWidget(0, 4, this);
    mRows->setHorizontalHeaderLabels(
        {treeTexts::siteCheckKind, treeTexts::siteCheckPage, treeTexts::siteCheckLink, treeTexts::siteCheckTarget});
    mRows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mRows->setSelectionBehavior(QAbstractItemView::SelectRows);
    mRows->verticalHeader()->hide();
    mRows->horizontalHeader()->setStretchLastSection(true);
    mRows->setWordWrap(false);
    mRows->setTextElideMode(Qt::ElideLeft);   // the end of a path names the file
    mCopy = new QPushButton(treeTexts::siteCheckCopy, this);
    mRecheck = new QPushButton(treeTexts::siteCheckRecheck, this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(mSummary, 1);
    buttons->addWidget(mRecheck);
    buttons->addWidget(mCopy);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(mRows);
    layout->addLayout(buttons);

    auto *copy = new QAction(this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(copy);
    connect(copy, &QAction::triggered, this, &frmSiteCheck::cmdCopy_Click);
    connect(mCopy, &QPushButton::clicked, this, &frmSiteCheck::cmdCopy_Click);
    connect(mRecheck, &QPushButton::clicked, this, [recheck = std::move(recheck)] { recheck(); });
    connect(mRows, &QTableWidget::cellClicked, this, [this](int row, int) { lstRows_Click(row); });
}

// The window opens inside the visible part of the area, at its bottom right, so that the
// site tree and the tag list beside it stay in view.
void frmSiteCheck::chooseFirstPlace()
{
    QMdiArea *area = formArea();
    if (!area)
        return;
    const QRect visible = area->viewport()->rect();
    const int width = std::min(twipsToPixelsX(double(Width())), visible.width());
    const int height = std::min(twipsToPixelsY(double(Height())), visible.height());
    setWidth(pixelsToTwipsX(width));
    setHeight(pixelsToTwipsY(height));
    setLeft(pixelsToTwipsX(visible.right() + 1 - width));
    setTop(pixelsToTwipsY(visible.bottom() + 1 - height));
}

void frmSiteCheck::setReport(const QList<ReportRow> &rows, const QList<basSystem::PageRecord> &pages)
{
    mRows->setRowCount(0);
    mRows->setRowCount(int(rows.size()));
    mRowPages.clear();
    qsizetype counts[3] = {0, 0, 0};
    for (int r = 0; r < rows.size(); ++r) {
        const ReportRow &row = rows.at(r);
        ++counts[int(row.kind)];
        const QString page = row.page < pages.size() ? siteCommands::pageDisplayName(pages.at(row.page)) : QString();
        const QString cells[] = {kindText(row.kind), page, row.link, targetText(row)};
        for (int c = 0; c < 4; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            item->setToolTip(cells[c]);
            mRows->setItem(r, c, item);
        }
        mRowPages << row.page;
    }
    mRows->resizeColumnsToContents();
    mRows->resizeRowsToContents();
    mSummary->setText(rows.isEmpty() ? treeTexts::siteCheckAllGood
                                     : treeTexts::siteCheckSummary(counts[0], counts[1], counts[2]));
}

void frmSiteCheck::showChecking()
{
    mRows->setRowCount(0);
    mRowPages.clear();
    mSummary->setText(treeTexts::linksBeingChecked);
}

QString frmSiteCheck::reportText() const
{
    QStringList lines;
    for (int r = -1; r < mRows->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < mRows->columnCount(); ++c)
            cells << (r < 0 ? mRows->horizontalHeaderItem(c)->text() : mRows->item(r, c)->text());
        lines << cells.join(u'\t');
    }
    return lines.join(u'\n') + u'\n';
}

void frmSiteCheck::cmdCopy_Click()
{
    QGuiApplication::clipboard()->setText(reportText());
}

void frmSiteCheck::lstRows_Click(int row)
{
    if (row >= 0 && row < mRowPages.size() && mShowPage)
        mShowPage(mRowPages.at(row));
}
