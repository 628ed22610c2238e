#include "editor/frmChild1.h"
#include "app/basSystem.h"
#include "common/TextFile.h"
#include "common/TextHelpers.h"
#include "editor/EditorText.h"
#include "editor/EditorFiller.h"
#include "editor/EditorTexts.h"
#include "editor/FindBar.h"
#include "editor/LinkRewrite.h"
#include "editor/PageFiles.h"
#include "editor/PageEvents.h"
#include "editor/PageTextEdit.h"
#include "editor/PreviewCharset.h"
#include "editor/RecoveryCopier.h"
#include "editor/TypingPause.h"
#include "platform/CommandKeys.h"
#include "platform/Icons.h"
#include "platform/Platform.h"
#include "platform/Fonts.h"
#include "platform/Messages.h"
#include "site/SiteFile.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>

#include <algorithm>
#include <utility>

using namespace basSystem;

namespace {

// The record of page `id`, or nullptr when the page table has no such page.
PageRecord *pageRecord(qint32 id)
{
    if (id < 1 || id >= gPageTable.size())
        return nullptr;
    return &gPageTable[id];
}
}   // namespace

frmChild1::frmChild1(QMdiArea *area) : KForm(area, Border::Sizable)
{
    setCaption(QStringLiteral("Form1"));
    setText(editorTexts::initialText);
    Form_Load();
    PageEvents::follow(this);
}

void frmChild1::ensureControls()
{
    if (!mTxtEdit)
        createControls();
}

QToolButton *frmChild1::cmdSav() const
{
    self()->ensureControls();
    return mCmdSav;
}

QToolButton *frmChild1::cmdSAs() const
{
    self()->ensureControls();
    return mCmdSAs;
}

QToolButton *frmChild1::cmdBrz() const
{
    self()->ensureControls();
    return mCmdBrz;
}

QToolButton *frmChild1::cmdClo() const
{
    self()->ensureControls();
    return mCmdClo;
}

