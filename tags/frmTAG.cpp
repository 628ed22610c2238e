#include "tags/frmTAG.h"
#include "tags/TagTexts.h"
#include "app/basSystem.h"
#include "common/FormLayout.h"
#include "common/TextHelpers.h"
#include "editor/frmChild1.h"
#include "platform/Platform.h"
#include "tags/TagDatabase.h"
#include "tags/TagKeys.h"
#include "tags/TagWrap.h"
#include "platform/Fonts.h"
#include "platform/Messages.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

using namespace basSystem;

namespace {
// Types `tagText` into the text box `target` as queued keystrokes, with the input method
// switched off while they are queued and set back afterwards, so that the characters
// arrive unconverted. Typing replaces the selection and leaves the caret after the text.
void typeTagText(QWidget *target, QStringView tagText)
{
    if (!target)
        return;
    const bool inputMethodWasOn = target->testAttribute(Qt::WA_InputMethodEnabled);
    target->setAttribute(Qt::WA_InputMethodEnabled, false);
    for (const TagKey &k : expandTagText(tagText))
        platform().sendKey(target, k.key, k.text);
    target->setAttribute(Qt::WA_InputMethodEnabled, inputMethodWasOn);
}

// Puts `pair` around the selection of `textBox` as one undo step and leaves the selection
// on the text it wrapped.
void wrapSelection(QPlainTextEdit *textBox, const TagPair &pair)
{
    QTextCursor cursor = textBox->textCursor();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    cursor.beginEditBlock();
    cursor.setPosition(end);
    cursor.insertText(pair.after);
    cursor.setPosition(start);
    cursor.insertText(pair.before);
    cursor.endEditBlock();
    const int shift = cursor.position() - start;
    cursor.setPosition(start + shift);
    cursor.setPosition(end + shift, QTextCursor::KeepAnchor);
    textBox->setTextCursor(cursor);
}

// A button's tooltip: the text the button types, line breaks and tabs as typed.
QString snippetTip(QStringView tagText)
{
    return Qt::convertFromPlainText(typedText(expandTagText(tagText)), Qt::WhiteSpacePre);
}

// The designed places, in twips inside the client area (2700 × 7770).
constexpr TwipRect designedPicTag{0, 30, 2355, 7695};
constexpr TwipRect designedScrTag{2400, 60, 255, 7665};
constexpr int buttonLeft = 60;
constexpr int buttonTop = 60;
constexpr int buttonWidth = 1515;
constexpr int buttonHeight = 375;
constexpr int buttonPitch = 500;

QPushButton *createButtonTemplate(QWidget *picTag)
{
    auto *button = new QPushButton(picTag);
    button->setFont(msGothicFont());
    KForm::placeControl(button, frmTAG::buttonRect(1));
    button->hide();
    return button;
}

}   // namespace

frmTAG::frmTAG(QMdiArea *area)
    : KForm(area, Border::SizableToolWindow),
      mPicTag(new QWidget(this)),
      mCmdBase(createButtonTemplate(mPicTag), [](QWidget *parent) { return new QPushButton(parent); })
{
    setCaption(tagTexts::caption);
    createControls();
    Form_Load();
}

TwipRect frmTAG::buttonRect(int index)
{
    return TwipRect{buttonLeft, (index - 1) * buttonPitch + buttonTop, buttonWidth, buttonHeight};
}

void frmTAG::createControls()
{
    placePicTag(designedPicTag);
    mScrTag = new QScrollBar(Qt::Vertical, this);
    mScrTag->setRange(0, 32767);
    mScrTag->setSingleStep(1);
    mScrTag->setPageStep(1);
    // A change is reported when the thumb is released, not while it is dragged.
    mScrTag->setTracking(false);
    placeScrTag(designedScrTag);
    connect(mScrTag, &QScrollBar::valueChanged, this, &frmTAG::scrTag_Change);
    setTabOrder(mPicTag, mScrTag);
}

