#include "editor/frmSiteFind.h"
#include "editor/EditorTexts.h"
#include "editor/frmChild1.h"
#include "common/Placement.h"
#include "platform/Messages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTableView>

using namespace editorTexts;

namespace {
constexpr int designedWidth = 9000;
constexpr int designedHeight = 5000;
}   // namespace

frmSiteFind::frmSiteFind(QMdiArea *area) : KForm(area, Border::Sizable)
{
    setCaption(siteFindCaption);
    createControls();
    setWidth(designedWidth);
    setHeight(designedHeight);
}

void frmSiteFind::createControls()
{
    auto *grid = new QGridLayout(this);
    mTxtFind = new QLineEdit(this);
    mTxtReplace = new QLineEdit(this);
    mTxtReplace->setToolTip(replacementTip);
    mChkCase = new QCheckBox(siteMatchCase, this);
    mChkWord = new QCheckBox(siteWholeWord, this);
    mChkRegex = new QCheckBox(siteRegex, this);
    mCmdFind = new QPushButton(siteFind, this);
    mCmdFind->setDefault(true);
    mCmdReplaceAll = new QPushButton(siteReplaceAll, this);
    mLblStatus = new QLabel(this);
    mLblStatus->setWordWrap(true);   // a failure names the page and the line
    mLblStatus->setMinimumHeight(mLblStatus->fontMetrics().lineSpacing());
    // A table keeps nothing for each row but its height, so that millions of hits list fast.
    mLstHits = new QTableView(this);
    mLstHits->setModel(&mHits);
    mLstHits->verticalHeader()->hide();
    mLstHits->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    mLstHits->verticalHeader()->setDefaultSectionSize(mLstHits->fontMetrics().height() + 4);
    mLstHits->horizontalHeader()->setStretchLastSection(true);
    mLstHits->horizontalHeader()->resizeSection(SiteHits::PageColumn, 160);
    mLstHits->horizontalHeader()->resizeSection(SiteHits::LineColumn, 50);
    mLstHits->setSelectionBehavior(QAbstractItemView::SelectRows);
    mLstHits->setSelectionMode(QAbstractItemView::SingleSelection);
    mLstHits->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mLstHits->setShowGrid(false);
    mLstHits->setWordWrap(false);
    mHits.setLineSource([this](qint32 page, qint32 line) {
        const frmChild1 *editor = mSession ? mSession->editor(page) : nullptr;
        return editor ? editor->lineText(line) : QString();
    });

    auto *options = new QHBoxLayout;
    options->addWidget(mChkCase);
    options->addWidget(mChkWord);
    options->addWidget(mChkRegex);
    options->addStretch(1);
    auto *findLabelWidget = new QLabel(siteFindLabel, this);
    findLabelWidget->setBuddy(mTxtFind);
    auto *replaceLabelWidget = new QLabel(siteReplaceLabel, this);
    replaceLabelWidget->setBuddy(mTxtReplace);
    grid->addWidget(findLabelWidget, 0, 0);
    grid->addWidget(mTxtFind, 0, 1);
    grid->addWidget(mCmdFind, 0, 2);
    grid->addWidget(replaceLabelWidget, 1, 0);
    grid->addWidget(mTxtReplace, 1, 1);
    grid->addWidget(mCmdReplaceAll, 1, 2);
    grid->addLayout(options, 2, 0, 1, 3);
    grid->addWidget(mLblStatus, 3, 0, 1, 3);
    grid->addWidget(mLstHits, 4, 0, 1, 3);
    grid->setRowStretch(4, 1);
    setFocusProxy(mTxtFind);

    connect(mCmdFind, &QPushButton::clicked, this, &frmSiteFind::cmdFind_Click);
    connect(mTxtFind, &QLineEdit::returnPressed, this, &frmSiteFind::cmdFind_Click);
    connect(mCmdReplaceAll, &QPushButton::clicked, this, &frmSiteFind::cmdReplaceAll_Click);
    connect(mLstHits, &QTableView::clicked, this, [this](const QModelIndex &index) { lstHits_Click(index.row()); });
    connect(mLstHits, &QTableView::activated, this, [this](const QModelIndex &index) { lstHits_Click(index.row()); });
}

// The window opens wholly inside the visible part of the area, in its middle.
void frmSiteFind::chooseFirstPlace()
{
    QMdiArea *area = formArea();
    if (!area)
        return;
    const QRect wanted = toPixels(TwipRect{0, 0, Width(), Height()});
    const QRect r = centredInside(area->viewport()->rect(), wanted.size());
    setWidth(pixelsToTwipsX(r.width()));
    setHeight(pixelsToTwipsY(r.height()));
    setLeft(pixelsToTwipsX(r.x()));
    setTop(pixelsToTwipsY(r.y()));
}

