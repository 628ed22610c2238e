// Recovery copies: their format, and recovery through the real program, in this process
// and in child processes running it: killed, signalled while the real restore question is
// shown, running beside this one, or writing on a full disk.
#include "app/ShutdownSignals.h"
#include "app/basSystem.h"
#include "app/mdiMain.h"
#include "common/PageHash.h"
#include "editor/EditorTexts.h"
#include "editor/RecoveryCopier.h"
#include "editor/RecoveryCopy.h"
#include "editor/RecoveryStore.h"
#include "editor/TypingPause.h"
#include "editor/frmChild1.h"
#include "platform/PlatformTexts.h"
#include "platform/QtPlatform.h"
#include "support/TestEnv.h"
#include "support/TinyTmpfs.h"
#include "tree/PageScan.h"
#include "tree/frmTree.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

using namespace basSystem;
using namespace Qt::StringLiterals;

namespace {
constexpr int testDelayMs = 60;

// The real frame with the site tree, as the program starts it.
struct Program {
    explicit Program(ScriptedPlatform &platform) : platform(platform)
    {
        resetSharedState();
        frame = new mdiMain;
        frame->MDIForm_Load();
        frame->show();
        store = RecoveryStore::current();
    }
    // As a crash would leave things: nothing is closed. The program is gone once copies
    // still on their way have let its recovery folders go.
    ~Program()
    {
        delete frame;
        if (!QTest::qWaitFor([this] { return store.expired(); }))
            qWarning("the recovery store outlived the program");
    }

    frmTree *tree() const { return frame->treeWindow(); }
    void open(const QString &definition)
    {
        platform.fileAnswers.enqueue(definition);
        tree()->cmdOpe_Click();
    }
    static frmChild1 *editor(int page) { return gPageEditors.at(page); }

    ScriptedPlatform &platform;
    mdiMain *frame = nullptr;
    std::weak_ptr<RecoveryStore> store;
};

// Types `text` into the editor's text box, a line break for each LF.
void type(frmChild1 *editor, const QString &text)
{
    const QStringList pieces = text.split(u'\n');
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString &piece = pieces.at(i);
        if (i > 0) {
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, u"\r"_s);
            QCoreApplication::sendEvent(editor->txtEdit(), &enter);
        }
        if (piece.isEmpty())
            continue;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, piece);
        QCoreApplication::sendEvent(editor->txtEdit(), &press);
    }
}

