#include "tree/frmSiteCheck.h"
#include "common/TextFile.h"
#include "common/TextHelpers.h"
#include "platform/Messages.h"
#include "site/SiteCommands.h"
#include "tree/ReportFiles.h"
#include "tree/TreeTexts.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

using linkCheck::ReportRow;

namespace {
enum Column { KindColumn, PageColumn, LineColumn, RefColumn, LinkColumn, TargetColumn, ColumnCount };

QString kindText(ReportRow::Kind kind)
{
    switch (kind) {
    case ReportRow::Kind::Broken: return treeTexts::kindBroken;
    case ReportRow::Kind::Unlinked: return treeTexts::kindUnlinked;
    case ReportRow::Kind::CaseDiffers: return treeTexts::kindCaseDiffers;
    case ReportRow::Kind::BrokenAnchor: return treeTexts::kindBrokenAnchor;
    case ReportRow::Kind::NotAddress: return treeTexts::kindNotAddress;
    }
    return QString();
}

QString refText(const std::optional<pageRefs::Kind> &kind)
{
    if (!kind)
        return QString();
    switch (*kind) {
    case pageRefs::Kind::Page: return treeTexts::refPage;
    case pageRefs::Kind::Image: return treeTexts::refImage;
    case pageRefs::Kind::StyleSheet: return treeTexts::refStyleSheet;
    case pageRefs::Kind::Script: return treeTexts::refScript;
    case pageRefs::Kind::Frame: return treeTexts::refFrame;
    case pageRefs::Kind::Object: return treeTexts::refObject;
    }
    return QString();
}

QString targetText(const ReportRow &row)
{
    const QString target = QDir::toNativeSeparators(row.target);
    return row.onDisk.isEmpty() ? target : target + QStringLiteral(" → ") + QDir::toNativeSeparators(row.onDisk);
}

// A style sheet's name as the site sees it: its path below the site's folder.
QString sheetName(const QString &path, const QString &siteFolder)
{
    const QString site = linkCheck::cleanFilePath(siteFolder);
    if (!site.isEmpty() && path.startsWith(site + u'/'))
        return QDir::toNativeSeparators(path.mid(site.size() + 1));
    return QDir::toNativeSeparators(path);
}

bool isHtmlName(const QString &path)
{
    return path.endsWith(u".htm", Qt::CaseInsensitive) || path.endsWith(u".html", Qt::CaseInsensitive);
}
}   // namespace

frmSiteCheck::frmSiteCheck(QMdiArea *area, Actions actions) : KForm(area, Border::Sizable), mActions(std::move(actions))
{
    setCaption(treeTexts::siteCheckCaption);
    setWidth(13500);
    setHeight(5000);
    mSummary = new QLabel(this);
    mSummary->setWordWrap(true);
    mRows = new QTableWidget(0, ColumnCount, this);
    mRows->setHorizontalHeaderLabels({treeTexts::siteCheckKind, treeTexts::siteCheckPage, treeTexts::siteCheckLine,
                                      treeTexts::siteCheckRefKind, treeTexts::siteCheckLink,
                                      treeTexts::siteCheckTarget});
    mRows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mRows->setSelectionBehavior(QAbstractItemView::SelectRows);
    mRows->setSelectionMode(QAbstractItemView::SingleSelection);
    mRows->verticalHeader()->hide();
    mRows->horizontalHeader()->setStretchLastSection(true);
    mRows->setWordWrap(false);
    mRows->setTextElideMode(Qt::ElideLeft);   // the end of a path names the file
    mMend[int(Mend::Create)] = new QPushButton(treeTexts::mendCreate, this);
    mMend[int(Mend::Change)] = new QPushButton(treeTexts::mendChange, this);
    mMend[int(Mend::FixCase)] = new QPushButton(treeTexts::mendCase, this);
    mMoveFile = new QPushButton(treeTexts::moveReferencedFile, this);
    mSaveCsv = new QPushButton(treeTexts::saveCsv, this);
    mSaveHtml = new QPushButton(treeTexts::saveHtml, this);
    mCopy = new QPushButton(treeTexts::siteCheckCopy, this);
    mRecheck = new QPushButton(treeTexts::siteCheckRecheck, this);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {mMend[0], mMend[1], mMend[2], mMoveFile})
        buttons->addWidget(b);
    buttons->addStretch(1);
    for (QPushButton *b : {mSaveCsv, mSaveHtml, mCopy, mRecheck})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(mSummary);
    layout->addWidget(mRows, 1);
    layout->addLayout(buttons);

    auto *copy = new QAction(this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(copy);
    connect(copy, &QAction::triggered, this, &frmSiteCheck::cmdCopy_Click);
    connect(mCopy, &QPushButton::clicked, this, &frmSiteCheck::cmdCopy_Click);
    connect(mRecheck, &QPushButton::clicked, this, [this] {
        if (mActions.recheck)
            mActions.recheck();
    });
    for (const Mend how : {Mend::Create, Mend::Change, Mend::FixCase})
        connect(mMend[int(how)], &QPushButton::clicked, this, [this, how] { cmdMend_Click(how); });
    connect(mMoveFile, &QPushButton::clicked, this, &frmSiteCheck::cmdMoveFile_Click);
    mRows->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(mRows, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        if (mRows->rowAt(at.y()) >= 0)
            rowMenu()->popup(mRows->viewport()->mapToGlobal(at));
    });
    connect(mSaveCsv, &QPushButton::clicked, this, &frmSiteCheck::cmdSaveCsv_Click);
    connect(mSaveHtml, &QPushButton::clicked, this, &frmSiteCheck::cmdSaveHtml_Click);
    connect(mRows, &QTableWidget::cellClicked, this, [this](int row, int) { lstRows_Click(row); });
    connect(mRows, &QTableWidget::itemSelectionChanged, this, &frmSiteCheck::enableMending);
    enableMending();
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

