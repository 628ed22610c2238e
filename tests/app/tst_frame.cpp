#include "app/CommandLine.h"
#include "app/Translation.h"
#include "app/basSystem.h"
#include "app/mdiMain.h"
#include "editor/FindBar.h"
#include "editor/frmSiteFind.h"
#include "editor/frmChild1.h"
#include "tree/TreeView.h"
#include "tree/frmSiteCheck.h"
#include "platform/Messages.h"
#include "platform/QtPlatform.h"
#include "settings/FileHistory.h"
#include "settings/Settings.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

using namespace basSystem;
using namespace Qt::StringLiterals;

namespace {
// A site in folder `sub`: pages p1.htm ... pN.htm titled "<sub> i", all open.
QString makeSite(TestEnv &env, const QString &sub, int n)
{
    const QString folder = env.path(sub) + QLatin1Char('/');
    QString ksd = u"[KSD INF]\r\nVER=Velmoran HTML Editor Ver 0.0\r\nPNM=%1\r\nDIR=%2\r\nURL=http://x/\r\n"
                  u"[HTML LIST]\r\nCNT=%3\r\n"_s.arg(sub, folder)
                      .arg(n, 3, 10, QLatin1Char('0'));
    for (int i = 1; i <= n; ++i) {
        env.writeCp932(u"%1/p%2.htm"_s.arg(sub).arg(i), u"<TITLE>%1 %2</TITLE>\r\n"_s.arg(sub).arg(i));
        ksd += u"%1=-1*%2*p%3.htm\r\n"_s.arg(i, 3, 10, QLatin1Char('0')).arg(folder).arg(i);
    }
    return env.writeCp932(sub + u"/site.ksd"_s, ksd);
}

QStringList fileHistoryOf()
{
    return fileHistory::entries(gHistory);
}

// The entries of the recent sites menu, as it shows them.
QList<QAction *> recentEntries(const mdiMain &frame)
{
    QMenu *recent = menuItem(frame, u"ファイル"_s, u"最近使ったサイト"_s)->menu();
    emit recent->aboutToShow();
    return recent->actions();
}

// A loaded, shown and active frame with both tool windows and a site of two open pages,
// the first page's editor active.
struct Fixture {
    TestEnv env;
    mdiMain frame;
    QString site;

    bool start()
    {
        env.writeSettings(-1, -1);
        site = makeSite(env, u"a"_s, 2);
        if (!frame.MDIForm_Load())
            return false;
        frame.resize(1200, 800);
        frame.show();
        frame.activateWindow();
        if (!QTest::qWaitForWindowActive(&frame) || !frame.openDefinition(site))
            return false;
        gPageEditors.at(1)->SetFocus();
        return gActiveEditor == gPageEditors.at(1);
    }

    // What the command left behind, in the words of the test table.
    QString effects() const
    {
        QStringList seen;
        for (const ScriptedPlatform::DialogRequest &d : env.platform.dialogs)
            seen << (d.mode == FileDialogMode::Open ? u"open "_s : u"save "_s) + d.filter.section(u' ', 0, 0);
        for (const QString &m : env.platform.messageTexts())
            seen << u"message "_s + m.section(u'\n', 0, 0);
        if (!env.platform.inputPrompts.isEmpty())
            seen << u"input"_s;
        const frmChild1 *first = pageCount() > 0 ? liveEditor(gPageEditors.at(1)) : nullptr;
        if (const auto *bar = first ? first->findChild<FindBar *>() : nullptr; bar && bar->isVisible())
            seen << (bar->isReplacing() ? u"replace bar"_s : u"find bar"_s);
        if (const auto *window = qobject_cast<KForm *>(
                QApplication::focusWidget() ? QApplication::focusWidget()->parentWidget() : nullptr);
            window && window->caption() == u"サイト内検索"_s)
            seen << u"site search"_s;
        if (!env.platform.browserRequests.isEmpty())
            seen << u"browser"_s;
        if (frame.hasShutDown())
            seen << u"closed"_s;
        else if (pageCount() == 0)
            seen << u"new site"_s;
        else if (!gPageEditors.at(1)->Visible())
            seen << u"page hidden"_s;
        else if (gActiveEditor != gPageEditors.at(1))
            seen << u"active %1"_s.arg(gActiveEditor ? gActiveEditor->plId : 0);
        if (TestEnv::read(env.path(u"a/p1.htm"_s)).contains("typed"))
            seen << u"page saved"_s;
        return seen.join(u"; "_s);
    }
};
}   // namespace

