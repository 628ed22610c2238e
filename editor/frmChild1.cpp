#include "editor/frmChild1.h"
#include "app/basSystem.h"
#include "common/TextHelpers.h"
#include "editor/EditorText.h"
#include "editor/LinkRewrite.h"
#include "editor/PageFiles.h"
#include "platform/Icons.h"
#include "platform/Platform.h"
#include "platform/Fonts.h"
#include "platform/Messages.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QToolButton>

using namespace basSystem;

namespace {
const QString initialText = QStringLiteral("読み込み失敗\r\n");
const QString txtEditTip = QStringLiteral("ごめんなさい。最大32KBだそうです。代替案を検討中です。");
const QString cmdSavTip = QStringLiteral("上書き保存");
const QString cmdSAsTip = QStringLiteral("名前を付けて保存");
const QString cmdBrzTip = QStringLiteral("ＩＥで確認する");
const QString cmdCloTip = QStringLiteral("ＨＰ定義を閉じる");


// The record of page `id`, or nullptr when the page table has no such page.
PageRecord *pageRecord(qint32 id)
{
    if (id < 1 || id >= gPageTable.size())
        return nullptr;
    return &gPageTable[id];
}
} // namespace

frmChild1::frmChild1(QMdiArea *area) : KForm(area, Border::Sizable)
{
    createControls();
    watchForRecovery();
    setCaption(QStringLiteral("Form1"));
    setText(initialText);
    Form_Load();
}

void frmChild1::createControls()
{
    mTxtEdit = new QPlainTextEdit(this);
    mTxtEdit->setFont(msGothicFont());
    mTxtEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    mTxtEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mTxtEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mTxtEdit->setTabChangesFocus(false);
    mTxtEdit->setTabStopDistance(QFontMetricsF(mTxtEdit->font()).horizontalAdvance(QLatin1Char(' ')) * 8);
    mTxtEdit->setToolTip(txtEditTip);
    connect(mTxtEdit->document(), &QTextDocument::modificationChanged, this, [this](bool modified) {
        setModifiedMark(modified);
        emit modifiedChanged(modified);
    });
    placeControl(mTxtEdit, txtEditRect());
    setFocusProxy(mTxtEdit);

    mCmdSav = addButton(CommandIcon::Save, editorLayout::cmdSav, cmdSavTip);
    mCmdSAs = addButton(CommandIcon::SaveAs, editorLayout::cmdSAs, cmdSAsTip);
    mCmdBrz = addButton(CommandIcon::Preview, editorLayout::cmdBrz, cmdBrzTip);
    mCmdClo = addButton(CommandIcon::Close, editorLayout::cmdClo, cmdCloTip);
    connect(mCmdSav, &QToolButton::clicked, this, &frmChild1::cmdSav_Click);
    connect(mCmdSAs, &QToolButton::clicked, this, &frmChild1::cmdSAs_Click);
    connect(mCmdBrz, &QToolButton::clicked, this, &frmChild1::cmdBrz_Click);
    connect(mCmdClo, &QToolButton::clicked, this, &frmChild1::cmdClo_Click);
}

// A picture button that never takes the focus, so that Tab in the text box types a tab.
QToolButton *frmChild1::addButton(CommandIcon icon, const TwipRect &place, const QString &tip)
{
    auto *button = new QToolButton(this);
    button->setIcon(commandIcon(icon));
    button->setIconSize(QSize(commandIconSize, commandIconSize));
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::NoFocus);
    placeControl(button, place);
    return button;
}

void frmChild1::Form_Load()
{
    mbNoResize = true;
    setWidth(editorLayout::designedWidth);
    setHeight(editorLayout::designedHeight);
    mlPrevWidth = Width();
    mlPrevHeight = Height();
    mbNoResize = false;
}

QString frmChild1::text() const
{
    if (!mDocumentFilled)
        return editorText::crLfText(editorText::documentText(mPendingText));
    return editorText::crLfText(mTxtEdit->document()->toRawText());
}

