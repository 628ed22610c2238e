#pragma once
// A page editor: one page's whole text in a multi-line text box, with save, save as,
// preview and close. Closing only hides the window; the text stays until the editor is
// unloaded.

#include "editor/EditorLayout.h"
#include "editor/EditorText.h"
#include "editor/SiteSearch.h"
#include "editor/TextEdits.h"
#include "editor/TextSearch.h"
#include "platform/FileDialog.h"
#include "platform/KForm.h"

class FindBar;
class PageTextEdit;
class QLabel;
class QPlainTextEdit;
class QTimer;
class QToolButton;
class RecoveryCopier;
struct RecoveryCopy;
enum class CommandIcon;

// True when a page may be kept at folder + fileName: the system's encoding carries the
// name and the definition file can hold it; otherwise tells the user why not.
bool pageNameUsable(const QString &folder, const QString &fileName);

class frmChild1 : public KForm
{
    Q_OBJECT
public:
    explicit frmChild1(QMdiArea *area = KForm::defaultArea());

    qint32 plId = 0;   // index of the page in gPageTable and of this editor in gPageEditors

    // Marks the editor's text as standing for a page file that could not be read: its
    // Save asks before that empty text replaces an existing file, until a save succeeded.
    void markNotRead() { mNotRead = true; }
    bool isNotRead() const { return mNotRead; }

    // The text box's whole text, lines joined by CR LF.
    QString text() const;
    // Replaces the text; the editor then holds no unsaved changes.
    void setText(const QString &text);
    // True while the text differs from what was last read or saved (undoing back to it
    // counts as no change).
    bool isModified() const;
    // The text box itself, holding the editor's whole text.
    QPlainTextEdit *txtEdit() const;
    // Whether typing `text` at the caret keeps the page within the limits a page is opened
    // with; a refused edit is told.
    bool allowsTyping(QStringView text);
    // The text box as it stands, made if need be: a long text may still be coming in.
    QPlainTextEdit *textBoxAsItStands() const;
    // True while a long text still goes into the shown text box piece by piece. The text
    // box is read-only meanwhile; whatever reaches for the whole text (text(), txtEdit(),
    // find, save) puts the rest in at once.
    bool isFilling() const { return !mFillText.isEmpty(); }

    // Filling, as the filler (EditorFiller) does it while the program is idle:
    // True while the editor has neither its controls nor its text in a text box.
    bool waitsForText() const { return !mDocumentFilled; }
    // Makes the controls and puts the text in (the first piece of a long one).
    void fillDocument() const;
    // Puts the next piece of a long text in; false once the whole text is in.
    bool fillNextPiece();

    // The controls are made on first use (a shown window, or a reach from outside), so that
    // a thousand hidden editors cost no controls each.
    QToolButton *cmdSav() const;
    QToolButton *cmdSAs() const;
    QToolButton *cmdBrz() const;
    QToolButton *cmdClo() const;
    // Where the text box stands in the client area, in twips, with the status line along
    // its bottom edge.
    TwipRect txtEditRect() const { return editorLayout::textBoxRect(mTxtExtent); }
    // The status line below the text box: the caret's line and column.
    QLabel *statusLine() const;

    // Long lines wrap at the text box's right edge, or scroll sideways (the default).
    // Editors take the choice made last (basSystem::gEditorWrap) when first shown.
    bool wordWrap() const;
    void setWordWrap(bool on);

    // The save dialog; it keeps the name chosen last.
    FileDialog dlgChi;

    void cmdSav_Click();
    void cmdSAs_Click();
    // Save and save as; true when the page was written (false on failure or cancel).
    bool save();
    bool saveAs();
    void cmdBrz_Click();
    void cmdClo_Click();

    // Shows the editor and gives it the focus; an editor disabled while a site is read
    // gets it when it is enabled again.
    void showFocused();

    // Places the editor at `r` (pixels of the area's viewport) and lays it out for that
    // size, also while another window is active.
    void placeAt(const QRect &r);
    // Remembers the editor's place and size for its page, for the rest of the session: an
    // editor of the same page made later (the definition opened again) opens there.
    void rememberPlace() const;
    // The outer size in pixels at which the text box shows 80 columns by 25 lines.
    QSize usefulSize() const;

    // Find and replace. The find bar sits below the text box while it is shown.
    void showFind() { openFindBar(false); }
    void showReplace() { openFindBar(true); }
    // Repeat the last find forward or backward; with nothing to repeat, the bar opens.
    void findNext();
    void findPrevious();
    // The bar, made on first use.
    FindBar *findBar();
    // The text as it stands, for a search on another thread, also before the text box
    // exists: a text still waiting for the text box is shared, not copied. searchTextOf()
    // makes of it the text as textSearch reads it (lines joined by '\n', positions the text
    // box's cursor positions), which the three below go by.
    PageSnapshot textSnapshot() const;
    // The whole text as textSearch reads it, edits kept for the text box included; puts a
    // long text still going in into the text box at once.
    QString searchText() const;
    // Line `line` (from 1), without putting a waiting text into the text box.
    QString lineText(qsizetype line) const;
    // Selects `length` characters from `start` and shows them.
    void selectText(qsizetype start, qsizetype length);
    // Replaces the whole text with `text` as one undo step, marking it modified; the caret
    // stays where it was, as far as the text allows.
    void replaceText(const QString &text);

