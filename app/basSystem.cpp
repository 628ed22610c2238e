#include "app/basSystem.h"
#include "editor/frmChild1.h"
#include "settings/FileHistory.h"

namespace basSystem {

qint32 gTagWinHeight = 0;
qint32 gTagWinWidth = 0;
qint32 gTagWinTop = 0;
qint32 gTagWinLeft = 0;
qint32 gTagWinVisible = 0;
qint32 gTreeWinHeight = 0;
qint32 gTreeWinWidth = 0;
qint32 gTreeWinTop = 0;
qint32 gTreeWinLeft = 0;
qint32 gTreeSplit = 0;
qint32 gTreeWinVisible = 0;

qint32 gFrameLeft = 0;
qint32 gFrameTop = 0;
qint32 gFrameWidth = 0;
qint32 gFrameHeight = 0;
qint32 gFrameMaximized = 0;
qint32 gEditorWrap = 0;

QString gCurDir;
std::array<QString, 11> gHistory;

void rememberDefinition(const QString &path)
{
    fileHistory::store(gHistory, fileHistory::remember(fileHistory::entries(gHistory), path));
}

void forgetDefinition(const QString &path)
{
    fileHistory::store(gHistory, fileHistory::forget(fileHistory::entries(gHistory), path));
}

QPointer<frmChild1> gActiveEditor;

SiteInfo gSite;
QList<TagRecord> gTagTable{TagRecord{}};
QList<PageRecord> gPageTable{PageRecord{}};
QList<QPointer<frmChild1>> gPageEditors{QPointer<frmChild1>()};

qint32 addPage(PageRecord page, frmChild1 *editor)
{
    gPageTable.append(std::move(page));
    gPageEditors.append(editor);
    const qint32 id = qint32(gPageTable.size() - 1);
    if (editor)
        editor->plId = id;
    return id;
}

QPointer<frmChild1> removePage(qint32 id)
{
    if (id < 1 || id > pageCount())
        return {};
    const QPointer<frmChild1> removed = gPageEditors.takeAt(id);
    gPageTable.removeAt(id);
    for (qsizetype i = id; i < gPageEditors.size(); ++i)
        if (frmChild1 *editor = gPageEditors.at(i).data())
            editor->plId = qint32(i);
    if (removed)
        removed->plId = 0;
    return removed;
}

void resetPageTables()
{
    gPageTable = QList<PageRecord>{PageRecord{}};
    gPageEditors = QList<QPointer<frmChild1>>{QPointer<frmChild1>()};
}

namespace {
siteCommands::DefinitionContent gSavedDefinition;
}

void markDefinitionSaved()
{
    gSavedDefinition = siteCommands::definitionContent(gSite, gPageTable);
}

bool definitionModified()
{
    return !siteCommands::recordsContent(gSavedDefinition, gSite, gPageTable);
}

bool pagePathAsSaved(qint32 id)
{
    return siteCommands::recordsPagePath(gSavedDefinition, gPageTable, id);
}

frmChild1 *liveEditor(const QPointer<frmChild1> &editor)
{
    frmChild1 *e = editor.data();
    return (e && !e->isUnloaded()) ? e : nullptr;
}

}   // namespace basSystem