class tst_frame : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void commandsRunTheirHandlers_data();
    void commandsRunTheirHandlers();
    void viewBringsToolWindowsBack();
    void historyFollowsOpensAndSaves();
    void frameGeometryRoundTrip_data();
    void frameGeometryRoundTrip();
    void editorsOpenInSight_data();
    void editorsOpenInSight();
    void qtTextsInJapanese();
    void filterLabelNamesPatternsOnce_data();
    void filterLabelNamesPatternsOnce();
    void commandLine_data();
    void commandLine();
    void wordWrapRememberedAcrossRestart();
    void editCommandsFollowTheActiveText();
    void siteSearchOpensInSight_data();
    void siteSearchOpensInSight();
    void ownBoxesHaveMnemonicsAndStandOverTheFrame();
    void toolWindowMnemonicsLeaveTheMenusTheirs();
    void treeShownAgainFollowsSaves();
    void nextAndPreviousPageGoRoundTheShownOnes();
};

void tst_frame::commandsRunTheirHandlers_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<QString>("effects");
    const QString ksd = u"定義ファイル"_s;
    const QString html = u"ハイパーテキスト(*.htm;*.html)|*.htm;*.html|テキスト(*.txt)|*.txt"_s;
    QTest::newRow("new site") << u"ファイル"_s << u"新規作成"_s << QKeySequence() << u"new site"_s;
    QTest::newRow("open site") << u"ファイル"_s << u"開く…"_s << QKeySequence(u"Ctrl+O"_s) << u"open "_s + ksd;
    QTest::newRow("save site") << u"ファイル"_s << u"上書き保存"_s << QKeySequence() << u"message 更新しました"_s;
    QTest::newRow("save site as") << u"ファイル"_s << u"名前を付けて保存…"_s << QKeySequence() << u"save "_s + ksd;
    QTest::newRow("quit") << u"ファイル"_s << u"終了"_s << QKeySequence(u"Ctrl+Q"_s) << u"closed"_s;
    QTest::newRow("new page") << u"ページ"_s << u"新規ページ…"_s << QKeySequence() << u"input"_s;
    QTest::newRow("add page") << u"ページ"_s << u"既存ページを追加…"_s << QKeySequence() << u"open "_s + html;
    QTest::newRow("remove page") << u"ページ"_s << u"サイトから外す…"_s << QKeySequence()
                                 << u"message 「a 1」をサイトから外しますか？ファイルは削除されません。"_s;
    QTest::newRow("save page") << u"ページ"_s << u"ページを上書き保存"_s << QKeySequence(u"Ctrl+S"_s)
                               << u"page saved"_s;
    QTest::newRow("save page as") << u"ページ"_s << u"ページに名前を付けて保存…"_s << QKeySequence(u"Ctrl+Shift+S"_s)
                                  << u"save "_s + html;
    QTest::newRow("preview") << u"ページ"_s << u"ブラウザで確認"_s << QKeySequence(u"F5"_s) << u"browser"_s;
    QTest::newRow("close page") << u"ページ"_s << u"ページを閉じる"_s << QKeySequence(u"Ctrl+W"_s) << u"page hidden"_s;
    QTest::newRow("next page") << u"ウィンドウ"_s << u"次のページ"_s << QKeySequence(u"Ctrl+Tab"_s) << u"active 2"_s;
    QTest::newRow("previous page") << u"ウィンドウ"_s << u"前のページ"_s << QKeySequence(u"Ctrl+Shift+Tab"_s)
                                   << u"active 2"_s;
    QTest::newRow("second window entry") << u"ウィンドウ"_s << u"2 a 2"_s << QKeySequence() << u"active 2"_s;
    QTest::newRow("find") << u"編集"_s << u"検索…"_s << QKeySequence(u"Ctrl+F"_s) << u"find bar"_s;
    QTest::newRow("replace") << u"編集"_s << u"置換…"_s << QKeySequence(u"Ctrl+H"_s) << u"replace bar"_s;
    QTest::newRow("find next, nothing to repeat")
        << u"編集"_s << u"次を検索"_s << QKeySequence(u"F3"_s) << u"find bar"_s;
    QTest::newRow("find previous, nothing to repeat")
        << u"編集"_s << u"前を検索"_s << QKeySequence(u"Shift+F3"_s) << u"find bar"_s;
    QTest::newRow("site search") << u"編集"_s << u"サイト内検索・置換…"_s << QKeySequence(u"Ctrl+Shift+F"_s)
                                 << u"site search"_s;
    QTest::newRow("about") << u"ヘルプ"_s << u"バージョン情報"_s << QKeySequence() << u"message pageKiln 0.1"_s;
}

