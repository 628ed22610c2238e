#include "app/basSystem.h"
#include "editor/EditorText.h"
#include "editor/FindBar.h"
#include "editor/EditorFiller.h"
#include "editor/frmChild1.h"
#include "support/PaintCounter.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QScrollBar>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>
#include <QtTest>

#include <sys/stat.h>

using namespace basSystem;
using namespace Qt::StringLiterals;

namespace {
// A page at `id` (the tables grow to it) with its editor showing `text`.
frmChild1 *openPage(int id, const QString &folder, const QString &fileName, const QString &text,
                    TextEncoding encoding = TextEncoding::Cp932)
{
    while (gPageTable.size() <= id)
        addPage(PageRecord{}, nullptr);
    PageRecord &page = gPageTable[id];
    page.Title = QStringLiteral("ページ%1").arg(id);
    page.Folder = folder;
    page.FileName = fileName;
    page.Text = page.OrigText = text;
    page.Encoding = encoding;
    auto *editor = new frmChild1();
    gPageEditors[id] = editor;
    editor->setCaption(page.Title);
    editor->setText(text);
    editor->plId = id;
    return editor;
}

// The colour of line `line` (from 0) once the text box has brought it into view and
// painted it; invalid unless the whole line has one colour.
QColor shownColour(QPlainTextEdit *box, int line)
{
    const QTextBlock block = box->document()->findBlockByNumber(line);
    box->setTextCursor(QTextCursor(block));
    box->centerCursor();
    for (int i = 0; i < 100 && block.layout()->formats().isEmpty(); ++i)
        QTest::qWait(10);
    const QList<QTextLayout::FormatRange> ranges = block.layout()->formats();
    return ranges.size() == 1 ? ranges.constFirst().format.foreground().color() : QColor();
}

const QString saveFailed = QStringLiteral("ファイルの保存に失敗しました。\n");

// Shows the editor (which opens at a size that fits the area) and gives it back its
// designed size, from which the layout rule is measured.
void showAtDesignedSize(frmChild1 *editor)
{
    editor->Show();
    editor->setWidth(editorLayout::designedWidth);
    editor->setHeight(editorLayout::designedHeight);
}

// Three editors shown together as a site read shows them, with the texts "<p>0</p>" to
// "<p>2</p>"; with `onePlace`, all in the area's top left corner, each covering the last.
QList<frmChild1 *> showTogether(bool onePlace)
{
    QList<frmChild1 *> editors;
    const KForm::ShowBatch batch;
    for (int i = 0; i < 3; ++i) {
        editors << new frmChild1();
        editors.constLast()->setText(u"<p>%1</p>\r\n"_s.arg(i));
        editors.constLast()->Show();
        if (onePlace) {
            editors.constLast()->setLeft(0);
            editors.constLast()->setTop(0);
        }
    }
    return editors;
}
}   // namespace

class tst_frmChild1 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void designedWindow();
    void tabTypesATab();
    void lineNumbersRepaintedOnlyForLines();
    void typingRepaintsItsLineAndShowsWhatAFreshEditorShows();
    void resize_data();
    void resize();
    void minimiseAndInactiveLeaveLayout();
    void closeOnlyHides();
    void activeEditorForgetsDiscarded();
    void textSameBeforeAndAfterShowing_data();
    void textSameBeforeAndAfterShowing();
    void unchangedPageSavesBackExactly_data();
    void unchangedPageSavesBackExactly();
    void saveAs_data();
    void saveAs();
    void saveAsOtherFolderThenSave();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void previewWritesRewrittenCopy();
    void previewFailures();
    void previewNeverFollowsALink();
    void previewSaysWhenNoBrowserOpens();
    void findBarTakesRoomAndEscGivesItBack();
    void replaceAllIsOneUndoStep();
    void matcherLimitsAreToldNotNotFound();
    void statusLineFollowsCaret_data();
    void statusLineFollowsCaret();
    void longTextComesInPieces_data();
    void longTextComesInPieces();
    void linesAreColouredBeforeTheirPaint();
    void editorsShownTogetherFillWhenIdle();
    void coveredEditorsWaitUntilSeen();
    void piecesEndAfterALineFeed_data();
    void piecesEndAfterALineFeed();
};

