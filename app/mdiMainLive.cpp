// The frame's live preview commands, and its status line showing the preview's address
// with a button that copies it.

#include "app/AppTexts.h"
#include "app/mdiMain.h"
#include "common/TextHelpers.h"
#include "editor/EditorTexts.h"
#include "editor/LivePreview.h"
#include "editor/frmChild1.h"
#include "platform/Messages.h"
#include "platform/Platform.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>

using namespace basSystem;

void mdiMain::startLivePreview()
{
    frmChild1 *editor = activeShownEditor();
    if (!editor)
        return;
    QString error;
    const QString address = mLive->pageAddress(editor, &error);
    if (address.isEmpty()) {
        ShowMessage(error);
        return;
    }
    platform().openAddressInBrowser(address, [address](const QString &reason) {
        ShowMessage(failureText(editorTexts::msgBrowserFailed, address, reason));
    });
}

void mdiMain::stopLivePreview()
{
    mLive->stop();
}

// The status line appears with the first address and goes when the preview stops.
void mdiMain::showLiveAddress()
{
    const QString address = mLive->address();
    mStopLive->setEnabled(!address.isEmpty());
    if (!mLiveAddress && address.isEmpty())
        return;
    if (!mLiveAddress) {
        mLiveAddress = new QLabel(statusBar());
        mLiveAddress->setTextInteractionFlags(Qt::TextSelectableByMouse);
        auto *copy = new QToolButton(statusBar());
        copy->setText(appTexts::copyLiveAddress);
        copy->setToolTip(appTexts::copyLiveAddressTip);
        copy->setFocusPolicy(Qt::NoFocus);
        connect(copy, &QToolButton::clicked, this, [this] { QGuiApplication::clipboard()->setText(mLive->address()); });
        statusBar()->addWidget(mLiveAddress, 1);
        statusBar()->addPermanentWidget(copy);
    }
    mLiveAddress->setText(appTexts::liveAddress + address);
    statusBar()->setVisible(!address.isEmpty());
}
