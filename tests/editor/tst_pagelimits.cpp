#include "app/basSystem.h"
#include "editor/FindBar.h"
#include "editor/frmChild1.h"
#include "support/TestEnv.h"
#include "tags/frmTAG.h"
#include "tree/PageScan.h"
#include "support/TestMain.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QtTest>

using namespace basSystem;
using namespace Qt::StringLiterals;

namespace {
// Page 1 of the tables, `fileName` in the test's folder, in `encoding`, its editor
// holding `text`.
frmChild1 *openPage(TestEnv &env, const QString &fileName, const QString &text, TextEncoding encoding)
{
    resetPageTables();
    PageRecord page;
    page.Title = u"大きなページ"_s;
    page.Folder = env.dir.path() + u'/';
    page.FileName = fileName;
    page.Encoding = encoding;
    auto *editor = new frmChild1(env.area());
    editor->plId = addPage(page, editor);
    editor->setText(text);
    return editor;
}

const QString bytesRefused
    = u"この編集をするとページが大きくなりすぎるため、できません（%1 バイト、上限 67108864 バイト）。"_s;
}   // namespace

class tst_pagelimits : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void replaceAllPastTheLimitChangesNothing();
    void saveKeepsToTheLineLimit();
    void editsAtTheLimitAreRefused();
};

// Replacing every "a" of an 8.5 MB page by four kanji would make it 70 MB: refused with
// the size and the limit, the text and its undo history as they were.
void tst_pagelimits::replaceAllPastTheLimitChangesNothing()
{
    TestEnv env;
    const QString line = QString(1023, u'a') + u"\r\n"_s;
    const QString text = line.repeated(8500);
    frmChild1 *editor = openPage(env, u"big.htm"_s, text, TextEncoding::Cp932);
    editor->showReplace();
    FindBar *bar = editor->findBar();
    bar->txtFind()->setText(u"a"_s);
    bar->txtReplace()->setText(u"漢字漢字"_s);
    QCOMPARE(bar->replaceAll(), 0);
    QCOMPARE(env.platform.messageTexts(), QStringList{bytesRefused.arg(8500 * (1023 * 8 + 2))});
    QCOMPARE(bar->statusText(), u"置換しませんでした。"_s);
    QVERIFY(!editor->txtEdit()->document()->isUndoAvailable());
    QVERIFY(editor->text() == text);
}

// A page of more lines than the limit is not written (the file stays); one of exactly the
// limit is, and opens again.
void tst_pagelimits::saveKeepsToTheLineLimit()
{
    TestEnv env;
    const QString path = env.write(u"long.htm"_s, "old\r\n");
    frmChild1 *editor = openPage(env, u"long.htm"_s, u"\r\n"_s.repeated(maxPageLines + 1), TextEncoding::Cp932);
    QVERIFY(!editor->save());
    QCOMPARE(env.platform.messageTexts(),
             QStringList{u"ファイルの保存に失敗しました。\n"_s + path
                         + u"\nページの行数が多すぎるため保存できません（4194305 行、上限 4194304 行）。"_s});
    QCOMPARE(TestEnv::read(path), QByteArray("old\r\n"));

    editor->setText(u"\r\n"_s.repeated(maxPageLines));
    QVERIFY(editor->save());
    QVERIFY(scanPageFile(path).readOk);
}

// A UTF-8 page of exactly 64 MiB takes no more characters, whether typed, committed by an
// input method, pasted or typed by the tag palette; once a kanji is deleted, a letter fits.
void tst_pagelimits::editsAtTheLimitAreRefused()
{
    TestEnv env;
    env.writeSettings();
    // 22,354 lines of 1,000 kanji (three bytes each) and a last line of 718 and "aa".
    const QString text = QString(QString(1000, u'漢') + u"\r\n"_s).repeated(22354) + QString(718, u'漢') + u"aa"_s;
    frmChild1 *editor = openPage(env, u"full.htm"_s, text, TextEncoding::Utf8);
    QPlainTextEdit *box = editor->txtEdit();
    box->moveCursor(QTextCursor::End);
    const QString refused = bytesRefused.arg(maxPageBytes + 1);

    QTest::keyClick(box, Qt::Key_B);
    QInputMethodEvent commit;
    commit.setCommitString(u"か"_s);
    QCoreApplication::sendEvent(box, &commit);
    QGuiApplication::clipboard()->setText(u"c"_s);
    box->paste();
    gActiveEditor = editor;
    auto *palette = new frmTAG(env.area());
    palette->cmdBase()[1]->click();   // "<H1></H1>"
    QCoreApplication::processEvents();
    QCOMPARE(env.platform.messageTexts(),
             (QStringList{refused, bytesRefused.arg(maxPageBytes + 3), refused, bytesRefused.arg(maxPageBytes + 9)}));
    QVERIFY(editor->text() == text);

    box->moveCursor(QTextCursor::Left);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_B);
    QCOMPARE(env.platform.messageTexts().size(), 4);
    QVERIFY(editor->text().endsWith(u"漢ba"_s));
}

PAGEKILN_TEST_MAIN(tst_pagelimits)
#include "tst_pagelimits.moc"
