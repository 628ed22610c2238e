#pragma once
// What moving (or renaming) one file of a site changes, worked out before anything is
// done, so that the user sees every change first and the move either happens whole or not
// at all.
//
// Every reference of every page (as its editor holds it, unsaved changes included) and of
// every style sheet the pages reach that leads to the moved file is written anew to lead
// to its new place; the moved file's own relative references are written anew so that
// they lead, from its new folder, where they led before (a reference to the file itself
// follows it). References that were already broken (a missing file, or one whose name
// differs in letter case) are left as they are and listed. Each new value keeps the
// reference's own style (LinkMove.h).

#include "common/TextCodec.h"
#include "editor/SiteSearch.h"
#include "tree/PageReferences.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace renamePlan {

// A page of the definition as its editor holds it at one moment.
struct PageText {
    QString folder;   // as the definition records it
    QString fileName;
    PageSnapshot snapshot;   // its text, and the page's index in the page table
};

// The text in the text box's places, with the editor's pending edits made.
QString textBoxText(const PageText &page);

// One reference that changes, or that is listed as already broken (`after` empty).
struct LinkChange {
    pageRefs::Kind kind = pageRefs::Kind::Page;
    qint32 line = 0;        // 1 up
    qsizetype offset = 0;   // where the value stands: the text box's places for a page,
    qsizetype length = 0;   // the file's text for a style sheet or a file outside the definition
    QString before;
    QString after;
};

// The changes in one file: a page of the definition, or a style sheet (or the moved file
// itself when it is no page), which has no editor and is written on disk.
struct FileChanges {
    qint32 page = 0;      // 0 for a file without an editor
    QString path;         // the file, before the move
    bool moved = false;   // the moved file's own references
    QList<LinkChange> changes;
    QList<LinkChange> broken;
    // A file without an editor: its text as read (and what it was read from and in), to
    // be written with the changes made.
    QString text;
    QByteArray bytes;
    TextEncoding encoding = TextEncoding::Cp932;
};

struct Plan {
    QString from;   // the file moved, and where it goes (absolute, "/" separators)
    QString to;
    QList<qint32> movedPages;   // the pages of the definition whose file it is
    // The moved file's own references first (one entry per page of it), then the other
    // pages in page order, then the style sheets by path. Files without a change or a
    // broken reference are left out.
    QList<FileChanges> files;
    QString error;   // why the moved file itself could not be read; the plan is then empty

    qsizetype changeCount() const;
    qsizetype brokenCount() const;
};

// Works out moving the file at `from` to `to` (both absolute) in the site whose folder is
// `siteFolder` and whose pages are `pages`. Reads the disk (folder listings, style sheets,
// the moved file when it is no page) but changes nothing. `cancelled` is asked between
// files; a plan it stops is nothing.
std::optional<Plan> plan(const QList<PageText> &pages, const QString &siteFolder, const QString &from,
                         const QString &to, const std::function<bool()> &cancelled = {});

// The references that lead to the file at `path`, as a plan lists them (each change's
// `after` empty): what becomes broken when the file goes. The file's own are not read.
std::optional<Plan> linksTo(const QList<PageText> &pages, const QString &siteFolder, const QString &path,
                            const std::function<bool()> &cancelled = {});

// The text of a file without an editor with its changes made.
QString changedText(const FileChanges &file);
// The edits of a page's changes, in the text box's places.
QList<textEdits::Edit> editsOf(const FileChanges &file);

}   // namespace renamePlan
