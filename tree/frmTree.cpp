#include "tree/frmTree.h"
#include "app/basSystem.h"
#include "common/FormLayout.h"
#include "common/TextHelpers.h"
#include "editor/EditorTexts.h"
#include "editor/PageFiles.h"
#include "editor/frmChild1.h"
#include "platform/CommandKeys.h"
#include "platform/Icons.h"
#include "site/SiteCommands.h"
#include "site/SiteTexts.h"
#include "tree/BusyPointer.h"
#include "tree/PageScan.h"
#include "tree/TreeView.h"
#include "tree/TreeTexts.h"
#include "tree/VScrollBar.h"
#include "tree/frmSiteCheck.h"
#include "platform/Messages.h"

#include <QDir>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>

using namespace basSystem;

namespace {
// The button row: every button 375 twips square at top 30, one every 390 twips.
constexpr qint32 buttonTop = 30;
constexpr qint32 buttonSize = 375;

// Mouse button and shift state in the codes the handlers receive.
int buttonCode(Qt::MouseButtons buttons)
{
    return (buttons.testFlag(Qt::LeftButton) ? 1 : 0) | (buttons.testFlag(Qt::RightButton) ? 2 : 0)
        | (buttons.testFlag(Qt::MiddleButton) ? 4 : 0);
}

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) | (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0)
        | (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}
}   // namespace

frmTree::frmTree(QMdiArea *area) : KForm(area, Border::SizableToolWindow)
{
    setCaption(siteTexts::newDefinitionCaption);
    createButtonRow();
    createDisplayArea();
    Form_Load();
}

void frmTree::createButtonRow()
{
    // Created in their tab order.
    mCmdCre = addButton(CommandIcon::SiteNew, 30, treeTexts::tipCre, &frmTree::cmdCre_Click);
    mCmdOpe = addButton(CommandIcon::SiteOpen, 420, tipWithKey(treeTexts::tipOpe, CommandKey::OpenSite),
                        &frmTree::cmdOpe_Click);
    mCmdSav = addButton(CommandIcon::SiteSave, 810, treeTexts::tipSav, &frmTree::cmdSav_Click);
    mCmdSAs = addButton(CommandIcon::SiteSaveAs, 1200, treeTexts::tipSAs, &frmTree::cmdSAs_Click);
    mCmdHCr = addButton(CommandIcon::PageNew, 1590, treeTexts::tipHCr, &frmTree::cmdHCr_Click);
    mCmdHAd = addButton(CommandIcon::PageAdd, 1980, treeTexts::tipHAd, &frmTree::cmdHAd_Click);
    mCmdDel = addButton(CommandIcon::PageRemove, 2370, treeTexts::tipDel, &frmTree::cmdDel_Click);
    mCmdPrp = addButton(CommandIcon::SiteProperties, 2760, treeTexts::tipPrp, &frmTree::cmdPrp_Click);
    mCmdClo = addButton(CommandIcon::AppExit, 3150, tipWithKey(treeTexts::tipClo, CommandKey::Quit),
                        &frmTree::cmdClo_Click);
    QWidget *const row[] = {mCmdCre, mCmdOpe, mCmdSav, mCmdSAs, mCmdHCr, mCmdHAd, mCmdDel, mCmdPrp, mCmdClo};
    for (std::size_t i = 0; i + 1 < std::size(row); ++i)
        setTabOrder(row[i], row[i + 1]);
}

// A picture button of the row: no caption, a 16 x 16 picture and a tooltip.
QToolButton *frmTree::addButton(CommandIcon icon, qint32 left, const QString &tip, void (frmTree::*handler)())
{
    auto *button = new QToolButton(this);
    button->setIcon(commandIcon(icon));
    button->setIconSize(QSize(commandIconSize, commandIconSize));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::StrongFocus);
    placeControl(button, TwipRect{left, buttonTop, buttonSize, buttonSize});
    connect(button, &QToolButton::clicked, this, handler);
    return button;
}

