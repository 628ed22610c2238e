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

#include <QDir>

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
        mSiteCheck->setReport(linkCheck::siteReport(gPageTable, *links, gSite.Folder), gPageTable);
    else
        mSiteCheck->showChecking();
}

void frmTree::lblLink_Click(qint32 page, qint32 link)
{
    linkCheck::FolderCache cache;
    const linkCheck::Lookup found = linkCheck::lookUpLink(gPageTable, page, link, gSite.Folder, cache);
    if (found.state != linkCheck::LinkState::Found)
        return;
    if (const qint32 target = linkCheck::pageAtPath(gPageTable, found.path)) {
        lblHTML_Click(target);
        return;
    }
    if (!linkCheck::opensAsPage(found.path))
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
// title may have changed too: the tree's row and the editor's caption show the title of
// the saved text.
void frmTree::pageSaved(frmChild1 *editor)
{
    const qint32 id = editor->plId;
    if (id < 1 || id > pageCount())
        return;
    const QString text = editor->text();
    PageRecord &page = gPageTable[id];
    page.Links = scanLinks(text);
    if (QString title = scanTitle(text); title != page.Title) {
        page.Title = std::move(title);
        editor->setCaption(page.Title);
    }
    DrawTree(std::clamp(scrTre()->Value(), 1, qint32(pageCount())));
    mLinkCheck->pageSaved(id);
}

void frmTree::cmdChk_Click()
{
    if (!mSiteCheck) {
        const QPointer<frmTree> self(this);
        mSiteCheck = new frmSiteCheck(
            KForm::defaultArea(),
            [self](qint32 page) {
                if (self)
                    self->lblHTML_Click(page);
            },
            [self] {
                if (self)
                    self->checkLinks();
            });
    }
    mSiteCheck->Show();
    checkLinks();
}

frmSiteCheck *frmTree::siteCheckWindow() const
{
    return mSiteCheck;
}
