#pragma once
// The site tree: the open definition's pages drawn as two columns of labels on either side
// of a draggable splitter (titles on the left; file names and link targets on the right),
// scrolled page by page, with a click on a title showing that page's editor. A row of
// nine picture buttons above carries the commands on the definition as a whole (new,
// open, save, save as, properties, close the application) and on its pages (create, add,
// remove). The window also reads and writes the definition file.

#include "platform/FileDialog.h"
#include "platform/KForm.h"
#include "tree/LinkChecker.h"
#include "tree/TreeModel.h"

#include <QFuture>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class QMenu;
class QPushButton;
class QToolButton;
class TreeView;
class VScrollBar;
class frmProp;
class frmChild1;
class frmSiteCheck;
class frmRename;
namespace renamePlan {
struct PageText;
struct Plan;
}   // namespace renamePlan
struct PageScan;
enum class CommandIcon;

class frmTree : public KForm
{
    Q_OBJECT
public:
    explicit frmTree(QMdiArea *area);

    // Reads the definition file at `path` into the site record and appends its pages;
    // true when the file was accepted and its page list read. Tells the user why not.
    bool gfReadKSD(const QString &path);
    // Writes the site record and the page list into the open definition's file; true
    // when written. Tells the user the outcome.
    bool gfWriteKSD();

    // Opens the definition at `path` as the open command does once a file was chosen:
    // starts anew, reads it, draws its tree and puts it first in the file history.
    bool openDefinition(const QString &path);
    // Draws the open site (its pages and its name), for a tree window made anew while a
    // site is open, and follows the editors of its pages from then on.
    void showSite();
    // Brings the record of `editor`'s page up to the text it saved: its text, links and
    // title (and the editor's caption). The tree does so for every save; the frame does so
    // while no tree window is there. False when the editor holds no page of the table.
    static bool takeSavedText(frmChild1 *editor);

    // Reads the page folder + fileName into a new page record and a hidden editor.
    void ScanPage(const QString &folder, const QString &fileName);
    // The same with the page's scan given by `scanPage`.
    void addScannedPage(const QString &folder, const QString &fileName, const std::function<PageScan()> &scanPage);
    // Rebuilds the tree's labels from page `start` on.
    void DrawTree(qint32 start);
    // Removes every drawn label (the templates stay).
    void clearTreeLabels();

    // Asks once before unsaved changes of pages or of the definition would be discarded,
    // and saves them when the user says so; true when the caller may go on (nothing
    // unsaved, everything saved, or the user chose to discard).
    bool settleUnsavedChanges();
    // Save and save as of the definition; true when it was written.
    bool saveDefinition();
    bool saveDefinitionAs();
    // Shows which pages and whether the definition hold unsaved changes.
    void showChangeMarks();
    // Offers the recovery copies left for the open definition's pages (by a crash, a kill
    // or the session's end): restores them into their editors, or deletes them when declined.
    void offerRecovery();
    // Appends a new page without a file, titled `title`, with its editor shown.
    frmChild1 *addNewPage(const QString &title);
    // Appends a new page to be kept at `folder` + `fileName`, titled `title`, with its
    // editor shown holding the skeleton as an unsaved change.
    frmChild1 *addNewPage(const QString &title, const QString &folder, const QString &fileName);

    // The commands of the button row.
    void cmdCre_Click();
    void cmdOpe_Click();
    void cmdSav_Click();
    void cmdSAs_Click();
    void cmdPrp_Click();
    void cmdClo_Click();
    void cmdHCr_Click();
    void cmdHAd_Click();
    void cmdDel_Click();

    // The definition dialog (open and save as); it keeps the file chosen last.
    FileDialog dlgProj;
    // The page dialog (add a page); it keeps its start folder and the file chosen last
    // until a new definition is started.
    FileDialog dlgTree;

    // The properties dialog the properties command showed last (kept until the next one,
    // so that its pbOkFlg can be read after it closed); nullptr before the first.
    frmProp *propertiesDialog() const;