void tst_frame::commandsRunTheirHandlers()
{
    QFETCH(QString, menu);
    QFETCH(QString, item);
    QFETCH(QKeySequence, key);
    QFETCH(QString, effects);
    for (const bool byKey : {false, true}) {
        if (byKey && key.isEmpty())
            continue;
        Fixture f;
        QVERIFY(f.start());
        gPageEditors.at(1)->txtEdit()->setPlainText(u"typed"_s);
        f.env.platform.messages.clear();
        QAction *action = menuItem(f.frame, menu, item);
        QVERIFY2(action, qPrintable(item));
        if (byKey) {
            QCOMPARE(action->shortcut(), key);   // the menu shows the key it answers to
            QWidget *focus = QApplication::focusWidget();
            QTest::keySequence(focus ? focus : &f.frame, key);
        } else {
            action->trigger();
        }
        QCOMPARE(f.effects(), effects);
    }
}

void tst_frame::viewBringsToolWindowsBack()
{
    TestEnv env;
    env.writeSettings(0, 0);   // both closed the last time
    {
        mdiMain frame;
        QVERIFY(frame.MDIForm_Load());
        QVERIFY(!frame.treeWindow() && !frame.tagWindow());
        for (const QString &item : {u"サイトツリー"_s, u"タグリスト"_s}) {
            QAction *view = menuItem(frame, u"表示"_s, item);
            QVERIFY(view && view->isCheckable() && !view->isChecked());
            view->trigger();
            QVERIFY(menuItem(frame, u"表示"_s, item)->isChecked());
        }
        QVERIFY(frame.treeWindow()->Visible() && frame.tagWindow()->Visible());
        // Every window shows the program's icon, not Qt's.
        const qint64 icon = frame.windowIcon().cacheKey();
        QCOMPARE(frame.treeWindow()->subWindow()->windowIcon().cacheKey(), icon);
        QCOMPARE(QApplication::windowIcon().cacheKey(), icon);
        frame.closeFrame(vbFormMDIForm);
    }
    mdiMain next;
    QVERIFY(next.MDIForm_Load());
    QVERIFY(next.treeWindow() && next.tagWindow());
    // Unchecked, the window goes and stays away at the next start.
    menuItem(next, u"表示"_s, u"サイトツリー"_s)->trigger();
    QVERIFY(!menuItem(next, u"表示"_s, u"サイトツリー"_s)->isChecked());
    next.closeFrame(vbFormMDIForm);
    QVERIFY(LoadSettings());
    QCOMPARE(gTreeWinVisible, 0);
    QCOMPARE(gTagWinVisible, -1);
}

void tst_frame::historyFollowsOpensAndSaves()
{
    Fixture f;
    QVERIFY(f.start());
    const QString b = makeSite(f.env, u"b"_s, 1);
    const QString c = makeSite(f.env, u"c"_s, 1);
    QVERIFY(f.frame.openDefinition(b));
    QVERIFY(f.frame.openDefinition(c));
    QCOMPARE(recentEntries(f.frame).size(), 3);
    // Opened again from the list, a site moves to the front; saved, it does too.
    recentEntries(f.frame).at(2)->trigger();
    QCOMPARE(gSite.FilePath, f.site);
    QVERIFY(f.frame.openDefinition(b));
    QCOMPARE(fileHistoryOf(), (QStringList{b, f.site, c}));
    f.env.platform.fileAnswers.enqueue(c);
    f.frame.treeWindow()->cmdOpe_Click();
    f.frame.treeWindow()->cmdSav_Click();
    QCOMPARE(fileHistoryOf(), (QStringList{c, b, f.site}));
    // A site that is gone is named and leaves the list; the next start keeps the order.
    QFile::remove(b);
    f.env.platform.messages.clear();
    QVERIFY(!f.frame.openDefinition(b));
    QCOMPARE(f.env.platform.messageTexts(), QStringList{u"定義ファイルが見つかりません。\n"_s + b});
    f.frame.closeFrame(vbFormMDIForm);
    gHistory.fill(QString());
    QVERIFY(LoadSettings());
    QCOMPARE(fileHistoryOf(), (QStringList{c, f.site}));
}