// Every copy file in the recovery locations, in the programs' folders too.
QStringList copyFiles()
{
    QStringList files;
    for (const QString &location : RecoveryStore::defaultLocations())
        for (QDirIterator it(location, {u"*.recovery"_s}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            files << it.next();
    files.sort();
    return files;
}

QStringList copyTexts()
{
    QStringList texts;
    for (const QString &file : copyFiles())
        if (const std::optional<RecoveryCopy> copy = parseRecoveryCopy(TestEnv::read(file)))
            texts << copy->text;
    return texts;
}

// Quits, discarding the text restored, and its copies with it.
void discardAndQuit(Program &program)
{
    program.platform.saveAnswers.enqueue(SaveChoice::Discard);
    program.frame->closeFrame(vbFormMDIForm);
}

// Settings with the site tree shown, and site "A" of `pages` pages; its definition.
QString siteA(const TestEnv &env, int pages)
{
    env.writeSettings(0, -1);
    return env.writeSite(u"a"_s, u"A"_s, pages);
}

// What the child types before its k-th pause, and the page's text after it.
QString typedChunk(int k)
{
    return u"行%1：日本語テキスト①\n"_s.arg(k);
}

QString expectedText(const QString &original, int chunks)
{
    QString typed;
    for (int k = 1; k <= chunks; ++k)
        typed += typedChunk(k);
    typed.replace(u"\n"_s, u"\r\n"_s);
    return typed + original;
}

void say(const QByteArray &line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void runUntilShutDown(const mdiMain *frame)
{
    while (!frame->hasShutDown())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The child: the program with site `definition` open types into page 1. "pauses": waits
// after each chunk until the copy holds it and says "copied k"; "hold": the same for one
// chunk, then runs on; "no-pauses": types 20 chunks, says "typed" and runs until a signal.
int runChild(const QString &folder, const QString &definition, const QByteArray &mode)
{
    ScriptedPlatform platform;
    platform.folder = folder;
    TypingPause::setDelay(testDelayMs);
    Program program(platform);
    installShutdownHandlers(program.frame);
    program.open(definition);
    frmChild1 *editor = Program::editor(1);
    editor->Show();
    const QString original = editor->text();
    for (int k = 1;; ++k) {
        type(editor, typedChunk(k));
        if (mode == "no-pauses") {
            if (k < 20)
                continue;
            say("typed");
            runUntilShutDown(program.frame);
            return 0;
        }
        if (!QTest::qWaitFor([&] { return copyTexts() == QStringList{expectedText(original, k)}; }, 5000))
            return 2;
        say("copied " + QByteArray::number(k));
        if (mode == "hold") {
            runUntilShutDown(program.frame);
            return 0;
        }
    }
}

// The last k the child said it had copied.
int lastCopied(const QByteArray &output)
{
    int last = 0;
    for (const QByteArray &line : output.split('\n'))
        if (line.startsWith("copied "))
            last = line.mid(7).toInt();
    return last;
}

// Answers the real restore question as a user would; "signal" only says it is shown.
void answer(QMessageBox *box, const QByteArray &action)
{
    if (action == "signal")
        say("asking");
    else if (action == "escape")
        QTest::keyClick(box, Qt::Key_Escape);
    else if (action == "close box")
        box->close();
    for (QAbstractButton *button : box->buttons())
        if (button->isVisible() && button->text() == (action == "yes" ? platformTexts::yes : platformTexts::no)
            && (action == "yes" || action == "no"))
            button->click();
}

// The child: the program on the real desktop layer opens `definition` and meets the
// restore question; `action` answers it. Says whether page 1 then holds unsaved text.
int runAsk(const QString &folder, const QString &definition, const QByteArray &action)
{
    QtPlatform::setProgramFolderOverride(folder);
    mdiMain frame;
    installShutdownHandlers(&frame);
    if (!frame.MDIForm_Load())
        return 3;
    frame.show();
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            watch.stop();
            answer(box, action);
        }
    });
    watch.start(10);
    frame.openDefinition(definition);
    if (action == "signal") {
        runUntilShutDown(&frame);
        return 0;
    }
    say(Program::editor(1)->isModified() ? "modified" : "unmodified");
    return 0;
}

// The child: types a text larger than the files it may write, then, with the limit
// lifted, one character more; after each copy it says what the status line shows and its
// tooltip, and how many copies there are.
int runFullDisk(const QString &folder, const QString &definition, qint64 limit)
{
    std::signal(SIGXFSZ, SIG_IGN);
    ScriptedPlatform platform;
    platform.folder = folder;
    TypingPause::setDelay(testDelayMs);
    Program program(platform);
    program.open(definition);
    frmChild1 *editor = Program::editor(1);
    editor->Show();
    rlimit r{rlim_t(limit), RLIM_INFINITY};
    if (::setrlimit(RLIMIT_FSIZE, &r) != 0)
        return 2;
    for (const QString &typed : {QString(int(limit), u'あ'), u"x"_s}) {
        QSignalSpy finished(editor->recoveryCopier(), &RecoveryCopier::finished);
        type(editor, typed);
        if (!finished.wait(10000))
            return 3;
        const QString report = editor->statusLine()->text() + u'\t' + editor->statusLine()->toolTip() + u'\t'
            + QString::number(copyFiles().size());
        say(report.toUtf8().replace('\n', '|'));
        r.rlim_cur = RLIM_INFINITY;
        ::setrlimit(RLIMIT_FSIZE, &r);
    }
    return 0;
}

QProcess *startChild(const QStringList &arguments)
{
    auto *child = new QProcess;
    child->start(QCoreApplication::applicationFilePath(), arguments);
    return child;
}

// Sends `signal` to the child and waits until it has ended.
void endChild(QProcess &child, int signal)
{
    ::kill(pid_t(child.processId()), signal);
    child.waitForFinished();
}

// A copy as earlier versions left it: in the recovery folder itself, named by its page.
QString writeEarlierVersionsCopy(const TestEnv &env, const RecoveryCopy &copy)
{
    const QString folder = RecoveryStore::defaultLocations().constFirst();
    const QString name = QString::fromLatin1(
        QCryptographicHash::hash(copy.pagePath.toUtf8(), QCryptographicHash::Sha1).toHex().left(20));
    return env.write(folder.mid(env.dir.path().size() + 1) + u'/' + name + u".recovery"_s, formatRecoveryCopy(copy));
}

// A definition listing page p1.htm of folder `sub` twice, both open.
QString writeSamePageTwice(const TestEnv &env, const QString &sub)
{
    env.writeCp932(sub + u"/p1.htm"_s, u"<TITLE>二重</TITLE>\r\n"_s);
    const QString folder = env.path(sub) + u'/';
    const QString entry = u"-1*"_s + folder + u"*p1.htm"_s;
    return env.writeCp932(sub + u"/site.ksd"_s,
                          definitionHeader(u"Velmoran HTML Editor Ver 0.0"_s, u"二重"_s, folder)
                              + definitionList(u"002"_s, {entry, entry}));
}
}   // namespace

