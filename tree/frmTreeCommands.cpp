// The site tree's commands: on the definition as a whole (new, open, save, save as,
// properties, close the application) and on its pages (create, add, remove).

#include "app/basSystem.h"
#include "common/TextHelpers.h"
#include "editor/EditorTexts.h"
#include "editor/PageFiles.h"
#include "editor/frmChild1.h"
#include "platform/Messages.h"
#include "platform/Platform.h"
#include "site/SiteCommands.h"
#include "site/SiteTexts.h"
#include "site/frmProp.h"
#include "tree/RenamePlan.h"
#include "tree/VScrollBar.h"
#include "tree/frmTree.h"
#include "platform/Messages.h"

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <algorithm>

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
    dlgProj.Filter = siteTexts::definitionFilter;
}

// The page dialog: the page filters with the first selected, and the site folder as its
// start while it has none (it keeps the first one it got until it is reset).
void preparePageDialog(FileDialog &dlgTree, const QString &siteFolder)
{
    dlgTree.Filter = editorTexts::pageFilter;
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
}   // namespace

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
    forgetRename();
    unloadPageEditors();
    clearTreeLabels();
    // No redraw from the tables that are about to go.
    scrTre()->resetQuietly(1, 1, 1);
    gSite = SiteInfo{};
    resetPageTables();
    resetPageDialog(dlgTree);
    setCaption(siteTexts::newDefinitionCaption);
    markDefinitionSaved();
    showChangeMarks();
    checkLinks();
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
    const QString site = gSite.Name.isEmpty() ? siteTexts::newDefinitionCaption : gSite.Name;
    switch (platform().askToSave(unsavedChangesPrompt(names, definition ? site : QString()), messageTitle)) {
    case SaveChoice::Discard: return true;
    case SaveChoice::Cancel: return false;
    case SaveChoice::Save: break;
    }
    for (const QPointer<frmChild1> &editor : std::as_const(modified))
        if (!editor || !editor->save())
            return false;
    // Saving a page under a new name changes the definition too. The user goes on at
    // once: a written definition is not reported, a failure is.
    const QPointer<frmTree> self(this);
    mbQuietSuccess = true;
    const bool saved = !definitionModified() || saveDefinition();
    if (self)
        mbQuietSuccess = false;
    return saved;
}

void frmTree::unloadPageEditors()
{
    // Editors that are already gone are passed over; unsaved text was settled before.
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
    openDefinition(path);
}

bool frmTree::openDefinition(const QString &path)
{
    const QPointer<frmTree> self(this);
    if (!startNewDefinition() || !self)
        return false;
    // Pages of an unnamed definition stay beside the ones read; those are not in the file.
    const bool onlyTheFile = pageCount() == 0;
    const bool read = gfReadKSD(path);
    if (!self)
        return false;
    if (onlyTheFile)
        markDefinitionSaved();
    showChangeMarks();
    if (!read)
        return false;
    DrawTree(1);
    checkLinks();
    setCaption(gSite.Name);
    rememberDefinition(QFileInfo(path).absoluteFilePath());
    offerRecovery();
    return true;
}

void frmTree::showSite()
{
    for (const QPointer<frmChild1> &slot : std::as_const(gPageEditors))
        if (frmChild1 *editor = liveEditor(slot))
            watchEditor(editor);
    if (pageCount() > 0)
        DrawTree(1);
    checkLinks();
    if (!gSite.Name.isEmpty())
        setCaption(gSite.Name);
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
    const QPointer<frmTree> self(this);
    if (!gfWriteKSD() || !self)
        return false;
    mLinkCheck->fileWritten(gSite.FilePath);   // a page may link to it
    rememberDefinition(QFileInfo(gSite.FilePath).absoluteFilePath());
    markDefinitionSaved();
    showChangeMarks();
    return true;
}