void tst_frame::frameGeometryRoundTrip_data()
{
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("maximized");
    QTest::newRow("placed") << QRect(40, 30, 900, 600) << false;
    QTest::newRow("maximised") << QRect(60, 50, 700, 500) << true;
}

void tst_frame::frameGeometryRoundTrip()
{
    QFETCH(QRect, geometry);
    QFETCH(bool, maximized);
    TestEnv env;
    env.writeSettings(0, 0);
    {
        mdiMain frame;
        QVERIFY(frame.MDIForm_Load());
        frame.setGeometry(geometry);
        frame.show();
        if (maximized)
            frame.showMaximized();
        QTRY_COMPARE(frame.isMaximized(), maximized);
        frame.closeFrame(vbFormMDIForm);
    }
    QVERIFY(LoadSettings());
    QCOMPARE(gFrameMaximized, maximized ? -1 : 0);
    mdiMain next;
    QVERIFY(next.MDIForm_Load());
    QCOMPARE(next.geometry(), geometry);
    next.showAsRemembered();
    QTRY_COMPARE(next.isMaximized(), maximized);
}

void tst_frame::editorsOpenInSight_data()
{
    QTest::addColumn<QSize>("frameSize");
    QTest::addColumn<bool>("roomy");
    QTest::newRow("roomy") << QSize(1200, 800) << true;
    QTest::newRow("cramped") << QSize(500, 300) << false;
}

void tst_frame::editorsOpenInSight()
{
    QFETCH(QSize, frameSize);
    QFETCH(bool, roomy);
    Fixture f;
    f.env.writeSettings(-1, -1);
    QVERIFY(f.frame.MDIForm_Load());
    f.frame.resize(frameSize);
    f.frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.frame));
    QVERIFY(f.frame.openDefinition(makeSite(f.env, u"a"_s, 2)));
    const QRect visible = f.frame.area()->viewport()->rect();
    const int toolsRight = f.frame.treeWindow()->subWindow()->geometry().right();
    for (int i = 1; i <= 2; ++i) {
        const QRect placed = gPageEditors.at(i)->subWindow()->geometry();
        QVERIFY2(visible.contains(placed), qPrintable(u"editor %1 outside the visible area"_s.arg(i)));
        if (roomy) {
            QVERIFY(placed.left() > toolsRight);
            const QFontMetrics metrics(gPageEditors.at(i)->txtEdit()->font());
            QVERIFY(gPageEditors.at(i)->txtEdit()->viewport()->width() >= 80 * metrics.horizontalAdvance(u'0'));
            QVERIFY(gPageEditors.at(i)->txtEdit()->viewport()->height() >= 25 * metrics.lineSpacing());
        }
    }
    if (roomy)   // cascaded
        QVERIFY(gPageEditors.at(2)->subWindow()->y() > gPageEditors.at(1)->subWindow()->y());
}

void tst_frame::qtTextsInJapanese()
{
    QVERIFY(installQtTranslation(*QCoreApplication::instance()));
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const auto *buttons = dialog.findChild<QDialogButtonBox *>();
    QVERIFY(buttons);
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), u"キャンセル"_s);
}

void tst_frame::filterLabelNamesPatternsOnce_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("label names its patterns")
        << u"定義ファイル (*.ksd)|*.ksd"_s << QStringList{u"定義ファイル (*.ksd)"_s};
    QTest::newRow("label without them") << u"ハイパーテキスト(*.htm;*.html)|*.htm;*.html|テキスト|*.txt"_s
                                        << QStringList{u"ハイパーテキスト(*.htm;*.html) (*.htm *.html)"_s,
                                                       u"テキスト (*.txt)"_s};
}

void tst_frame::filterLabelNamesPatternsOnce()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, shown);
    QCOMPARE(qtNameFilters(filter), shown);
}

