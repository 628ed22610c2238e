#include "editor/frmSiteFind.h"
#include "app/basSystem.h"
#include "editor/EditorTexts.h"
#include "editor/frmChild1.h"
#include "common/Placement.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTreeView>

using namespace basSystem;
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
    mChkCase = new QCheckBox(matchCase, this);
    mChkWord = new QCheckBox(wholeWord, this);
    mChkRegex = new QCheckBox(regex, this);
    mCmdFind = new QPushButton(siteFind, this);
    mCmdFind->setDefault(true);
    mCmdReplaceAll = new QPushButton(siteReplaceAll, this);
    mLblStatus = new QLabel(this);
    mLstHits = new QTreeView(this);
    mLstHits->setModel(&mHits);
    mLstHits->setRootIsDecorated(false);
    mLstHits->setUniformRowHeights(true);
    mLstHits->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mLstHits->header()->resizeSection(SiteHits::PageColumn, 160);
    mLstHits->header()->resizeSection(SiteHits::LineColumn, 50);

    auto *options = new QHBoxLayout;
    options->addWidget(mChkCase);
    options->addWidget(mChkWord);
    options->addWidget(mChkRegex);
    options->addWidget(mLblStatus, 1);
    grid->addWidget(new QLabel(findLabel, this), 0, 0);
    grid->addWidget(mTxtFind, 0, 1);
    grid->addWidget(mCmdFind, 0, 2);
    grid->addWidget(new QLabel(replaceLabel, this), 1, 0);
    grid->addWidget(mTxtReplace, 1, 1);
    grid->addWidget(mCmdReplaceAll, 1, 2);
    grid->addLayout(options, 2, 0, 1, 3);
    grid->addWidget(mLstHits, 3, 0, 1, 3);
    grid->setRowStretch(3, 1);
    setFocusProxy(mTxtFind);

    connect(mCmdFind, &QPushButton::clicked, this, &frmSiteFind::cmdFind_Click);
    connect(mTxtFind, &QLineEdit::returnPressed, this, &frmSiteFind::cmdFind_Click);
    connect(mCmdReplaceAll, &QPushButton::clicked, this, &frmSiteFind::cmdReplaceAll_Click);
    connect(mLstHits, &QTreeView::clicked, this, [this](const QModelIndex &index) { lstHits_Click(index.row()); });
    connect(mLstHits, &QTreeView::activated, this, [this](const QModelIndex &index) { lstHits_Click(index.row()); });
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
    mHits.setHits({});
    mEditors.clear();
    return false;
}

void frmSiteFind::cmdFind_Click()
{
    const textSearch::Query q = query();
    if (!validQuery(q))
        return;
    QList<PageHits> pages;
    mEditors.clear();
    for (qint32 id = 1; id <= qint32(pageCount()); ++id) {
        frmChild1 *editor = liveEditor(gPageEditors.at(id));
        if (!editor)
            continue;
        QList<textSearch::LineHit> found = q.lineHits(editor->searchText());
        if (found.isEmpty())
            continue;
        mEditors.insert(id, editor);
        pages.append(PageHits{id, gPageTable.at(id).Title, std::move(found)});
    }
    mHits.setHits(std::move(pages));
    mLblStatus->setText(hitCount(mHits.count(), mHits.pageCount()));
}

void frmSiteFind::cmdReplaceAll_Click()
{
    const textSearch::Query q = query();
    if (!validQuery(q))
        return;
    qsizetype replaced = 0;
    qsizetype pages = 0;
    for (qint32 id = 1; id <= qint32(pageCount()); ++id) {
        frmChild1 *editor = liveEditor(gPageEditors.at(id));
        // Only editors with a hit are touched, so that the others keep their late controls.
        if (!editor || !q.findNext(editor->searchText(), 0).found())
            continue;
        replaced += editor->replaceAll(q, mTxtReplace->text());
        ++pages;
    }
    cmdFind_Click();
    mLblStatus->setText(siteReplacedCount(replaced, pages));
}

void frmSiteFind::lstHits_Click(int row)
{
    if (row < 0 || row >= mHits.count())
        return;
    const SiteHit hit = mHits.at(row);
    frmChild1 *editor = mEditors.value(hit.page);
    if (!editor || editor->isUnloaded())
        return;
    editor->showFocused();
    editor->selectInLine(hit.hit.line, hit.hit.column, hit.hit.length);
}
