// The site tree's offer to restore unsaved text that a crash, a kill or the end of the
// session left in the recovery folder.

#include "app/basSystem.h"
#include "site/SiteTexts.h"
#include "editor/RecoveryFolder.h"
#include "editor/frmChild1.h"
#include "platform/Messages.h"
#include "platform/Platform.h"
#include "site/SiteCommands.h"
#include "tree/frmTree.h"

#include <QFile>

using namespace basSystem;

namespace {
// The page of the open definition whose file is `path`; 0 for none.
qint32 pageWithFile(const QString &path)
{
    for (qint32 i = 1; i <= qint32(pageCount()); ++i) {
        const PageRecord &page = gPageTable.at(i);
        if (!page.FileName.isEmpty() && page.Folder + page.FileName == path)
            return i;
    }
    return 0;
}

struct Match {
    recoveryFolder::Found found;
    qint32 page = 0;   // 0: a page that had no file, created anew
};
}   // namespace

void frmTree::offerRecovery()
{
    QList<Match> matches;
    QStringList names, changed;
    for (recoveryFolder::Found &found : recoveryFolder::findAll()) {
        const RecoveryCopy &copy = found.copy;
        if (copy.pagePath.isEmpty()) {
            if (copy.definitionPath.isEmpty() || copy.definitionPath != gSite.FilePath)
                continue;
            names << (copy.title.isEmpty() ? siteTexts::untitledPage : copy.title);
            matches.append({std::move(found), 0});
            continue;
        }
        const qint32 page = pageWithFile(copy.pagePath);
        const frmChild1 *editor = page ? liveEditor(gPageEditors.at(page)) : nullptr;
        if (!editor)
            continue;   // stays until the definition holding its page is opened
        const QString name = siteCommands::pageDisplayName(gPageTable.at(page));
        names << name;
        if (isStale(copy, editor->fileHash()))
            changed << name;
        matches.append({std::move(found), page});
    }
    if (matches.isEmpty())
        return;
    if (!platform().askYesNo(recoveryPrompt(names, changed), messageTitle)) {
        for (const Match &m : std::as_const(matches))
            QFile::remove(m.found.path);
        return;
    }
    for (const Match &m : std::as_const(matches)) {
        frmChild1 *editor = m.page ? liveEditor(gPageEditors.at(m.page)) : addNewPage(m.found.copy.title);
        if (editor)
            editor->restoreText(m.found.copy.text, m.found.path);
    }
}
