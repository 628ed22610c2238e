// The site tree's links: the check of every link against the files on disk, a click on a
// link label, and the site check window.

#include "app/basSystem.h"
#include "editor/frmChild1.h"
#include "platform/Messages.h"
#include "platform/Platform.h"
#include "tree/PageScan.h"
#include "tree/TreeTexts.h"
#include "tree/TreeView.h"
#include "tree/VScrollBar.h"
#include "tree/frmSiteCheck.h"
#include "tree/frmTree.h"

#include <QCursor>
#include <QDir>
#include <QMenu>

#include <algorithm>

using namespace basSystem;

void frmTree::checkLinks()
{
    mLinkCheck->checkSite(gSite.Folder);
}

// The marks as they stand: none while a whole-site check runs.
void frmTree::showLinkCheck()
{
    mPicTre->update();
    if (!mSiteCheck)
        return;
    if (const linkCheck::SiteLinks *links = mLinkCheck->links())
        mSiteCheck->setReport(linkCheck::siteReport(gPageTable, *links, gSite.Folder), gPageTable, gSite.Folder);
    else
        mSiteCheck->showChecking();
}

void frmTree::lblLink_Click(qint32 page, qint32 link)
{
    if (const std::optional<linkCheck::ReportRow> broken = linkRow(page, link)) {
        mendMenu(*broken)->popup(QCursor::pos());
        return;
    }
    linkCheck::FolderCache cache;
    const linkCheck::Lookup found = linkCheck::lookUpLink(gPageTable, page, link, gSite.Folder, cache);
    // A page of the definition, saved or not yet.
    if (const qint32 target = linkCheck::pageAtPath(gPageTable, found.path)) {
        lblHTML_Click(target);
        return;
    }
    if (found.state != linkCheck::LinkState::Found || !linkCheck::opensAsPage(found.path))
        return;
    const QPointer<frmTree> self(this);
    if (platform().askYesNo(treeTexts::addLinkedPagePrompt(found.path), messageTitle) && self)
        addLinkedPage(found.path);
}

// Adds the file at `path` as the add-page command adds a chosen file, then shows it.
void frmTree::addLinkedPage(const QString &path)
{
    const QString fileName = path.mid(path.lastIndexOf(u'/') + 1);
    const QString folder = QDir::toNativeSeparators(path.left(path.size() - fileName.size()));
    if (addExistingPage(folder, fileName))
        lblHTML_Click(qint32(pageCount()));
}

// A saved page may link elsewhere now, and its file (under a new name, perhaps) may be the
// one other pages' links looked for: those links are checked again, and only those. Its
// title may have changed too: the tree's rows of that page and the editor's caption show
// the title of the saved text. Only the saved page is looked at: on a large site, going
// over every page at each save kept the window from the next key.
void frmTree::pageSaved(frmChild1 *editor)
{
    showSavedPageMarks(editor->plId);
    forgetRenameOnSave(editor);
    if (!takeSavedText(editor))
        return;
    mTree.redrawPage(gPageTable, editor->plId);
    mLinkCheck->pageSaved(editor->plId);
}

// A save changes the definition only when it gave the page another file (save as). While
// the definition holds no other change, that page's path alone tells whether it does now.
void frmTree::showSavedPageMarks(qint32 id)
{
    if (hasModifiedMark() || !pagePathAsSaved(id))
        showChangeMarks();
    else
        mPicTre->update();
}

bool frmTree::takeSavedText(frmChild1 *editor)
{
    const qint32 id = editor->plId;
    if (id < 1 || id > pageCount())
        return false;
    // The check reads the page's references from the text as saved.
    PageRecord &page = gPageTable[id];
    page.Text = editor->text();
    page.Links = scanLinks(page.Text);
    if (QString title = scanTitle(page.Text); title != page.Title) {
        page.Title = std::move(title);
        editor->setCaption(page.Title);
    }
    return true;
}

void frmTree::cmdChk_Click()
{
    if (!mSiteCheck) {
        const QPointer<frmTree> self(this);
        frmSiteCheck::Actions actions;
        actions.showRow = [self](const linkCheck::ReportRow &row) {
            if (self)
                self->showReportRow(row);
        };
        actions.mend = [self](const linkCheck::ReportRow &row, frmSiteCheck::Mend how) {
            if (!self)
                return;
            switch (how) {
            case frmSiteCheck::Mend::Create: self->createLinkedPage(row); break;
            case frmSiteCheck::Mend::Change: self->changeLinkTarget(row); break;
            case frmSiteCheck::Mend::FixCase: self->fixLinkCase(row); break;
            }
        };
        actions.moveFile = [self](const QString &path) {
            if (self)
                self->moveFileAt(path);
        };
        actions.recheck = [self] {
            if (self)
                self->checkLinks();
        };
        mSiteCheck = new frmSiteCheck(KForm::defaultArea(), std::move(actions));
    }
    mSiteCheck->Show();
    checkLinks();
}

frmSiteCheck *frmTree::siteCheckWindow() const
{
    return mSiteCheck;
}