void frmTree::createDisplayArea()
{
    mPicTre = new TreeView(mTree, this);
    mPicTre->setMarkedPages([](qint32 page) {
        const frmChild1 *editor = page < gPageEditors.size() ? liveEditor(gPageEditors.at(page)) : nullptr;
        return editor && editor->isModified();
    });
    mScrTre = new VScrollBar(this);
    mScrTre->resetQuietly(1, 1, 1);   // as designed: no page to scroll to yet
    mScrTre->setSingleStep(1);
    mScrTre->setPageStep(1);
    mCmdSep = new QPushButton(mPicTre);
    mCmdSep->setCursor(Qt::SizeHorCursor);
    mCmdSep->setFocusPolicy(Qt::NoFocus);
    mCmdSep->installEventFilter(this);
    connect(mScrTre, &VScrollBar::Change, this, &frmTree::scrTre_Change);
    connect(mScrTre, &VScrollBar::Scroll, this, &frmTree::scrTre_Scroll);
    connect(mPicTre, &TreeView::titleClicked, this, &frmTree::lblHTML_Click);
    connect(mPicTre, &TreeView::titleMenuRequested, this,
            [this](qint32 page, const QPoint &at) { titleMenu(page)->popup(at); });
    connect(mPicTre, &TreeView::linkClicked, this, &frmTree::lblLink_Click);
    mLinkCheck = new LinkChecker(gPageTable, this);
    connect(mLinkCheck, &LinkChecker::linksChanged, this, &frmTree::showLinkCheck);
    mPicTre->setLinkCheck(mLinkCheck);
    placeDisplayArea();
}

void frmTree::placeDisplayArea()
{
    placeControl(mPicTre, mPicTreRect);
    placeControl(mScrTre, mScrTreRect);
    placeControl(mCmdSep, mCmdSepRect);
}

void frmTree::Form_Load()
{
    mbNoResize = true;
    setHeight(8430);
    setWidth(3210);
    mbNoResize = false;
    mlPrevHeight = 8430;
    mlPrevWidth = 3210;
    applyStoredGeometry(gTreeWinHeight, gTreeWinWidth, gTreeWinTop, gTreeWinLeft);
    // The stored splitter place (TRE_S), while it leaves the right column room.
    if (gTreeSplit > 0 && qint64(gTreeSplit) + 60 <= mPicTreRect.width)
        moveSplitter(gTreeSplit);
    mScrTre->setMin(1);
    mScrTre->setMax(1);
}

void frmTree::Form_Activate()
{
    gTreeWinVisible = -1;
}

void frmTree::Form_QueryUnload(bool &, int reason)
{
    gTreeSplit = mCmdSepRect.left;
    recordGeometry(reason, gTreeWinHeight, gTreeWinWidth, gTreeWinTop, gTreeWinLeft, gTreeWinVisible);
    // The link check window's rows, mending and 再検査 act through this tree: it goes too,
    // rather than stay behind doing nothing beside the one the next tree opens.
    if (mSiteCheck)
        mSiteCheck->Unload(vbFormCode);
}

void frmTree::Form_Resize()
{
    if (mbNoResize)
        return;
    if (Height() < 1000) {
        // The display area stays laid out for the size it last had.
        mbNoResize = true;
        setHeight(1000);
        mbNoResize = false;
        return;
    }
    using namespace formLayout;
    const SizeChange change = sizeChange(mlPrevWidth, mlPrevHeight, Width(), Height());
    mPicTreRect = follow(mPicTreRect, change, Follow::Stretch);
    mScrTreRect = follow(mScrTreRect, change, Follow::MoveRight);
    mCmdSepRect = follow(mCmdSepRect, change, Follow::BottomOnly);
    mlPrevWidth = Width();
    mlPrevHeight = Height();
    placeDisplayArea();
}

void frmTree::ScanPage(const QString &folder, const QString &fileName)
{
    addScannedPage(folder, fileName, [&] { return scanPageFile(folder + fileName); });
}

