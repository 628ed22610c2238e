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
    // Every modal request may end with the window gone; it is checked before each use.
    const QPointer<frmTree> self(this);
    prepareDefinitionDialog(dlgProj, gCurDir);
    if (!dlgProj.ShowOpen() || !self)
        return;
    const QString path = dlgProj.FileName;
    if (path.trimmed().isEmpty())
        return;
    cmdCre_Click();
    if (!gfReadKSD(path) || !self)
        return;
    DrawTree(1);
    setCaption(gSite.Name);
}

void frmTree::cmdSav_Click()
{
    if (gSite.FilePath.isEmpty()) {
        cmdSAs_Click();
        return;
    }
    gfWriteKSD();
}

void frmTree::cmdSAs_Click()
{
    const QPointer<frmTree> self(this);
    if (gSite.FilePath.isEmpty()) {
        cmdPrp_Click();
        if (!self || !mFrmProp || !mFrmProp->pbOkFlg)
            return;
    }
    prepareDefinitionDialog(dlgProj, gCurDir);
    if (!dlgProj.ShowSave() || !self)
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
    const QPointer<frmTree> self(this);
    delete mFrmProp;
    mFrmProp = new frmProp(this);
    platform().execModal(*mFrmProp);
    if (self && mFrmProp && mFrmProp->pbOkFlg)
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
    const QPointer<frmTree> self(this);
    preparePageDialog(dlgTree, gSite.Folder);
    if (!dlgTree.ShowOpen() || !self || !pageNameUsable(dlgTree.folder(), dlgTree.FileTitle) || !self)
        return;
    ScanPage(dlgTree.folder(), dlgTree.FileTitle);
    if (self)
        DrawTree(1);
}

void frmTree::cmdHCr_Click()
{
    const QPointer<frmTree> self(this);
    const QString title = platform().inputBox(newPagePrompt, newPageBoxTitle);
    if (title.isEmpty() || !self)
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
    // Taking a page out of the definition is not there yet; the page list stays as it is.
    platform().messageBox(removePageMessage, appTitle, vbOKOnly);
}
