#include "app/EditCommands.h"
#include "app/AppTexts.h"
#include "app/mdiMain.h"
#include "editor/frmChild1.h"
#include "platform/CommandKeys.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>

EditCommands::EditCommands(QMenu *menu, QMdiArea *area) : QObject(menu)
{
    mUndo = addCommand(menu, appTexts::undoCommand, CommandKey::Undo, &QPlainTextEdit::undo);
    mRedo = addCommand(menu, appTexts::redoCommand, CommandKey::Redo, &QPlainTextEdit::redo);
    menu->addSeparator();
    mCut = addCommand(menu, appTexts::cutCommand, CommandKey::Cut, &QPlainTextEdit::cut);
    mCopy = addCommand(menu, appTexts::copyCommand, CommandKey::Copy, &QPlainTextEdit::copy);
    mPaste = addCommand(menu, appTexts::pasteCommand, CommandKey::Paste, &QPlainTextEdit::paste);
    menu->addSeparator();
    mSelectAll = menu->addAction(appTexts::selectAllCommand);
    mSelectAll->setShortcuts(commandKeys(CommandKey::SelectAll));
    connect(mSelectAll, &QAction::triggered, this, &EditCommands::selectAll);
    for (QAction *shownOnly : {mCut, mCopy, mPaste, mSelectAll})
        shownOnly->setShortcutContext(Qt::WidgetShortcut);   // answered only while the menu is open
    connect(area, &QMdiArea::subWindowActivated, this, &EditCommands::editorActivated);
    connect(menu, &QMenu::aboutToShow, this, &EditCommands::refresh);
    refresh();
}

QAction *EditCommands::addCommand(QMenu *menu, const QString &text, CommandKey key, void (QPlainTextEdit::*command)())
{
    QAction *action = menu->addAction(text);
    action->setShortcuts(commandKeys(key));
    connect(action, &QAction::triggered, this, [this, command] {
        if (mTextBox)
            (mTextBox->*command)();
    });
    return action;
}

// A tool window activated leaves the commands on the editor activated last; with no
// window active (the frame in the background, or closing) there is nothing to follow.
void EditCommands::editorActivated(QMdiSubWindow *window)
{
    if (!window) {
        follow(nullptr);
        return;
    }
    auto *editor = qobject_cast<frmChild1 *>(window->widget());
    follow(editor ? editor : activeShownEditor());
}

void EditCommands::follow(frmChild1 *editor)
{
    QPlainTextEdit *box = editor ? editor->textBoxAsItStands() : nullptr;
    if (box != mTextBox) {
        if (mTextBox)
            disconnect(mTextBox, nullptr, this, nullptr);
        mTextBox = box;
        if (box) {
            connect(box, &QPlainTextEdit::undoAvailable, this, &EditCommands::refreshUndo);
            connect(box, &QPlainTextEdit::redoAvailable, this, &EditCommands::refreshUndo);
        }
    }
    refreshUndo();
}

void EditCommands::refreshUndo()
{
    const bool editable = mTextBox && !mTextBox->isReadOnly();
    mUndo->setEnabled(editable && mTextBox->document()->isUndoAvailable());
    mRedo->setEnabled(editable && mTextBox->document()->isRedoAvailable());
}

void EditCommands::refresh()
{
    follow(activeShownEditor());
    const bool editable = mTextBox && !mTextBox->isReadOnly();
    const bool selected = mTextBox && mTextBox->textCursor().hasSelection();
    mCut->setEnabled(editable && selected);
    mCopy->setEnabled(selected);
    mPaste->setEnabled(editable && mTextBox->canPaste());
    mSelectAll->setEnabled(mTextBox != nullptr);
}

// Everything, a long text that is still coming in included.
void EditCommands::selectAll()
{
    if (frmChild1 *editor = activeShownEditor())
        editor->txtEdit()->selectAll();
}