void frmTree::addScannedPage(const QString &folder, const QString &fileName, const std::function<PageScan()> &scanPage)
{
    const QString path = folder + fileName;
    PageScan scan;
    {
        const BusyPointer busy;
        scan = scanPage();
        PageRecord page;
        page.Title = scan.Title;
        page.FileName = fileName;
        page.Folder = folder;
        page.Links = scan.Links;
        page.Text = scan.Text;
        page.OrigText = scan.Text;   // shares the one buffer
        page.Encoding = scan.Encoding;

        auto *editor = new frmChild1();
        editor->setCaption(scan.Title);
        editor->setText(scan.Text);
        // An unreadable page must not pass for an empty one: saving its editor would wipe it.
        if (!scan.readOk)
            editor->markNotRead();
        editor->setFileHash(scan.FileHash);
        watchEditor(editor);
        addPage(std::move(page), editor);
    }
    const QString shownPath = QDir::toNativeSeparators(path);
    if (!path.isEmpty() && !pageFiles::systemCarriesName(path))
        ShowMessage(failureText(editorTexts::msgNameUnusable, shownPath, QString()));
    else if (scan.tooLargeSize >= 0)
        ShowMessage(treeTexts::pageTooLarge(scan.tooLargeSize, maxPageBytes) + QLatin1Char('\n') + shownPath);
    else if (scan.tooManyLines >= 0)
        ShowMessage(treeTexts::pageTooManyLines(scan.tooManyLines, maxPageLines) + QLatin1Char('\n') + shownPath);
    else if (!scan.unreadableEncoding.isEmpty())
        ShowMessage(treeTexts::pageUnreadableEncoding(scan.unreadableEncoding) + QLatin1Char('\n') + shownPath);
    else if (!scan.readOk && !path.isEmpty())
        ShowMessage(failureText(treeTexts::pageReadFailed, shownPath, scan.error));
}

void frmTree::watchEditor(frmChild1 *editor)
{
    // A page's unsaved changes are marked on its row; they change nothing the definition
    // records, so the definition's own mark stays as it is.
    connect(editor, &frmChild1::modifiedChanged, mPicTre, qOverload<>(&QWidget::update));
    connect(editor, &frmChild1::saved, this, [this, editor] { pageSaved(editor); });
}

void frmTree::showChangeMarks()
{
    setModifiedMark(definitionModified());
    mPicTre->update();
}

void frmTree::DrawTree(qint32 start)
{
    mTree.clear();
    mScrTre->setMax(qint32(pageCount()));
    mTree.draw(gPageTable, start, mCmdSepRect.left, mCmdSepRect.width);
    mPicTre->update();
}

void frmTree::clearTreeLabels()
{
    mTree.clear();
    mPicTre->update();
}

void frmTree::moveSplitter(qint32 left)
{
    mCmdSepRect.left = left;
    placeControl(mCmdSep, mCmdSepRect);
    mTree.align(left, mCmdSepRect.width);
    mPicTre->update();
}

void frmTree::cmdSep_MouseDown(int, int, qint32, qint32)
{
    mbSepDrag = true;
    mlSepStartLeft = mCmdSepRect.left;
}

void frmTree::cmdSep_MouseMove(int, int, qint32 x, qint32)
{
    if (!mbSepDrag)
        return;
    const qint32 pointer = mCmdSepRect.left + x;
    if (pointer < 0 || pointer + 60 > mPicTreRect.width) {
        // Out of range: the drag is cancelled and everything goes back to where it began.
        mbSepDrag = false;
        moveSplitter(mlSepStartLeft);
        return;
    }
    moveSplitter(pointer);
}

void frmTree::cmdSep_MouseUp(int, int, qint32 x, qint32)
{
    if (!mbSepDrag)
        return;
    moveSplitter(mCmdSepRect.left + x);
    mbSepDrag = false;
}

void frmTree::scrTre_Change()
{
    const qint32 v = mScrTre->Value();
    if (v != 0)
        DrawTree(v);
}

void frmTree::scrTre_Scroll() { }

void frmTree::lblHTML_Click(qint32 index)
{
    if (index < 1 || index >= gPageEditors.size())
        return;
    if (frmChild1 *editor = liveEditor(gPageEditors.at(index)))
        editor->showFocused();
}

bool frmTree::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mCmdSep) {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove || type == QEvent::MouseButtonRelease) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            const qint32 x = pixelsToTwipsX(qRound(mouse->position().x()));
            const qint32 y = pixelsToTwipsY(qRound(mouse->position().y()));
            const int shift = shiftCode(mouse->modifiers());
            if (type == QEvent::MouseButtonPress)
                cmdSep_MouseDown(buttonCode(mouse->button()), shift, x, y);
            else if (type == QEvent::MouseMove)
                cmdSep_MouseMove(buttonCode(mouse->buttons()), shift, x, y);
            else
                cmdSep_MouseUp(buttonCode(mouse->button()), shift, x, y);
        }
    }
    return KForm::eventFilter(watched, event);
}