void frmChild1::createControls()
{
    mTxtEdit = new PageTextEdit(this);
    mTxtEdit->setFont(msGothicFont());
    setWordWrap(gEditorWrap != 0);
    mTxtEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mTxtEdit->setTabChangesFocus(false);
    mTxtEdit->setTabStopDistance(QFontMetricsF(mTxtEdit->font()).horizontalAdvance(QLatin1Char(' ')) * 8);
    mTxtEdit->setToolTip(editorTexts::txtEditTip);
    connect(mTxtEdit->document(), &QTextDocument::modificationChanged, this, [this](bool modified) {
        if (mReplacingText)
            return;   // a text set from outside is no change of the user's
        setModifiedMark(modified);
        emit modifiedChanged(modified);
    });
    mStatusLine = new QLabel(this);
    mStatusLine->setFont(mTxtEdit->font());
    mStatusLine->setIndent(twipsToPixelsX(editorLayout::txtEdit.left));
    connect(mTxtEdit, &QPlainTextEdit::cursorPositionChanged, this, &frmChild1::showCaretPlace);
    connect(mTxtEdit->document(), &QTextDocument::contentsChange, this, &frmChild1::followContentsChange);
    showCaretPlace();
    guardPageLimits();
    placeTextArea();
    setFocusProxy(mTxtEdit);
    mTxtEdit->installEventFilter(this);
    mTxtEdit->viewport()->installEventFilter(this);
    watchForRecovery();
    connect(new TypingPause(mTxtEdit->document(), this), &TypingPause::paused, this, &frmChild1::typingPaused);

    mCmdSav
        = addButton(CommandIcon::Save, editorLayout::cmdSav, tipWithKey(editorTexts::cmdSavTip, CommandKey::SavePage));
    mCmdSAs = addButton(CommandIcon::SaveAs, editorLayout::cmdSAs,
                        tipWithKey(editorTexts::cmdSAsTip, CommandKey::SavePageAs));
    mCmdBrz = addButton(CommandIcon::Preview, editorLayout::cmdBrz,
                        tipWithKey(editorTexts::cmdBrzTip, CommandKey::Preview));
    mCmdClo = addButton(CommandIcon::Close, editorLayout::cmdClo,
                        tipWithKey(editorTexts::cmdCloTip, CommandKey::ClosePage));
    connect(mCmdSav, &QToolButton::clicked, this, &frmChild1::cmdSav_Click);
    connect(mCmdSAs, &QToolButton::clicked, this, &frmChild1::cmdSAs_Click);
    connect(mCmdBrz, &QToolButton::clicked, this, &frmChild1::cmdBrz_Click);
    connect(mCmdClo, &QToolButton::clicked, this, &frmChild1::cmdClo_Click);
    // An editor shown while a site was read makes its controls once it is already shown.
    if (isVisible()) {
        const QList<QWidget *> controls{mTxtEdit, mStatusLine, mCmdSav, mCmdSAs, mCmdBrz, mCmdClo};
        for (QWidget *control : controls)
            control->show();
        passFocusToProxy();
    }
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

QLabel *frmChild1::statusLine() const
{
    self()->ensureControls();
    return mStatusLine;
}

// The text box's place from the layout rule, shared with the status line below it, one
// text line high. Further bars along the bottom edge take their strip here.
void frmChild1::placeTextArea()
{
    const int statusHeight = pixelsToTwipsY(QFontMetrics(mStatusLine->font()).lineSpacing() + 2);
    const auto withStatus = editorLayout::splitBottomBar(txtEditRect(), statusHeight);
    placeControl(mStatusLine, withStatus.bar);
    if (!mFindBar || mFindBar->isHidden()) {
        placeControl(mTxtEdit, withStatus.textBox);
        return;
    }
    // The bar's status line wraps a long text: the bar takes the height it then needs.
    const int barWidth = twipsToPixelsX(withStatus.textBox.width);
    const int barHeight = pixelsToTwipsY(mFindBar->hasHeightForWidth() ? mFindBar->heightForWidth(barWidth)
                                                                       : mFindBar->sizeHint().height());
    const auto withBar = editorLayout::splitBottomBar(withStatus.textBox, barHeight);
    placeControl(mTxtEdit, withBar.textBox);
    placeControl(mFindBar, withBar.bar);
}

void frmChild1::showCaretPlace()
{
    const QTextCursor caret = mTxtEdit->textCursor();
    const int line = caret.blockNumber() + 1;
    const int column = caret.positionInBlock() + 1;
    QString place = isFilling() ? editorTexts::caretPlaceLoading(line, column, int(mFillFrom * 100 / mFillText.size()))
                                : editorTexts::caretPlace(line, column);
    if (mRecovery && !mRecovery->failure().isEmpty())
        place += editorTexts::recoveryFailedMark;
    mStatusLine->setText(place);
}

void frmChild1::guardPageLimits()
{
    mTxtEdit->guardPageLimits([this] { return pageEncoding(); },
                              [](const PageExcess &excess) { ShowMessage(editorTexts::editRefused(excess)); });
}

TextEncoding frmChild1::pageEncoding() const
{
    const PageRecord *page = pageRecord(plId);
    return page ? page->Encoding : TextEncoding::Cp932;
}

bool frmChild1::allowsTyping(QStringView text)
{
    txtEdit();
    return mTxtEdit->allowsInsert(text);
}

bool frmChild1::wordWrap() const
{
    return mTxtEdit ? mTxtEdit->lineWrapMode() == QPlainTextEdit::WidgetWidth : gEditorWrap != 0;
}

void frmChild1::setWordWrap(bool on)
{
    ensureControls();
    mTxtEdit->setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    mTxtEdit->setHorizontalScrollBarPolicy(on ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn);
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
    finishFilling();
    if (!mDocumentFilled && mEdits.hasPending())
        return editorText::crLfText(searchText());
    if (!mDocumentFilled)
        return editorText::crLfText(editorText::documentText(mPendingText));
    return editorText::crLfText(mTxtEdit->document()->toRawText());
}

void frmChild1::setText(const QString &text)
{
    if (mDocumentFilled) {
        replaceDocument(text);
    } else {
        const bool wasModified = isModified();
        mPendingText = text;
        mEdits.clearPending();
        markPendingEdits(wasModified);
    }
    emit PageEvents::instance().textReplaced(this);
}

bool frmChild1::isModified() const
{
    return mDocumentFilled ? mTxtEdit->document()->isModified() : mEdits.hasPending();
}

QPlainTextEdit *frmChild1::txtEdit() const
{
    fillDocument();
    finishFilling();
    return mTxtEdit;
}

QPlainTextEdit *frmChild1::textBoxAsItStands() const
{
    self()->ensureControls();
    return mTxtEdit;
}

void frmChild1::fillDocument() const
{
    if (mDocumentFilled)
        return;
    self()->ensureControls();
    mDocumentFilled = true;
    self()->replaceDocument(std::exchange(mPendingText, QString()));
    if (mEdits.hasPending()) {
        // The edits were part of the text as it was shown to searches and saves already, so
        // making them now is no edit to tell of.
        finishFilling();
        self()->mReplacingText = true;
        self()->mEdits.applyPending(mTxtEdit->document());
        self()->mReplacingText = false;
    }
    if (isVisible())
        mTxtEdit->startHighlighting();   // only a shown editor colours its text
}

// A waiting editor gets its text before anything can reach its text box: a click, the
// focus, a drop. Esc in the text box closes the find bar, as it does inside the bar.
bool frmChild1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mTxtEdit && event->type() == QEvent::KeyPress && mFindBar && mFindBar->isVisible()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            closeFindBar();
            return true;
        }
    }
    if (!mDocumentFilled && mTxtEdit && (watched == mTxtEdit || watched == mTxtEdit->viewport())) {
        const QEvent::Type type = event->type();
        if (type == QEvent::FocusIn || type == QEvent::MouseButtonPress || type == QEvent::DragEnter)
            fillDocument();
    }
    return KForm::eventFilter(watched, event);
}