void tst_frame::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("answerStart");
    QTest::newRow("nothing") << QStringList() << 0 << QString();
    QTest::newRow("help") << QStringList{u"--help"_s} << 0 << u"Usage: pagekiln [PATH.ksd]"_s;
    QTest::newRow("version") << QStringList{u"--version"_s} << 0 << u"pageKiln 0.1"_s;
    QTest::newRow("unknown option") << QStringList{u"--frobnicate"_s} << 2 << u"Usage:"_s;
    QTest::newRow("two files") << QStringList{u"a.ksd"_s, u"b.ksd"_s} << 2 << u"Usage:"_s;
}

void tst_frame::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, answerStart);
    QList<QByteArray> bytes{"pagekiln"};
    for (const QString &a : arguments)
        bytes << a.toLocal8Bit();
    QList<const char *> argv;
    for (const QByteArray &b : bytes)
        argv << b.constData();
    const CommandLine command = parseCommandLine(int(argv.size()), argv.constData());
    QCOMPARE(command.exitCode, exitCode);
    QVERIFY2(command.answer.startsWith(answerStart), qPrintable(command.answer));
    QCOMPARE(command.answer.isEmpty(), answerStart.isEmpty());

    // A definition is named by its absolute path; without a display the answer is how to
    // start on a virtual one.
    const char *withFile[] = {"pagekiln", "site.ksd"};
    QCOMPARE(parseCommandLine(2, withFile).definition, QDir::current().absoluteFilePath(u"site.ksd"_s));
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM"), display = qgetenv("DISPLAY");
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("DISPLAY");
    const CommandLine headless = parseCommandLine(2, withFile);
    qputenv("QT_QPA_PLATFORM", platform);
    qputenv("DISPLAY", display);
    QCOMPARE(headless.exitCode, 1);
    QVERIFY(headless.answer.contains(u"xvfb-run -a -s \"-screen 0 1280x800x24\" pagekiln site.ksd"_s));
}

