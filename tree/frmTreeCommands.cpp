// The site tree's commands: on the definition as a whole (new, open, save, save as,
// properties, close the application) and on its pages (create, add, remove).

#include "app/basSystem.h"
#include "common/TextHelpers.h"
#include "editor/PageFiles.h"
#include "editor/frmChild1.h"
#include "platform/Messages.h"
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
    if (dlgProj.FileName.isEmpty())
        dlgProj.InitDir = curDir;
    dlgProj.DefaultExt = definitionExt;
    dlgProj.Filter = definitionFilter;
}

// The page dialog: the page filters with the first selected, and the site folder as its
// start while it has none (it keeps the first one it got until it is reset).
void preparePageDialog(FileDialog &dlgTree, const QString &siteFolder)
{
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
    startNewDefinition();
}

bool frmTree::startNewDefinition()
{
    // Without a site name there is nothing to start anew: pages added to an unnamed
    // definition stay, and so does everything else.
    if (gSite.Name.isEmpty())
        return true;
    if (!settleUnsavedChanges())
        return false;
    unloadPageEditors();
    clearTreeLabels();
    // No redraw from the tables that are about to go.
    scrTre()->resetQuietly(1, 1, 1);
    gSite = SiteInfo{};
    resetPageTables();
    resetPageDialog(dlgTree);
    setCaption(newDefinitionCaption);
    markDefinitionSaved();
    showChangeMarks();
    return true;
}

bool frmTree::settleUnsavedChanges()
{
    QList<QPointer<frmChild1>> modified;
    QStringList names;
    for (qsizetype i = 1; i < gPageEditors.size(); ++i) {
        if (frmChild1 *editor = liveEditor(gPageEditors.at(i)); editor && editor->isModified()) {
            modified << editor;
            names << pageDisplayName(gPageTable.at(i));
        }
    }
    const bool definition = definitionModified();
    if (modified.isEmpty() && !definition)
        return true;
    const QString site = gSite.Name.isEmpty() ? newDefinitionCaption : gSite.Name;
    switch (platform().askToSave(unsavedChangesPrompt(names, definition ? site : QString()), messageTitle)) {
    case SaveChoice::Discard:
        return true;
    case SaveChoice::Cancel:
        return false;
    case SaveChoice::Save:
        break;
    }
    for (const QPointer<frmChild1> &editor : std::as_const(modified))
        if (!editor || !editor->save())
            return false;
    // Saving a page under a new name changes the definition too.
    return !definitionModified() || saveDefinition();
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
    if (!startNewDefinition())
        return;
    // Pages of an unnamed definition stay beside the ones read; those are not in the file.
    const bool onlyTheFile = pageCount() == 0;
    const bool read = gfReadKSD(path);
    if (onlyTheFile)
        markDefinitionSaved();
    showChangeMarks();
    if (!read)
        return;
    DrawTree(1);
    setCaption(gSite.Name);
    offerRecovery();
}

void frmTree::cmdSav_Click()
{
    saveDefinition();
}

void frmTree::cmdSAs_Click()
{
    saveDefinitionAs();
}

bool frmTree::saveDefinition()
{
    if (gSite.FilePath.isEmpty())
        return saveDefinitionAs();
    if (!gfWriteKSD())
        return false;
    markDefinitionSaved();
    showChangeMarks();
    return true;
}

bool frmTree::saveDefinitionAs()
{
    if (gSite.FilePath.isEmpty()) {
        cmdPrp_Click();
        if (!mFrmProp || !mFrmProp->pbOkFlg)
            return false;
    }
    prepareDefinitionDialog(dlgProj, gCurDir);
    if (!dlgProj.ShowSave())
        return false;
    if (dlgProj.FileName.trimmed().isEmpty())
        return false;
    // The path is set before saving, so that the save writes instead of asking again.
    gSite.FilePath = definitionPath(dlgProj.FileName);
    return saveDefinition();
}

void frmTree::cmdPrp_Click()
{
    // A fresh dialog each time, filled from the current site record; the last one stays
    // (hidden) so that its outcome can be read after it closed.
    delete mFrmProp;
    mFrmProp = new frmProp(this);
    platform().execModal(*mFrmProp);
    if (mFrmProp && mFrmProp->pbOkFlg) {
        setCaption(gSite.Name);
        showChangeMarks();
    }
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
    showChangeMarks();
}

void frmTree::cmdHCr_Click()
{
    const QString title = platform().inputBox(newPagePrompt, newPageBoxTitle);
    if (title.isEmpty())
        return;
    addNewPage(title);
}

frmChild1 *frmTree::addNewPage(const QString &title)
{
    PageRecord page;
    page.Title = title;
    page.Links = QStringList{QString()};

    auto *editor = new frmChild1();
    editor->setCaption(title);
    editor->setText(pageSkeleton(title));
    watchEditor(editor);
    addPage(std::move(page), editor);
    editor->Show();
    DrawTree(1);
    showChangeMarks();
    return editor;
}

void frmTree::cmdDel_Click()
{
    // Taking a page out of the definition is not there yet; the page list stays as it is.
    platform().messageBox(removePageMessage, appTitle, vbOKOnly);
}