class tst_recovery : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { TypingPause::setDelay(testDelayMs); }
    void copyRoundTrip_data();
    void copyRoundTrip();
    void notACopy_data();
    void notACopy();
    void pageHashIsXxh64();
    void staleAgainstEitherHash_data();
    void staleAgainstEitherHash();
    void offeredWhenTheDefinitionOpens_data();
    void offeredWhenTheDefinitionOpens();
    void earlierVersionsCopiesAreOffered();
    void savedOrDiscardedTextLeavesNoCopy();
    void oneCopyPerEditor();
    void newPagesCopiesOutliveRemovedPages();
    void questionClosedWithoutAnswerKeepsCopies_data();
    void questionClosedWithoutAnswerKeepsCopies();
    void runningProgramsCopiesAreLeftAlone();
    void copyThatCannotBeWrittenIsShown();
    void copyGoesToTheTemporaryFolder_data();
    void copyGoesToTheTemporaryFolder();
    void missingTemporaryFolderMeansTmp();
    void unreadableCopiesAreReportedAndLeft_data();
    void unreadableCopiesAreReportedAndLeft();
    void copyHoldsTheTextAsTakenWhileTypingGoesOn();
    void killedProgramKeepsWhatWasTypedBeforeThePause();
    void terminatedProgramKeepsEverythingTyped();
};

void tst_recovery::copyRoundTrip_data()
{
    QTest::addColumn<RecoveryCopy>("copy");
    const QChar kept(char16_t(0xDC81));
    QTest::newRow("page in code page 932")
        << RecoveryCopy{u"/web/日本語.htm"_s, u"/web/site.ksd"_s,        3, u"題"_s, TextEncoding::Cp932,
                        pageFileHash("abc"),  u"<P>日本語 ～①</P>\r\n"_s};
    QTest::newRow("kept bytes and a character outside the BMP")
        << RecoveryCopy{u"/a.htm"_s,
                        {},
                        1,
                        {},
                        TextEncoding::Utf8,
                        {},
                        QString(kept) + u"x\U0001F600"_s + kept + QChar(char16_t(0xD800)) + u"\r\n"_s};
    QTest::newRow("header values with line breaks and backslashes")
        << RecoveryCopy{u"/we\nb/a\\r.htm"_s, u"C:\\site\r\n.ksd"_s, 7, u"a\\nb"_s, TextEncoding::Utf8Bom,
                        pageFileHash(""),     u"\n\n本文\r\n"_s};
    QTest::newRow("new page, empty text") << RecoveryCopy{{}, u"/s.ksd"_s, 2, u"新規"_s, TextEncoding::Cp932, {}, {}};
    QTest::newRow("U+FEFF first, and after a kept byte")
        << RecoveryCopy{{}, {}, 1, u"\uFEFF題"_s, TextEncoding::Cp932, {}, u"\uFEFFa"_s + kept + u"\uFEFFb"_s};
}

void tst_recovery::copyRoundTrip()
{
    QFETCH(RecoveryCopy, copy);
    const std::optional<RecoveryCopy> back = parseRecoveryCopy(formatRecoveryCopy(copy));
    QVERIFY(back);
    QCOMPARE(back->pagePath, copy.pagePath);
    QCOMPARE(back->definitionPath, copy.definitionPath);
    QCOMPARE(back->pageIndex, copy.pageIndex);
    QCOMPARE(back->title, copy.title);
    QCOMPARE(back->encoding, copy.encoding);
    QCOMPARE(back->pageHash, copy.pageHash);
    QCOMPARE(back->text, copy.text);
}

void tst_recovery::notACopy_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = formatRecoveryCopy(RecoveryCopy{u"/a.htm"_s, {}, 1, {}, TextEncoding::Cp932, {}, u"x"_s});
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("a page") << QByteArray("<HTML>\n\n</HTML>");
    QTest::newRow("header cut off") << good.left(good.indexOf("\n\n"));
    QTest::newRow("unknown code page") << QByteArray(good).replace("encoding=cp932", "encoding=ebcdic");
    QTest::newRow("no code page") << QByteArray(good).replace("encoding=cp932\n", "");
}

void tst_recovery::notACopy()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!parseRecoveryCopy(bytes));
}

// Copies outlive the program: the recorded hash must not change between versions.
void tst_recovery::pageHashIsXxh64()
{
    QByteArray stripes(1000, Qt::Uninitialized);
    for (int i = 0; i < stripes.size(); ++i)
        stripes[i] = char(i * 7);
    QCOMPARE(pageFileHash(""), QByteArray("ef46db3751d8e999"));
    QCOMPARE(pageFileHash("abc"), QByteArray("44bc2cf5ad770999"));
    QCOMPARE(pageFileHash(stripes), QByteArray("25275608a9cfc168"));   // as the xxHash library gives it
}

