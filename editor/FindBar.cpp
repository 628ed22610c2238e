#include "editor/FindBar.h"
#include "editor/EditorTexts.h"
#include "editor/PageTextEdit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>

using namespace editorTexts;

namespace {
// The pattern and replacement fields show at least this many characters.
constexpr int fieldColumns = 16;
}   // namespace

QString textBoxSearchText(const QPlainTextEdit *textBox)
{
    return textSearch::searchLines(textBox->document()->toRawText());
}

TextBoxReplaced replaceAllInTextBox(PageTextEdit *textBox, const textSearch::Query &query, const QString &replacement)
{
    const QString text = textBoxSearchText(textBox);
    const textSearch::Replaced replaced = query.replaceAll(text, replacement);
    if (replaced.failure)
        return {0, replaced.failure, textSearch::lineNumberAt(text, replaced.failure.at), false};
    if (replaced.count == 0)
        return {};
    if (!textBox->allowsText(replaced.text))
        return {0, {}, 0, true};
    replaceTextBoxText(textBox, replaced.text);
    return {replaced.count, {}, 0, false};
}

void replaceTextBoxText(QPlainTextEdit *textBox, const QString &text)
{
    QTextCursor caret = textBox->textCursor();
    const int position = caret.position();
    QTextCursor edit(textBox->document());
    edit.beginEditBlock();
    edit.select(QTextCursor::Document);
    edit.insertText(text);
    edit.endEditBlock();
    caret.setPosition(std::min(position, textBox->document()->characterCount() - 1));
    textBox->setTextCursor(caret);
}

FindBar::FindBar(PageTextEdit *textBox, QWidget *parent) : QWidget(parent), mTextBox(textBox)
{
    createControls();
    hide();
}

void FindBar::createControls()
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setVerticalSpacing(2);
    mTxtFind = new QLineEdit(this);
    mTxtReplace = new QLineEdit(this);
    mTxtReplace->setToolTip(replacementTip);
    const int fieldWidth = mTxtFind->fontMetrics().horizontalAdvance(QLatin1Char('0')) * fieldColumns;
    mTxtFind->setMinimumWidth(fieldWidth);
    mTxtReplace->setMinimumWidth(fieldWidth);
    mChkCase = new QCheckBox(matchCase, this);
    mChkWord = new QCheckBox(wholeWord, this);
    mChkRegex = new QCheckBox(regex, this);
    // What a command found or failed to find, on a line of its own: a failure can take more.
    mLblStatus = new QLabel(this);
    mLblStatus->setWordWrap(true);
    mLblStatus->setMinimumHeight(mLblStatus->fontMetrics().lineSpacing());
    QToolButton *close = addButton(QStringLiteral("×"), closeBarTip, &FindBar::closeRequested);
    auto *findButtons = new QHBoxLayout;
    findButtons->addWidget(addButton(findPreviousButton, findPreviousTip, &FindBar::findPreviousClicked));
    findButtons->addWidget(addButton(findNextButton, findNextTip, &FindBar::findNextClicked));
    findButtons->addStretch(1);
    findButtons->addWidget(close);
    QToolButton *one = addButton(replaceOneButton, QString(), &FindBar::replaceOne);
    QToolButton *all = addButton(replaceAllButton, QString(), &FindBar::replaceAllClicked);
    auto *replaceButtons = new QHBoxLayout;
    replaceButtons->addWidget(one);
    replaceButtons->addWidget(all);
    replaceButtons->addStretch(1);
    auto *optionRow = new QHBoxLayout;
    optionRow->addWidget(mChkCase);
    optionRow->addWidget(mChkWord);
    optionRow->addWidget(mChkRegex);
    optionRow->addStretch(1);
    auto *findLabelWidget = new QLabel(findLabel, this);
    auto *replaceLabelWidget = new QLabel(replaceLabel, this);
    grid->addWidget(findLabelWidget, 0, 0);
    grid->addWidget(mTxtFind, 0, 1);
    grid->addLayout(findButtons, 0, 2);
    grid->addWidget(replaceLabelWidget, 1, 0);
    grid->addWidget(mTxtReplace, 1, 1);
    grid->addLayout(replaceButtons, 1, 2);
    grid->addLayout(optionRow, 2, 1, 1, 2);
    grid->addWidget(mLblStatus, 3, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    mReplaceRow = {replaceLabelWidget, mTxtReplace, one, all};
}

