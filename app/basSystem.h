#pragma once
// The state all windows share: window layout values and visibility flags, the working
// folder and file history, the open site definition with its page tables, the tag table
// and the last active editor. Flags hold -1 for true and 0 for false; sizes and
// positions are in twips.

#include "common/TextCodec.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>

class frmChild1;

namespace basSystem {

struct SiteInfo {
    QString Version;
    QString Name;
    QString FilePath;
    QString Folder;
    QString URL;
};

struct PageRecord {
    QString Title;
    QString FileName;
    QString Folder;            // ends with the path separator; full path = Folder + FileName
    QStringList Links;         // index 0 holds nothing; links stand at 1 to the upper bound
    QString Text;
    QString OrigText;
    qint32 TreeTop = 0;
    // The code page the page was read in, so that saving writes it back the same way.
    TextEncoding Encoding = TextEncoding::Cp932;
};

struct TagRecord {
    QString ButtonCaption;
    QString TagText;
    QStringList Extra;         // one element, index 0: the rest of the line
};

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

extern QString gCurDir;
extern std::array<QString, 11> gHistory;   // 1 to 10 are used

// The editor activated last; reads as none once that editor is discarded.
extern QPointer<frmChild1> gActiveEditor;

extern SiteInfo gSite;
extern QList<TagRecord> gTagTable;
extern QList<PageRecord> gPageTable;                 // index 0 is a placeholder
extern QList<QPointer<frmChild1>> gPageEditors;      // same upper bound as gPageTable

// The upper bound of the page tables: the number of pages.
inline qsizetype pageCount()
{
    return gPageTable.size() - 1;
}

// Cuts both page tables back to their single placeholder slot.
void resetPageTables();

// The live editor of `editor`, or nullptr when it has been discarded.
frmChild1 *liveEditor(const QPointer<frmChild1> &editor);

} // namespace basSystem