// Puts `text` into the text box as the unchanged text; a long one only its first piece,
// the rest following piece by piece. The document passes through "modified" on the way;
// telling the tree (which then looks at every page) would cost each editor filled at
// opening a walk over the whole site.
void frmChild1::replaceDocument(const QString &text)
{
    stopFilling();
    const bool wasModified = mTxtEdit->document()->isModified();
    const qsizetype firstEnd = text.size() > editorText::wholeTextChars ? editorText::pieceEnd(text, 0) : text.size();
    mReplacingText = true;
    mTxtEdit->setLinesToCome(lineFeedCount(text) + 1);
    mTxtEdit->setPlainText(editorText::documentText(firstEnd == text.size() ? text : text.first(firstEnd)));
    mTxtEdit->document()->setModified(false);
    mReplacingText = false;
    if (firstEnd < text.size())
        startFilling(text, firstEnd);
    else
        mTxtEdit->setLinesToCome(0);
    if (wasModified) {
        setModifiedMark(false);
        emit modifiedChanged(false);
    }
}

// The rest of the text goes in while the program is idle; no edit can come between the
// pieces, and none of them is an undo step.
void frmChild1::startFilling(const QString &text, qsizetype from)
{
    mFillText = text;
    mFillFrom = from;
    mTxtEdit->setReadOnly(true);
    mTxtEdit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    mTxtEdit->document()->setUndoRedoEnabled(false);
    EditorFiller::instance().fillInPieces(this);
    showCaretPlace();
}

bool frmChild1::fillNextPiece()
{
    if (!isFilling())
        return false;
    const qsizetype end = editorText::pieceEnd(mFillText, mFillFrom);
    appendToDocument(QStringView(mFillText).sliced(mFillFrom, end - mFillFrom));
    mFillFrom = end;
    if (mFillFrom == mFillText.size())
        stopFilling();
    else
        showCaretPlace();
    return isFilling();
}

void frmChild1::finishFilling() const
{
    if (!isFilling())
        return;
    self()->appendToDocument(QStringView(mFillText).sliced(mFillFrom));
    self()->stopFilling();
}

void frmChild1::stopFilling()
{
    if (!isFilling())
        return;
    mFillText = QString();
    mFillFrom = 0;
    mTxtEdit->document()->setUndoRedoEnabled(true);
    mTxtEdit->setReadOnly(false);
    mTxtEdit->setLinesToCome(0);
    showCaretPlace();
}

void frmChild1::appendToDocument(QStringView piece)
{
    QTextCursor end(mTxtEdit->document());
    end.movePosition(QTextCursor::End);
    mReplacingText = true;
    end.insertText(editorText::documentText(piece.toString()));
    mTxtEdit->document()->setModified(false);
    mReplacingText = false;
}

// Editors shown together while a site is read take their controls and text once they can
// be seen (contentsSeen), so that a site with every page open shows at once; an editor
// shown on its own takes them at once.
void frmChild1::showEvent(QShowEvent *event)
{
    if (!KForm::ShowBatch::active() || mDocumentFilled) {
        fillDocument();
        mTxtEdit->startHighlighting();   // only a shown editor colours its text
    }
    KForm::showEvent(event);
}

void frmChild1::contentsSeen()
{
    if (!mDocumentFilled)
        EditorFiller::instance().fillSeen(this);   // its controls too: a text box takes a while to make
}

void frmChild1::Form_Activate()
{
    fillDocument();
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
    if (mTxtEdit)
        placeTextArea();
    mlPrevWidth = Width();
    mlPrevHeight = Height();
}