void tst_frmChild1::designedWindow()
{
    TestEnv env;
    env.area();
    auto *form = new frmChild1();
    frmChild1 &editor = *form;
    QCOMPARE(editor.caption(), QStringLiteral("Form1"));
    QCOMPARE(editor.text(), QStringLiteral("読み込み失敗\r\n"));
    QCOMPARE(editor.Width(), 3180);
    QCOMPARE(editor.Height(), 1845);
    QCOMPARE(editor.txtEditRect(), (TwipRect{30, 420, 2985, 975}));
    QCOMPARE(editor.txtEdit()->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(editor.txtEdit()->font().families().value(0), QStringLiteral("ＭＳ ゴシック"));
    QCOMPARE(editor.txtEdit()->font().pointSize(), 9);

    // Left to right: save, save as, preview, close; each a 375-twip picture button.
    const QList<QToolButton *> buttons{editor.cmdSav(), editor.cmdSAs(), editor.cmdBrz(), editor.cmdClo()};
    // The described tooltips, each with the key of its command.
    const QStringList tips{QStringLiteral("上書き保存 (Ctrl+S)"), QStringLiteral("名前を付けて保存 (Ctrl+Shift+S)"),
                           QStringLiteral("ＩＥで確認する (F5)"), QStringLiteral("ＨＰ定義を閉じる (Ctrl+W)")};
    for (int i = 0; i < buttons.size(); ++i) {
        QCOMPARE(buttons[i]->geometry(), toPixels(TwipRect{30 + 390 * i, 30, 375, 375}));
        QCOMPARE(buttons[i]->toolTip(), tips[i]);
        QCOMPARE(buttons[i]->focusPolicy(), Qt::NoFocus);
        QVERIFY(!buttons[i]->icon().pixmap(16, 16).isNull());
    }
}

namespace {
// What the screen shows of `widget`, as its window last painted it (grab() would paint
// the widget anew).
QImage onScreen(QWidget *widget)
{
    const QPoint at = widget->mapTo(widget->window(), QPoint(0, 0));
    return widget->screen()
        ->grabWindow(widget->window()->winId(), at.x(), at.y(), widget->width(), widget->height())
        .toImage();
}

// An editor of `text`, shown in the test's area with the focus in its text.
frmChild1 *focusedEditor(TestEnv &env, const QString &text)
{
    env.area();
    auto *editor = new frmChild1();
    editor->setText(text);
    if (!QTest::qWaitForWindowExposed(env.area()))
        return nullptr;
    editor->Show();
    QApplication::setActiveWindow(env.area());
    editor->SetFocus();
    return QTest::qWaitFor([&] { return QApplication::focusWidget() == editor->txtEdit(); }) ? editor : nullptr;
}
}   // namespace

void tst_frmChild1::tabTypesATab()
{
    TestEnv env;
    frmChild1 *editor = focusedEditor(env, QStringLiteral("ab"));
    QVERIFY(editor);
    QTest::keyClick(editor->txtEdit(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), editor->txtEdit());
    QCOMPARE(editor->text(), QStringLiteral("\tab"));
}

// The caret's blinking repaints the text around it but not the line numbers, which only
// a change of the text's lines repaints.
void tst_frmChild1::lineNumbersRepaintedOnlyForLines()
{
    TestEnv env;
    frmChild1 *editor = focusedEditor(env, QStringLiteral("<p>\r\n</p>\r\n"));
    QVERIFY(editor);
    auto *numbers = editor->txtEdit()->findChild<QWidget *>(QStringLiteral("lineNumbers"));
    QVERIFY(numbers);
    QTest::qWait(100);   // the first paints done
    PaintCounter text, margin;
    editor->txtEdit()->viewport()->installEventFilter(&text);
    numbers->installEventFilter(&margin);
    QTRY_VERIFY_WITH_TIMEOUT(text.paints >= 2, 3000);   // the caret blinked
    QCOMPARE(margin.paints, 0);
    QTest::keyClick(editor->txtEdit(), Qt::Key_End);
    QTest::keyClick(editor->txtEdit(), Qt::Key_Return);
    QTRY_VERIFY(margin.paints > 0);
}

// A letter typed within a line repaints that line alone, and what the text area shows
// after edits (colours that change down the page among them) is what an editor opened
// on the same text shows.
void tst_frmChild1::typingRepaintsItsLineAndShowsWhatAFreshEditorShows()
{
    TestEnv env;
    const QString text = QStringLiteral("<p class=\"a\">line</p>\r\n").repeated(30);
    frmChild1 *typed = focusedEditor(env, text);
    QVERIFY(typed);
    QPlainTextEdit *box = typed->txtEdit();
    box->setCursorWidth(0);   // no caret in the pictures
    QTest::qWait(100);
    PaintCounter area;
    box->viewport()->installEventFilter(&area);
    QTest::keyClick(box, Qt::Key_X);
    QTRY_VERIFY(area.paints > 0);
    QVERIFY(area.painted.boundingRect().height() < 2 * box->fontMetrics().lineSpacing());
    QTest::keyClicks(box, QStringLiteral("<!--"));
    QTest::keyClick(box, Qt::Key_Down);
    QTest::keyClick(box, Qt::Key_Y);
    QTest::qWait(50);
    const QImage shown = onScreen(box->viewport());
    typed->Hide();

    frmChild1 *fresh = focusedEditor(env, typed->text());
    QVERIFY(fresh);
    fresh->txtEdit()->setCursorWidth(0);
    fresh->txtEdit()->resize(box->size());
    QTest::qWait(100);
    QCOMPARE(shown, onScreen(fresh->txtEdit()->viewport()));
}

void tst_frmChild1::resize_data()
{
    // Steps: "w" or "h" and an outer size in twips, applied in order.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("height");
    QTest::addColumn<TwipRect>("box");

    QTest::newRow("grow") << QStringList{u"w4000"_s, u"h3000"_s} << 3000 << TwipRect{30, 420, 3805, 2130};
    QTest::newRow("grow and back") << QStringList{u"w4000"_s, u"h3000"_s, u"w3180"_s, u"h1845"_s} << 1845
                                   << TwipRect{30, 420, 2985, 975};
    QTest::newRow("exactly the minimum") << QStringList{u"h1000"_s} << 1000 << TwipRect{30, 420, 2985, 130};
    QTest::newRow("below minimum snaps") << QStringList{u"h999"_s} << 1000 << TwipRect{30, 420, 2985, 975};
    QTest::newRow("snap keeps last layout")
        << QStringList{u"h3000"_s, u"h500"_s, u"h1200"_s} << 1200 << TwipRect{30, 420, 2985, 330};
    QTest::newRow("narrower than margins") << QStringList{u"w100"_s} << 1845 << TwipRect{30, 420, 0, 975};
    QTest::newRow("margins come back") << QStringList{u"w100"_s, u"w-50"_s, u"w3180"_s} << 1845
                                       << TwipRect{30, 420, 2985, 975};
}

void tst_frmChild1::resize()
{
    QFETCH(QStringList, steps);
    QFETCH(int, height);
    QFETCH(TwipRect, box);
    TestEnv env;
    env.area();
    auto *editor = new frmChild1();
    showAtDesignedSize(editor);
    for (const QString &step : steps) {
        const int twips = step.mid(1).toInt();
        if (step.startsWith(QLatin1Char('w')))
            editor->setWidth(twips);
        else
            editor->setHeight(twips);
    }
    QCOMPARE(editor->Height(), height);
    QCOMPARE(editor->txtEditRect(), box);
}

void tst_frmChild1::minimiseAndInactiveLeaveLayout()
{
    TestEnv env;
    env.area();
    auto *a = new frmChild1();
    auto *b = new frmChild1();
    showAtDesignedSize(a);
    a->setWidth(4000);
    a->subWindow()->showMinimized();
    a->subWindow()->showNormal();
    a->Show();
    QCOMPARE(a->txtEditRect(), (TwipRect{30, 420, 3805, 975}));

    b->Show();   // a is no longer the active child: its size changes lay nothing out
    a->setWidth(5000);
    a->setHeight(3000);
    QCOMPARE(a->txtEditRect(), (TwipRect{30, 420, 3805, 975}));
    a->Show();
    a->setWidth(4100);   // measured from the last layout, 4000 x 1845
    QCOMPARE(a->txtEditRect(), (TwipRect{30, 420, 3905, 2130}));
}

void tst_frmChild1::closeOnlyHides()
{
    TestEnv env;
    env.area();
    auto *editor = new frmChild1();
    editor->setText(QStringLiteral("<p>\r\n"));
    editor->Show();
    editor->txtEdit()->appendPlainText(QStringLiteral("unsaved"));
    QVERIFY(!editor->subWindow()->close());   // the close box
    QVERIFY(!editor->Visible());
    editor->Show();
    QTest::mouseClick(editor->cmdClo(), Qt::LeftButton);
    QVERIFY(!editor->Visible());
    QVERIFY(!editor->isUnloaded());
    editor->Show();
    QCOMPARE(editor->text(), QStringLiteral("<p>\r\n\r\nunsaved"));
    QVERIFY(editor->Unload(vbFormCode));
    QVERIFY(editor->isUnloaded());
}

void tst_frmChild1::activeEditorForgetsDiscarded()
{
    TestEnv env;
    env.area();
    QPointer<frmChild1> a = new frmChild1();
    QPointer<frmChild1> b = new frmChild1();
    a->Show();
    QCOMPARE(gActiveEditor.data(), a.data());
    b->Show();
    QCOMPARE(gActiveEditor.data(), b.data());
    a->Unload(vbFormMDIForm);
    QCOMPARE(gActiveEditor.data(), b.data());
    b->Unload(vbFormCode);
    QVERIFY(gActiveEditor.isNull());
    QTRY_VERIFY(b.isNull());
    QVERIFY(gActiveEditor.isNull());
}

void tst_frmChild1::textSameBeforeAndAfterShowing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("CR LF") << "a\r\nb\r\n"
                           << "a\r\nb\r\n";
    QTest::newRow("no final break") << "a\r\nb"
                                    << "a\r\nb";
    QTest::newRow("LF and CR") << "a\nb\rc\n\rd"
                               << "a\r\nb\r\nc\r\n\r\nd";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("kept characters") << "x\u00a0y\u2028z\u3000"
                                     << "x\u00a0y\u2028z\u3000";
    QTest::newRow("separators and frame marks") << "a\u2029b\ufdd0c\ufdd1d"
                                                << "a\u2029b\ufdd0c\ufdd1d";
    QTest::newRow("escape characters of the page") << "\ufdef\ufdec\ufdef\ufdef\ufdef"
                                                   << "\ufdef\ufdec\ufdef\ufdef\ufdef";
}