bool frmTree::saveDefinitionAs()
{
    const QPointer<frmTree> self(this);
    if (gSite.FilePath.isEmpty()) {
        cmdPrp_Click();
        if (!self || !mFrmProp || !mFrmProp->pbOkFlg)
            return false;
    }
    prepareDefinitionDialog(dlgProj, gCurDir);
    if (!dlgProj.ShowSave() || !self)
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
    const QPointer<frmTree> self(this);
    delete mFrmProp;
    mFrmProp = new frmProp(this);
    platform().execModal(*mFrmProp);
    if (self && mFrmProp && mFrmProp->pbOkFlg) {
        setCaption(gSite.Name);
        showChangeMarks();
        checkLinks();   // the site's folder may have moved
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
    const QPointer<frmTree> self(this);
    preparePageDialog(dlgTree, gSite.Folder);
    if (!dlgTree.ShowOpen() || !self)
        return;
    addExistingPage(dlgTree.folder(), dlgTree.FileTitle);
}

// Adds the file `folder` + `fileName` as a page, when its name can go into the definition;
// false when it did not (or the tree went away meanwhile).
bool frmTree::addExistingPage(const QString &folder, const QString &fileName)
{
    const QPointer<frmTree> self(this);
    if (!pageNameUsable(folder, fileName) || !self)
        return false;
    ScanPage(folder, fileName);
    if (!self)
        return false;
    showPagesAdded();
    return true;
}

// The tree from its first page, the change marks and the new page's links, after a page
// came in.
void frmTree::showPagesAdded()
{
    DrawTree(1);
    showChangeMarks();
    mLinkCheck->pageAdded();
}

void frmTree::cmdHCr_Click()
{
    const QPointer<frmTree> self(this);
    const QString title = platform().inputBox(siteTexts::newPagePrompt, siteTexts::newPageBoxTitle);
    if (title.isEmpty() || !self)
        return;
    addNewPage(title);
}

frmChild1 *frmTree::addNewPage(const QString &title)
{
    return addNewPage(title, QString(), QString());
}

frmChild1 *frmTree::addNewPage(const QString &title, const QString &folder, const QString &fileName)
{
    PageRecord page;
    page.Title = title;
    page.Folder = folder;
    page.FileName = fileName;
    page.Links = QStringList{QString()};

    auto *editor = new frmChild1();
    editor->setCaption(title);
    editor->setText(pageSkeleton(title));
    // A page meant for a file that is not there yet holds its text as unsaved.
    if (!fileName.isEmpty())
        editor->txtEdit()->document()->setModified(true);
    watchEditor(editor);
    addPage(std::move(page), editor);
    editor->Show();
    showPagesAdded();
    return editor;
}

void frmTree::cmdDel_Click()
{
    const qint32 id = pageToRemove();
    if (id < 1)
        return;
    // The links the file's removal would break are looked for while the question is read.
    QFuture<std::optional<renamePlan::Plan>> links = linksToPage(id);
    const QPointer<frmTree> self(this);
    const qint32 confirmed = confirmRemoval(id);
    if (!self)
        return;
    if (confirmed < 1) {
        links.cancel();
        return;
    }
    if (offerTrash(confirmed, links))
        removePageAt(confirmed);
}

// Asks before page `id` leaves the definition. Unsaved text of its editor is named, as the
// quit question names it, and can be saved first. The page to remove then (the page
// tables may change while a question is open), 0 for none.
qint32 frmTree::confirmRemoval(qint32 id)
{
    const QPointer<frmChild1> editor = liveEditor(gPageEditors.at(id));
    const bool hadEditor = editor;
    const PageRecord &page = gPageTable.at(id);
    if (!editor || !editor->isModified()) {
        if (platform().messageBox(siteTexts::removePagePrompt(page.Title), appTitle, vbYesNo | vbDefaultButton2)
            != vbYes)
            return 0;
    } else {
        const QString prompt
            = siteTexts::removingPage(page.Title) + unsavedChangesPrompt({pageDisplayName(page)}, QString());
        const SaveChoice choice = platform().askToSave(prompt, messageTitle);
        if (choice == SaveChoice::Cancel || (choice == SaveChoice::Save && (!editor || !editor->save())))
            return 0;
    }
    return editor ? editor->plId : hadEditor ? 0 : id;
}

// The page of the active editor; with none, the user is told how to choose one.
qint32 frmTree::pageToRemove() const
{
    const frmChild1 *editor = liveEditor(gActiveEditor);
    if (!editor || editor->plId < 1 || editor->plId > pageCount()) {
        ShowMessage(siteTexts::pickPageToRemove);
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
    } else {
        DrawTree(std::clamp(scrTre()->Value(), 1, qint32(pageCount())));
    }
    showChangeMarks();
    mLinkCheck->pageRemoved(id);
}