void tst_recovery::staleAgainstEitherHash_data()
{
    QTest::addColumn<QByteArray>("copiedBytes");   // the page file when the copy was taken
    QTest::addColumn<QByteArray>("readBytes");     // when its editor read it
    QTest::addColumn<QByteArray>("fileBytes");     // now
    QTest::addColumn<bool>("sha1");                // the copy records a SHA-1, as earlier versions did
    QTest::addColumn<bool>("stale");
    const QByteArray page("<TITLE>a</TITLE>\r\n"), other("<TITLE>b</TITLE>\r\n");
    QTest::newRow("unchanged") << page << page << page << false << false;
    QTest::newRow("changed") << page << other << other << false << true;
    QTest::newRow("SHA-1, unchanged") << page << page << page << true << false;
    QTest::newRow("SHA-1, changed") << page << other << other << true << true;
    // The editor read other bytes than the copy was taken against, even if the file holds them again.
    QTest::newRow("SHA-1, file changed back after it was read") << page << other << page << true << true;
}

void tst_recovery::staleAgainstEitherHash()
{
    QFETCH(QByteArray, copiedBytes);
    QFETCH(QByteArray, readBytes);
    QFETCH(QByteArray, fileBytes);
    QFETCH(bool, sha1);
    QFETCH(bool, stale);
    TestEnv env;
    RecoveryCopy copy{env.write(u"a.htm"_s, fileBytes), {}, 1, {}, TextEncoding::Cp932, {}, u"x"_s};
    copy.pageHash
        = sha1 ? QCryptographicHash::hash(copiedBytes, QCryptographicHash::Sha1).toHex() : pageFileHash(copiedBytes);
    QCOMPARE(isStale(copy, pageFileHash(readBytes)), stale);
}

void tst_recovery::offeredWhenTheDefinitionOpens_data()
{
    QTest::addColumn<bool>("pageChanged");
    QTest::addColumn<bool>("restore");
    QTest::newRow("restored") << false << true;
    QTest::newRow("restored, page changed since") << true << true;
    QTest::newRow("declined") << false << false;
}

// Typed text left by a program that ended without closing is offered when its definition
// is opened again; a copy of another definition's page is left alone.
void tst_recovery::offeredWhenTheDefinitionOpens()
{
    QFETCH(bool, pageChanged);
    QFETCH(bool, restore);
    TestEnv env;
    const QString a = siteA(env, 2);
    const QString b = env.writeSite(u"b"_s, u"B"_s, 1);
    const QString page2 = env.path(u"a/p2.htm"_s);
    const QByteArray page2Bytes = TestEnv::read(page2);
    {
        Program before(env.platform);
        before.open(b);
        type(Program::editor(1), u"Bの変更"_s);
        env.platform.saveAnswers.enqueue(SaveChoice::Discard);
        before.open(a);   // the text typed into B's page is discarded, its copy with it
        QCOMPARE(env.platform.saveQuestions.size(), 1);
        type(Program::editor(2), u"変更\n二行目"_s);
        env.platform.inputAnswers.enqueue(u"新しいページ"_s);
        before.tree()->cmdHCr_Click();
        type(Program::editor(3), u"新しい本文"_s);
        QTRY_COMPARE(copyFiles().size(), 2);
    }
    writeEarlierVersionsCopy(env, RecoveryCopy{env.path(u"b/p1.htm"_s), b, 1, {}, TextEncoding::Cp932, {}, u"B"_s});
    if (pageChanged)
        env.writeCp932(u"a/p2.htm"_s, u"<TITLE>A 2</TITLE>\r\n外で書き換え\r\n"_s);

    Program after(env.platform);
    env.platform.yesNoAnswers.enqueue(restore);
    after.open(a);
    QCOMPARE(env.platform.yesNoQuestions.size(), 1);
    const QString question = env.platform.yesNoQuestions.constFirst();
    QVERIFY(question.startsWith(editorTexts::recoveryQuestion));
    QVERIFY(question.contains(u"・A 2"_s) && question.contains(u"・新しいページ"_s) && !question.contains(u"B"_s));
    QCOMPARE(question.contains(u"書き換えられています"_s), pageChanged);
    if (!restore) {
        QCOMPARE(pageCount(), 2);
        QVERIFY(!Program::editor(2)->isModified());
        QCOMPARE(copyFiles().size(), 1);   // B's copy stays
        return;
    }
    frmChild1 *edited = Program::editor(2);
    QCOMPARE(edited->text(), u"変更\r\n二行目<TITLE>A 2</TITLE>\r\n<A HREF=\"x.htm\">x</A>\r\n"_s);
    QVERIFY(edited->isModified() && edited->Visible());
    QCOMPARE(TestEnv::read(page2) == page2Bytes, !pageChanged);   // recovery writes no page
    QCOMPARE(pageCount(), 3);
    QCOMPARE(gPageTable.at(3).Title, u"新しいページ"_s);
    QVERIFY(Program::editor(3)->text().startsWith(u"新しい本文"_s));
    // The restored texts' own copies replace the ones they came from.
    QTRY_VERIFY(!edited->recoveryCopier()->isBusy() && !Program::editor(3)->recoveryCopier()->isBusy());
    QCOMPARE(copyFiles().size(), 3);
    edited->txtEdit()->document()->undo();
    QVERIFY(!edited->isModified());   // undo returns to the page as read
}

