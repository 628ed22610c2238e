#pragma once
// The state all windows share: window layout values and visibility flags, the working
// folder and file history, the open site definition with its page tables, the tag table
// and the last active editor. Flags hold -1 for true and 0 for false; sizes and
// positions are in twips.

#include "site/SiteCommands.h"
#include "site/SiteRecords.h"
#include "tags/TagRecord.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>

class frmChild1;

namespace basSystem {

extern qint32 gTagWinHeight;
extern qint32 gTagWinWidth;
extern qint32 gTagWinTop;
extern qint32 gTagWinLeft;
extern qint32 gTagWinVisible;
extern qint32 gTreeWinHeight;
extern qint32 gTreeWinWidth;
extern qint32 gTreeWinTop;
extern qint32 gTreeWinLeft;
extern qint32 gTreeSplit;
extern qint32 gTreeWinVisible;

// The frame's own place, size and maximised flag (-1 maximised, 0 not), in twips; a
// width of 0 means none was ever recorded, and the frame then opens over most of the screen.
extern qint32 gFrameLeft;
extern qint32 gFrameTop;
extern qint32 gFrameWidth;
extern qint32 gFrameHeight;
extern qint32 gFrameMaximized;

// Whether editors wrap long lines (-1) or scroll sideways (0): the choice made last in
// any editor, which editors take when first shown.
extern qint32 gEditorWrap;

extern QString gCurDir;
extern std::array<QString, 11> gHistory;   // 1 to 10 are used, the newest first

// Moves `path` to the front of the file history.
void rememberDefinition(const QString &path);
// Takes `path` out of the file history.
void forgetDefinition(const QString &path);

// The editor activated last; reads as none once that editor is discarded.
extern QPointer<frmChild1> gActiveEditor;

extern SiteInfo gSite;
extern QList<TagRecord> gTagTable;
extern QList<PageRecord> gPageTable;              // index 0 is a placeholder
extern QList<QPointer<frmChild1>> gPageEditors;   // same upper bound as gPageTable

// The upper bound of the page tables: the number of pages.
inline qsizetype pageCount()
{
    return gPageTable.size() - 1;
}

// The page tables change only through these three, so that page i and its editor stay
// at the same index and every editor's plId names its own page.

// Appends `page` with its editor (nullptr for none) and returns the page's index, which
// becomes the editor's plId.
qint32 addPage(PageRecord page, frmChild1 *editor);
// Takes page `id` and its editor out of the tables and renumbers the editors after it;
// returns the removed editor (still alive, for the caller to discard).
QPointer<frmChild1> removePage(qint32 id);
// Cuts both page tables back to their single placeholder slot.
void resetPageTables();

// Remembers the open definition's content as written in its file (after reading, writing
// or starting anew); the definition holds unsaved changes while its content differs.
void markDefinitionSaved();
bool definitionModified();
// Whether the definition as written records page `id` where it is now (a save as moves it).
bool pagePathAsSaved(qint32 id);

// The live editor of `editor`, or nullptr when it has been discarded.
frmChild1 *liveEditor(const QPointer<frmChild1> &editor);

}   // namespace basSystem