void tst_frmChild1::textSameBeforeAndAfterShowing()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    TestEnv env;
    env.area();
    auto *editor = new frmChild1();
    editor->setText(text);
    QCOMPARE(editor->text(), expected);
    editor->Show();
    QCOMPARE(editor->text(), expected);
    editor->setText(text);
    QCOMPARE(editor->text(), expected);
}

void tst_frmChild1::unchangedPageSavesBackExactly_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("typed");   // typed at the end of the page before saving
    QTest::addColumn<QByteArray>("expected");
    const QByteArray sjis = TestEnv::cp932(QStringLiteral("<title>日本語</title>\r\n<p>①ｶﾅ</p>\r\n"));
    QTest::newRow("cp932") << sjis << "" << sjis;
    QTest::newRow("utf-8") << QByteArray("<p>\xe6\x97\xa5</p>\r\n") << "" << QByteArray("<p>\xe6\x97\xa5</p>\r\n");
    QTest::newRow("utf-8 bom") << QByteArray("\xef\xbb\xbf<p>\xc3\xa9</p>\r\n") << ""
                               << QByteArray("\xef\xbb\xbf<p>\xc3\xa9</p>\r\n");
    QTest::newRow("cp932 lacks it") << QByteArray() << "<p>\u00e9\U0001F600</p>"
                                    << QByteArray("<p>&#233;&#128512;</p>");
    const QByteArray damaged("<p>\x93\xFA\x80\xFD\x96</p>\r\n");
    QTest::newRow("undecodable bytes") << damaged << "" << damaged;
    QTest::newRow("private use beside undecodable bytes")
        << damaged << "\uF780\uF7C2\uF7FF" << damaged + "&#63360;&#63426;&#63487;";
    // Every character the text box treats specially: separators, the noncharacters
    // (frame marks among them), NUL, and characters outside the Basic Multilingual Plane.
    QString special = u"<p>\u2028\u2029\ufffe\uffff\U0001F600"_s + QChar(0) + u"</p>\r\n"_s;
    for (char16_t c = 0xFDD0; c <= 0xFDEF; ++c)
        special += QChar(c);
    const QByteArray utf8 = special.toUtf8();
    QTest::newRow("utf-8 special characters") << utf8 << "" << utf8;
    QTest::newRow("utf-8 bom special characters") << "\xef\xbb\xbf" + utf8 << ""
                                                  << "\xef\xbb\xbf" + utf8;
    const QByteArray sjisNul = TestEnv::cp932(u"<p>日本</p>\r\n"_s) + QByteArray("\0x\r\n", 4);
    QTest::newRow("cp932 NUL") << sjisNul << "" << sjisNul;
}

