// Renaming and moving a file of the site with every reference to it kept: the file moves
// on disk, the definition's entries and the editors' links change in memory as unsaved,
// undoable changes, style sheets (which have no editor) are written anew. Either all of it
// happens or, when a step on disk fails, none of it; the last rename can be taken back.

#include "app/basSystem.h"
#include "common/FileMove.h"
#include "common/TextFile.h"
#include "common/TextHelpers.h"
#include "editor/RecoveryCopier.h"
#include "editor/frmChild1.h"
#include "platform/Messages.h"
#include "platform/Platform.h"
#include "site/SiteCommands.h"
#include "tree/TreeTexts.h"
#include "tree/VScrollBar.h"
#include "tree/frmRename.h"
#include "tree/frmTree.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPromise>
#include <QThreadPool>

#include <algorithm>
#include <functional>

using namespace basSystem;
using renamePlan::FileChanges;
using renamePlan::Plan;

// What the last rename changed, so that it can be taken back.
struct frmTree::RenameRecord {
    quint64 id = 0;
    QString from;
    QString to;
    QStringList madeFolders;
    struct Entry {
        QPointer<frmChild1> editor;
        QString folder;
        QString fileName;
    };
    QList<Entry> entries;   // the moved pages, by their editors, with their entries before
    QList<QPointer<frmChild1>> edited;
    struct Written {
        QString path;   // where it stands after the move
        QByteArray before;
        QByteArray after;
    };
    QList<Written> written;   // files without an editor, written anew
    bool savedSince = false;
};

// Steps done on disk, each with the step that takes it back, for when a later one fails.
class frmTree::StepsDone
{
public:
    void add(std::function<void()> back) { mBack.prepend(std::move(back)); }
    void takeBack()
    {
        for (const auto &back : std::exchange(mBack, {}))
            back();
    }

private:
    QList<std::function<void()>> mBack;
};

namespace {
quint64 gRenames = 0;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString movePaths(const QString &from, const QString &to)
{
    return shown(from) + QStringLiteral(" → ") + shown(to);
}

// The bytes of a file without an editor with its changes made, in its own code page.
std::optional<QByteArray> changedBytes(const FileChanges &file)
{
    const QString text = renamePlan::changedText(file);
    if (file.path.endsWith(u".css", Qt::CaseInsensitive))
        return encodeStrict(text, file.encoding);
    return encodeWithReferences(text, file.encoding);
}

frmChild1 *editorAt(qint32 page)
{
    return page >= 1 && page < gPageEditors.size() ? liveEditor(gPageEditors.at(page)) : nullptr;
}

// The page of `editor` in the table now, or 0.
qint32 pageOf(const frmChild1 *editor)
{
    return editor && editor->plId >= 1 && editor->plId <= pageCount() ? editor->plId : 0;
}
}   // namespace

void frmTree::cmdRen_Click()
{
    const frmChild1 *editor = liveEditor(gActiveEditor);
    if (!pageOf(editor)) {
        ShowMessage(treeTexts::pickPageToRename);
        return;
    }
    renamePage(editor->plId);
}

void frmTree::renamePage(qint32 page)
{
    if (page < 1 || page > pageCount())
        return;
    const QString path = linkCheck::pagePath(gPageTable.at(page));
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        ShowMessage(treeTexts::pageNotOnDisk);
        return;
    }
    openRenameDialog(path, true);
}

void frmTree::cmdMov_Click()
{
    dlgMove.DialogTitle = treeTexts::chooseFileToMove;
    dlgMove.Filter = treeTexts::changeLinkFilter;
    dlgMove.FilterIndex = 1;
    if (dlgMove.InitDir.isEmpty())
        dlgMove.InitDir = gSite.Folder;
    const QPointer<frmTree> self(this);
    if (!dlgMove.ShowOpen() || !self)
        return;
    moveFileAt(linkCheck::cleanFilePath(dlgMove.FileName));
}

void frmTree::moveFileAt(const QString &path)
{
    if (const qint32 page = linkCheck::pageAtPath(gPageTable, path))
        renamePage(page);
    else
        openRenameDialog(path, false);
}

// The pages as their editors hold them now, for the list worked out off the window's thread.
QList<renamePlan::PageText> frmTree::pageTexts() const
{
    QList<renamePlan::PageText> pages;
    pages.reserve(pageCount());
    for (qint32 i = 1; i <= pageCount(); ++i) {
        const PageRecord &record = gPageTable.at(i);
        const frmChild1 *editor = editorAt(i);
        // A page without an editor is its file's text, as no text box holds it yet.
        pages << renamePlan::PageText{record.Folder, record.FileName,
                                      editor ? editor->textSnapshot() : PageSnapshot{i, record.Text, true, {}}};
    }
    return pages;
}