// Alt+Z wraps the active editor's lines; the next start opens editors wrapped, and Alt+Z
// there turns it off again for the start after.
void tst_frame::wordWrapRememberedAcrossRestart()
{
    TestEnv env;
    env.writeSettings(0, 0);
    const QString site = makeSite(env, u"a"_s, 2);
    for (const bool wrappedBefore : {false, true}) {
        resetSharedState();   // a new start
        mdiMain frame;
        QVERIFY(frame.MDIForm_Load());
        frame.show();
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QVERIFY(frame.openDefinition(site));
        frmChild1 *editor = gPageEditors.at(1);
        editor->SetFocus();
        QCOMPARE(editor->wordWrap(), wrappedBefore);
        QTest::keySequence(editor->txtEdit(), QKeySequence(u"Alt+Z"_s));
        QCOMPARE(editor->wordWrap(), !wrappedBefore);
        QCOMPARE(editor->txtEdit()->lineWrapMode(),
                 wrappedBefore ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
        QCOMPARE(gPageEditors.at(2)->wordWrap(), wrappedBefore);   // the other editor keeps its own
        frame.closeFrame(vbFormMDIForm);
    }
    QVERIFY(TestEnv::read(env.path(u"pageKiln.INI"_s)).contains("[EDITOR INF]\r\nWRAP=0\r\n"));
}

void tst_frame::editCommandsFollowTheActiveText()
{
    Fixture f;
    QVERIFY(f.start());
    // Which of undo, redo, cut, copy, paste and select all are enabled, as 0 and 1.
    const auto enabled = [&f] {
        QString states;
        for (const QString &item :
             {u"元に戻す"_s, u"やり直し"_s, u"切り取り"_s, u"コピー"_s, u"貼り付け"_s, u"すべて選択"_s})
            states += menuItem(f.frame, u"編集"_s, item)->isEnabled() ? u'1' : u'0';
        return states;
    };
    const auto run = [&f](const QString &item) { menuItem(f.frame, u"編集"_s, item)->trigger(); };
    QApplication::clipboard()->clear();
    QPlainTextEdit *box = gPageEditors.at(1)->txtEdit();
    const QString page = box->toPlainText();
    QCOMPARE(enabled(), u"000001"_s);
    QTest::keyClicks(box, u"ab"_s);
    QCOMPARE(enabled(), u"100001"_s);
    run(u"元に戻す"_s);
    QCOMPARE(box->toPlainText(), page);
    QCOMPARE(enabled(), u"010001"_s);
    // The frame going to the background and back leaves the commands on the page.
    {
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(other.isActiveWindow());
    }
    f.frame.activateWindow();
    QTRY_VERIFY(f.frame.isActiveWindow());
    // Redo answers Ctrl+Y and Ctrl+Shift+Z, in the text box and out of it.
    for (const char *key : {"Ctrl+Y", "Ctrl+Shift+Z"}) {
        QTest::keySequence(box, QKeySequence(QString::fromLatin1(key)));
        QCOMPARE(box->toPlainText(), u"ab"_s + page);
        QTest::keySequence(box, QKeySequence(u"Ctrl+Z"_s));
        QCOMPARE(box->toPlainText(), page);
    }
    QTest::keySequence(f.frame.treeWindow(), QKeySequence(u"Ctrl+Y"_s));
    QCOMPARE(box->toPlainText(), u"ab"_s + page);
    run(u"すべて選択"_s);
    QCOMPARE(enabled(), u"101101"_s);
    run(u"コピー"_s);
    QCOMPARE(QApplication::clipboard()->text(), u"ab"_s + page);
    run(u"切り取り"_s);
    QCOMPARE(box->toPlainText(), QString());
    QCOMPARE(enabled(), u"100011"_s);
    run(u"貼り付け"_s);
    QCOMPARE(box->toPlainText(), u"ab"_s + page);
    // With no page shown there is nothing to edit.
    gPageEditors.at(1)->cmdClo_Click();
    gPageEditors.at(2)->cmdClo_Click();
    QCOMPARE(enabled(), u"000000"_s);
}

void tst_frame::siteSearchOpensInSight_data()
{
    QTest::addColumn<QSize>("frameSize");
    QTest::newRow("roomy") << QSize(1200, 800);
    QTest::newRow("cramped") << QSize(500, 300);
}

void tst_frame::siteSearchOpensInSight()
{
    QFETCH(QSize, frameSize);
    Fixture f;
    QVERIFY(f.start());
    f.frame.resize(frameSize);
    QTRY_COMPARE(f.frame.size(), frameSize);
    const QRect placed = f.frame.showSiteFind()->subWindow()->geometry();
    const QRect visible = f.frame.area()->viewport()->rect();
    QVERIFY2(visible.contains(placed),
             qPrintable(
                 u"placed at %1,%2 %3x%4"_s.arg(placed.x()).arg(placed.y()).arg(placed.width()).arg(placed.height())));
}

void tst_frame::ownBoxesHaveMnemonicsAndStandOverTheFrame()
{
    Fixture f;
    QVERIFY(f.start());
    // Another window has the focus, as a browser would after a preview.
    QWidget other;
    other.setGeometry(0, 0, 200, 100);
    other.show();
    other.activateWindow();
    QTRY_VERIFY(other.isActiveWindow());
    // The desktop's own boxes, not the scripted ones: each is read and closed as by Esc.
    Platform *scripted = setPlatform(nullptr);
    QStringList buttons;
    QList<QPoint> offsets;
    const auto answerNext = [&] {
        QTimer::singleShot(0, &f.frame, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            QStringList texts;
            for (const QAbstractButton *b : box->buttons())
                if (!b->isHidden())
                    texts << b->text();
            texts.sort();
            buttons << texts.join(u' ');
            offsets << box->geometry().center() - f.frame.geometry().center();
            box->escapeButton()->click();
        });
    };
    answerNext();
    platform().askToSave(u"?"_s, messageTitle);
    answerNext();
    platform().askYesNo(u"?"_s, messageTitle);
    answerNext();
    platform().messageBox(u"?"_s, messageTitle, vbYesNo);
    setPlatform(scripted);
    const QString yesNo = u"いいえ(&N) はい(&Y)"_s;
    QCOMPARE(buttons, (QStringList{u"キャンセル(&C) 保存(&S) 保存しない(&N)"_s, yesNo, yesNo}));
    for (const QPoint &offset : offsets)
        QVERIFY2(offset.manhattanLength() < 40,
                 qPrintable(u"%1,%2 off the frame's centre"_s.arg(offset.x()).arg(offset.y())));
}