void tst_frmChild1::unchangedPageSavesBackExactly()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, typed);
    QFETCH(QByteArray, expected);
    TestEnv env;
    const TextEncoding encoding = detectEncoding(bytes, DetectMode::Page);
    env.area();
    frmChild1 *editor = openPage(1, env.dir.path() + QLatin1Char('/'), QStringLiteral("p.htm"),
                                 decodeText(bytes, encoding), encoding);
    if (typed.isEmpty()) {   // saved once before the text goes into the text box
        editor->cmdSav_Click();
        QCOMPARE(TestEnv::read(env.path(QStringLiteral("p.htm"))), expected);
        QFile::remove(env.path(QStringLiteral("p.htm")));
    }
    editor->txtEdit()->moveCursor(QTextCursor::End);   // the text now goes through the text box
    editor->txtEdit()->insertPlainText(typed);
    editor->Show();
    editor->cmdSav_Click();
    QCOMPARE(TestEnv::read(env.path(QStringLiteral("p.htm"))), expected);
    QVERIFY(env.platform.messages.isEmpty());
}

void tst_frmChild1::saveAs_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("no extension") << "new"
                                  << "new.htm";
    QTest::newRow("own extension") << "new.txt"
                                   << "new.txt";
    QTest::newRow("cancelled") << ""
                               << "";
}

void tst_frmChild1::saveAs()
{
    QFETCH(QString, answer);
    QFETCH(QString, fileName);
    TestEnv env;
    gSite.Folder = env.dir.path() + QLatin1Char('/');
    frmChild1 *editor = openPage(1, QString(), QString(), QStringLiteral("<p>\r\n"));   // never saved
    if (!answer.isEmpty())
        env.platform.fileAnswers << env.path(answer);
    editor->cmdSav_Click();

    QCOMPARE(env.platform.dialogs.size(), 1);
    const ScriptedPlatform::DialogRequest &d = env.platform.dialogs.first();
    QCOMPARE(d.mode, FileDialogMode::Save);
    QCOMPARE(d.filter, QStringLiteral("ハイパーテキスト(*.htm;*.html)|*.htm;*.html|テキスト(*.txt)|*.txt"));
    QCOMPARE(d.defaultExt, QStringLiteral("htm"));
    QCOMPARE(d.initDir, gSite.Folder);
    QCOMPARE(gPageTable[1].FileName, fileName);
    QCOMPARE(gPageTable[1].Folder, fileName.isEmpty() ? QString() : gSite.Folder);
    if (!fileName.isEmpty())
        QCOMPARE(TestEnv::read(env.path(fileName)), QByteArray("<p>\r\n"));
    QCOMPARE(QDir(env.dir.path()).entryList(QDir::Files).size(), fileName.isEmpty() ? 0 : 1);
}