    // The button row, left to right.
    QToolButton *cmdCre() const { return mCmdCre; }
    QToolButton *cmdOpe() const { return mCmdOpe; }
    QToolButton *cmdSav() const { return mCmdSav; }
    QToolButton *cmdSAs() const { return mCmdSAs; }
    QToolButton *cmdHCr() const { return mCmdHCr; }
    QToolButton *cmdHAd() const { return mCmdHAd; }
    QToolButton *cmdDel() const { return mCmdDel; }
    QToolButton *cmdPrp() const { return mCmdPrp; }
    QToolButton *cmdClo() const { return mCmdClo; }

    // Event handlers of the display area. X and Y are twips relative to the splitter.
    void cmdSep_MouseDown(int button, int shift, qint32 x, qint32 y);
    void cmdSep_MouseMove(int button, int shift, qint32 x, qint32 y);
    void cmdSep_MouseUp(int button, int shift, qint32 x, qint32 y);
    void scrTre_Change();
    void scrTre_Scroll();
    void lblHTML_Click(qint32 index);
    // A click on link `link` (1 up) of page `page`: shows the page it leads to, or offers
    // to add a linked file outside the definition as a page.
    void lblLink_Click(qint32 page, qint32 link);

    // Starts checking every page's links against the files on disk, off the window's
    // thread; the tree shows the links as not yet checked until the marks are in (and the
    // site check window, when it is open, its rows).
    void checkLinks();
    const LinkChecker &linkChecker() const { return *mLinkCheck; }
    // The site check: broken links, pages nothing links to, letter-case differences.
    void cmdChk_Click();
    frmSiteCheck *siteCheckWindow() const;

    // Mending a broken reference, from the site check window or a red link of the tree.
    // Only the editors' texts (as unsaved, undoable changes) and the definition in memory
    // change; nothing is written until the user saves.
    //
    // Creates the page a link looks for, at the path looked for, from the new-page
    // skeleton titled by the link's text, and adds it to the definition.
    void createLinkedPage(const linkCheck::ReportRow &row);
    // Lets the user pick a file and points the reference at it.
    void changeLinkTarget(const linkCheck::ReportRow &row);
    // Writes the reference with the letter case of the file on disk.
    void fixLinkCase(const linkCheck::ReportRow &row);
    // Shows the row's page with its reference selected.
    void showReportRow(const linkCheck::ReportRow &row);
    // The site check's row for link `link` of page `page` as the check last found it;
    // nullopt when it is not broken.
    std::optional<linkCheck::ReportRow> linkRow(qint32 page, qint32 link) const;
    // The menu a click on a broken link of the tree opens (作成, 変更, the letter-case fix).
    QMenu *mendMenu(const linkCheck::ReportRow &row);
    // The file dialog of 変更; it keeps its folder and the file chosen last.
    FileDialog dlgLink;

    // Renaming and moving a file of the site with every reference to it kept. The dialog
    // lists every change first; then the file moves on disk, style sheets are written anew,
    // and the definition's entries and the editors' links change as unsaved, undoable
    // changes. When a step on disk fails, nothing changes.
    //
    // The active page (ページ → 名前の変更・移動), page `page`, a file chosen in a dialog, the
    // file at `path` (a page of the definition or any other file the pages reference).
    void cmdRen_Click();
    void renamePage(qint32 page);
    void cmdMov_Click();
    void moveFileAt(const QString &path);
    // Applies a plan the dialog made; true when the file was moved.
    bool applyRename(const renamePlan::Plan &plan);
    // Takes the last rename back, as long as none of the pages it changed was saved since
    // and its links still stand as it wrote them.
    void cmdUndoRen_Click();
    bool canUndoRename() const;
    // The rename dialog shown last (until the next one); nullptr before the first.
    frmRename *renameDialog() const;
    // The dialog of the file to move; it keeps its folder and the file chosen last.
    FileDialog dlgMove;
    // The menu of a page title in the tree.
    QMenu *titleMenu(qint32 page);