// Alt and a letter reaches one thing in the frame: the link check window and the site
// search window, open side by side, give each button and box a mnemonic of its own, none
// taken from the menu bar's.
void tst_frame::toolWindowMnemonicsLeaveTheMenusTheirs()
{
    Fixture f;
    QVERIFY(f.start());
    f.frame.treeWindow()->cmdChk_Click();
    QMap<QString, QStringList> owners;   // each mnemonic, with the texts that carry it
    QStringList without;
    const auto take = [&](const QString &text) {
        const QString key = QKeySequence::mnemonic(text).toString();
        owners[key] << text;
        return !key.isEmpty();
    };
    for (const QAction *menu : f.frame.findChild<QMenuBar *>()->actions())
        take(menu->text());
    const QList<QWidget *> windows{f.frame.treeWindow()->siteCheckWindow(), f.frame.showSiteFind()};
    for (QWidget *window : windows) {
        QVERIFY(window && window->isVisible());
        for (const QAbstractButton *b : window->findChildren<QAbstractButton *>())
            if ((qobject_cast<const QPushButton *>(b) || qobject_cast<const QCheckBox *>(b)) && !take(b->text()))
                without << b->text();
        for (const QLabel *label : window->findChildren<QLabel *>())
            if (label->buddy())
                take(label->text());
    }
    QCOMPARE(without, QStringList());
    owners.remove(QString());
    for (auto it = owners.cbegin(); it != owners.cend(); ++it)
        QVERIFY2(it->size() == 1, qPrintable(it.key() + u": "_s + it->join(u", "_s)));
}

// The site tree closed with its close box takes its link check window with it, and shown
// again follows the pages as before: a link saved while it was away, and one saved after it
// came back, are drawn broken.
void tst_frame::treeShownAgainFollowsSaves()
{
    Fixture f;
    QVERIFY(f.start());
    f.frame.treeWindow()->cmdChk_Click();
    const QPointer<frmSiteCheck> check = f.frame.treeWindow()->siteCheckWindow();
    QVERIFY(check && check->isVisible());
    const auto saveWithLink = [](qint32 page, const QString &target) {
        gPageEditors.at(page)->txtEdit()->appendPlainText(u"<A HREF=\"%1\">x</A>"_s.arg(target));
        return gPageEditors.at(page)->save();
    };
    const auto drawnBroken = [&](qint32 page) {
        const frmTree *tree = f.frame.treeWindow();
        if (!QTest::qWaitFor([tree] { return !tree->linkChecker().isChecking(); }, 20000))
            return QStringList{u"still checking"_s};
        QStringList broken;
        for (qint32 j = 1; const auto label = tree->tree().lblLink(page * 100 + j); ++j)
            if (tree->picTre()->brokenLink(*label))
                broken << label->caption;
        return broken;
    };
    f.frame.treeWindow()->subWindow()->close();
    QTRY_VERIFY(!f.frame.treeWindow() && !check);
    QVERIFY(saveWithLink(1, u"gone1.htm"_s));
    f.frame.showTreeWindow();
    QCOMPARE(drawnBroken(1), QStringList{u"gone1.htm"_s});
    QVERIFY(saveWithLink(2, u"gone2.htm"_s));
    QCOMPARE(drawnBroken(2), QStringList{u"gone2.htm"_s});
}

void tst_frame::nextAndPreviousPageGoRoundTheShownOnes()
{
    Fixture f;
    f.env.writeSettings(-1, -1);
    QVERIFY(f.frame.MDIForm_Load());
    f.frame.show();
    QVERIFY(f.frame.openDefinition(makeSite(f.env, u"a"_s, 4)));
    gPageEditors.at(3)->Hide();
    gPageEditors.at(2)->SetFocus();
    QList<qint32> order;
    for (const QString &item : {u"次のページ"_s, u"次のページ"_s, u"前のページ"_s, u"前のページ"_s, u"前のページ"_s}) {
        menuItem(f.frame, u"ウィンドウ"_s, item)->trigger();
        order << (gActiveEditor ? gActiveEditor->plId : 0);
    }
    QCOMPARE(order, (QList<qint32>{4, 1, 4, 2, 1}));
}

PAGEKILN_TEST_MAIN(tst_frame)
#include "tst_frame.moc"