void tst_frmChild1::saveAsOtherFolderThenSave()
{
    TestEnv env;
    const QString folder = env.dir.path() + QLatin1Char('/');
    const QString old = env.write(QStringLiteral("a.htm"), "old\r\n");
    QDir(env.dir.path()).mkdir(QStringLiteral("other"));
    frmChild1 *editor = openPage(1, folder, QStringLiteral("a.htm"), QStringLiteral("new\r\n"));
    env.platform.fileAnswers << env.path(QStringLiteral("other/b"));
    editor->cmdSAs_Click();
    QCOMPARE(gPageTable[1].Folder, folder + QStringLiteral("other/"));
    QCOMPARE(gPageTable[1].FileName, QStringLiteral("b.htm"));

    editor->setText(QStringLiteral("newer\r\n"));
    editor->cmdSav_Click();
    QCOMPARE(TestEnv::read(env.path(QStringLiteral("other/b.htm"))), QByteArray("newer\r\n"));
    QCOMPARE(TestEnv::read(old), QByteArray("old\r\n"));
    QCOMPARE(editor->caption(), QStringLiteral("ページ1"));

    editor->cmdSAs_Click();   // the dialog proposes the name chosen last
    QCOMPARE(env.platform.dialogs.last().fileName, env.path(QStringLiteral("other/b.htm")));
}

void tst_frmChild1::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("folder gone") << "gone/p.htm";
    QTest::newRow("path is a folder") << "dir.htm";
    // The old file exists, but no temporary name beside it fits the file system's limit.
    QTest::newRow("no room for a temporary") << QString(246, QLatin1Char('a')) + QStringLiteral(".htm");
    QTest::newRow("a pipe") << "pipe.htm";
    QTest::newRow("a link to a device") << "null.htm";
}

void tst_frmChild1::failedSaveKeepsOldFile()
{
    QFETCH(QString, fileName);
    TestEnv env;
    QDir(env.dir.path()).mkdir(QStringLiteral("dir.htm"));
    QVERIFY(::mkfifo(QFile::encodeName(env.path(QStringLiteral("pipe.htm"))).constData(), 0600) == 0);
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), env.path(QStringLiteral("null.htm"))));
    const QString path = env.path(fileName);
    if (!fileName.contains(QLatin1Char('/')) && !QFileInfo(path).exists())
        env.write(fileName, "old\r\n");
    const QByteArray before = QFileInfo(path).isFile() ? TestEnv::read(path) : QByteArray();
    frmChild1 *editor = openPage(1, env.dir.path() + QLatin1Char('/'), fileName, QStringLiteral("new\r\n"));
    editor->cmdSav_Click();
    QCOMPARE(env.platform.messageTexts().size(), 1);
    QVERIFY(env.platform.messageTexts().first().startsWith(saveFailed + path + u'\n'));
    QCOMPARE(env.platform.messages.first().title, QStringLiteral("HTML Editor"));
    QCOMPARE(QFileInfo(path).isFile() ? TestEnv::read(path) : QByteArray(), before);
    QVERIFY(fileName != u"null.htm" || QFileInfo(path).isSymLink());
    QCOMPARE(editor->text(), QStringLiteral("new\r\n"));
}

void tst_frmChild1::previewWritesRewrittenCopy()
{
    TestEnv env;
    env.area();
    const QString folder = env.path(u"site"_s) + u'/';
    const QString page = env.write(u"site/a.htm"_s, "<img src=\"logo.gif\">\r\n");
    frmChild1 *editor = openPage(12, folder, u"a.htm"_s, u"<img src=\"logo.gif\">\r\n"_s);
    editor->cmdBrz_Click();
    const QString preview = env.path(u"temp12.htm"_s);
    // The copy of a page that names no character set declares its code page.
    const QString meta = u"<META charset=\"Shift_JIS\">"_s;
    QCOMPARE(TestEnv::read(preview), TestEnv::cp932(meta + u"<img src=\""_s + folder + u"logo.gif\">\r\n"_s));

    // Unsaved edits reach the preview, which replaces the last one; the page stays as it was.
    editor->Show();
    editor->txtEdit()->appendPlainText(u"<a href=\"HTTPS://x\">日本</a>"_s);
    QTest::mouseClick(editor->cmdBrz(), Qt::LeftButton);
    QCOMPARE(TestEnv::read(preview),
             TestEnv::cp932(meta + u"<img src=\""_s + folder + u"logo.gif\">\r\n\r\n<a href=\"HTTPS://x\">日本</a>"_s));
    QCOMPARE(env.platform.browserRequests, (QStringList{preview, preview}));
    QCOMPARE(TestEnv::read(page), QByteArray("<img src=\"logo.gif\">\r\n"));
    QVERIFY(env.platform.messages.isEmpty());
}