QToolButton *FindBar::addButton(const QString &text, const QString &tip, void (FindBar::*handler)())
{
    auto *button = new QToolButton(this);
    button->setText(text);
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, handler);
    return button;
}

void FindBar::open(bool replacing)
{
    for (QWidget *w : std::as_const(mReplaceRow))
        w->setVisible(replacing);
    const QString selected = mTextBox->textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        mTxtFind->setText(selected);
    setStatus(QString());
    show();
    mTxtFind->setFocus();
    mTxtFind->selectAll();
}

bool FindBar::isReplacing() const
{
    return mTxtReplace->isVisibleTo(this);
}

textSearch::Options FindBar::options() const
{
    return {mChkCase->isChecked(), mChkWord->isChecked(), mChkRegex->isChecked()};
}

void FindBar::setStatus(const QString &text)
{
    if (text == mLblStatus->text())
        return;
    mLblStatus->setText(text);
    emit statusChanged();
}

QString FindBar::statusText() const
{
    return mLblStatus->text();
}

bool FindBar::validQuery(const textSearch::Query &query)
{
    if (query.isValid())
        return true;
    setStatus(query.errorString().isEmpty() ? QString() : regexError(query.errorString()));
    return false;
}

bool FindBar::select(const textSearch::Match &match, const QString &text)
{
    if (match.failure) {
        setStatus(matcherFailed(match.failure.code, textSearch::lineNumberAt(text, match.failure.at)));
        return false;
    }
    if (!match.found()) {
        setStatus(notFound);
        return false;
    }
    QTextCursor cursor(mTextBox->document());
    cursor.setPosition(int(match.start));
    cursor.setPosition(int(match.end()), QTextCursor::KeepAnchor);
    mTextBox->setTextCursor(cursor);
    mTextBox->ensureCursorVisible();
    return true;
}

bool FindBar::findNext()
{
    const textSearch::Query query(mTxtFind->text(), options());
    if (!validQuery(query))
        return false;
    const QString text = textBoxSearchText(mTextBox);
    const textSearch::Match match = query.findNext(text, mTextBox->textCursor().selectionEnd());
    setStatus(match.wrapped ? wrappedToStart : QString());
    return select(match, text);
}

bool FindBar::findPrevious()
{
    const textSearch::Query query(mTxtFind->text(), options());
    if (!validQuery(query))
        return false;
    const QString text = textBoxSearchText(mTextBox);
    const textSearch::Match match = query.findPrevious(text, mTextBox->textCursor().selectionStart());
    setStatus(match.wrapped ? wrappedToEnd : QString());
    return select(match, text);
}

void FindBar::replaceOne()
{
    const textSearch::Query query(mTxtFind->text(), options());
    if (!validQuery(query))
        return;
    QTextCursor cursor = mTextBox->textCursor();
    const QString text = textBoxSearchText(mTextBox);
    const qsizetype start = cursor.selectionStart();
    if (cursor.hasSelection()) {
        const textSearch::Match match = query.matchAt(text, start);
        if (match.failure) {
            select(match, text);
            return;
        }
        if (match.found() && match.end() == cursor.selectionEnd()) {
            const QString replacement = query.replacementAt(text, start, mTxtReplace->text());
            if (!mTextBox->allowsInsert(replacement))
                return;
            cursor.insertText(replacement);
            mTextBox->setTextCursor(cursor);
        }
    }
    findNext();
}

qsizetype FindBar::replaceAll()
{
    const textSearch::Query query(mTxtFind->text(), options());
    if (!validQuery(query))
        return 0;
    const TextBoxReplaced replaced = replaceAllInTextBox(mTextBox, query, mTxtReplace->text());
    if (replaced.failure)
        setStatus(nothingReplaced + matcherFailed(replaced.failure.code, replaced.failureLine));
    else if (replaced.refused)
        setStatus(nothingReplaced);
    else
        setStatus(replaced.count > 0 ? replacedCount(replaced.count) : notFound);
    return replaced.count;
}

void FindBar::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        emit closeRequested();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (mTxtReplace->hasFocus())
            replaceOne();
        else if (event->modifiers() & Qt::ShiftModifier)
            findPrevious();
        else
            findNext();
        return;
    }
    QWidget::keyPressEvent(event);
}