// Copies lying in the recovery folder itself, one per page, are what earlier versions
// left behind: they are offered like any other.
void tst_recovery::earlierVersionsCopiesAreOffered()
{
    TestEnv env;
    const QString a = siteA(env, 1);
    const RecoveryCopy copy{env.path(u"a/p1.htm"_s), a, 1, u"A 1"_s, TextEncoding::Cp932, {}, u"以前の版の変更\r\n"_s};
    const QString left = writeEarlierVersionsCopy(env, copy);
    Program program(env.platform);
    env.platform.yesNoAnswers.enqueue(true);
    program.open(a);
    QCOMPARE(env.platform.yesNoQuestions.size(), 1);
    QCOMPARE(Program::editor(1)->text(), copy.text);
    QTRY_VERIFY(!QFile::exists(left));
    QCOMPARE(copyFiles().size(), 1);
}

void tst_recovery::savedOrDiscardedTextLeavesNoCopy()
{
    TestEnv env;
    const QString a = siteA(env, 2);
    Program program(env.platform);
    program.open(a);
    type(Program::editor(1), u"一"_s);
    type(Program::editor(2), u"二"_s);
    QTRY_COMPARE(copyFiles().size(), 2);
    QVERIFY(Program::editor(1)->save());
    QCOMPARE(copyFiles().size(), 1);
    Program::editor(2)->txtEdit()->document()->undo();   // back to the saved text
    QTRY_COMPARE(copyFiles().size(), 0);
    type(Program::editor(2), u"三"_s);
    QTRY_COMPARE(copyFiles().size(), 1);
    env.platform.saveAnswers.enqueue(SaveChoice::Discard);
    program.frame->closeFrame(vbFormMDIForm);
    QVERIFY(program.frame->hasShutDown());
    QCOMPARE(copyFiles(), QStringList());
}

// The same page twice in a definition: each editor keeps a copy of its own, saving one
// removes only that one, and after a crash each text goes back to its own editor.
void tst_recovery::oneCopyPerEditor()
{
    TestEnv env;
    env.writeSettings(0, -1);
    const QString site = writeSamePageTwice(env, u"s"_s);
    {
        Program before(env.platform);
        before.open(site);
        type(Program::editor(1), u"一つ目"_s);
        type(Program::editor(2), u"二つ目"_s);
        QTRY_COMPARE(copyFiles().size(), 2);
        QVERIFY(Program::editor(1)->save());
        QCOMPARE(copyTexts(), QStringList{u"二つ目<TITLE>二重</TITLE>\r\n"_s});
        type(Program::editor(1), u"再び"_s);
        QTRY_COMPARE(copyFiles().size(), 2);
    }
    Program after(env.platform);
    env.platform.yesNoAnswers.enqueue(true);
    after.open(site);
    QCOMPARE(Program::editor(1)->text(), u"一つ目再び<TITLE>二重</TITLE>\r\n"_s);
    QCOMPARE(Program::editor(2)->text(), u"二つ目<TITLE>二重</TITLE>\r\n"_s);
}

// New pages have no file to tell their copies apart: after one is removed, the copies of
// the others, and of a page made after it, are all kept.
void tst_recovery::newPagesCopiesOutliveRemovedPages()
{
    TestEnv env;
    const QString a = siteA(env, 1);
    {
        Program before(env.platform);
        before.open(a);
        qsizetype copies = 0;
        for (const QString &title : {u"新1"_s, u"新2"_s, u"新3"_s}) {
            if (title == u"新3"_s) {   // made after 新1 is removed, it takes 新2's old place
                before.tree()->lblHTML_Click(2);
                env.platform.saveAnswers.enqueue(SaveChoice::Discard);
                before.tree()->cmdDel_Click();
                --copies;
                QCOMPARE(copyFiles().size(), copies);
            }
            env.platform.inputAnswers.enqueue(title);
            before.tree()->cmdHCr_Click();
            type(Program::editor(int(pageCount())), title + u"の本文"_s);
            ++copies;
            QTRY_COMPARE(copyFiles().size(), copies);
        }
    }
    Program after(env.platform);
    env.platform.yesNoAnswers.enqueue(true);
    after.open(a);
    QStringList titles = pageTitles();
    titles.sort();
    QCOMPARE(titles, (QStringList{u"A 1"_s, u"新2"_s, u"新3"_s}));
}