void tst_frmChild1::previewFailures()
{
    TestEnv env;
    frmChild1 *editor = openPage(1, QString(), QString(), QStringLiteral("<p>\r\n"));
    env.platform.browserFails = true;
    editor->cmdBrz_Click();
    // The message names the preview file, so that the user can open it by hand.
    QCOMPARE(env.platform.messageTexts(),
             QStringList{u"ブラウザを起動できませんでした。\n"_s + env.path(u"temp1.htm"_s)});

    env.platform.messages.clear();
    env.platform.browserRequests.clear();
    env.platform.folder = env.path(QStringLiteral("gone"));
    editor->cmdBrz_Click();
    QCOMPARE(env.platform.messageTexts().size(), 1);
    QVERIFY(env.platform.messageTexts().first().startsWith(u"プレビューファイルの作成に失敗しました。\n"_s
                                                           + env.path(u"gone/temp1.htm"_s) + u'\n'));
    QVERIFY(env.platform.browserRequests.isEmpty());
}

void tst_frmChild1::previewNeverFollowsALink()
{
    TestEnv env;
    const QString victim = env.write(u"victim.txt"_s, "keep\r\n");
    QVERIFY(QFile::link(victim, env.path(u"temp1.htm"_s)));
    frmChild1 *editor = openPage(1, QString(), QString(), u"<p>\r\n"_s);
    editor->cmdBrz_Click();
    QCOMPARE(TestEnv::read(victim), QByteArray("keep\r\n"));
    QVERIFY(!QFileInfo(env.path(u"temp1.htm"_s)).isSymLink());
    QCOMPARE(TestEnv::read(env.path(u"temp1.htm"_s)), QByteArray("<META charset=\"Shift_JIS\"><p>\r\n"));
    QVERIFY(env.platform.messages.isEmpty());
}

void tst_frmChild1::previewSaysWhenNoBrowserOpens()
{
    if (QStandardPaths::findExecutable(u"xdg-open"_s).isEmpty())
        QSKIP("the desktop's opener (xdg-utils) is not installed");
    TestEnv env;
    // The desktop's opener is there, but no browser is behind it: no desktop, no handler
    // for the page's type, and a browser that is not installed.
    const QString nothing = env.path(u"nothing"_s);
    QDir().mkpath(nothing);
    for (const char *name : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"})
        qputenv(name, nothing.toLocal8Bit());
    for (const char *name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID",
                             "DBUS_SESSION_BUS_ADDRESS", "DE"})
        qunsetenv(name);
    qputenv("BROWSER", (nothing + u"/no-browser"_s).toLocal8Bit());
    env.platform.realOpener = true;
    frmChild1 *editor = openPage(1, QString(), QString(), u"<p>\r\n"_s);

    editor->cmdBrz_Click();
    QVERIFY(env.platform.messages.isEmpty());   // the click does not wait for the answer
    QTRY_COMPARE_WITH_TIMEOUT(env.platform.messages.size(), 1, 60000);
    const QString message = env.platform.messageTexts().constFirst();
    QVERIFY2(message.startsWith(u"ブラウザを起動できませんでした。\n"_s + env.path(u"temp1.htm"_s) + u'\n'),
             qPrintable(message));
    QVERIFY2(message.contains(u"no method available"_s), qPrintable(message));   // the opener's own reason
}