void frmTree::openRenameDialog(const QString &path, bool isPage)
{
    frmRename::Subject subject{path, pageTexts(), gSite.Folder, {}, isPage};
    for (qint32 i = 1; i <= pageCount(); ++i)
        subject.pageNames.insert(i, siteCommands::pageDisplayName(gPageTable.at(i)));
    delete mRenameDialog;
    mRenameDialog = new frmRename(this, std::move(subject));
    const QPointer<frmTree> self(this);
    platform().execModal(*mRenameDialog);
    if (!self || !mRenameDialog)
        return;
    if (mRenameDialog->pbOkFlg && mRenameDialog->plan())
        applyRename(*mRenameDialog->plan());
    mRenameDialog->deleteLater();
}

frmRename *frmTree::renameDialog() const
{
    return mRenameDialog;
}

bool frmTree::applyRename(const Plan &plan)
{
    auto record = std::make_shared<RenameRecord>();
    record->id = ++gRenames;
    record->from = plan.from;
    record->to = plan.to;
    const fileMove::Outcome moved = fileMove::moveFile(plan.from, plan.to);
    if (!moved.moved) {
        ShowMessage(failureText(moved.targetExists ? treeTexts::moveTargetExists : treeTexts::moveFailed,
                                movePaths(plan.from, plan.to), moved.reason));
        return false;
    }
    record->madeFolders = moved.madeFolders;
    StepsDone done;
    done.add([plan, folders = moved.madeFolders] {
        fileMove::moveFile(plan.to, plan.from);
        fileMove::removeFolders(folders);
    });
    if (!writeFilesWithoutEditor(plan, *record, done)) {
        done.takeBack();
        return false;
    }
    changePagesInMemory(plan, *record);
    mLastRename = std::move(record);
    return true;
}

// Writes the changes of the files without an editor (style sheets, and the moved file when
// it is no page), each only while it still holds what the list was made from.
bool frmTree::writeFilesWithoutEditor(const Plan &plan, RenameRecord &record, StepsDone &done)
{
    for (const FileChanges &file : plan.files) {
        if (file.page > 0 || file.changes.isEmpty())
            continue;
        const QString path = file.moved ? plan.to : file.path;
        QString error;
        const std::optional<QByteArray> now = readFileBytes(path, &error);
        if (!now || *now != file.bytes) {
            ShowMessage(failureText(now ? treeTexts::moveFileChanged : treeTexts::moveWriteFailed, shown(path), error));
            return false;
        }
        const std::optional<QByteArray> bytes = changedBytes(file);
        if (!bytes || !writeFileAtomic(path, *bytes, &error)) {
            ShowMessage(
                failureText(treeTexts::moveWriteFailed, shown(path), bytes ? error : treeTexts::moveNameNotInCodePage));
            return false;
        }
        done.add([path, before = file.bytes] { writeFileAtomic(path, before); });
        record.written.append({path, file.bytes, *bytes});
    }
    return true;
}

// The definition's entries of the moved pages, and every page's links in its editor.
void frmTree::changePagesInMemory(const Plan &plan, RenameRecord &record)
{
    const QFileInfo to(plan.to);
    for (const qint32 page : plan.movedPages) {
        PageRecord &entry = gPageTable[page];
        record.entries.append({editorAt(page), entry.Folder, entry.FileName});
        entry.Folder = QDir::toNativeSeparators(to.path() + u'/');
        entry.FileName = to.fileName();
    }
    for (const FileChanges &file : plan.files) {
        frmChild1 *editor = file.page > 0 && !file.changes.isEmpty() ? editorAt(file.page) : nullptr;
        if (!editor)
            continue;
        editor->makeEdits(record.id, renamePlan::editsOf(file));
        record.edited << editor;
    }
    showRenamedSite(record);
}

// The tree, the change marks, the links and the moved pages' recovery copies after a
// rename or its undo.
void frmTree::showRenamedSite(const RenameRecord &record)
{
    DrawTree(std::clamp(scrTre()->Value(), 1, std::max(qint32(pageCount()), 1)));
    showChangeMarks();
    checkLinks();
    // A copy records the page's file: the moved pages' copies are made anew, off this thread.
    for (const RenameRecord::Entry &entry : record.entries)
        if (frmChild1 *editor = liveEditor(entry.editor); editor && editor->isModified() && editor->recoveryCopier())
            editor->recoveryCopier()->request();
}

bool frmTree::canUndoRename() const
{
    return mLastRename && !mLastRename->savedSince;
}

void frmTree::forgetRenameOnSave(const frmChild1 *editor)
{
    if (!mLastRename)
        return;
    const auto &edited = mLastRename->edited;
    const bool changed = std::any_of(edited.cbegin(), edited.cend(), [&](const auto &e) { return e == editor; })
        || std::any_of(mLastRename->entries.cbegin(), mLastRename->entries.cend(),
                       [&](const auto &e) { return e.editor == editor; });
    if (changed)
        mLastRename->savedSince = true;
}

void frmTree::forgetRename()
{
    mLastRename.reset();
}

