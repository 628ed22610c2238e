#include "app/basSystem.h"
#include "editor/frmChild1.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "tags/TagDatabase.h"
#include "tags/frmTAG.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace basSystem;
using namespace Qt::StringLiterals;

namespace {

// Records, for every keystroke sent, whether the target's input method was on.
class KeyRecordingPlatform : public ScriptedPlatform
{
public:
    QList<bool> inputMethodOnAtSend;
    void sendKey(QWidget *target, int key, const QString &text) override
    {
        inputMethodOnAtSend << target->testAttribute(Qt::WA_InputMethodEnabled);
        ScriptedPlatform::sendKey(target, key, text);
    }
};

// A palette whose buttons 1, 2, ... insert `tagTexts` in order.
std::unique_ptr<frmTAG> paletteWith(TestEnv &env, const QStringList &tagTexts)
{
    QString db;
    for (qsizetype i = 0; i < tagTexts.size(); ++i)
        db += u"tag%1\t%2\t\r\n"_s.arg(i + 1).arg(tagTexts[i]);
    env.write(tagDatabaseFileName, db.toUtf8());
    gTagWinHeight = frmTAG::designedHeight;
    gTagWinWidth = frmTAG::designedWidth;
    return std::make_unique<frmTAG>(env.area());
}

frmChild1 *editorWith(TestEnv &env, const QString &text)
{
    auto *editor = new frmChild1(env.area());
    editor->txtEdit()->setPlainText(text);
    editor->Show();
    gActiveEditor = editor;
    return editor;
}

void select(QPlainTextEdit *box, int from, int to)
{
    QTextCursor c = box->textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    box->setTextCursor(c);
}

void click(frmTAG &palette, int index)
{
    palette.cmdBase()[index]->click();
}

}   // namespace

class tst_taginsertion : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void typesTagReplacingSelection_data();
    void typesTagReplacingSelection();
    void pairWrapsSelection_data();
    void pairWrapsSelection();
    void tooltipShowsTheSnippet();
    void inputMethodOffWhileTyping();
    void longTagArrivesWholeAndInOrder();
    void closedEditorIsShownAgain();
    void noTarget_data();
    void noTarget();
};

void tst_taginsertion::typesTagReplacingSelection_data()
{
    QTest::addColumn<QString>("tagText");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");

    QTest::newRow("at the caret") << u"<HR>"_s << 3 << 3 << u"abc<HR>XYZdef"_s << 7;
    QTest::newRow("replacing a selection") << u"<HR>"_s << 3 << 6 << u"abc<HR>def"_s << 7;
    QTest::newRow("Enter and Tab") << u"<UL>\\n\\t<LI>\\n</UL>"_s << 3 << 6 << u"abc<UL>\n\t<LI>\n</UL>def"_s << 19;
    QTest::newRow("dropped escapes") << u"a\\qb\\"_s << 0 << 0 << u"ababcXYZdef"_s << 2;
    QTest::newRow("special characters") << u"+^%~(){}[]"_s << 9 << 9 << u"abcXYZdef+^%~(){}[]"_s << 19;
    QTest::newRow("Japanese") << u"　表😀"_s << 0 << 9 << u"　表😀"_s << 4;
}

void tst_taginsertion::typesTagReplacingSelection()
{
    QFETCH(QString, tagText);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, expected);
    QFETCH(int, caret);
    TestEnv env;
    auto palette = paletteWith(env, {tagText});
    frmChild1 *editor = editorWith(env, u"abcXYZdef"_s);
    QPlainTextEdit *box = editor->txtEdit();
    select(box, from, to);

    click(*palette, 1);
    QTRY_COMPARE(box->toPlainText(), expected);
    QCOMPARE(box->textCursor().position(), caret);
    QVERIFY(!box->textCursor().hasSelection());
    QCOMPARE(box->window()->focusWidget(), box);
}

void tst_taginsertion::pairWrapsSelection_data()
{
    QTest::addColumn<QString>("tagText");
    QTest::addColumn<QString>("expected");   // the selection in brackets; none: keys typed over it
    QTest::newRow("bold") << u"<B></B>"_s << u"abc<B>[XYZ]</B>def"_s;
    QTest::newRow("attributes, end tag in other case")
        << u"<a href=\"x>y\"></A>"_s << u"abc<a href=\"x>y\">[XYZ]</A>def"_s;
    QTest::newRow("line break between stays with the start tag") << u"<P>\\n</P>\\n"_s << u"abc<P>\n[XYZ]</P>\ndef"_s;
    QTest::newRow("other tags between") << u"<UL>\\n\\t<LI></LI>\\n</UL>"_s << u"abc<UL>\n\t<LI></LI>\n</UL>def"_s;
    QTest::newRow("names differ") << u"<B></BR>"_s << u"abc<B></BR>def"_s;
    QTest::newRow("comment") << u"<!--  -->"_s << u"abc<!--  -->def"_s;
    QTest::newRow("text between") << u"<B>x</B>"_s << u"abc<B>x</B>def"_s;
}