void frmTAG::Form_Load()
{
    mbNoResize = true;
    setHeight(designedHeight);
    setWidth(designedWidth);
    mlPrevHeight = designedHeight;
    mlPrevWidth = designedWidth;
    LoadTagDatabase();
    // Button indices are 16-bit: tags past 32767 stay in the table without a button.
    const int tags = int(std::min<qsizetype>(gTagTable.size() - 1, ControlArray<QPushButton>::maxIndex));
    for (int i = 1; i <= tags; ++i)
        AddTagButton(i);
    mbNoResize = false;
    applyStoredGeometry(gTagWinHeight, gTagWinWidth, gTagWinTop, gTagWinLeft);
}

void frmTAG::LoadTagDatabase()
{
    const QString path = AppFilePath(tagDatabaseFileName);
    TagDatabaseLoad load = readTagDatabase(path);
    gTagTable = std::move(load.table);
    if (!load.ok)
        ShowMessage(failureText(tagTexts::msgLoadFailed, path, load.error));
}

void frmTAG::AddTagButton(int index)
{
    QPushButton *button = mCmdBase.load(index);
    if (!button)
        return;
    placeControl(button, buttonRect(index));
    button->setText(gTagTable.at(index).ButtonCaption);
    button->setToolTip(snippetTip(gTagTable.at(index).TagText));
    connect(button, &QPushButton::clicked, this, [this, index] { cmdBase_Click(index); });
    button->show();
}

void frmTAG::cmdBase_Click(int index)
{
    frmChild1 *editor = liveEditor(gActiveEditor);
    if (!editor || index < 1 || index >= gTagTable.size())
        return;
    editor->Show();
    // A tag that would take the page past its limits is not typed at all.
    if (!editor->allowsTyping(typedText(gTagTable.at(index).TagText)))
        return;
    QPlainTextEdit *textBox = editor->txtEdit();
    textBox->setFocus(Qt::OtherFocusReason);
    // A start tag and its end tag wrap a selection; anything else is typed, as keys would.
    const QString &tagText = gTagTable.at(index).TagText;
    const std::optional<TagPair> pair
        = textBox->textCursor().hasSelection() ? tagPair(typedText(expandTagText(tagText))) : std::nullopt;
    if (pair)
        wrapSelection(textBox, *pair);
    else
        typeTagText(textBox, tagText);
}

void frmTAG::Form_Resize()
{
    if (mbNoResize)
        return;
    if (Height() < minimumHeight) {
        mbNoResize = true;
        setHeight(minimumHeight);
        mbNoResize = false;
        return;
    }
    // The twip numbers follow the window even below zero width, so that growing it again
    // restores the margins exactly; a control is never placed with a negative size.
    using namespace formLayout;
    const SizeChange change = sizeChange(mlPrevWidth, mlPrevHeight, Width(), Height());
    placePicTag(follow(mPicTagRect, change, Follow::Stretch));
    placeScrTag(follow(mScrTagRect, change, Follow::MoveRight));
    mlPrevWidth = Width();
    mlPrevHeight = Height();
}

void frmTAG::scrTag_Change()
{
    // A pressed arrow would keep repeating behind the message box; end the press first.
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(), QPointF(), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(mScrTag, &release);
    platform().messageBox(tagTexts::msgScrollNotYet, appTitle, vbOKOnly);
}

void frmTAG::Form_Activate()
{
    gTagWinVisible = -1;
}

void frmTAG::Form_QueryUnload(bool &, int reason)
{
    recordGeometry(reason, gTagWinHeight, gTagWinWidth, gTagWinTop, gTagWinLeft, gTagWinVisible);
}

void frmTAG::placePicTag(const TwipRect &r)
{
    mPicTagRect = r;
    placeControl(mPicTag, r);
}

void frmTAG::placeScrTag(const TwipRect &r)
{
    mScrTagRect = r;
    placeControl(mScrTag, r);
}