void tst_frmChild1::findBarTakesRoomAndEscGivesItBack()
{
    TestEnv env;
    env.area();
    auto *editor = new frmChild1();
    editor->setText(u"日本 ﾆﾎﾝ 日本\r\n"_s);
    QVERIFY(QTest::qWaitForWindowExposed(env.area()));
    editor->Show();
    QApplication::setActiveWindow(env.area());
    editor->SetFocus();
    const int fullHeight = editor->txtEdit()->height();
    editor->showFind();
    FindBar *bar = editor->findBar();
    QVERIFY(bar->isVisible());
    QCOMPARE(editor->txtEdit()->height() + bar->height(), fullHeight);
    QTRY_COMPARE(QApplication::focusWidget(), bar->txtFind());
    bar->txtFind()->setText(u"日本"_s);
    QTest::keyClick(bar->txtFind(), Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QCOMPARE(editor->txtEdit()->height(), fullHeight);
    QCOMPARE(QApplication::focusWidget(), editor->txtEdit());
    // Esc from the text box closes the bar too.
    editor->showFind();
    editor->txtEdit()->setFocus();
    QTest::keyClick(editor->txtEdit(), Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QCOMPARE(editor->txtEdit()->height(), fullHeight);
    // F3 and Shift+F3 repeat the closed bar's search.
    editor->findNext();
    QCOMPARE(editor->txtEdit()->textCursor().selectionStart(), 0);
    editor->findNext();
    QCOMPARE(editor->txtEdit()->textCursor().selectionStart(), 7);
    editor->findPrevious();
    QCOMPARE(editor->txtEdit()->textCursor().selectionStart(), 0);
    QVERIFY(!bar->isVisible());
}

void tst_frmChild1::replaceAllIsOneUndoStep()
{
    TestEnv env;
    env.area();
    auto *editor = new frmChild1();
    const QString page = u"<b>a</b> <B>b</B>\r\n<b>c</b>\r\n"_s;
    editor->setText(page);
    editor->Show();
    editor->showReplace();
    FindBar *bar = editor->findBar();
    QVERIFY(bar->isReplacing());
    bar->txtFind()->setText(u"<b>(.)</b>"_s);
    bar->txtReplace()->setText(u"<strong>\\1</strong>"_s);
    bar->chkRegex()->setChecked(true);
    QCOMPARE(bar->replaceAll(), 3);
    QCOMPARE(editor->text(), u"<strong>a</strong> <strong>b</strong>\r\n<strong>c</strong>\r\n"_s);
    QVERIFY(editor->isModified());
    QVERIFY(editor->hasModifiedMark());
    editor->txtEdit()->undo();
    QCOMPARE(editor->text(), page);
    QVERIFY(!editor->isModified());
}

// A regular expression that meets the matcher's limits is reported with its line, in
// finding and in replacing all (which then changes nothing); one that needs only a long
// line is found.
void tst_frmChild1::matcherLimitsAreToldNotNotFound()
{
    TestEnv env;
    env.area();
    auto *editor = new frmChild1();
    const QString page = u"ab\r\n"_s + QString(25, u'a') + u"!\r\n"_s + QString(100000, u'a') + u"!\r\n"_s;
    editor->setText(page);
    editor->Show();
    editor->showReplace();
    FindBar *bar = editor->findBar();
    bar->chkRegex()->setChecked(true);
    bar->txtFind()->setText(u"(a|b)*!"_s);
    QVERIFY(bar->findNext());
    QVERIFY(bar->findNext());
    QCOMPARE(editor->txtEdit()->textCursor().selectedText().size(), 100001);

    bar->txtFind()->setText(u"(a+)+$"_s);
    const QString failed = u"正規表現を照合できませんでした（2 行目）: 照合の手順が上限を超えました"_s;
    QVERIFY(!bar->findPrevious());
    QCOMPARE(bar->statusText(), failed);
    bar->txtReplace()->setText(u"x"_s);
    QCOMPARE(bar->replaceAll(), 0);
    QCOMPARE(bar->statusText(), u"置換しませんでした。"_s + failed);
    QCOMPARE(editor->text(), page);
    QVERIFY(!editor->txtEdit()->document()->isUndoAvailable());
}

void tst_frmChild1::statusLineFollowsCaret_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");
    // The page is "ab", "日本語の行" and an empty last line; the caret starts at its top.
    QTest::newRow("start") << QString() << u"1 行、1 列"_s;
    QTest::newRow("down and right over Japanese") << u"down right right right"_s << u"2 行、4 列"_s;
    QTest::newRow("end of a line") << u"down end"_s << u"2 行、6 列"_s;
    QTest::newRow("last line") << u"ctrl+end"_s << u"3 行、1 列"_s;
    QTest::newRow("typing a line break") << u"right return"_s << u"2 行、1 列"_s;
}

void tst_frmChild1::statusLineFollowsCaret()
{
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    TestEnv env;
    env.area();
    frmChild1 *editor = openPage(1, env.path(QString()), u"p.htm"_s, u"ab\r\n日本語の行\r\n"_s);
    editor->Show();
    for (const QString &key : keys.split(u' ', Qt::SkipEmptyParts))
        QTest::keySequence(editor->txtEdit(), QKeySequence(key));
    QCOMPARE(editor->statusLine()->text(), expected);
    // The status line lies below the text box, inside the text box's described place.
    const QRect box = editor->txtEdit()->geometry();
    const QRect status = editor->statusLine()->geometry();
    QCOMPARE(status.top(), box.bottom() + 1);
    QVERIFY(status.height() >= editor->txtEdit()->fontMetrics().height());
}

PAGEKILN_TEST_MAIN(tst_frmChild1)
void tst_frmChild1::longTextComesInPieces_data()
{
    QTest::addColumn<bool>("readWhileFilling");
    QTest::newRow("left to come in") << false;
    QTest::newRow("whole text asked for at once") << true;
}

// Colouring a line inside the paint that shows it would have the text painted again: lines
// coming into sight are coloured as the editor is shown and as it scrolls, before any paint.
void tst_frmChild1::linesAreColouredBeforeTheirPaint()
{
    TestEnv env;
    env.area();
    QString text;
    for (int i = 0; i < 300; ++i)
        text += u"<p>%1</p>\r\n"_s.arg(i);
    auto *editor = new frmChild1();
    editor->setText(text);
    editor->Show();
    auto *box = editor->findChild<QPlainTextEdit *>();
    const auto coloured
        = [box](int line) { return !box->document()->findBlockByNumber(line).layout()->formats().isEmpty(); };
    QVERIFY(coloured(0));
    QVERIFY(!coloured(250));
    box->verticalScrollBar()->setValue(245);
    QVERIFY(coloured(250));
}

// A long page shows its first piece at once and takes in the rest while the program is
// idle, read-only meanwhile. Whoever asks for the text gets all of it; the colours carry
// a comment's state from piece to piece.
void tst_frmChild1::longTextComesInPieces()
{
    QFETCH(bool, readWhileFilling);
    TestEnv env;
    env.area();
    QString text = u"<!-- 始め\u2029\r\n"_s;
    for (int i = 0; i < 30000; ++i)
        text += u"<p>本文 %1</p>\r\n"_s.arg(i);
    text += u"-->\r\n<p>後</p>\r\n"_s;
    auto *editor = new frmChild1();
    editor->setText(text);
    editor->Show();
    auto *box = editor->findChild<QPlainTextEdit *>();
    QVERIFY(editor->isFilling());
    QVERIFY(box->isReadOnly());
    QVERIFY(editor->statusLine()->text().contains(u"読み込み中"_s));
    if (readWhileFilling)
        QCOMPARE(editor->text(), text);
    QTRY_VERIFY(!editor->isFilling());
    QCOMPARE(editor->text(), text);
    QVERIFY(!box->isReadOnly() && !editor->isModified() && !box->document()->isUndoAvailable());
    QCOMPARE(editor->statusLine()->text(), u"1 行、1 列"_s);

    const QColor comment = shownColour(box, 0);
    QVERIFY(comment.isValid());
    QCOMPARE(shownColour(box, 25000), comment);
    QVERIFY(shownColour(box, 30002) != comment);
}

// Editors shown together while a site is read: the one on top has its text at once, the
// others take theirs when the program is idle, or at once when reached.
void tst_frmChild1::editorsShownTogetherFillWhenIdle()
{
    TestEnv env;
    env.area();
    const QList<frmChild1 *> editors = showTogether(false);
    // A waiting editor has no text box yet; one made later must show, and take the focus.
    const auto shownText = [](frmChild1 *editor) {
        const auto *box = editor->findChild<QPlainTextEdit *>();
        return box && box->isVisible() ? box->toPlainText() : u"(none)"_s;
    };
    QCOMPARE(shownText(editors.at(2)), u"<p>2</p>\n"_s);
    QCOMPARE(shownText(editors.at(0)), u"(none)"_s);
    QCOMPARE(editors.at(0)->text(), u"<p>0</p>\r\n"_s);
    editors.at(1)->showFocused();
    QCOMPARE(shownText(editors.at(1)), u"<p>1</p>\n"_s);
    QTRY_COMPARE(QApplication::focusWidget(), editors.at(1)->findChild<QPlainTextEdit *>());
    QTRY_COMPARE(shownText(editors.at(0)), u"<p>0</p>\n"_s);
    QVERIFY(!EditorFiller::instance().busy());
    // Windows shown together are disabled until all are shown: an editor given its text
    // meanwhile must not take its colours from the greyed palette.
    QPlainTextEdit *box = nullptr;
    {
        const KForm::ShowBatch batch;
        auto *early = new frmChild1();
        early->setText(u"plain words\r\n"_s);
        early->Show();
        box = early->txtEdit();
    }
    QCOMPARE(shownColour(box, 0).rgba(), box->palette().color(QPalette::Active, QPalette::Text).rgba());
}

// Editors shown together that other windows cover wholly make no text box until some of
// them can be seen: a window above moved away, or closed, uncovers them.
void tst_frmChild1::coveredEditorsWaitUntilSeen()
{
    TestEnv env;
    env.area();
    const QList<frmChild1 *> editors = showTogether(true);
    const auto hasTextBox = [](frmChild1 *editor) { return editor->findChild<QPlainTextEdit *>() != nullptr; };
    QTRY_VERIFY(!EditorFiller::instance().busy());
    QTest::qWait(50);
    QVERIFY(hasTextBox(editors.at(2)));
    QVERIFY(!hasTextBox(editors.at(1)) && !hasTextBox(editors.at(0)));
    QCOMPARE(editors.at(0)->text(), u"<p>0</p>\r\n"_s);   // its text is there all the same

    editors.at(2)->setLeft(editors.at(2)->Width() / 2);
    QTRY_VERIFY(hasTextBox(editors.at(1)));
    QVERIFY(!hasTextBox(editors.at(0)));
    editors.at(1)->cmdClo_Click();
    QTRY_VERIFY(hasTextBox(editors.at(0)));
    QCOMPARE(editors.at(0)->txtEdit()->toPlainText(), u"<p>0</p>\n"_s);
}

void tst_frmChild1::piecesEndAfterALineFeed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("from");
    QTest::addColumn<qsizetype>("end");
    const QString lines = u"x\r\n"_s.repeated(editorText::pieceLines + 5);
    const QString longLine = QString(editorText::pieceChars + 7, u'w') + u"\r\nrest"_s;
    QTest::newRow("shorter than a piece") << u"a\r\nb"_s << qsizetype(0) << qsizetype(4);
    QTest::newRow("line count reached") << lines << qsizetype(3) << qsizetype(3 + 3 * editorText::pieceLines);
    QTest::newRow("one line longer than a piece") << longLine << qsizetype(0) << editorText::pieceChars + 9;
    QTest::newRow("no line feed left") << longLine << editorText::pieceChars + 9 << longLine.size();
}

// A piece ends just after a line feed, so that no CR LF pair is split between pieces.
void tst_frmChild1::piecesEndAfterALineFeed()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, from);
    QFETCH(qsizetype, end);
    QCOMPARE(editorText::pieceEnd(text, from), end);
}

#include "tst_frmChild1.moc"