void tst_taginsertion::pairWrapsSelection()
{
    QFETCH(QString, tagText);
    QFETCH(QString, expected);
    TestEnv env;
    auto palette = paletteWith(env, {tagText});
    frmChild1 *editor = editorWith(env, u"abcXYZdef"_s);
    QPlainTextEdit *box = editor->txtEdit();
    select(box, 3, 6);

    click(*palette, 1);
    const QString text = QString(expected).remove(u'[').remove(u']');
    QTRY_COMPARE(box->toPlainText(), text);
    const QTextCursor c = box->textCursor();
    if (expected.contains(u'[')) {
        QCOMPARE(c.selectionStart(), expected.indexOf(u'['));
        QCOMPARE(c.selectionEnd(), expected.indexOf(u']') - 1);
        QCOMPARE(box->window()->focusWidget(), box);
        box->undo();   // one step takes the whole wrap back
        QCOMPARE(box->toPlainText(), u"abcXYZdef"_s);
    } else {
        QVERIFY(!c.hasSelection());
    }
}

void tst_taginsertion::tooltipShowsTheSnippet()
{
    TestEnv env;
    auto palette = paletteWith(env, {u"<P>\\n\\t<B>&amp;</B>\\q"_s});
    QTextDocument shown;
    shown.setHtml(palette->cmdBase()[1]->toolTip());
    QCOMPARE(shown.toPlainText(), u"<P>\n        <B>&amp;</B>"_s);   // the tab as the room it takes
}

void tst_taginsertion::inputMethodOffWhileTyping()
{
    TestEnv env;
    KeyRecordingPlatform keys;
    keys.folder = env.platform.folder;
    auto palette = paletteWith(env, {u"<P>\\n"_s});
    frmChild1 *editor = editorWith(env, QString());
    QPlainTextEdit *box = editor->txtEdit();
    QVERIFY(box->testAttribute(Qt::WA_InputMethodEnabled));

    click(*palette, 1);
    QCOMPARE(keys.inputMethodOnAtSend, QList<bool>(4, false));
    QVERIFY(box->testAttribute(Qt::WA_InputMethodEnabled));

    // A text box whose input method was off stays off.
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    click(*palette, 1);
    QVERIFY(!box->testAttribute(Qt::WA_InputMethodEnabled));
    QTRY_COMPARE(box->toPlainText(), u"<P>\n<P>\n"_s);
}

void tst_taginsertion::longTagArrivesWholeAndInOrder()
{
    TestEnv env;
    QString tagText;
    QString expected;
    const QString pieces[] = {u"<A>"_s, u"表"_s, u"\\n"_s, u"+%"_s, u"\\t"_s, u" x "_s};
    const QString typed[] = {u"<A>"_s, u"表"_s, u"\n"_s, u"+%"_s, u"\t"_s, u" x "_s};
    for (int i = 0; tagText.size() < 2000; ++i) {
        tagText += pieces[i % 6];
        expected += typed[i % 6];
    }
    auto palette = paletteWith(env, {u"short"_s, tagText});
    frmChild1 *editor = editorWith(env, u"[]"_s);
    select(editor->txtEdit(), 1, 1);

    click(*palette, 2);
    QTRY_COMPARE(editor->txtEdit()->toPlainText(), u"["_s + expected + u"]"_s);
}

void tst_taginsertion::closedEditorIsShownAgain()
{
    TestEnv env;
    auto palette = paletteWith(env, {u"<BR>"_s});
    frmChild1 *editor = editorWith(env, u"text"_s);
    editor->txtEdit()->moveCursor(QTextCursor::End);
    QVERIFY(editor->Unload(vbFormControlMenu) == false);   // the close box only hides an editor
    QVERIFY(!editor->Visible());

    click(*palette, 1);
    QVERIFY(editor->Visible());
    QTRY_COMPARE(editor->txtEdit()->toPlainText(), u"text<BR>"_s);
}

void tst_taginsertion::noTarget_data()
{
    QTest::addColumn<bool>("hadEditor");
    QTest::newRow("no editor activated yet") << false;
    QTest::newRow("editor discarded") << true;
}

void tst_taginsertion::noTarget()
{
    QFETCH(bool, hadEditor);
    TestEnv env;
    auto palette = paletteWith(env, {u"<BR>"_s});
    QPointer<frmChild1> other = new frmChild1(env.area());
    other->txtEdit()->setPlainText(u"other"_s);
    QPointer<frmChild1> discarded;
    if (hadEditor) {
        discarded = editorWith(env, u"gone"_s);
        QVERIFY(discarded->Unload(vbFormCode));
    } else {
        gActiveEditor.clear();
    }

    click(*palette, 1);
    if (discarded) {
        QVERIFY(!discarded->Visible());
        QCoreApplication::processEvents();
        QCOMPARE(discarded->txtEdit()->toPlainText(), u"gone"_s);
    }
    QCoreApplication::processEvents();
    QCOMPARE(other->txtEdit()->toPlainText(), u"other"_s);
    QVERIFY(!other->Visible());
    QVERIFY(env.platform.messages.isEmpty());
}

PAGEKILN_TEST_MAIN(tst_taginsertion)
#include "tst_taginsertion.moc"