void frmSiteCheck::setReport(const QList<ReportRow> &rows, const QList<basSystem::PageRecord> &pages,
                             const QString &siteFolder)
{
    mReport = rows;
    mSiteFolder = siteFolder;
    mRowFiles.clear();
    mRows->setRowCount(0);
    mRows->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const ReportRow &row = rows.at(r);
        const bool inPage = row.page > 0 && row.page < pages.size();
        const QString page
            = inPage ? siteCommands::pageDisplayName(pages.at(row.page)) : sheetName(row.file, siteFolder);
        mRowFiles << (inPage ? linkCheck::pagePath(pages.at(row.page)) : row.file);
        const QString cells[ColumnCount]
            = {kindText(row.kind),   page,     row.line > 0 ? QString::number(row.line) : QString(),
               refText(row.refKind), row.link, targetText(row)};
        for (int c = 0; c < ColumnCount; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            item->setToolTip(cells[c]);
            mRows->setItem(r, c, item);
        }
    }
    mRows->resizeColumnsToContents();
    mRows->resizeRowsToContents();
    showCounts();
    enableMending();
}

void frmSiteCheck::showCounts()
{
    qsizetype counts[5] = {0, 0, 0, 0, 0};
    for (const ReportRow &row : std::as_const(mReport))
        ++counts[int(row.kind)];
    using K = ReportRow::Kind;
    mSummary->setText(mReport.isEmpty()
                          ? treeTexts::siteCheckAllGood
                          : treeTexts::siteCheckSummary(counts[int(K::Broken)], counts[int(K::BrokenAnchor)],
                                                        counts[int(K::Unlinked)], counts[int(K::CaseDiffers)],
                                                        counts[int(K::NotAddress)]));
}

void frmSiteCheck::showChecking()
{
    mReport.clear();
    mRowFiles.clear();
    mRows->setRowCount(0);
    mSummary->setText(treeTexts::linksBeingChecked);
    enableMending();
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
    if (row >= 0 && row < mReport.size() && mReport.at(row).page > 0 && mActions.showRow)
        mActions.showRow(mReport.at(row));
}

bool frmSiteCheck::canMend(const ReportRow &row, Mend how)
{
    if (row.page < 1)
        return false;   // a page's references only: a style sheet has no editor here
    switch (how) {
    case Mend::Create:
        return row.kind == ReportRow::Kind::Broken && row.refKind
            && (*row.refKind == pageRefs::Kind::Page || *row.refKind == pageRefs::Kind::Frame)
            && isHtmlName(row.target);
    case Mend::Change:
        return row.kind == ReportRow::Kind::Broken || row.kind == ReportRow::Kind::CaseDiffers
            || row.kind == ReportRow::Kind::BrokenAnchor;
    case Mend::FixCase: return row.kind == ReportRow::Kind::CaseDiffers;
    }
    return false;
}