void tst_recovery::questionClosedWithoutAnswerKeepsCopies_data()
{
    QTest::addColumn<QByteArray>("action");
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("kept");
    QTest::newRow("SIGTERM") << QByteArray("signal") << SIGTERM << true;
    QTest::newRow("SIGHUP") << QByteArray("signal") << SIGHUP << true;
    QTest::newRow("SIGINT") << QByteArray("signal") << SIGINT << true;
    QTest::newRow("Esc") << QByteArray("escape") << 0 << true;
    QTest::newRow("close box") << QByteArray("close box") << 0 << true;
    QTest::newRow("いいえ") << QByteArray("no") << 0 << false;
}

// Text typed into a program that was killed; while the next start shows the real restore
// question, it is closed without いいえ: the copy stays for the start after.
void tst_recovery::questionClosedWithoutAnswerKeepsCopies()
{
    QFETCH(QByteArray, action);
    QFETCH(int, signal);
    QFETCH(bool, kept);
    TestEnv env;
    const QString a = siteA(env, 1);
    std::unique_ptr<QProcess> typist(startChild({u"--child"_s, env.dir.path(), a, u"hold"_s}));
    QVERIFY(typist->waitForReadyRead(30000));
    endChild(*typist, SIGKILL);
    const QStringList typed = copyTexts();
    QCOMPARE(typed.size(), 1);

    std::unique_ptr<QProcess> asked(startChild({u"--ask"_s, env.dir.path(), a, QString::fromLatin1(action)}));
    if (signal) {
        QVERIFY(asked->waitForReadyRead(30000));
        QCOMPARE(asked->readAllStandardOutput(), QByteArray("asking\n"));
        ::kill(pid_t(asked->processId()), signal);
    }
    QVERIFY(asked->state() == QProcess::NotRunning || asked->waitForFinished(30000));
    QCOMPARE(asked->exitStatus(), QProcess::NormalExit);
    QCOMPARE(asked->exitCode(), 0);
    if (!signal)
        QCOMPARE(asked->readAllStandardOutput(), QByteArray("unmodified\n"));
    QCOMPARE(copyTexts(), kept ? typed : QStringList());
}

// Two programs on one page: the running one's copy is neither offered nor deleted by the
// other, whose own save leaves it too; once the first program is gone, it is offered.
void tst_recovery::runningProgramsCopiesAreLeftAlone()
{
    TestEnv env;
    const QString a = siteA(env, 1);
    std::unique_ptr<QProcess> other(startChild({u"--child"_s, env.dir.path(), a, u"hold"_s}));
    QVERIFY(other->waitForReadyRead(30000));
    const QStringList othersCopy = copyTexts();
    QCOMPARE(othersCopy.size(), 1);

    Program program(env.platform);
    program.open(a);
    QVERIFY(env.platform.yesNoQuestions.isEmpty());
    type(Program::editor(1), u"こちらの変更"_s);
    QTRY_COMPARE(copyFiles().size(), 2);
    QVERIFY(Program::editor(1)->save());
    QCOMPARE(copyTexts(), othersCopy);

    endChild(*other, SIGKILL);
    env.platform.yesNoAnswers.enqueue(false);
    QVERIFY(program.frame->openDefinition(a));
    QCOMPARE(env.platform.yesNoQuestions.size(), 1);
    QCOMPARE(copyFiles(), QStringList());
}

