// The frame's menu bar: the site tree's definition and page commands, the active page's
// commands with their keys, the two tool windows, the editor windows and the version.

#include "app/AppTexts.h"
#include "app/EditCommands.h"
#include "app/basSystem.h"
#include "app/mdiMain.h"
#include "common/TextHelpers.h"
#include "editor/frmChild1.h"
#include "editor/frmSiteFind.h"
#include "platform/CommandKeys.h"
#include "platform/Messages.h"
#include "platform/Platform.h"
#include "settings/FileHistory.h"

#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenuBar>

using namespace basSystem;

namespace {
const QString licenceName = QStringLiteral("MIT License");

// A menu entry's text with its number as the keyboard accelerator, for the first nine.
QString numbered(int n, const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return n <= 9 ? QStringLiteral("&%1 ").arg(n) + escaped : escaped;
}

// `editor` when it still stands for its page and is shown; nullptr otherwise.
frmChild1 *shownEditor(const QPointer<frmChild1> &editor)
{
    frmChild1 *live = liveEditor(editor);
    return live && live->Visible() ? live : nullptr;
}
}   // namespace

QList<frmChild1 *> shownEditors()
{
    QList<frmChild1 *> editors;
    for (qsizetype i = 1; i < gPageEditors.size(); ++i)
        if (frmChild1 *editor = shownEditor(gPageEditors.at(i)))
            editors << editor;
    return editors;
}

frmChild1 *activeShownEditor()
{
    return shownEditor(gActiveEditor);
}

void mdiMain::createMenus()
{
    createFileMenu();
    createEditMenu();
    createPageMenu();
    createViewMenu();
    createWindowMenu();
    createHelpMenu();
}

QAction *mdiMain::addCommand(QMenu *menu, const QString &text, void (mdiMain::*handler)())
{
    QAction *action = menu->addAction(text);
    connect(action, &QAction::triggered, this, handler);
    return action;
}

// A command of the site tree, run by the tree's own handler; the tree is brought back
// first when it was closed.
QAction *mdiMain::addTreeCommand(QMenu *menu, const QString &text, void (frmTree::*handler)())
{
    QAction *action = menu->addAction(text);
    connect(action, &QAction::triggered, this, [this, handler] { (treeForCommand()->*handler)(); });
    return action;
}

// The shown tree as it is (the active editor stays active), or the tree brought back.
frmTree *mdiMain::treeForCommand()
{
    if (mTree && !mTree->isUnloaded() && mTree->Visible())
        return mTree;
    return showTreeWindow();
}

// A command of the active page's editor, run by the editor's own handler.
QAction *mdiMain::addEditorCommand(QMenu *menu, const QString &text, CommandKey key, void (frmChild1::*handler)())
{
    QAction *action = menu->addAction(text);
    action->setShortcuts(commandKeys(key));
    connect(action, &QAction::triggered, this, [handler] {
        if (frmChild1 *editor = activeShownEditor())
            (editor->*handler)();
    });
    return action;
}

void mdiMain::createFileMenu()
{
    QMenu *menu = menuBar()->addMenu(appTexts::fileMenu);
    addTreeCommand(menu, appTexts::newDefinition, &frmTree::cmdCre_Click);
    addTreeCommand(menu, appTexts::openDefinition, &frmTree::cmdOpe_Click)
        ->setShortcuts(commandKeys(CommandKey::OpenSite));
    addTreeCommand(menu, appTexts::saveDefinition, &frmTree::cmdSav_Click);
    addTreeCommand(menu, appTexts::saveDefinitionAs, &frmTree::cmdSAs_Click);
    addTreeCommand(menu, appTexts::siteProperties, &frmTree::cmdPrp_Click);
    addTreeCommand(menu, appTexts::siteCheckCommand, &frmTree::cmdChk_Click)
        ->setShortcuts(commandKeys(CommandKey::SiteCheck));
    menu->addSeparator();
    mRecentMenu = menu->addMenu(appTexts::recentSites);
    connect(mRecentMenu, &QMenu::aboutToShow, this, &mdiMain::fillRecentMenu);
    fillRecentMenu();
    menu->addSeparator();
    addCommand(menu, appTexts::quit, &mdiMain::quit)->setShortcuts(commandKeys(CommandKey::Quit));
}