void frmChild1::setText(const QString &text)
{
    if (mDocumentFilled) {
        mTxtEdit->setPlainText(editorText::documentText(text));
        mTxtEdit->document()->setModified(false);
    } else {
        mPendingText = text;
    }
}

bool frmChild1::isModified() const
{
    return mDocumentFilled && mTxtEdit->document()->isModified();
}

QPlainTextEdit *frmChild1::txtEdit() const
{
    fillDocument();
    return mTxtEdit;
}

void frmChild1::fillDocument() const
{
    if (mDocumentFilled)
        return;
    mDocumentFilled = true;
    mTxtEdit->setPlainText(editorText::documentText(mPendingText));
    mTxtEdit->document()->setModified(false);
    mPendingText = QString();
}

void frmChild1::showEvent(QShowEvent *event)
{
    fillDocument();
    KForm::showEvent(event);
}

void frmChild1::Form_Activate()
{
    gActiveEditor = this;
    mbNoResize = false;
}

void frmChild1::Form_Deactivate()
{
    mbNoResize = true;
}

void frmChild1::Form_Resize()
{
    if (mbNoResize || isMinimized())
        return;
    if (Height() < editorLayout::minimumHeight) {
        mbNoResize = true;
        setHeight(editorLayout::minimumHeight);
        mbNoResize = false;
        return;
    }
    mTxtExtent = editorLayout::followOuterSize(mTxtExtent, mlPrevWidth, mlPrevHeight, Width(), Height());
    placeControl(mTxtEdit, txtEditRect());
    mlPrevWidth = Width();
    mlPrevHeight = Height();
}

void frmChild1::Form_QueryUnload(bool &cancel, int reason)
{
    // The close box only hides the editor; anything else discards it.
    if (reason == vbFormControlMenu) {
        Hide();
        cancel = true;
        return;
    }
    if (gActiveEditor == this)
        gActiveEditor.clear();
    // When no one could be asked, the copy is what is left of the unsaved text.
    if (reason != vbAppWindows)
        dropRecoveryCopy();
}

void frmChild1::cmdSav_Click()
{
    save();
}

void frmChild1::cmdSAs_Click()
{
    saveAs();
}

bool frmChild1::save()
{
    const PageRecord *page = pageRecord(plId);
    if (!page)
        return false;
    if (page->FileName.isEmpty())
        return saveAs();
    const QString path = page->Folder + page->FileName;
    QString error;
    if (!pageFiles::writePageText(path, text(), page->Encoding, &error, &mFileHash)) {
        ShowMessage(failureText(pageFiles::msgSaveFailed, path, error));
        return false;
    }
    if (mDocumentFilled)
        mTxtEdit->document()->setModified(false);
    dropRecoveryCopy();
    emit saved();
    return true;
}

bool frmChild1::saveAs()
{
    dlgChi.DefaultExt = pageFiles::pageDefaultExt;
    dlgChi.Filter = pageFiles::pageFilter;
    dlgChi.InitDir = gSite.Folder;
    if (!dlgChi.ShowSave())
        return false;
    // A name that is empty, or a folder without a file name, names nothing to write.
    if (dlgChi.FileName.trimmed().isEmpty() || dlgChi.FileTitle.isEmpty())
        return false;
    PageRecord *page = pageRecord(plId);
    if (!page)
        return false;
    page->Folder = dlgChi.folder();
    page->FileName = dlgChi.FileTitle;
    return save();
}

void frmChild1::cmdBrz_Click()
{
    const PageRecord *page = pageRecord(plId);
    const QString folder = page ? page->Folder : QString();
    const TextEncoding encoding = page ? page->Encoding : TextEncoding::Cp932;
    const QString path = AppFilePath(pageFiles::previewFileName(plId));
    QString error;
    if (!pageFiles::writePreviewText(path, linkRewrite::previewText(text(), folder), encoding, &error)) {
        ShowMessage(failureText(pageFiles::msgPreviewFailed, path, error));
        return;
    }
    if (!platform().openInBrowser(path))
        ShowMessage(pageFiles::msgBrowserFailed);
}

void frmChild1::cmdClo_Click()
{
    Hide();
}