// A copy the disk cannot take (a real one: the child may write no file that large) is
// shown on the editor until a copy is written.
void tst_recovery::copyThatCannotBeWrittenIsShown()
{
    TestEnv env;
    const QString a = siteA(env, 1);
    const qint64 limit = 4096;
    std::unique_ptr<QProcess> child(startChild({u"--full-disk"_s, env.dir.path(), a, QString::number(limit)}));
    QVERIFY(child->waitForFinished(60000));
    QCOMPARE(child->exitCode(), 0);
    const QList<QByteArray> reports = child->readAllStandardOutput().trimmed().split('\n');
    QCOMPARE(reports.size(), 2);
    const QStringList failed = QString::fromUtf8(reports.at(0)).split(u'\t');
    QVERIFY2(failed.at(0).endsWith(editorTexts::recoveryFailedMark), qPrintable(failed.at(0)));
    const QStringList tip = failed.at(1).split(u'|');
    QCOMPARE(tip.at(0) + u'\n', editorTexts::recoveryFailedTip);
    QCOMPARE(tip.size(), 5);   // each folder tried, with the system's reason
    const QStringList locations = RecoveryStore::defaultLocations();
    QVERIFY(tip.at(1).startsWith(locations.at(0)) && tip.at(3).startsWith(locations.at(1)));
    QCOMPARE(tip.at(2), QString::fromLocal8Bit(std::strerror(EFBIG)));
    QCOMPARE(failed.at(2), u"0"_s);
    const QStringList written = QString::fromUtf8(reports.at(1)).split(u'\t');
    QVERIFY(!written.at(0).contains(editorTexts::recoveryFailedMark));
    QCOMPARE(written.at(1), QString());
    QCOMPARE(written.at(2), u"1"_s);
}

void tst_recovery::copyGoesToTheTemporaryFolder_data()
{
    QTest::addColumn<bool>("fullDisk");
    QTest::newRow("recovery folder on a full disk") << true;
    QTest::newRow("recovery folder cannot be made") << false;
}

// When the recovery folder cannot take a copy, the temporary folder does, and the copy is
// offered from there after a crash.
void tst_recovery::copyGoesToTheTemporaryFolder()
{
    QFETCH(bool, fullDisk);
    TestEnv env;
    const QString a = siteA(env, 1);
    const QStringList locations = RecoveryStore::defaultLocations();
    std::unique_ptr<TinyTmpfs> tmpfs;
    if (fullDisk) {
        QDir().mkpath(locations.at(0));
        tmpfs = std::make_unique<TinyTmpfs>(locations.at(0));
        if (!tmpfs->mounted)
            QSKIP(qPrintable(u"a tmpfs could not be mounted ("_s + tmpfs->reason + u"): the other row makes do"_s));
        tmpfs->fill(locations.at(0) + u"/filler"_s);
    } else {
        env.write(locations.at(0).mid(env.dir.path().size() + 1), "a file where the folder should be");
    }
    {
        Program before(env.platform);
        before.open(a);
        frmChild1 *editor = Program::editor(1);
        type(editor, u"一時フォルダーへ"_s);
        QTRY_COMPARE(copyFiles().size(), 1);
        QVERIFY(copyFiles().constFirst().startsWith(locations.at(1) + u'/'));
        QVERIFY(!editor->statusLine()->text().contains(editorTexts::recoveryFailedMark));
    }
    Program after(env.platform);
    env.platform.yesNoAnswers.enqueue(true);
    after.open(a);
    QVERIFY(Program::editor(1)->text().startsWith(u"一時フォルダーへ"_s));
}

// $TMPDIR naming no folder made Qt's temporary path empty, and the copies went to a
// folder at the root ("/pageKiln-0" for root).
void tst_recovery::missingTemporaryFolderMeansTmp()
{
    TestEnv env;
    qputenv("TMPDIR", QFile::encodeName(env.path(u"gone"_s)));
    QCOMPARE(RecoveryStore::defaultLocations().at(1), u"/tmp/pageKiln-"_s + QString::number(::geteuid()));
}

void tst_recovery::unreadableCopiesAreReportedAndLeft_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("too large") << u"too large"_s;
    QTest::newRow("not a copy") << u"not a copy"_s;
    QTest::newRow("too many lines") << u"too many lines"_s;
}

// Files in the recovery folder that are not read back: each is named with its size and
// the limit, once, and stays where it is.
void tst_recovery::unreadableCopiesAreReportedAndLeft()
{
    QFETCH(QString, kind);
    TestEnv env;
    const QString a = siteA(env, 1);
    const QString location = RecoveryStore::defaultLocations().constFirst();
    const QString path = location + u"/left.recovery"_s;
    QDir().mkpath(location);
    QString expected;
    if (kind == u"too large") {
        QFile sparse(path);   // a size on disk of nothing: only the size is looked at
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(maxCopyBytes + 1));
        expected = editorTexts::copyTooLarge(maxCopyBytes + 1, maxCopyBytes);
    } else if (kind == u"not a copy") {
        env.write(path.mid(env.dir.path().size() + 1), QByteArray(100000, '\x81'));
        expected = editorTexts::notACopy(100000);
    } else {
        const RecoveryCopy header{env.path(u"a/p1.htm"_s), a, 1, {}, TextEncoding::Cp932, {}, {}};
        env.write(path.mid(env.dir.path().size() + 1),
                  recoveryCopyHeader(header) + QByteArray("\r\n").repeated(maxPageLines));
        expected = editorTexts::copyTooManyLines(maxPageLines + 1, maxPageLines);
    }
    const qint64 size = QFileInfo(path).size();
    Program program(env.platform);
    program.open(a);
    QCOMPARE(env.platform.messageTexts(), QStringList{expected + u'\n' + QDir::toNativeSeparators(path)});
    QVERIFY(env.platform.yesNoQuestions.isEmpty());
    QCOMPARE(QFileInfo(path).size(), size);
    QVERIFY(!Program::editor(1)->isModified());
    program.frame->openDefinition(a);
    QCOMPARE(env.platform.messages.size(), 1);   // told once a run
}