void mdiMain::createEditMenu()
{
    QMenu *menu = menuBar()->addMenu(appTexts::editMenu);
    new EditCommands(menu, mArea);
    menu->addSeparator();
    addEditorCommand(menu, appTexts::findCommand, CommandKey::Find, &frmChild1::showFind);
    addEditorCommand(menu, appTexts::replaceCommand, CommandKey::Replace, &frmChild1::showReplace);
    addEditorCommand(menu, appTexts::findNextCommand, CommandKey::FindNext, &frmChild1::findNext);
    addEditorCommand(menu, appTexts::findPreviousCommand, CommandKey::FindPrevious, &frmChild1::findPrevious);
    menu->addSeparator();
    addCommand(menu, appTexts::findInSiteCommand, &mdiMain::openSiteFind)
        ->setShortcuts(commandKeys(CommandKey::FindInSite));
}

frmSiteFind *mdiMain::showSiteFind()
{
    if (!mSiteFind || mSiteFind->isUnloaded())
        mSiteFind = new frmSiteFind(mArea);
    mSiteFind->Show();
    mSiteFind->SetFocus();
    mSiteFind->focusPattern();
    return mSiteFind;
}

void mdiMain::createPageMenu()
{
    QMenu *menu = menuBar()->addMenu(appTexts::pageMenu);
    addTreeCommand(menu, appTexts::newPage, &frmTree::cmdHCr_Click);
    addTreeCommand(menu, appTexts::addPage, &frmTree::cmdHAd_Click);
    addTreeCommand(menu, appTexts::removePage, &frmTree::cmdDel_Click);
    addTreeCommand(menu, appTexts::renamePage, &frmTree::cmdRen_Click);
    addTreeCommand(menu, appTexts::moveFile, &frmTree::cmdMov_Click);
    QAction *undo = addTreeCommand(menu, appTexts::undoRename, &frmTree::cmdUndoRen_Click);
    connect(menu, &QMenu::aboutToShow, this, [this, undo] { undo->setEnabled(mTree && mTree->canUndoRename()); });
    menu->addSeparator();
    addEditorCommand(menu, appTexts::savePage, CommandKey::SavePage, &frmChild1::cmdSav_Click);
    addEditorCommand(menu, appTexts::savePageAs, CommandKey::SavePageAs, &frmChild1::cmdSAs_Click);
    addEditorCommand(menu, appTexts::previewPage, CommandKey::Preview, &frmChild1::cmdBrz_Click);
    addCommand(menu, appTexts::livePreview, &mdiMain::startLivePreview)
        ->setShortcuts(commandKeys(CommandKey::LivePreview));
    mStopLive = addCommand(menu, appTexts::stopLivePreview, &mdiMain::stopLivePreview);
    mStopLive->setEnabled(false);
    addEditorCommand(menu, appTexts::closePage, CommandKey::ClosePage, &frmChild1::cmdClo_Click);
}

void mdiMain::createViewMenu()
{
    QMenu *menu = menuBar()->addMenu(appTexts::viewMenu);
    mTreeShown = menu->addAction(appTexts::siteTree);
    mTagShown = menu->addAction(appTexts::tagList);
    mTreeShown->setCheckable(true);
    mTagShown->setCheckable(true);
    connect(mTreeShown, &QAction::triggered, this, &mdiMain::setTreeShown);
    connect(mTagShown, &QAction::triggered, this, &mdiMain::setTagShown);
    // The keys that put the focus into a tool window, showing it first when it was closed.
    addCommand(menu, appTexts::focusTree, &mdiMain::focusTreeWindow)->setShortcuts(commandKeys(CommandKey::FocusTree));
    addCommand(menu, appTexts::focusTags, &mdiMain::focusTagWindow)->setShortcuts(commandKeys(CommandKey::FocusTags));
    menu->addSeparator();
    mWordWrap = menu->addAction(appTexts::wordWrapCommand);
    mWordWrap->setCheckable(true);
    mWordWrap->setShortcuts(commandKeys(CommandKey::WordWrap));
    connect(mWordWrap, &QAction::triggered, this, &mdiMain::toggleWordWrap);
    connect(menu, &QMenu::aboutToShow, this, &mdiMain::updateViewChecks);
}

void mdiMain::createWindowMenu()
{
    mWindowMenu = menuBar()->addMenu(appTexts::windowMenu);
    // Only the editors are arranged, beside the tool windows.
    connect(mWindowMenu->addAction(appTexts::cascade), &QAction::triggered, this,
            [this] { cascadeEditors(mArea, shownEditors()); });
    connect(mWindowMenu->addAction(appTexts::tile), &QAction::triggered, this,
            [this] { tileEditors(mArea, shownEditors()); });
    addCommand(mWindowMenu, appTexts::nextPage, &mdiMain::activateNextEditor)
        ->setShortcuts(commandKeys(CommandKey::NextWindow));
    addCommand(mWindowMenu, appTexts::previousPage, &mdiMain::activatePreviousEditor)
        ->setShortcuts(commandKeys(CommandKey::PreviousWindow));
    mWindowListStart = mWindowMenu->addSeparator();
    connect(mWindowMenu, &QMenu::aboutToShow, this, &mdiMain::fillWindowList);
}