    // The display area, for the window's other commands and for tests.
    const TreeModel &tree() const { return mTree; }
    TreeView *picTre() const { return mPicTre; }
    VScrollBar *scrTre() const { return mScrTre; }
    QPushButton *cmdSep() const { return mCmdSep; }
    const TwipRect &picTreRect() const { return mPicTreRect; }
    const TwipRect &scrTreRect() const { return mScrTreRect; }
    const TwipRect &cmdSepRect() const { return mCmdSepRect; }

signals:
    // The quit command: the frame that holds the window closes the application.
    void quitRequested();

protected:
    void Form_Resize() override;
    void Form_Activate() override;
    void Form_QueryUnload(bool &cancel, int reason) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createButtonRow();
    QToolButton *addButton(CommandIcon icon, qint32 left, const QString &tip, void (frmTree::*handler)());
    void createDisplayArea();
    void unloadPageEditors();
    bool startNewDefinition();
    void watchEditor(frmChild1 *editor);
    qint32 pageToRemove() const;
    qint32 confirmRemoval(qint32 id);
    void removePageAt(qint32 id);
    void Form_Load();
    void placeDisplayArea();
    void moveSplitter(qint32 left);
    void pageSaved(frmChild1 *editor);
    void showSavedPageMarks(qint32 id);
    bool rewriteReference(const linkCheck::ReportRow &row, const QString &value);
    void showLinkCheck();
    void addLinkedPage(const QString &path);
    bool addExistingPage(const QString &folder, const QString &fileName);
    void showPagesAdded();

    struct RenameRecord;
    class StepsDone;
    QList<renamePlan::PageText> pageTexts() const;
    void openRenameDialog(const QString &path, bool isPage);
    bool writeFilesWithoutEditor(const renamePlan::Plan &plan, RenameRecord &record, StepsDone &done);
    void changePagesInMemory(const renamePlan::Plan &plan, RenameRecord &record);
    void showRenamedSite(const RenameRecord &record);
    void forgetRenameOnSave(const frmChild1 *editor);
    void forgetRename();
    QString undoProblem() const;
    bool undoOnDisk(const RenameRecord &record, StepsDone &done);
    QFuture<std::optional<renamePlan::Plan>> linksToPage(qint32 page) const;
    bool offerTrash(qint32 page, QFuture<std::optional<renamePlan::Plan>> links);

    QToolButton *mCmdCre = nullptr;
    QToolButton *mCmdOpe = nullptr;
    QToolButton *mCmdSav = nullptr;
    QToolButton *mCmdSAs = nullptr;
    QToolButton *mCmdHCr = nullptr;
    QToolButton *mCmdHAd = nullptr;
    QToolButton *mCmdDel = nullptr;
    QToolButton *mCmdPrp = nullptr;
    QToolButton *mCmdClo = nullptr;
    QPointer<frmProp> mFrmProp;
    QPointer<frmSiteCheck> mSiteCheck;
    LinkChecker *mLinkCheck = nullptr;
    QPointer<frmRename> mRenameDialog;
    std::shared_ptr<RenameRecord> mLastRename;   // the last rename, while it can be taken back

    TreeModel mTree;
    TreeView *mPicTre = nullptr;
    VScrollBar *mScrTre = nullptr;
    QPushButton *mCmdSep = nullptr;
    // Designed geometry for the outer size 3210 x 8430; the top 420 twips hold the buttons.
    TwipRect mPicTreRect{0, 420, 2775, 7575};
    TwipRect mScrTreRect{2790, 420, 255, 7605};
    TwipRect mCmdSepRect{780, -30, 75, 7575};

    bool mbNoResize = false;
    qint32 mlPrevWidth = 0;
    qint32 mlPrevHeight = 0;
    bool mbSepDrag = false;
    qint32 mlSepStartLeft = 0;
    // While unsaved changes are saved before going on, a written definition says nothing:
    // only a failure stops the user.
    bool mbQuietSuccess = false;
};