// The copy holds the text as it stood when taken, although typing went on meanwhile: in
// the part already taken while the text was being taken, and after it while it was written.
void tst_recovery::copyHoldsTheTextAsTakenWhileTypingGoesOn()
{
    TypingPause::setDelay(3600 * 1000);   // no copy but the one asked for here
    TestEnv env;
    const QString a = siteA(env, 1);
    Program program(env.platform);
    program.open(a);
    frmChild1 *editor = Program::editor(1);
    editor->setText(u"行の本文です。<P>日本語</P>\r\n"_s.repeated(100000));
    QPlainTextEdit *box = editor->txtEdit();
    type(editor, u"最初"_s);
    RecoveryCopier *copier = editor->recoveryCopier();
    QString whenTaken;
    connect(copier, &RecoveryCopier::textTaken, this, [&] {
        whenTaken = editor->text();
        type(editor, u"取られた後"_s);
    });
    copier->request();
    QRandomGenerator random(testSeed());
    for (int edits = 0; edits < 20 && whenTaken.isEmpty(); ++edits) {
        QCoreApplication::processEvents();
        QTextCursor caret = box->textCursor();
        caret.setPosition(int(random.bounded(box->document()->characterCount())));
        box->setTextCursor(caret);
        type(editor, u"途中"_s);
    }
    QTRY_VERIFY(!copier->isBusy());
    QCOMPARE(copyTexts(), QStringList{whenTaken});
    QVERIFY(editor->text() != whenTaken);
}

void tst_recovery::killedProgramKeepsWhatWasTypedBeforeThePause()
{
    TestEnv env;
    const QString a = siteA(env, 1);
    const QString original = scanPageFile(env.path(u"a/p1.htm"_s)).Text;
    QRandomGenerator random(testSeed());
    for (int run = 0; run < 50; ++run) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {u"--child"_s, env.dir.path(), a, u"pauses"_s});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(30000));   // the first copy is written
        QTest::qSleep(int(random.bounded(0, 300)));
        endChild(child, SIGKILL);
        const int copied = lastCopied(child.readAllStandardOutput());
        QVERIFY(copied >= 1);

        Program program(env.platform);
        env.platform.yesNoAnswers.enqueue(true);
        program.open(a);
        QCOMPARE(env.platform.yesNoQuestions.size(), run + 1);
        // Killed after a copy was written but before the child said so, the copy holds one chunk more.
        const QString restored = Program::editor(1)->text();
        QVERIFY2(restored == expectedText(original, copied) || restored == expectedText(original, copied + 1),
                 qPrintable(u"run %1, copied %2: %3"_s.arg(run).arg(copied).arg(restored.left(200))));
        discardAndQuit(program);
    }
}

void tst_recovery::terminatedProgramKeepsEverythingTyped()
{
    TestEnv env;
    const QString a = siteA(env, 1);
    const QString original = scanPageFile(env.path(u"a/p1.htm"_s)).Text;
    for (int run = 0; run < 3; ++run) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {u"--child"_s, env.dir.path(), a, u"no-pauses"_s});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(30000));
        endChild(child, SIGTERM);
        QCOMPARE(child.exitCode(), 0);

        Program program(env.platform);
        env.platform.yesNoAnswers.enqueue(true);
        program.open(a);
        QCOMPARE(Program::editor(1)->text(), expectedText(original, 20));
        discardAndQuit(program);
    }
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 5) {
        const QString folder = QString::fromLocal8Bit(argv[2]), definition = QString::fromLocal8Bit(argv[3]);
        if (qstrcmp(argv[1], "--child") == 0)
            return runChild(folder, definition, argv[4]);
        if (qstrcmp(argv[1], "--ask") == 0)
            return runAsk(folder, definition, argv[4]);
        if (qstrcmp(argv[1], "--full-disk") == 0)
            return runFullDisk(folder, definition, QByteArray(argv[4]).toLongLong());
    }
    tst_recovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recovery.moc"
