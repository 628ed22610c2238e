#pragma once
// The editing commands of the edit menu: undo, redo, cut, copy, paste and select all, on
// the text box of the active page's editor, each enabled as that text box allows.
//
// Undo and redo answer their keys anywhere in the frame (Ctrl+Y too, which a text box
// on most desktops leaves alone), so their state follows the active text box as it
// changes. The other four show their keys in the menu only: the focused text box answers
// those keys itself, and elsewhere they keep the meaning the focused window gives them
// (Ctrl+C copies the link check's list).

#include <QObject>
#include <QPointer>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPlainTextEdit;
class frmChild1;
enum class CommandKey;

class EditCommands : public QObject
{
    Q_OBJECT
public:
    // Adds the commands to `menu` and follows the editors activated in `area`.
    EditCommands(QMenu *menu, QMdiArea *area);

    // Sets every command's state from the active text box (the menu calls it as it opens).
    void refresh();

private:
    // A command run by the text box's own slot.
    QAction *addCommand(QMenu *menu, const QString &text, CommandKey key, void (QPlainTextEdit::*command)());
    void editorActivated(QMdiSubWindow *window);
    void follow(frmChild1 *editor);
    void refreshUndo();
    void selectAll();

    QAction *mUndo = nullptr;
    QAction *mRedo = nullptr;
    QAction *mCut = nullptr;
    QAction *mCopy = nullptr;
    QAction *mPaste = nullptr;
    QAction *mSelectAll = nullptr;
    QPointer<QPlainTextEdit> mTextBox;   // the active editor's, whose undo and redo are watched
};
