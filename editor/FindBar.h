#pragma once
// The editor's find bar: a pattern with next and previous, match case, whole word and
// regular expressions, and (when opened for replacing) a replacement with replace and
// replace all. It acts on the text box it was made for; the rules are textSearch's.

#include "editor/TextSearch.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class PageTextEdit;
class QPlainTextEdit;
class QToolButton;

class FindBar : public QWidget
{
    Q_OBJECT
public:
    FindBar(PageTextEdit *textBox, QWidget *parent);

    // Shows the bar (with the replace row when `replacing`), takes a one-line selection
    // of the text box as the pattern and puts the focus into the pattern.
    void open(bool replacing);
    bool isReplacing() const;

    // Select the next or previous match, going round at the ends; false when none.
    bool findNext();
    bool findPrevious();
    // Replaces the selected match (if the selection is one) and selects the next match.
    void replaceOne();
    // Replaces every match as one undo step; returns how many there were (none when the
    // matcher gave up, which the bar then says).
    qsizetype replaceAll();

    textSearch::Options options() const;
    QLineEdit *txtFind() const { return mTxtFind; }
    QLineEdit *txtReplace() const { return mTxtReplace; }
    QCheckBox *chkCase() const { return mChkCase; }
    QCheckBox *chkWord() const { return mChkWord; }
    QCheckBox *chkRegex() const { return mChkRegex; }
    // What the last command found or failed to find, as the bar shows it.
    QString statusText() const;

signals:
    // The user closed the bar (Esc or its close button).
    void closeRequested();
    // The status line changed, and with it perhaps the height the bar needs.
    void statusChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createControls();
    QToolButton *addButton(const QString &text, const QString &tip, void (FindBar::*handler)());
    void findNextClicked() { findNext(); }
    void findPreviousClicked() { findPrevious(); }
    void replaceAllClicked() { replaceAll(); }
    void setStatus(const QString &text);
    bool validQuery(const textSearch::Query &query);
    bool select(const textSearch::Match &match, const QString &text);

    PageTextEdit *mTextBox;
    QLineEdit *mTxtFind = nullptr;
    QLineEdit *mTxtReplace = nullptr;
    QCheckBox *mChkCase = nullptr;
    QCheckBox *mChkWord = nullptr;
    QCheckBox *mChkRegex = nullptr;
    QLabel *mLblStatus = nullptr;
    QList<QWidget *> mReplaceRow;
};

// What replacing every match in a text box came to: how many were replaced, or why none
// was (the matcher gave up on line `failureLine`, or the page would have passed its
// limits, which the user was told).
struct TextBoxReplaced {
    qsizetype count = 0;
    textSearch::Failure failure;
    qsizetype failureLine = 0;
    bool refused = false;
};

// Replaces every match of `query` in `textBox` with `replacement` as one edit, so that
// one undo takes it all back; the caret stays where it was, as far as the text allows.
// When the matcher gives up, or the page would pass its limits, nothing changes.
TextBoxReplaced replaceAllInTextBox(PageTextEdit *textBox, const textSearch::Query &query, const QString &replacement);

// Replaces the whole text of `textBox` with `text` (as textSearch reads it) as one edit;
// the caret stays where it was, as far as the text allows.
void replaceTextBoxText(QPlainTextEdit *textBox, const QString &text);

// The text box's text as textSearch reads it: positions are cursor positions.
QString textBoxSearchText(const QPlainTextEdit *textBox);
