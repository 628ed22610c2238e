#pragma once
// A page editor: one page's whole text in a multi-line text box, with save, save as,
// preview and close. Closing only hides the window; the text stays until the editor is
// unloaded.

#include "editor/EditorLayout.h"
#include "editor/TextSearch.h"
#include "platform/FileDialog.h"
#include "platform/KForm.h"

class FindBar;
class PageTextEdit;
class QLabel;
class QPlainTextEdit;
class QTimer;
class QToolButton;
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
    // The text box as it stands, made if need be: a long text may still be coming in.
    QPlainTextEdit *textBoxAsItStands() const;
    // True while a long text still goes into the shown text box piece by piece. The text
    // box is read-only meanwhile; whatever reaches for the whole text (text(), txtEdit(),
    // find, save) puts the rest in at once.
    bool isFilling() const;
    // True while a shown editor still waits for its text or takes in a long one.
    static bool textsComing();

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

    // Find and replace. The find bar sits below the text box while it is shown.
    void showFind() { openFindBar(false); }
    void showReplace() { openFindBar(true); }
    // Repeat the last find forward or backward; with nothing to repeat, the bar opens.
    void findNext();
    void findPrevious();
    // The bar, made on first use.
    FindBar *findBar();
    // The text as textSearch reads it (lines joined by '\n'; positions are the text box's
    // cursor positions), also before the text box exists.
    QString searchText() const;
    // Replaces every match as one undo step, marking the text modified; the count.
    qsizetype replaceAll(const textSearch::Query &query, const QString &replacement);
    // Selects `length` characters from `column` (from 1) of line `line` (from 1).
    void selectInLine(qsizetype line, qsizetype column, qsizetype length);

    // Recovery copies. A few seconds after typing pauses, an editor with unsaved changes
    // writes its text into the recovery folder; saving or discarding the text removes the
    // copy, so that a copy left behind means work lost by a crash, a kill or the session's end.
    //
    // The hash of the page file as last read or saved, recorded in every copy.
    QByteArray fileHash() const { return mFileHash; }
    void setFileHash(const QByteArray &hash) { mFileHash = hash; }
    // Writes the copy now while the text holds unsaved changes, removes it otherwise;
    // false when a copy was due and could not be written.
    bool writeRecoveryCopy();
    // Removes the editor's copy, if it wrote or restored one.
    void dropRecoveryCopy();
    // Puts a recovered text into the text box as one edit (undo returns to the page as
    // read) and shows the editor; `copyPath` is the copy it came from, which the editor's
    // own copy replaces from then on.
    void restoreText(const QString &text, const QString &copyPath);
    // How long typing must pause before the copy is written; tests shorten it.
    static void setRecoveryDelay(int ms);

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
    void chooseFirstPlace() override;
    void ensureControls() override;

private:
    void Form_Load();
    void createControls();
    QToolButton *addButton(CommandIcon icon, const TwipRect &place, const QString &tip);
    void fillDocument() const;
    void fillLater();
    static void fillWaitingEditor();
    bool eventFilter(QObject *watched, QEvent *event) override;
    void replaceDocument(const QString &text);
    void startFilling(const QString &text, qsizetype from);
    void fillNextPiece();
    void finishFilling() const;
    void stopFilling();
    void appendToDocument(QStringView piece);
    // Places the text box, the status line along its bottom edge, and the find bar above
    // the status line while the bar is shown.
    void placeTextArea();
    void showCaretPlace();
    void openFindBar(bool replacing);
    void closeFindBar();
    QSize usefulSize() const;

    frmChild1 *self() const { return const_cast<frmChild1 *>(this); }
    // Asks before the text of a page that was not read replaces an existing file at `path`.
    bool confirmReplaceUnread(const QString &path);
    void watchForRecovery();

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
    QTimer *mFillTimer = nullptr;

    editorLayout::Extent mTxtExtent;
    bool mNotRead = false;
    bool mbNoResize = false;
    qint32 mlPrevWidth = 0;
    qint32 mlPrevHeight = 0;

    QTimer *mRecoveryTimer = nullptr;
    QByteArray mFileHash;
    QString mCopyPath;    // the copy written or restored last; empty for none
    QString mCopyError;   // why the last copy could not be written
};
