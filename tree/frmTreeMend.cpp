// Mending the site's broken references: a page created where a link looks for it, a
// reference pointed at another file, or written with the letter case of the file on
// disk. Editors' texts change as unsaved, undoable edits; nothing is written to disk.

#include "app/basSystem.h"
#include "common/TextFile.h"
#include "editor/frmChild1.h"
#include "platform/Messages.h"
#include "tree/LinkMend.h"
#include "tree/PageScan.h"
#include "tree/TreeTexts.h"
#include "tree/frmSiteCheck.h"
#include "tree/frmTree.h"

#include <QDir>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>

using namespace basSystem;
using linkCheck::ReportRow;

namespace {
frmChild1 *editorOf(const ReportRow &row)
{
    return row.page >= 1 && row.page < gPageEditors.size() ? gPageEditors.at(row.page) : nullptr;
}

// Where the row's reference stands in its editor's text, in the text box's places; -1
// when the text no longer holds it.
qsizetype placeInEditor(frmChild1 *editor, const ReportRow &row, QString *text = nullptr)
{
    const QString searched = editor->searchText();
    if (text)
        *text = searched;
    return linkMend::placeOfValue(searched, row.link, row.line);
}
}   // namespace

void frmTree::showReportRow(const ReportRow &row)
{
    frmChild1 *editor = editorOf(row);
    if (!editor)
        return;
    lblHTML_Click(row.page);
    if (const qsizetype place = placeInEditor(editor, row); place >= 0) {
        QTextCursor cursor(editor->txtEdit()->document());
        cursor.setPosition(int(place));
        cursor.setPosition(int(place + row.link.size()), QTextCursor::KeepAnchor);
        editor->txtEdit()->setTextCursor(cursor);
        editor->txtEdit()->ensureCursorVisible();
    }
}

void frmTree::createLinkedPage(const ReportRow &row)
{
    frmChild1 *linking = editorOf(row);
    const QString path = row.target;
    const QString fileName = path.mid(path.lastIndexOf(u'/') + 1);
    const QString folder = QDir::toNativeSeparators(path.left(path.size() - fileName.size()));
    if (!linking || fileName.isEmpty() || linkCheck::pageAtPath(gPageTable, path) || !pageNameUsable(folder, fileName))
        return;
    QString text;
    QString title;
    if (const qsizetype place = placeInEditor(linking, row, &text); place >= 0) {
        pageRefs::Reference ref;
        ref.offset = place;
        ref.length = row.link.size();
        title = pageRefs::linkTextAt(text, ref);
    }
    addNewPage(title.isEmpty() ? fileName : title, folder, fileName);
}

void frmTree::changeLinkTarget(const ReportRow &row)
{
    if (!editorOf(row))
        return;
    const QString pageFolder = gPageTable.at(row.page).Folder;
    dlgLink.DialogTitle = treeTexts::changeLinkTitle;
    dlgLink.Filter = treeTexts::changeLinkFilter;
    dlgLink.FilterIndex = 1;
    if (dlgLink.InitDir.isEmpty())
        dlgLink.InitDir = pageFolder;
    const QPointer<frmTree> self(this);
    if (!dlgLink.ShowOpen() || !self)
        return;
    rewriteReference(row, linkMend::linkTo(pageFolder, dlgLink.FileName));
}

void frmTree::fixLinkCase(const ReportRow &row)
{
    if (row.kind == ReportRow::Kind::CaseDiffers)
        rewriteReference(row, linkMend::caseFixed(row.link, row.target, row.onDisk));
}

// Replaces the row's reference in its page's editor by `value`, as one undoable edit, and
// shows the page with the new value selected.
bool frmTree::rewriteReference(const ReportRow &row, const QString &value)
{
    frmChild1 *editor = editorOf(row);
    if (!editor)
        return false;
    const qsizetype place = placeInEditor(editor, row);
    if (place < 0) {
        ShowMessage(treeTexts::mendNotFound + QLatin1Char('\n') + row.link);
        return false;
    }
    lblHTML_Click(row.page);
    QTextCursor cursor(editor->txtEdit()->document());
    cursor.setPosition(int(place));
    cursor.setPosition(int(place + row.link.size()), QTextCursor::KeepAnchor);
    cursor.insertText(value);
    cursor.setPosition(int(place), QTextCursor::KeepAnchor);
    editor->txtEdit()->setTextCursor(cursor);
    editor->txtEdit()->ensureCursorVisible();
    return true;
}

std::optional<ReportRow> frmTree::linkRow(qint32 page, qint32 link) const
{
    const linkCheck::SiteLinks *links = mLinkCheck->links();
    const linkCheck::Lookup *broken = links ? links->brokenLink(page, link) : nullptr;
    if (!broken)
        return std::nullopt;
    const PageRecord &record = gPageTable.at(page);
    ReportRow row;
    row.kind
        = broken->state == linkCheck::LinkState::CaseDiffers ? ReportRow::Kind::CaseDiffers : ReportRow::Kind::Broken;
    row.page = page;
    row.link = record.Links.at(link);
    row.target = broken->path;
    row.onDisk = broken->onDisk;
    row.refKind = pageRefs::Kind::Page;
    if (const QList<qsizetype> places = scanLinkPlaces(record.Text); link < places.size())
        row.line = qint32(lineFeedCount(QStringView(record.Text).left(places.at(link)))) + 1;
    return row;
}

QMenu *frmTree::mendMenu(const ReportRow &row)
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QPointer<frmTree> self(this);
    const auto add = [&](const QString &text, frmSiteCheck::Mend how, void (frmTree::*mend)(const ReportRow &)) {
        QAction *action = menu->addAction(text, this, [self, row, mend] {
            if (self)
                (self->*mend)(row);
        });
        action->setEnabled(frmSiteCheck::canMend(row, how));
    };
    add(treeTexts::mendCreate, frmSiteCheck::Mend::Create, &frmTree::createLinkedPage);
    add(treeTexts::mendChange, frmSiteCheck::Mend::Change, &frmTree::changeLinkTarget);
    add(treeTexts::mendCase, frmSiteCheck::Mend::FixCase, &frmTree::fixLinkCase);
    return menu;
}
