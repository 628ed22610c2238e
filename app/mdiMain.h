#pragma once
// The program's one top-level window: a multiple-document frame that carries start-up
// and shutdown.

#include "tags/frmTAG.h"
#include "tree/frmTree.h"

#include <QMainWindow>
#include <QPointer>

class QMdiArea;

class mdiMain : public QMainWindow
{
    Q_OBJECT
public:
    mdiMain();
    ~mdiMain() override;

    // Start-up: loads the settings (false when they could not be read: the program
    // then ends without showing a window), sizes the page tables and shows the tag
    // palette and the site tree as the settings say.
    bool MDIForm_Load();
    // Shutdown after every child has closed: saves the settings and deletes the preview
    // files temp1.htm, temp2.htm, ... up to the first that cannot be deleted.
    void MDIForm_Unload();

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

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool settleUnsavedChanges();

private:
    QMdiArea *mArea = nullptr;
    QPointer<frmTAG> mTag;
    QPointer<frmTree> mTree;
    int mCloseReason;
    bool mSettingsLoaded = false;
    bool mUnloaded = false;
};

// Deletes temp1.htm, temp2.htm, ... from the program folder, stopping at the first that
// cannot be deleted; returns how many were deleted.
int DeletePreviewFiles();