// Why the last rename cannot be taken back now; empty when it can.
QString frmTree::undoProblem() const
{
    if (!mLastRename)
        return treeTexts::undoRenameGone;
    if (mLastRename->savedSince)
        return treeTexts::undoRenameSaved;
    for (const RenameRecord::Entry &entry : mLastRename->entries)
        if (!pageOf(liveEditor(entry.editor)))
            return treeTexts::undoRenameGone;
    for (const QPointer<frmChild1> &e : mLastRename->edited) {
        const frmChild1 *editor = liveEditor(e);
        if (!pageOf(editor))
            return treeTexts::undoRenameGone;
        if (!editor->canTakeBackEdits(mLastRename->id))
            return treeTexts::undoRenameEdited;
    }
    return QString();
}

void frmTree::cmdUndoRen_Click()
{
    if (const QString problem = undoProblem(); !problem.isEmpty()) {
        ShowMessage(problem);
        return;
    }
    RenameRecord &record = *mLastRename;
    StepsDone done;
    if (!undoOnDisk(record, done)) {
        done.takeBack();
        return;
    }
    for (const RenameRecord::Entry &entry : record.entries) {
        PageRecord &page = gPageTable[pageOf(liveEditor(entry.editor))];
        page.Folder = entry.folder;
        page.FileName = entry.fileName;
    }
    for (const QPointer<frmChild1> &editor : record.edited)
        liveEditor(editor)->takeBackEdits(record.id);
    const std::shared_ptr<RenameRecord> undone = std::move(mLastRename);
    showRenamedSite(*undone);
}

// The file moved back and the files without an editor written back, each only while it
// holds what the rename wrote.
bool frmTree::undoOnDisk(const RenameRecord &record, StepsDone &done)
{
    QString error;
    for (const RenameRecord::Written &file : record.written) {
        const std::optional<QByteArray> now = readFileBytes(file.path, &error);
        if (!now || *now != file.after) {
            ShowMessage(failureText(treeTexts::undoRenameFailed, shown(file.path),
                                    now ? treeTexts::changedSinceRename : error));
            return false;
        }
    }
    const fileMove::Outcome back = fileMove::moveFile(record.to, record.from);
    if (!back.moved) {
        ShowMessage(failureText(treeTexts::undoRenameFailed, movePaths(record.to, record.from), back.reason));
        return false;
    }
    done.add([record] { fileMove::moveFile(record.from, record.to); });
    for (const RenameRecord::Written &file : record.written) {
        const QString path = file.path == record.to ? record.from : file.path;
        if (!writeFileAtomic(path, file.before, &error)) {
            ShowMessage(failureText(treeTexts::undoRenameFailed, shown(path), error));
            return false;
        }
        done.add([path, after = file.after] { writeFileAtomic(path, after); });
    }
    fileMove::removeFolders(back.madeFolders + record.madeFolders);
    return true;
}

QMenu *frmTree::titleMenu(qint32 page)
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QPointer<frmTree> self(this);
    menu->addAction(treeTexts::renameTitleMenu, this, [self, page] {
        if (self)
            self->renamePage(page);
    });
    return menu;
}

// The references that lead to the file of page `page`, looked for off the window's thread
// on the pages as their editors hold them now; nothing for a page without a file on disk.
QFuture<std::optional<Plan>> frmTree::linksToPage(qint32 page) const
{
    auto promise = std::make_shared<QPromise<std::optional<Plan>>>();
    QFuture<std::optional<Plan>> future = promise->future();
    promise->start();
    const QString path = linkCheck::pagePath(gPageTable.at(page));
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        promise->finish();
        return future;
    }
    QThreadPool::globalInstance()->start([promise, pages = pageTexts(), site = gSite.Folder, path] {
        const auto cancelled = [&promise] { return promise->isCanceled(); };
        if (std::optional<Plan> plan = renamePlan::linksTo(pages, site, path, cancelled))
            promise->addResult(std::move(plan));
        promise->finish();
    });
    return future;
}

// Offers to move the file of page `page` to the desktop's trash, naming the links that
// `links` found will become broken. False when the user must be told the file stayed.
bool frmTree::offerTrash(qint32 page, QFuture<std::optional<Plan>> links)
{
    links.waitForFinished();
    const std::optional<Plan> found = links.resultCount() > 0 ? links.result() : std::nullopt;
    if (!found)
        return true;   // no file on disk
    const Plan &plan = *found;
    constexpr qsizetype shownLinks = 10;
    QStringList lines;
    for (const FileChanges &file : plan.files) {
        const QString name = file.page > 0 ? siteCommands::pageDisplayName(gPageTable.at(file.page)) : shown(file.path);
        for (const renamePlan::LinkChange &c : file.changes)
            if (lines.size() < shownLinks)
                lines << treeTexts::trashLink(name, c.line, c.before);
    }
    const QString path = linkCheck::pagePath(gPageTable.at(page));
    if (!platform().askYesNo(treeTexts::trashPrompt(shown(path), lines, plan.changeCount()), appTitle))
        return true;
    if (QString reason; !fileMove::moveToTrash(path, &reason)) {
        ShowMessage(failureText(treeTexts::trashFailed, shown(path), reason));
        return false;
    }
    return true;
}
