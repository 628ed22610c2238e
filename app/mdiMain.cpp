#include "app/mdiMain.h"
#include "app/basSystem.h"
#include "common/TextHelpers.h"
#include "editor/RecoveryFolder.h"
#include "platform/KForm.h"
#include "platform/Twips.h"
#include "settings/Settings.h"
#include "tags/frmTAG.h"
#include "tree/frmTree.h"
#include "platform/Messages.h"

#include <QCloseEvent>
#include <QFile>
#include <QMdiArea>

namespace {
// The frame's designed client area and place.
constexpr TwipRect designedFrame{3900, 2010, 8055, 7545};
} // namespace

mdiMain::mdiMain() : mCloseReason(vbFormMDIForm)
{
    setWindowTitle(basSystem::appTitle);
    mArea = new QMdiArea(this);
    setCentralWidget(mArea);
    KForm::setDefaultArea(mArea);
    const QRect r = toPixels(designedFrame);
    resize(r.size());
    move(r.topLeft());
}

mdiMain::~mdiMain() = default;

bool mdiMain::MDIForm_Load()
{
    QString failure;
    if (!basSystem::LoadSettings(&failure)) {
        basSystem::ShowMessage(failure);
        return false;
    }
    mSettingsLoaded = true;
    basSystem::resetPageTables();
    if (basSystem::gTagWinVisible != 0)
        showTagWindow();
    if (basSystem::gTreeWinVisible != 0 && !mUnloaded)
        showTreeWindow();
    return true;
}

frmTAG *mdiMain::showTagWindow()
{
    if (!mTag || mTag->isUnloaded())
        mTag = new frmTAG(mArea);
    mTag->Show();
    return mTag;
}

frmTree *mdiMain::showTreeWindow()
{
    if (!mTree || mTree->isUnloaded()) {
        mTree = new frmTree(mArea);
        connect(mTree, &frmTree::quitRequested, this, [this] { closeFrame(vbFormMDIForm); });
    }
    mTree->Show();
    return mTree;
}

void mdiMain::closeFrame(int reason)
{
    mCloseReason = reason;
    close();
}

void mdiMain::closeEvent(QCloseEvent *event)
{
    // Unsaved changes are settled first, unless the session or a signal ends the program
    // and no one can be asked.
    if (mCloseReason != vbAppWindows && !settleUnsavedChanges()) {
        mCloseReason = vbFormMDIForm;
        event->ignore();
        return;
    }
    // No one could be asked: the unsaved text is kept in recovery copies before anything closes.
    if (mCloseReason == vbAppWindows)
        recoveryFolder::writeAll();
    // Every child is offered the close first, then the frame shuts down; nothing cancels it.
    const QList<KForm *> forms = mArea->findChildren<KForm *>();
    for (const QPointer<KForm> form : forms)
        if (form)
            form->Unload(mCloseReason);
    MDIForm_Unload();
    event->accept();
}

bool mdiMain::settleUnsavedChanges()
{
    if (mUnloaded)
        return true;
    // Saving the definition needs the tree's dialogs, also while the tree is closed.
    if (!mTree || mTree->isUnloaded())
        return frmTree(mArea).settleUnsavedChanges();
    return mTree->settleUnsavedChanges();
}

void mdiMain::MDIForm_Unload()
{
    if (mUnloaded)
        return;
    mUnloaded = true;
    // Settings that were never read in full are not written back over the file.
    QString failure;
    if (mSettingsLoaded && !basSystem::SaveSettings(&failure))
        basSystem::ShowMessage(failure);
    DeletePreviewFiles();
}

int DeletePreviewFiles()
{
    int deleted = 0;
    for (int n = 1;; ++n) {
        const QString path = basSystem::AppFilePath(QStringLiteral("temp%1.htm").arg(n));
        if (!QFile::remove(path))
            return deleted;
        ++deleted;
    }
}