QString frmSiteFind::statusText() const
{
    return mLblStatus->text();
}

bool frmSiteFind::isSearching() const
{
    return mSession && mSession->isRunning();
}

void frmSiteFind::focusPattern()
{
    mTxtFind->setFocus();
    mTxtFind->selectAll();
}

textSearch::Query frmSiteFind::query() const
{
    return textSearch::Query(mTxtFind->text(), {mChkCase->isChecked(), mChkWord->isChecked(), mChkRegex->isChecked()});
}

bool frmSiteFind::validQuery(const textSearch::Query &query)
{
    if (query.isValid())
        return true;
    mLblStatus->setText(query.errorString().isEmpty() ? QString() : regexError(query.errorString()));
    return false;
}

void frmSiteFind::cmdFind_Click()
{
    mReplacedText.clear();
    startSession(std::nullopt);
}

void frmSiteFind::cmdReplaceAll_Click()
{
    startSession(mTxtReplace->text());
}

// Stops the search before (its hits and its thread go with it) and starts a new one.
void frmSiteFind::startSession(std::optional<QString> replacement)
{
    // Pages being replaced are not left half done: a new command waits until they are.
    if (mSession && mSession->isApplying())
        return;
    const textSearch::Query q = query();
    if (!validQuery(q))
        return;
    if (mSession) {
        mSession->disconnect(this);
        mSession->detach();
        mSession->deleteLater();   // it may be the one telling that it finished
    }
    mHits.clear();
    const bool replacing = replacement.has_value();
    mSession = new SiteSearchSession(q, std::move(replacement), &mHits, this);
    connect(mSession, &SiteSearchSession::progressed, this, &frmSiteFind::showProgress);
    connect(mSession, &SiteSearchSession::finished, this,
            replacing ? &frmSiteFind::replacementFinished : &frmSiteFind::sessionFinished);
    showProgress();
}

void frmSiteFind::showProgress()
{
    if (!isSearching())
        return;
    const qsizetype done = mSession->pagesDone();
    const qsizetype total = mSession->pageTotal();
    if (mSession->isApplying())
        mLblStatus->setText(replaceProgress(done, total));
    else if (mSession->isReplacing())
        mLblStatus->setText(replaceCheckProgress(done, total));
    else
        mLblStatus->setText(searchProgress(done, total, mHits.count()));
}

void frmSiteFind::cancelSearch()
{
    if (mSession)
        mSession->cancel();
}

void frmSiteFind::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && isSearching()) {
        cancelSearch();
        return;
    }
    KForm::keyPressEvent(event);
}

QString frmSiteFind::stopText(const SearchStop &stop) const
{
    return matcherFailedInPage(stop.failure.code, mSession->title(stop.page), stop.line);
}

void frmSiteFind::sessionFinished(const SiteSearchSession::Outcome &outcome)
{
    if (outcome.cancelled)
        mLblStatus->setText(searchCancelled(mHits.count(), mHits.pageCount()));
    else if (outcome.stop)
        mLblStatus->setText(stopText(*outcome.stop));
    else if (!mReplacedText.isEmpty())
        mLblStatus->setText(mReplacedText);
    else
        mLblStatus->setText(hitCount(mHits.count(), mHits.pageCount()));
    mReplacedText.clear();
}

// A replacement that went through lists what is left; one that was stopped changed nothing.
void frmSiteFind::replacementFinished(const SiteSearchSession::Outcome &outcome)
{
    if (outcome.cancelled) {
        mLblStatus->setText(replaceCancelled);
        return;
    }
    if (outcome.stop && outcome.stop->excess) {
        mLblStatus->setText(nothingReplaced);
        basSystem::ShowMessage(pageEditRefused(mSession->title(outcome.stop->page), *outcome.stop->excess));
        return;
    }
    if (outcome.stop) {
        mLblStatus->setText(nothingReplaced + stopText(*outcome.stop));
        return;
    }
    mReplacedText = siteReplacedCount(outcome.replaced, outcome.replacedPages);
    if (!outcome.skipped.isEmpty())
        mReplacedText += pagesNotReplaced(outcome.skipped.size());
    startSession(std::nullopt);
}

void frmSiteFind::lstHits_Click(int row)
{
    if (row < 0 || row >= mHits.count() || !mSession)
        return;
    const SiteHits::Row hit = mHits.at(row);
    frmChild1 *editor = mSession->editor(hit.page);
    if (!editor || editor->isUnloaded())
        return;
    editor->showFocused();
    editor->selectText(hit.hit.start, hit.hit.length);
}
