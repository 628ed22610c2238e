#include "app/basSystem.h"
#include "editor/frmChild1.h"

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

QString gCurDir;
std::array<QString, 11> gHistory;

QPointer<frmChild1> gActiveEditor;

SiteInfo gSite;
QList<TagRecord> gTagTable{TagRecord{}};
QList<PageRecord> gPageTable{PageRecord{}};
QList<QPointer<frmChild1>> gPageEditors{QPointer<frmChild1>()};

void resetPageTables()
{
    gPageTable = QList<PageRecord>{PageRecord{}};
    gPageEditors = QList<QPointer<frmChild1>>{QPointer<frmChild1>()};
}

frmChild1 *liveEditor(const QPointer<frmChild1> &editor)
{
    frmChild1 *e = editor.data();
    return (e && !e->isUnloaded()) ? e : nullptr;
}

} // namespace basSystem