    // Recovery copies. Once typing pauses, an editor with unsaved changes has its text
    // copied into the recovery folder (see editor/RecoveryCopier.h); saving or discarding
    // the text removes the copy, so that a copy left behind means work lost by a crash, a
    // kill or the session's end. While a copy cannot be written, the status line says so
    // and its tooltip says why.
    //
    // The hash of the page file as last read or saved, recorded in every copy.
    QByteArray fileHash() const { return mFileHash; }
    void setFileHash(const QByteArray &hash) { mFileHash = hash; }
    // Writes the copy now, on this thread, while the text holds unsaved changes, and
    // removes it otherwise; false when a copy was due and could not be written.
    bool writeRecoveryCopyNow();
    // The same for every page editor, when the program ends and no one can be asked.
    static void writeAllRecoveryCopies();
    // Removes the editor's copy, if it wrote or restored one.
    void dropRecoveryCopy();
    // Puts a recovered text into the text box as one edit (undo returns to the page as
    // read) and shows the editor; `copyPath` is the copy it came from, which the editor's
    // own copy replaces from then on.
    void restoreText(const QString &text, const QString &copyPath);
    // The editor's copy; nullptr until the editor has a text box.
    RecoveryCopier *recoveryCopier() const { return mRecovery; }

    // Edits another command makes in the text (links written anew when a file moves), as
    // an unsaved change and one undo step; an editor whose text is not yet in its text box
    // keeps them until it is. `id` names them for takeBackEdits (TextEdits.h).
    void makeEdits(quint64 id, const QList<textEdits::Edit> &edits);
    // Whether edits `id` can be taken back, and taking them back; false, with nothing
    // changed, when the text was edited where they stand.
    bool canTakeBackEdits(quint64 id) const;
    bool takeBackEdits(quint64 id);

signals:
    void modifiedChanged(bool modified);
    // The page was written, possibly under a new name.
    void saved();
    // Typing paused (TypingPause) in a text with unsaved changes, or after a change back
    // to the saved text.
    void typingPaused();

protected:
    void Form_Activate() override;
    void Form_Deactivate() override;
    void Form_Resize() override;
    void Form_QueryUnload(bool &cancel, int reason) override;
    void showEvent(QShowEvent *event) override;
    void contentsSeen() override;
    void chooseFirstPlace() override;
    void ensureControls() override;

private:
    void Form_Load();
    void createControls();
    QToolButton *addButton(CommandIcon icon, const TwipRect &place, const QString &tip);
    bool eventFilter(QObject *watched, QEvent *event) override;
    void replaceDocument(const QString &text);
    void startFilling(const QString &text, qsizetype from);
    void finishFilling() const;
    void stopFilling();
    void appendToDocument(QStringView piece);
    // Places the text box, the status line along its bottom edge, and the find bar above
    // the status line while the bar is shown.
    void placeTextArea();
    void showCaretPlace();
    void guardPageLimits();
    TextEncoding pageEncoding() const;
    void followContentsChange(int position, int removed, int added);
    void openFindBar(bool replacing);
    void closeFindBar();
    // The page file the editor stands for, for its remembered place; empty for a page
    // without a file or an editor no longer in the page table.
    QString placeKey() const;

    frmChild1 *self() const { return const_cast<frmChild1 *>(this); }
    // Asks before the text of a page that was not read replaces an existing file at `path`.
    bool confirmReplaceUnread(const QString &path);
    void watchForRecovery();
    void keepRecoveryCopy();
    RecoveryCopy recoveryCopyDescription() const;
    void showRecoveryState();

    PageTextEdit *mTxtEdit = nullptr;
    QLabel *mStatusLine = nullptr;
    QToolButton *mCmdSav = nullptr;
    QToolButton *mCmdSAs = nullptr;
    QToolButton *mCmdBrz = nullptr;
    QToolButton *mCmdClo = nullptr;
    FindBar *mFindBar = nullptr;

    // A text set while the window has never been shown waits here and goes into the
    // text box when it is first shown or reached, so that many hidden editors open fast.
    mutable QString mPendingText;
    mutable bool mDocumentFilled = false;
    bool mReplacingText = false;
    // The rest of a long text, from mFillFrom on, while it goes in piece by piece.
    QString mFillText;
    qsizetype mFillFrom = 0;
    int mBlockCount = 1;   // the text box's lines at the last change
    mutable LineFinder mLineFinder;

    editorLayout::Extent mTxtExtent;
    bool mNotRead = false;
    bool mbNoResize = false;
    qint32 mlPrevWidth = 0;
    qint32 mlPrevHeight = 0;

    RecoveryCopier *mRecovery = nullptr;
    QByteArray mFileHash;

    textEdits::EditSets mEdits;
    void markPendingEdits(bool wasModified);
};

// The window menu's arrangements: `editors` cascaded, or tiled, in the room beside the
// tool windows of `area`; the tool windows stay where they are.
void cascadeEditors(QMdiArea *area, const QList<frmChild1 *> &editors);
void tileEditors(QMdiArea *area, const QList<frmChild1 *> &editors);
