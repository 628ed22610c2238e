// Recovery copies: their format, and recovery through the real program, in this process
// and after a child process running it was killed.
#include "app/ShutdownSignals.h"
#include "app/basSystem.h"
#include "app/mdiMain.h"
#include "editor/EditorTexts.h"
#include "editor/RecoveryCopy.h"
#include "editor/RecoveryFolder.h"
#include "editor/frmChild1.h"
#include "support/TestEnv.h"
#include "tree/PageScan.h"
#include "tree/frmTree.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <csignal>
#include <cstdio>

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
    }
    ~Program() { delete frame; }   // as a crash would leave things: nothing is closed

    frmTree *tree() const { return frame->treeWindow(); }
    void open(const QString &definition)
    {
        platform.fileAnswers.enqueue(definition);
        tree()->cmdOpe_Click();
    }
    static frmChild1 *editor(int page) { return gPageEditors.at(page); }

    ScriptedPlatform &platform;
    mdiMain *frame = nullptr;
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

QStringList copyFiles()
{
    return QDir(recoveryFolder::path()).entryList(QDir::Files);
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

// The child: the program with site `definition` open types into page 1. With pauses, it
// waits after each chunk until the copy holds it and says "copied k"; without, it types
// 20 chunks, says "typed" and waits to be told to stop.
int runChild(const QString &folder, const QString &definition, bool pauses)
{
    ScriptedPlatform platform;
    platform.folder = folder;
    frmChild1::setRecoveryDelay(testDelayMs);
    Program program(platform);
    installShutdownHandlers(program.frame);
    program.open(definition);
    frmChild1 *editor = Program::editor(1);
    editor->Show();
    const QString original = editor->text();
    for (int k = 1;; ++k) {
        type(editor, typedChunk(k));
        if (!pauses) {
            if (k < 20)
                continue;
            std::fputs("typed\n", stdout);
            std::fflush(stdout);
            while (!program.frame->hasShutDown())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            return 0;
        }
        const bool copied = QTest::qWaitFor(
            [&] {
                const QList<recoveryFolder::Found> found = recoveryFolder::findAll();
                return found.size() == 1 && found.at(0).copy.text == expectedText(original, k);
            },
            5000);
        if (!copied)
            return 2;
        std::printf("copied %d\n", k);
        std::fflush(stdout);
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
}   // namespace

class tst_recovery : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { frmChild1::setRecoveryDelay(testDelayMs); }
    void copyRoundTrip_data();
    void copyRoundTrip();
    void notACopy_data();
    void notACopy();
    void pageHashIsXxh64();
    void staleAgainstEitherHash_data();
    void staleAgainstEitherHash();
    void offeredWhenTheDefinitionOpens_data();
    void offeredWhenTheDefinitionOpens();
    void savedOrDiscardedTextLeavesNoCopy();
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
    env.writeSettings(0, -1);
    const QString a = env.writeSite(u"a"_s, u"A"_s, 2);
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
    QVERIFY(
        recoveryFolder::write(RecoveryCopy{env.path(u"b/p1.htm"_s), b, 1, {}, TextEncoding::Cp932, {}, u"B"_s}, nullptr)
            .size()
        > 0);
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
    edited->txtEdit()->document()->undo();
    QVERIFY(!edited->isModified());   // undo returns to the page as read
}

void tst_recovery::savedOrDiscardedTextLeavesNoCopy()
{
    TestEnv env;
    env.writeSettings(0, -1);
    const QString a = env.writeSite(u"a"_s, u"A"_s, 2);
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

void tst_recovery::killedProgramKeepsWhatWasTypedBeforeThePause()
{
    TestEnv env;
    env.writeSettings(0, -1);
    const QString a = env.writeSite(u"a"_s, u"A"_s, 1);
    const QString original = scanPageFile(env.path(u"a/p1.htm"_s)).Text;
    QRandomGenerator random(testSeed());
    for (int run = 0; run < 50; ++run) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {u"--child"_s, env.dir.path(), a, u"pauses"_s});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(30000));   // the first copy is written
        QTest::qSleep(int(random.bounded(0, 300)));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());
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
        QVERIFY(QDir(recoveryFolder::path()).removeRecursively());
    }
}

void tst_recovery::terminatedProgramKeepsEverythingTyped()
{
    TestEnv env;
    env.writeSettings(0, -1);
    const QString a = env.writeSite(u"a"_s, u"A"_s, 1);
    const QString original = scanPageFile(env.path(u"a/p1.htm"_s)).Text;
    for (int run = 0; run < 3; ++run) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {u"--child"_s, env.dir.path(), a, u"no-pauses"_s});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(30000));
        ::kill(pid_t(child.processId()), SIGTERM);
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitCode(), 0);

        Program program(env.platform);
        env.platform.yesNoAnswers.enqueue(true);
        program.open(a);
        QCOMPARE(Program::editor(1)->text(), expectedText(original, 20));
        QVERIFY(QDir(recoveryFolder::path()).removeRecursively());
    }
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 5 && qstrcmp(argv[1], "--child") == 0)
        return runChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                        qstrcmp(argv[4], "pauses") == 0);
    tst_recovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recovery.moc"