void frmSiteCheck::enableMending()
{
    const int row = mRows->currentRow();
    const bool chosen = row >= 0 && row < mReport.size() && !mRows->selectedItems().isEmpty();
    for (const Mend how : {Mend::Create, Mend::Change, Mend::FixCase})
        mMend[int(how)]->setEnabled(chosen && canMend(mReport.at(row), how));
    mMoveFile->setEnabled(chosen && !fileOf(mReport.at(row)).isEmpty());
    mSaveCsv->setEnabled(!mReport.isEmpty());
    mSaveHtml->setEnabled(!mReport.isEmpty());
}

void frmSiteCheck::cmdMend_Click(Mend how)
{
    const int row = mRows->currentRow();
    if (row >= 0 && row < mReport.size() && canMend(mReport.at(row), how) && mActions.mend)
        mActions.mend(mReport.at(row), how);
}

QString frmSiteCheck::fileOf(const ReportRow &row)
{
    QStringList candidates;
    if (!row.onDisk.isEmpty()) {
        candidates << row.onDisk;
    } else if (row.kind == ReportRow::Kind::BrokenAnchor) {
        // The target is the page's path, "#" and the fragment; the path itself may hold a "#".
        for (qsizetype hash = row.target.lastIndexOf(u'#'); hash > 0; hash = row.target.lastIndexOf(u'#', hash - 1))
            candidates << row.target.left(hash);
    } else if (row.kind != ReportRow::Kind::NotAddress) {
        candidates << row.target;
    }
    for (const QString &path : std::as_const(candidates))
        if (!path.isEmpty() && QFileInfo(path).isFile())
            return path;
    return QString();
}

void frmSiteCheck::cmdMoveFile_Click()
{
    const int row = mRows->currentRow();
    const QString path = row >= 0 && row < mReport.size() ? fileOf(mReport.at(row)) : QString();
    if (!path.isEmpty() && mActions.moveFile)
        mActions.moveFile(path);
}

QMenu *frmSiteCheck::rowMenu()
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (QPushButton *b : {mMend[0], mMend[1], mMend[2], mMoveFile})
        menu->addAction(b->text(), b, &QPushButton::click)->setEnabled(b->isEnabled());
    return menu;
}

QString frmSiteCheck::chooseReportFile(const QString &filter, const QString &ext)
{
    dlgReport.DialogTitle = treeTexts::reportTitle;
    dlgReport.Filter = filter;
    dlgReport.FilterIndex = 1;
    dlgReport.DefaultExt = ext;
    if (dlgReport.InitDir.isEmpty())
        dlgReport.InitDir = mSiteFolder;
    const QPointer<frmSiteCheck> self(this);
    if (!dlgReport.ShowSave() || !self)
        return QString();
    return dlgReport.FileName;
}

void frmSiteCheck::writeReport(const QString &path, const QByteArray &bytes)
{
    QString error;
    if (!writeFileAtomic(path, bytes, &error))
        basSystem::ShowMessage(
            basSystem::failureText(treeTexts::reportWriteFailed, QDir::toNativeSeparators(path), error));
}

namespace {
reportFiles::Table tableOf(const QTableWidget *rows, const QList<ReportRow> &report, const QStringList &files)
{
    reportFiles::Table table;
    for (int c = 0; c < rows->columnCount(); ++c)
        table.header << rows->horizontalHeaderItem(c)->text();
    for (int r = 0; r < rows->rowCount(); ++r) {
        reportFiles::Row row{{}, files.value(r), report.value(r).line};
        for (int c = 0; c < rows->columnCount(); ++c)
            row.cells << rows->item(r, c)->text();
        table.rows << row;
    }
    return table;
}
}   // namespace

void frmSiteCheck::cmdSaveCsv_Click()
{
    const QString path = chooseReportFile(treeTexts::csvFilter, QStringLiteral("csv"));
    if (!path.isEmpty())
        writeReport(path, reportFiles::csv(tableOf(mRows, mReport, mRowFiles)));
}

void frmSiteCheck::cmdSaveHtml_Click()
{
    const QString path = chooseReportFile(treeTexts::htmlFilter, QStringLiteral("html"));
    if (path.isEmpty())
        return;
    const QString folder = QFileInfo(path).absolutePath();
    writeReport(path,
                reportFiles::html(tableOf(mRows, mReport, mRowFiles), treeTexts::reportTitle, folder, PageColumn));
}
