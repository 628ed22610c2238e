// The site tree's commands: on the definition as a whole (new, open, save, save as,
// properties, close the application) and on its pages (create, add, remove).

#include "app/basSystem.h"
#include "common/TextHelpers.h"
#include "editor/PageFiles.h"
#include "editor/frmChild1.h"
#include "platform/Platform.h"
#include "site/SiteCommands.h"
#include "site/frmProp.h"
#include "tree/VScrollBar.h"
#include "tree/frmTree.h"
#include "platform/Messages.h"

#include <QFileInfo>

#include <algorithm>

using namespace basSystem;
using namespace siteCommands;

namespace {
// The definition dialog for open and save as: cancel reported, the definition filter and
// extension, and the working folder as its start while no file was chosen yet (after that
// the dialog opens at the file chosen last).
void prepareDefinitionDialog(FileDialog &dlgProj, const QString &curDir)
{
    dlgProj.CancelError = true;
    if (dlgProj.FileName.isEmpty())
        dlgProj.InitDir = curDir;
    dlgProj.DefaultExt = definitionExt;
    dlgProj.Filter = definitionFilter;
}

// The page dialog: the page filters with the first selected, and the site folder as its
// start while it has none (it keeps the first one it got until it is reset).
void preparePageDialog(FileDialog &dlgTree, const QString &siteFolder)
{
    dlgTree.CancelError = true;
    dlgTree.Filter = pageFiles::pageFilter;
    dlgTree.FilterIndex = 1;
    if (dlgTree.InitDir.isEmpty())
        dlgTree.InitDir = siteFolder;
}

// Forgets the page dialog's start folder and last file, so that it starts in the site
// folder again.
void resetPageDialog(FileDialog &dlgTree)
{
    dlgTree.InitDir.clear();
    dlgTree.FileName.clear();
}
} // namespace

void frmTree::cmdCre_Click()
{
    // Without a site name there is nothing to start anew: pages added to an unnamed
    // definition stay, and so does everything else.
    if (gSite.Name.isEmpty())
        return;
    unloadPageEditors();
    clearTreeLabels();
    // No redraw from the tables that are about to go.
    scrTre()->resetQuietly(1, 1, 1);
    gSite = SiteInfo{};
    resetPageTables();
    resetPageDialog(dlgTree);
    setCaption(newDefinitionCaption);
}

void frmTree::unloadPageEditors()
{
    // Editors that are already gone are passed over; unsaved text is dropped without a question.
    for (qsizetype i = 1; i < gPageEditors.size(); ++i)
        if (frmChild1 *editor = liveEditor(gPageEditors.at(i)))
            editor->Unload(vbFormCode);
}

void frmTree::cmdOpe_Click()
{
    prepareDefinitionDialog(dlgProj, gCurDir);
    if (!dlgProj.ShowOpen())
        return;
    const QString path = dlgProj.FileName;
    if (path.trimmed().isEmpty())
        return;
    openDefinition(path);
}

bool frmTree::openDefinition(const QString &path)
{
    cmdCre_Click();
    if (!gfReadKSD(path))
        return false;
    DrawTree(1);
    setCaption(gSite.Name);
    rememberDefinition(QFileInfo(path).absoluteFilePath());
    return true;
}

void frmTree::showSite()
{
    if (pageCount() > 0)
        DrawTree(1);
    if (!gSite.Name.isEmpty())
        setCaption(gSite.Name);
}

void frmTree::cmdSav_Click()
{
    if (gSite.FilePath.isEmpty()) {
        cmdSAs_Click();
        return;
    }
    if (gfWriteKSD())
        rememberDefinition(QFileInfo(gSite.FilePath).absoluteFilePath());
}

void frmTree::cmdSAs_Click()
{
    if (gSite.FilePath.isEmpty()) {
        cmdPrp_Click();
        if (!mFrmProp || !mFrmProp->pbOkFlg)
            return;
    }
    prepareDefinitionDialog(dlgProj, gCurDir);
    if (!dlgProj.ShowSave())
        return;
    if (dlgProj.FileName.trimmed().isEmpty())
        return;
    // The path is set before saving, so that the save writes instead of asking again.
    gSite.FilePath = definitionPath(dlgProj.FileName);
    cmdSav_Click();
}

void frmTree::cmdPrp_Click()
{
    // A fresh dialog each time, filled from the current site record; the last one stays
    // (hidden) so that its outcome can be read after it closed.
    delete mFrmProp;
    mFrmProp = new frmProp(this);
    platform().execModal(*mFrmProp);
    if (mFrmProp && mFrmProp->pbOkFlg)
        setCaption(gSite.Name);
}

frmProp *frmTree::propertiesDialog() const
{
    return mFrmProp;
}

void frmTree::cmdClo_Click()
{
    emit quitRequested();
}

void frmTree::cmdHAd_Click()
{
    preparePageDialog(dlgTree, gSite.Folder);
    if (!dlgTree.ShowOpen())
        return;
    ScanPage(dlgTree.folder(), dlgTree.FileTitle);
    DrawTree(1);
}

void frmTree::cmdHCr_Click()
{
    const QString title = platform().inputBox(newPagePrompt, newPageBoxTitle);
    if (title.isEmpty())
        return;
    PageRecord page;
    page.Title = title;
    page.Links = QStringList{QString()};

    auto *editor = new frmChild1();
    editor->setCaption(title);
    editor->setText(pageSkeleton(title));
    addPage(std::move(page), editor);
    editor->Show();
    DrawTree(1);
}

void frmTree::cmdDel_Click()
{
    const qint32 id = pageToRemove();
    if (id < 1)
        return;
    if (platform().messageBox(removePagePrompt(gPageTable.at(id).Title), appTitle, vbYesNo) != vbYes)
        return;
    removePageAt(id);
}

// The page of the active editor; with none, the user is told how to choose one.
qint32 frmTree::pageToRemove() const
{
    const frmChild1 *editor = liveEditor(gActiveEditor);
    if (!editor || editor->plId < 1 || editor->plId > pageCount()) {
        ShowMessage(pickPageToRemove);
        return 0;
    }
    return editor->plId;
}

// Takes page `id` and its editor out of the definition; the files stay, and the
// definition file changes only when it is saved.
void frmTree::removePageAt(qint32 id)
{
    if (frmChild1 *editor = removePage(id).data())
        editor->Unload(vbFormCode);
    if (pageCount() == 0) {
        clearTreeLabels();
        scrTre()->resetQuietly(1, 1, 1);
        return;
    }
    DrawTree(std::clamp(scrTre()->Value(), 1, qint32(pageCount())));
}