void mdiMain::createHelpMenu()
{
    QMenu *menu = menuBar()->addMenu(appTexts::helpMenu);
    addCommand(menu, appTexts::about, &mdiMain::showAbout);
}

void mdiMain::fillRecentMenu()
{
    mRecentMenu->clear();
    const QStringList paths = fileHistory::entries(gHistory);
    int n = 0;
    for (const QString &path : paths)
        connect(mRecentMenu->addAction(numbered(++n, path)), &QAction::triggered, this,
                [this, path] { openDefinition(path); });
    if (paths.isEmpty())
        mRecentMenu->addAction(appTexts::noRecent)->setEnabled(false);
}

bool mdiMain::openDefinition(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        ShowMessage(appTexts::missingDefinition + path);
        forgetDefinition(path);
        return false;
    }
    return treeForCommand()->openDefinition(path);
}

// The window menu ends with one entry per shown editor, the active one checked.
void mdiMain::fillWindowList()
{
    const QList<QAction *> actions = mWindowMenu->actions();
    for (qsizetype i = actions.indexOf(mWindowListStart) + 1; i < actions.size(); ++i)
        delete actions.at(i);
    const frmChild1 *active = activeShownEditor();
    int n = 0;
    for (frmChild1 *editor : shownEditors()) {
        QAction *action = mWindowMenu->addAction(numbered(++n, editor->caption()));
        action->setCheckable(true);
        action->setChecked(editor == active);
        const QPointer<frmChild1> target(editor);
        connect(action, &QAction::triggered, this, [target] {
            if (target) {
                target->Show();
                target->SetFocus();
            }
        });
    }
}

void mdiMain::updateViewChecks()
{
    mTreeShown->setChecked(mTree && !mTree->isUnloaded() && mTree->Visible());
    mTagShown->setChecked(mTag && !mTag->isUnloaded() && mTag->Visible());
    const frmChild1 *editor = activeShownEditor();
    mWordWrap->setChecked(editor ? editor->wordWrap() : gEditorWrap != 0);
}

// Turns wrapping over in the active editor; the choice is remembered for editors shown
// later and for the next start.
void mdiMain::toggleWordWrap()
{
    frmChild1 *editor = activeShownEditor();
    if (editor) {
        editor->setWordWrap(!editor->wordWrap());
        gEditorWrap = editor->wordWrap() ? -1 : 0;
    }
    mWordWrap->setChecked(editor ? editor->wordWrap() : gEditorWrap != 0);
}

void mdiMain::setTreeShown(bool shown)
{
    if (shown)
        showTreeWindow();
    else if (mTree)
        mTree->Unload(vbFormCode);
}

void mdiMain::setTagShown(bool shown)
{
    if (shown)
        showTagWindow();
    else if (mTag)
        mTag->Unload(vbFormCode);
}

void mdiMain::focusTreeWindow()
{
    showTreeWindow()->focusFirstControl();
}

void mdiMain::focusTagWindow()
{
    showTagWindow()->focusFirstControl();
}

void mdiMain::activateNextEditor()
{
    stepEditor(1);
}

void mdiMain::activatePreviousEditor()
{
    stepEditor(-1);
}

// Activates the next shown editor in page order after the active one (`direction` 1) or
// before it (-1), going round at either end. The walk starts at the active editor's page,
// so that with every page shown the next one is found at once.
void mdiMain::stepEditor(int direction)
{
    const qsizetype count = gPageEditors.size() - 1;   // pages 1 to count
    if (count < 1)
        return;
    const int step = direction > 0 ? 1 : -1;
    const frmChild1 *active = activeShownEditor();
    qsizetype page = active && active->plId >= 1 && active->plId <= count ? active->plId : (step > 0 ? 0 : count + 1);
    for (qsizetype tried = 0; tried < count; ++tried) {
        page = ((page - 1 + step) % count + count) % count + 1;
        if (frmChild1 *editor = shownEditor(gPageEditors.at(page))) {
            editor->Show();
            editor->SetFocus();
            return;
        }
    }
}

void mdiMain::showAbout()
{
    const QString text = appTitle + QStringLiteral(" ") + appVersion + QStringLiteral("\n") + appTexts::aboutLine
        + QStringLiteral("\n") + appTexts::licence + licenceName + QStringLiteral("\n\n") + appTexts::filesFolder
        + QDir::toNativeSeparators(AppFilePath(QString()));
    platform().messageBox(text, appTexts::aboutTitle, vbOKOnly);
}
