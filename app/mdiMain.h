#pragma once
// The program's one top-level window: a multiple-document frame that carries start-up
// and shutdown, the menu bar with the program's commands and their keys, and its own
// remembered place and size.

#include "tags/frmTAG.h"
#include "tree/frmTree.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class LivePreview;
class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class RecoveryStore;
class frmChild1;
class frmSiteFind;
enum class CommandKey;

class mdiMain : public QMainWindow
{
    Q_OBJECT
public:
    mdiMain();
    ~mdiMain() override;

    // Start-up: loads the settings (false when they could not be read: the program
    // then ends without showing a window), sizes the page tables, places the frame as it
    // was left and shows the tag palette and the site tree as the settings say.
    bool MDIForm_Load();
    // Shutdown after every child has closed: records the frame's place, saves the
    // settings and deletes the preview files temp1.htm, temp2.htm, ... up to the first
    // that cannot be deleted.
    void MDIForm_Unload();

    // Shows the frame as it was left: maximised or at its remembered place.
    void showAsRemembered();
    // Closes the frame for `reason` (the frame closing, or the session ending).
    void closeFrame(int reason);
    // True once shutdown has run (also when a signal ended a start-up message box).
    bool hasShutDown() const { return mUnloaded; }

    QMdiArea *area() const { return mArea; }
    frmTAG *tagWindow() const { return mTag; }
    frmTree *treeWindow() const { return mTree; }
    // Shows the window, creating it on first use.
    frmTAG *showTagWindow();
    frmTree *showTreeWindow();
    // Shows the site search window, creating it on first use, with the focus in its pattern.
    frmSiteFind *showSiteFind();

    // The live preview (ページ → ライブプレビュー): starts it unless it runs and opens the
    // active page's address in the browser; stopping ends it.
    void startLivePreview();
    void stopLivePreview();
    LivePreview *livePreview() const { return mLive; }
    // The status line's address while the live preview runs (nullptr before it first ran).
    QLabel *liveAddressLabel() const { return mLiveAddress; }

    // Opens the definition at `path` in the site tree, as its open command does after the
    // file dialog; a path that no longer exists is named in a message and leaves the
    // file history.
    bool openDefinition(const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createMenus();
    void createFileMenu();
    void createEditMenu();
    void createPageMenu();
    void createViewMenu();
    void createWindowMenu();
    void createHelpMenu();
    QAction *addCommand(QMenu *menu, const QString &text, void (mdiMain::*handler)());
    QAction *addTreeCommand(QMenu *menu, const QString &text, void (frmTree::*handler)());
    QAction *addEditorCommand(QMenu *menu, const QString &text, CommandKey key, void (frmChild1::*handler)());
    frmTree *treeForCommand();
    void fillRecentMenu();
    void fillWindowList();
    void updateViewChecks();
    void setTreeShown(bool shown);
    void setTagShown(bool shown);
    void focusTreeWindow();
    void focusTagWindow();
    void toggleWordWrap();
    void activateNextEditor();
    void activatePreviousEditor();
    void stepEditor(int direction);
    void showAbout();
    void quit();
    void openSiteFind() { showSiteFind(); }

    void restoreFrameGeometry();
    void recordFrameGeometry() const;

    bool settleUnsavedChanges();
    void showLiveAddress();

    // The program's recovery copies, its folders locked for as long as the frame lives.
    std::shared_ptr<RecoveryStore> mRecoveryStore;
    QMdiArea *mArea = nullptr;
    QPointer<frmTAG> mTag;
    QPointer<frmTree> mTree;
    QPointer<frmSiteFind> mSiteFind;
    QMenu *mRecentMenu = nullptr;
    QMenu *mWindowMenu = nullptr;
    QAction *mWindowListStart = nullptr;
    QAction *mTreeShown = nullptr;
    QAction *mTagShown = nullptr;
    QAction *mWordWrap = nullptr;
    LivePreview *mLive = nullptr;
    QAction *mStopLive = nullptr;
    QLabel *mLiveAddress = nullptr;
    int mCloseReason;
    bool mSettingsLoaded = false;
    bool mUnloaded = false;
};

// Deletes temp1.htm, temp2.htm, ... from the program folder, stopping at the first that
// cannot be deleted; returns how many were deleted.
int DeletePreviewFiles();

// The page editors that are shown, in page order.
QList<frmChild1 *> shownEditors();
// The editor the page commands act on: the one activated last, while it is shown.
frmChild1 *activeShownEditor();