void frmChild1::Form_QueryUnload(bool &cancel, int reason)
{
    rememberPlace();
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

bool frmChild1::confirmReplaceUnread(const QString &path)
{
    const QFileInfo target(path);
    if (!target.exists() && !target.isSymLink())
        return true;
    const QPointer<frmChild1> self(this);
    const int answer = platform().messageBox(failureText(editorTexts::msgOverwriteUnread, path, QString()),
                                             messageTitle, vbYesNo | vbDefaultButton2);
    return self && answer == vbYes;
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
    if (!pageFiles::systemCarriesName(path)) {
        ShowMessage(failureText(editorTexts::msgNameUnusable, path, QString()));
        return false;
    }
    if (mNotRead && !confirmReplaceUnread(path))
        return false;
    QString error;
    const QString written = text();
    if (!pageFiles::writePageText(path, written, page->Encoding, &error, &mFileHash)) {
        ShowMessage(failureText(editorTexts::msgSaveFailed, path, error));
        return false;
    }
    mNotRead = false;
    if (mDocumentFilled)
        mTxtEdit->document()->setModified(false);
    else if (mEdits.hasPending())
        setText(written);
    dropRecoveryCopy();
    emit saved();
    return true;
}

bool frmChild1::saveAs()
{
    dlgChi.DefaultExt = pageFiles::pageDefaultExt;
    dlgChi.Filter = editorTexts::pageFilter;
    dlgChi.InitDir = gSite.Folder;
    const QPointer<frmChild1> self(this);
    if (!dlgChi.ShowSave() || !self)
        return false;
    // A name that is empty, or a folder without a file name, names nothing to write.
    if (dlgChi.FileName.trimmed().isEmpty() || dlgChi.FileTitle.isEmpty())
        return false;
    PageRecord *page = pageRecord(plId);
    if (!page || !pageNameUsable(dlgChi.folder(), dlgChi.FileTitle))
        return false;
    page->Folder = dlgChi.folder();
    page->FileName = dlgChi.FileTitle;
    return save();
}

bool pageNameUsable(const QString &folder, const QString &fileName)
{
    const QString path = folder + fileName;
    if (!pageFiles::systemCarriesName(path)) {
        ShowMessage(failureText(editorTexts::msgNameUnusable, path, QString()));
        return false;
    }
    if (!ksd::entryCarries(folder, fileName)) {
        ShowMessage(failureText(editorTexts::msgNameNotInDefinition, path, QString()));
        return false;
    }
    return true;
}

void frmChild1::cmdBrz_Click()
{
    const PageRecord *page = pageRecord(plId);
    const QString folder = page ? page->Folder : QString();
    const TextEncoding encoding = page ? page->Encoding : TextEncoding::Cp932;
    const QString path = AppFilePath(pageFiles::previewFileName(plId));
    QString error;
    const QString preview = previewCharset::withDeclaredCharset(linkRewrite::previewText(text(), folder), encoding);
    if (!pageFiles::writePreviewText(path, preview, encoding, &error)) {
        ShowMessage(failureText(editorTexts::msgPreviewFailed, path, error));
        return;
    }
    // The window goes on while the desktop opens the browser; should it fail, the user is
    // told why. The preview file stays, so that the user can open it by hand.
    platform().openInBrowser(
        path, [path](const QString &reason) { ShowMessage(failureText(editorTexts::msgBrowserFailed, path, reason)); });
}

void frmChild1::showFocused()
{
    Show();
    if (isEnabled())
        SetFocus();
}

FindBar *frmChild1::findBar()
{
    if (!mFindBar) {
        txtEdit();   // the whole text in the text box first
        mFindBar = new FindBar(mTxtEdit, this);
        connect(mFindBar, &FindBar::closeRequested, this, &frmChild1::closeFindBar);
        connect(mFindBar, &FindBar::statusChanged, this, &frmChild1::placeTextArea);
    }
    return mFindBar;
}

void frmChild1::openFindBar(bool replacing)
{
    findBar()->open(replacing);
    placeTextArea();
}

void frmChild1::closeFindBar()
{
    mFindBar->hide();
    placeTextArea();
    mTxtEdit->setFocus();
}

void frmChild1::findNext()
{
    if (findBar()->txtFind()->text().isEmpty())
        showFind();
    else
        mFindBar->findNext();
}

void frmChild1::findPrevious()
{
    if (findBar()->txtFind()->text().isEmpty())
        showFind();
    else
        mFindBar->findPrevious();
}

QString frmChild1::searchText() const
{
    if (!mDocumentFilled)
        return mEdits.withPending(textSearch::searchLines(editorText::documentText(mPendingText)));
    finishFilling();
    return textBoxSearchText(mTxtEdit);
}

void frmChild1::cmdClo_Click()
{
    rememberPlace();
    Hide();
}
