#include "app/mdiMain.h"
#include "app/basSystem.h"
#include "common/TextHelpers.h"
#include "editor/LivePreview.h"
#include "editor/PageEvents.h"
#include "editor/RecoveryStore.h"
#include "editor/frmChild1.h"
#include "platform/Icons.h"
#include "platform/KForm.h"
#include "platform/Twips.h"
#include "settings/Settings.h"
#include "tags/frmTAG.h"
#include "tree/frmTree.h"
#include "platform/Messages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QMdiArea>
#include <QScreen>

using namespace basSystem;

namespace {
// The share of the screen the frame covers when no place was remembered.
constexpr double firstStartShare = 0.9;

QRect firstStartGeometry(const QWidget &frame)
{
    const QScreen *screen = frame.screen() ? frame.screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize size(qRound(available.width() * firstStartShare), qRound(available.height() * firstStartShare));
    QRect r(QPoint(), size);
    r.moveCenter(available.center());
    return r;
}
}   // namespace

mdiMain::mdiMain() : mRecoveryStore(RecoveryStore::start()), mCloseReason(vbFormMDIForm)
{
    setWindowTitle(appTitle);
    QApplication::setWindowIcon(programIcon());
    mArea = new QMdiArea(this);
    // A window that lies partly outside the area can be scrolled into sight.
    mArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mArea);
    KForm::setDefaultArea(mArea);
    setGeometry(firstStartGeometry(*this));
    mLive = new LivePreview(this);
    connect(mLive, &LivePreview::addressChanged, this, &mdiMain::showLiveAddress);
    // A page saved while the site tree is closed: the tree shown again draws the saved text.
    connect(&PageEvents::instance(), &PageEvents::saved, this, [this](frmChild1 *editor) {
        if (!mTree || mTree->isUnloaded())
            frmTree::takeSavedText(editor);
    });
    createMenus();
}

mdiMain::~mdiMain() = default;

bool mdiMain::MDIForm_Load()
{
    QString failure;
    if (!PlaceDefaultFiles(&failure) || !LoadSettings(&failure)) {
        ShowMessage(failure);
        return false;
    }
    mSettingsLoaded = true;
    resetPageTables();
    restoreFrameGeometry();
    if (gTagWinVisible != 0)
        showTagWindow();
    if (gTreeWinVisible != 0 && !mUnloaded)
        showTreeWindow();
    return true;
}

void mdiMain::restoreFrameGeometry()
{
    if (gFrameWidth <= 0 || gFrameHeight <= 0)
        return;
    const QRect r = toPixels(TwipRect{gFrameLeft, gFrameTop, gFrameWidth, gFrameHeight});
    // A place on a screen that is no longer there is not kept.
    const QScreen *screen = QGuiApplication::screenAt(r.center());
    if (!screen)
        return;
    setGeometry(r);
}

void mdiMain::recordFrameGeometry() const
{
    const QRect r = isMaximized() ? normalGeometry() : geometry();
    if (r.width() <= 0 || r.height() <= 0)
        return;
    gFrameLeft = pixelsToTwipsX(r.x());
    gFrameTop = pixelsToTwipsY(r.y());
    gFrameWidth = pixelsToTwipsX(r.width());
    gFrameHeight = pixelsToTwipsY(r.height());
    gFrameMaximized = isMaximized() ? -1 : 0;
}

void mdiMain::showAsRemembered()
{
    if (gFrameMaximized != 0)
        showMaximized();
    else
        show();
}

frmTAG *mdiMain::showTagWindow()
{
    if (!mTag || mTag->isUnloaded())
        mTag = new frmTAG(mArea);
    mTag->Show();
    gTagWinVisible = -1;
    return mTag;
}

frmTree *mdiMain::showTreeWindow()
{
    if (!mTree || mTree->isUnloaded()) {
        mTree = new frmTree(mArea);
        connect(mTree, &frmTree::quitRequested, this, &mdiMain::quit);
        mTree->showSite();
    }
    mTree->Show();
    gTreeWinVisible = -1;
    return mTree;
}

void mdiMain::quit()
{
    closeFrame(vbFormMDIForm);
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
        frmChild1::writeAllRecoveryCopies();
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
    mLive->stop();
    // Settings that were never read in full are not written back over the file.
    QString failure;
    if (mSettingsLoaded) {
        recordFrameGeometry();
        if (!SaveSettings(&failure))
            ShowMessage(failure);
    }
    DeletePreviewFiles();
}

int DeletePreviewFiles()
{
    int deleted = 0;
    for (int n = 1;; ++n) {
        const QString path = AppFilePath(QStringLiteral("temp%1.htm").arg(n));
        if (!QFile::remove(path))
            return deleted;
        ++deleted;
    }
}
