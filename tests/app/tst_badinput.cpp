// Every kind of input file the program reads, with every kind of defect: nothing
// crashes or hangs, each outcome is the one the program defines (a message or its
// documented fallback), and no file is written that the user did not ask to write.
#include "app/ShutdownSignals.h"
#include "settings/SettingsTexts.h"
#include "app/basSystem.h"
#include "app/mdiMain.h"
#include "editor/frmChild1.h"
#include "settings/Settings.h"
#include "site/SiteFile.h"
#include "site/frmProp.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "tags/TagDatabase.h"
#include "tree/PageScan.h"
#include "tree/frmTree.h"

#include <QDirIterator>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace basSystem;
using namespace Qt::Literals::StringLiterals;

namespace {
const QByteArray settingsBody
    = "[FORM INF]\r\nTAG_V=0\r\nTAG_W=2820\r\nTAG_H=8175\r\nTAG_T=0\r\nTAG_L=0\r\nTRE_V=0\r\nTRE_W=3210\r\n"
      "TRE_H=8430\r\nTRE_T=0\r\nTRE_L=0\r\nTRE_S=0\r\n[APP INF]\r\nCUR_DIR=/web/\r\n";
const QByteArray pageBody = "<HTML><TITLE>T</TITLE><A HREF=\"a.htm\">a</A></HTML>\r\n";

QByteArray noise(int size)
{
    QByteArray b(size, '\0');
    quint32 x = 2463534242u;
    for (char &c : b) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x);
    }
    return b;
}

// The defects every kind of file is fed with; each is the file's bytes.
QByteArray defective(const QByteArray &valid, const QString &defect)
{
    if (defect == u"empty")
        return QByteArray();
    if (defect == u"binary noise")
        return noise(64 * 1024);
    if (defect == u"NUL bytes")
        return valid + QByteArray("\0\0;\0[x\0]\r\n", 11);
    if (defect == u"invalid code-page bytes")
        return valid + "\x81\x20\xFF\xFD\x80\xA0\r\n";
    if (defect == u"10 MB line")
        return valid + QByteArray(10 * 1024 * 1024, 'w') + "\r\n";
    if (defect == u"line ends beyond the limit")
        return valid + QByteArray("\r\n").repeated(maxPageLines);
    return valid;
}

// What a folder holds: every file with its size and modification time.
QStringList snapshot(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        entries << info.filePath() + QLatin1Char(' ') + QString::number(info.size()) + QLatin1Char(' ')
                + QString::number(info.lastModified().toMSecsSinceEpoch());
    }
    entries.sort();
    return entries;
}

// Turns `path` into something that is no ordinary readable file.
void makeUnreadable(TestEnv &env, const QString &path, const QString &how)
{
    if (how == u"a folder") {
        QDir().mkpath(path);
    } else if (how == u"a pipe") {
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    } else if (how == u"a symbolic-link loop") {
        const QString other = env.path(QStringLiteral("loop-other"));
        QVERIFY(QFile::link(path, other));
        QVERIFY(QFile::link(other, path));
    }
}

QString definitionText(const QString &count, const QStringList &entries)
{
    return definitionHeader() + definitionList(count, entries);
}

// Every file under `folder` with its bytes, except the settings file (shutdown writes it).
QMap<QString, QByteArray> contents(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        // Files too large to hold are compared by size and time (they are sparse).
        const QByteArray bytes = info.size() > (64 << 20)
            ? QByteArray::number(info.size()) + ' ' + QByteArray::number(info.lastModified().toMSecsSinceEpoch())
            : TestEnv::read(path);
        if (!path.endsWith(u"/pageKiln.INI"_s))
            files.insert(QDir(folder).relativeFilePath(path), bytes);
    }
    return files;
}

// A site for the commands: a definition listing a readable page and one that is a folder.
void writeSite(TestEnv &env)
{
    env.writeSettings(0, -1);
    env.write(u"site/page.htm"_s, pageBody);
    QDir().mkpath(env.path(u"site/bad.htm"_s));
    const QString site = env.path(u"site/"_s);
    env.writeCp932(u"site.ksd"_s,
                   definitionText(u"002"_s, {u"0*"_s + site + u"*page.htm"_s, u"0*"_s + site + u"*bad.htm"_s}));
}

// Runs `command` the way its button would, with the site open first where it needs one.
void runCommand(TestEnv &env, mdiMain &frame, const QString &command)
{
    frmTree *tree = frame.treeWindow();
    auto open = [&] {
        tree->gfReadKSD(env.path(u"site.ksd"_s));
        tree->DrawTree(1);
        env.platform.messages.clear();
    };
    if (command == u"start-up") {
        QFile::remove(env.path(u"TagDB.TXT"_s));
        basSystem::gTagWinVisible = -1;
        frame.showTagWindow();
    } else if (command == u"tree: open") {
        env.platform.fileAnswers << env.path(u"site.ksd"_s);
        tree->cmdOpe_Click();
    } else if (command == u"tree: save") {
        open();
        tree->cmdSav_Click();
    } else if (command == u"tree: save as, new site") {
        env.platform.modalActions << [](QDialog &d) {
            auto &prop = static_cast<frmProp &>(d);
            prop.cmdSetPrp()->click();   // no name yet: a message
            prop.txtName()->setText(u"名前"_s);
            prop.cmdPath()->click();   // the folder pick
            prop.cmdSetPrp()->click();
        };
        env.platform.fileAnswers << env.path(u"site/page.htm"_s) << env.path(u"new.ksd"_s);
        tree->cmdSAs_Click();
    } else if (command == u"tree: create page") {
        env.platform.inputAnswers << u"新しいページ"_s;
        tree->cmdHCr_Click();
    } else if (command == u"tree: add page") {
        env.platform.fileAnswers << env.path(u"site/bad.htm"_s);
        tree->cmdHAd_Click();
    } else if (command == u"tree: remove page") {
        tree->cmdDel_Click();
    } else if (command.startsWith(u"editor")) {
        open();
        frmChild1 *editor = liveEditor(gPageEditors.at(1));
        QVERIFY(editor);
        if (command == u"editor: save as") {
            env.platform.fileAnswers << env.path(u"missing/copy.htm"_s);
            editor->cmdSAs_Click();
        } else {
            env.platform.browserFails = true;
            editor->cmdBrz_Click();
        }
    }
}

// Runs an event loop as an open dialog's would, until the shutdown request arrived.
void runDialogLoop(const mdiMain &frame)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (shutdownRequested() || frame.hasShutDown())
            loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
}
}   // namespace

class tst_badinput : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void defects_data();
    void defects();
    void unreadable_data();
    void unreadable();
    void oversized_data();
    void oversized();
    void definitionCounts_data();
    void definitionCounts();
    void oddPaths_data();
    void oddPaths();
    void saving_data();
    void saving();
    void shutdownDuringModal_data();
    void shutdownDuringModal();
};

void tst_badinput::defects_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("defect");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("message");
    const QString loadFailed = settingsTexts::msgLoadFailed;
    const QString notDefinition = QStringLiteral("指定されたファイルは、定義ファイルではありません。");
    for (const char *defect : {"empty", "binary noise", "NUL bytes", "invalid code-page bytes", "10 MB line"}) {
        const bool broken = qstrcmp(defect, "empty") == 0 || qstrcmp(defect, "binary noise") == 0;
        const QString d = QLatin1String(defect);
        QTest::addRow("settings, %s", defect) << u"settings"_s << d << !broken << (broken ? loadFailed : QString());
        QTest::addRow("definition, %s", defect)
            << u"definition"_s << d << !broken << (broken ? notDefinition : QString());
        QTest::addRow("page, %s", defect) << u"page"_s << d << true << QString();
        QTest::addRow("tag database, %s", defect) << u"tags"_s << d << true << QString();
    }
    // A page of more lines than the text box can hold in reasonable memory is refused
    // with its line count (the tree names the file below).
    QTest::addRow("page, line ends beyond the limit")
        << u"page"_s << u"line ends beyond the limit"_s << true
        << QStringLiteral("ページの行数が多すぎるため開けません（%1 行、上限 4194304 行）。").arg(maxPageLines + 1);
}

void tst_badinput::defects()
{
    QFETCH(QString, kind);
    QFETCH(QString, defect);
    QFETCH(bool, accepted);
    QFETCH(QString, message);
    TestEnv env;
    const QString page = env.write(QStringLiteral("site/page.htm"), pageBody);
    const QByteArray definition = TestEnv::cp932(definitionText(
        QStringLiteral("001"), QStringList{QStringLiteral("0*") + env.path(u"site/"_s) + u"*page.htm"_s}));
    QString path;
    if (kind == u"settings")
        path = env.write(QStringLiteral("pageKiln.INI"), defective(settingsBody, defect));
    else if (kind == u"definition")
        path = env.write(QStringLiteral("site.ksd"), defective(definition, defect));
    else if (kind == u"page")
        path = env.write(QStringLiteral("site/page.htm"), defective(pageBody, defect));
    else
        path = env.write(QStringLiteral("TagDB.TXT"), defective(QByteArray("a\tb\tc\r\n"), defect));
    const QStringList before = snapshot(env.dir.path());

    if (kind == u"settings") {
        mdiMain frame;   // the window that tells the user
        QCOMPARE(frame.MDIForm_Load(), accepted);
    } else if (kind == u"definition") {
        frmTree tree(env.area());
        QCOMPARE(tree.gfReadKSD(path), accepted);
        QCOMPARE(pageCount(), accepted ? 1 : 0);
    } else if (kind == u"page") {
        frmTree tree(env.area());
        tree.ScanPage(env.path(u"site/"_s), QStringLiteral("page.htm"));
        QCOMPARE(pageCount(), 1);
        QVERIFY(gPageTable.at(1).Text.isEmpty() || gPageTable.at(1).Text.endsWith(u"\r\n"_s));
    } else {
        const TagDatabaseLoad load = readTagDatabase(path);
        QCOMPARE(load.ok, accepted);
        QVERIFY(!load.table.isEmpty());
    }
    QStringList firstLines = env.platform.messageTexts();
    for (QString &m : firstLines)
        m = m.section(u'\n', 0, 0);
    QCOMPARE(firstLines, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(snapshot(env.dir.path()), before);
    Q_UNUSED(page);
}

void tst_badinput::unreadable_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("how");
    for (const char *how : {"a folder", "a pipe", "a symbolic-link loop"})
        for (const char *kind : {"settings", "definition", "definition entry", "page", "tags"})
            QTest::addRow("%s is %s", kind, how) << QString::fromLatin1(kind) << QString::fromLatin1(how);
}

void tst_badinput::unreadable()
{
    QFETCH(QString, kind);
    QFETCH(QString, how);
    TestEnv env;
    QDir().mkpath(env.path(u"site"_s));
    const QString site = env.path(u"site/"_s);
    if (kind == u"settings") {
        makeUnreadable(env, env.path(u"pageKiln.INI"_s), how);
        const QStringList before = snapshot(env.dir.path());
        QString failure;
        QVERIFY(!LoadSettings(&failure));
        QVERIFY(failure.startsWith(settingsTexts::msgLoadFailed + u'\n' + env.path(u"pageKiln.INI"_s) + u'\n'));
        QCOMPARE(snapshot(env.dir.path()), before);
    } else if (kind == u"definition") {
        makeUnreadable(env, env.path(u"site.ksd"_s), how);
        frmTree tree(env.area());
        QVERIFY(!tree.gfReadKSD(env.path(u"site.ksd"_s)));
        QCOMPARE(env.platform.messageTexts(), QStringList{QStringLiteral("定義ファイルの取得に失敗しました。")});
    } else if (kind == u"definition entry" || kind == u"page") {
        makeUnreadable(env, site + u"page.htm"_s, how);
        frmTree tree(env.area());
        if (kind == u"page") {
            tree.ScanPage(site, QStringLiteral("page.htm"));
        } else {
            env.writeCp932(u"site.ksd"_s, definitionText(u"1"_s, QStringList{u"-1*"_s + site + u"*page.htm"_s}));
            QVERIFY(tree.gfReadKSD(env.path(u"site.ksd"_s)));
        }
        QCOMPARE(pageCount(), 1);
        QCOMPARE(gPageTable.at(1).Text, QString());
        QCOMPARE(env.platform.messages.size(), 1);
        QVERIFY(env.platform.messages.at(0).prompt.startsWith(QStringLiteral("ページの読み込みに失敗しました。\n")));
    } else {
        makeUnreadable(env, env.path(u"TagDB.TXT"_s), how);
        const TagDatabaseLoad load = readTagDatabase(env.path(u"TagDB.TXT"_s));
        QVERIFY(!load.ok);
        QCOMPARE(load.table.size(), 1);
    }
}

void tst_badinput::oversized_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::addColumn<qint64>("limit");
    QTest::newRow("settings, start") << u"start"_s << u"pageKiln.INI"_s << settingsTexts::msgLoadFailed
                                     << maxSettingsBytes;
    QTest::newRow("tag database, start") << u"palette"_s << u"TagDB.TXT"_s
                                         << u"タグデータベースの読み込みに失敗しました。"_s << maxTagDatabaseBytes;
    QTest::newRow("definition, open") << u"open"_s << u"site.ksd"_s << u"定義ファイルの取得に失敗しました。"_s
                                      << ksd::maxDefinitionBytes;
    QTest::newRow("definition, save") << u"save"_s << u"site.ksd"_s << u"定義ファイルの更新に失敗しました。"_s
                                      << ksd::maxDefinitionBytes;
}

// A 2 GiB file (sparse: its head is real, the rest a hole) is refused from its size, before
// it is read, with a message naming the file, its size and the limit; no file changes.
void tst_badinput::oversized()
{
    QFETCH(QString, command);
    QFETCH(QString, file);
    QFETCH(QString, message);
    QFETCH(qint64, limit);
    TestEnv env;
    writeSite(env);
    const QString path = env.path(file);
    if (command == u"palette")
        env.write(file, "a\tb\tc\r\n");
    QFile big(path);
    const qint64 size = qint64(2) << 30;
    QVERIFY(big.open(QIODevice::ReadWrite) && big.resize(size));   // the hole takes no disk
    big.close();
    const QMap<QString, QByteArray> before = contents(env.dir.path());
    mdiMain frame;
    if (command == u"start") {
        QVERIFY(!frame.MDIForm_Load());
    } else {
        QVERIFY(frame.MDIForm_Load());
        if (command == u"palette")
            frame.showTagWindow();
        else
            env.platform.messages.clear();
    }
    if (command == u"open") {
        QVERIFY(!frame.openDefinition(path));
    } else if (command == u"save") {
        frmTree *tree = frame.treeWindow();
        QVERIFY(tree->addNewPage(u"新しいページ"_s));
        gSite.FilePath = path;
        QVERIFY(!tree->gfWriteKSD());
    }
    QCOMPARE(
        env.platform.messageTexts(),
        QStringList{message + u'\n' + path + u'\n'
                    + u"ファイルが大きすぎるため読み込みません（%1 バイト、上限 %2 バイト）。"_s.arg(size).arg(limit)});
    QCOMPARE(contents(env.dir.path()), before);
}

void tst_badinput::definitionCounts_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("pages");
    QTest::newRow("100,000 entries counted") << u"100000"_s << true << 2;
    QTest::newRow("2147483648") << u"2147483648"_s << true << 2;
    QTest::newRow("1e300") << u"1e300"_s << true << 2;
    QTest::newRow("negative reads no entry") << u"-5"_s << true << 0;
    QTest::newRow("words") << u"many"_s << false << 0;
}

void tst_badinput::definitionCounts()
{
    QFETCH(QString, count);
    QFETCH(bool, accepted);
    QFETCH(int, pages);
    TestEnv env;
    env.write(QStringLiteral("site/page.htm"), pageBody);
    const QString entry = u"0*"_s + env.path(u"site/"_s) + u"*page.htm"_s;
    const QString path = env.writeCp932(u"site.ksd"_s, definitionText(count, QStringList{entry, entry}));
    frmTree tree(env.area());
    QCOMPARE(tree.gfReadKSD(path), accepted);
    QCOMPARE(pageCount(), qsizetype(pages));
    QVERIFY(env.platform.messages.isEmpty());
}

void tst_badinput::oddPaths_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("file");
    QTest::newRow("spaces") << u"my site/"_s << u"front page.htm"_s;
    QTest::newRow("quotes") << u"it's \"here\"/"_s << u"a'b\".htm"_s;
    QTest::newRow("semicolons") << u"a;b/"_s << u";c=d.htm"_s;
    QTest::newRow("japanese") << u"ウェブ サイト/"_s << u"表紙～①.htm"_s;
}

void tst_badinput::oddPaths()
{
    QFETCH(QString, folder);
    QFETCH(QString, file);
    TestEnv env;
    env.writeCp932(folder + file, u"<TITLE>題名</TITLE>"_s);
    const QString fullFolder = env.path(folder);
    {
        frmTree tree(env.area());
        gSite.Name = u"サイト"_s;
        gSite.FilePath = env.path(folder + u"site.ksd"_s);
        tree.ScanPage(fullFolder, file);
        QVERIFY(tree.gfWriteKSD());
    }
    resetSharedState();
    frmTree tree(env.area());
    QVERIFY(tree.gfReadKSD(env.path(folder + u"site.ksd"_s)));
    QCOMPARE(pageCount(), 1);
    QCOMPARE(gPageTable.at(1).Folder, fullFolder);
    QCOMPARE(gPageTable.at(1).FileName, file);
    QCOMPARE(gPageTable.at(1).Title, u"題名"_s);
}

void tst_badinput::shutdownDuringModal_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("signal");
    QTest::addColumn<QStringList>("written");   // files the command itself may write
    const int signals_[] = {SIGTERM, SIGHUP, SIGINT};
    int i = 0;
    auto row = [&](const char *command, const QStringList &written = {}) {
        QTest::newRow(command) << QString::fromUtf8(command) << signals_[i++ % 3] << written;
    };
    row("start-up", {u"TagDB.TXT"_s});   // the command removes it
    row("tree: open");
    row("tree: save", {u"site.ksd"_s});
    row("tree: save as, new site", {u"new.ksd"_s});
    row("tree: create page");
    row("tree: add page");
    row("tree: remove page");
    row("editor: save as");
    row("editor: preview", {u"temp1.htm"_s});
}

void tst_badinput::saving_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("answer");            // to a Yes/No question
    QTest::addColumn<QString>("message");       // what the user is told first
    QTest::addColumn<QStringList>("changed");   // the only files that may differ afterwards
    const QString question = QStringLiteral("このページは読み込めなかったため空です。上書きしますか？");
    const QString unusable = QStringLiteral("このファイル名はシステムの文字コードで表せないため使えません。");
    const QString noEntry
        = QStringLiteral("フォルダ名の「*」やファイル名・フォルダ名の改行は定義ファイルに書けないため使えません。");
    QTest::newRow("page not read, back later, No") << u"back later"_s << int(vbNo) << question << QStringList();
    QTest::newRow("page not read, back later, Yes")
        << u"back later"_s << int(vbYes) << question << QStringList{u"site/page.htm"_s};
    QTest::newRow("page not read, still missing")
        << u"still missing"_s << 0 << QString() << QStringList{u"site/page.htm"_s};
    const QString tooLarge = QStringLiteral("ページが大きすぎるため開けません（%1 バイト、上限 67108864 バイト）。");
    QTest::newRow("page over the size limit") << u"67108865"_s << int(vbNo) << tooLarge.arg(67108865) << QStringList();
    QTest::newRow("2 GB page") << u"2147483648"_s << int(vbNo) << tooLarge.arg(2147483648) << QStringList();
    QTest::newRow("Shift-JIS name on a UTF-8 system") << u"code-page name"_s << 0 << unusable << QStringList();
    QTest::newRow("undecodable name, add page") << u"undecodable name"_s << 0 << unusable << QStringList();
    QTest::newRow("save as, folder with *") << u"folder *"_s << 0 << noEntry << QStringList();
    QTest::newRow("save as, line break in the name") << u"name line break"_s << 0 << noEntry << QStringList();
    QTest::newRow("definition, folder with *")
        << u"definition *"_s << 0 << QStringLiteral("定義ファイルの更新に失敗しました。") << QStringList();
    QTest::newRow("properties, line break")
        << u"properties line break"_s << 0
        << QStringLiteral("名前・フォルダ・ＵＲＬの改行は定義ファイルに書けないため使えません。") << QStringList();
}

// Saving what was read badly or named badly: each case has its outcome, and no file
// but the one the user asked to write changes, byte for byte.
void tst_badinput::saving()
{
    QFETCH(QString, input);
    QFETCH(int, answer);
    QFETCH(QString, message);
    QFETCH(QStringList, changed);
    TestEnv env;
    const QString site = env.path(u"site/"_s);
    QDir().mkpath(site);
    const QString sjisName = QString::fromUtf8("表示.htm");   // 95 5C 8E 86 in code page 932
    // A file named in code page 932, as a Windows system leaves it: no Qt path reaches it.
    const QByteArray rawName = QFile::encodeName(site) + TestEnv::cp932(sjisName);
    const int fd = ::open(rawName.constData(), O_WRONLY | O_CREAT, 0644);
    QVERIFY(fd >= 0 && ::write(fd, pageBody.constData(), pageBody.size()) == pageBody.size());
    ::close(fd);
    frmTree tree(env.area());
    gSite.Name = u"サイト"_s;
    gSite.FilePath = env.writeCp932(u"site.ksd"_s, definitionText(u"0"_s, {}));
    const QString undecodable = site + QFile::decodeName("\x95\x5C\x8E\x86.htm");
    const qint64 size = input.toLongLong();
    if (size > 0) {
        QFile page(site + u"page.htm"_s);
        QVERIFY(page.open(QIODevice::WriteOnly) && page.resize(size));   // sparse: no disk used
    }
    if (input == u"code-page name")
        tree.ScanPage(site, sjisName);
    else if (input != u"undecodable name")
        tree.ScanPage(site, u"page.htm"_s);
    if (input == u"back later")
        env.write(u"site/page.htm"_s, pageBody);
    if (size > 0) {   // refused on reading, and its save asks before replacing the file
        QCOMPARE(env.platform.messageTexts().value(0).section(u'\n', 0, 0), message);
        message = QStringLiteral("このページは読み込めなかったため空です。上書きしますか？");
    }
    env.platform.messages.clear();
    const QMap<QString, QByteArray> before = contents(env.dir.path());
    auto pageFiles = [] {
        QStringList files;
        for (const PageRecord &page : gPageTable)
            files << page.Folder + page.FileName;
        return files;
    };
    const QStringList pages = pageFiles();
    frmChild1 *editor = pageCount() ? liveEditor(gPageEditors.at(1)) : nullptr;

    if (input == u"undecodable name") {
        env.platform.fileAnswers << undecodable;
        tree.cmdHAd_Click();
    } else if (input == u"folder *" || input == u"name line break") {
        env.platform.fileAnswers << (input == u"folder *" ? site + u"a*b/p.htm"_s : site + u"p\nq.htm"_s);
        editor->cmdSAs_Click();
    } else if (input == u"definition *") {
        gPageTable[1].Folder = site + u"a*b/"_s;
        QVERIFY(!tree.gfWriteKSD());
    } else if (input == u"properties line break") {
        env.platform.modalActions << [](QDialog &d) {
            auto &prop = static_cast<frmProp &>(d);
            prop.txtPath()->setText(u"/web/\n/x/"_s);
            prop.cmdSetPrp()->click();
        };
        tree.cmdPrp_Click();
        QVERIFY(!tree.propertiesDialog()->pbOkFlg);
    } else {
        env.platform.messageAnswers << answer;
        editor->cmdSav_Click();
    }
    const QStringList shown = env.platform.messageTexts();
    QCOMPARE(shown.isEmpty() ? QString() : shown.first().section(u'\n', 0, 0), message);
    if (input == u"definition *" || input == u"undecodable name")
        QCOMPARE(pageCount(), input == u"definition *" ? 1 : 0);
    else if (input != u"properties line break")
        QCOMPARE(pageFiles(), pages);
    const QMap<QString, QByteArray> after = contents(env.dir.path());
    QMap<QString, QByteArray> expected = before;
    for (const QString &name : changed)
        expected.insert(name, QByteArray());   // the unread page's empty text
    QCOMPARE(after, expected);
}

// A termination signal arriving while any modal request of any command is open: the
// request closes as cancelled, the command returns with its windows alive, and only then
// the program shuts down, saving its settings; no other file changes.
void tst_badinput::shutdownDuringModal()
{
    QFETCH(QString, command);
    QFETCH(int, signal);
    QFETCH(QStringList, written);
    int requests = 0;
    {
        TestEnv env;
        writeSite(env);
        mdiMain frame;
        QVERIFY(frame.MDIForm_Load());
        env.platform.onRequest = [&](const QString &) { ++requests; };
        runCommand(env, frame, command);
    }
    QVERIFY(requests > 0);
    for (int at = 1; at <= requests; ++at) {
        TestEnv env;
        writeSite(env);
        mdiMain frame;
        installShutdownHandlers(&frame);
        QVERIFY(frame.MDIForm_Load());
        frame.show();
        QMap<QString, QByteArray> before = contents(env.dir.path());
        int seen = 0;
        env.platform.onRequest = [&](const QString &) {
            if (++seen != at)
                return;
            ::raise(signal);
            runDialogLoop(frame);
        };
        const QPointer<frmTree> tree = frame.treeWindow();
        runCommand(env, frame, command);
        QVERIFY2(!frame.hasShutDown(), qPrintable(u"request %1"_s.arg(at)));
        QVERIFY(tree);
        QCOMPARE(seen, at);   // later requests were answered without showing
        QTRY_VERIFY(frame.hasShutDown());
        QVERIFY(LoadSettings());
        QCOMPARE(gTreeWinVisible, -1);
        QMap<QString, QByteArray> after = contents(env.dir.path());
        for (const QString &name : written) {
            before.remove(name);
            after.remove(name);
        }
        QCOMPARE(after, before);
    }
}

PAGEKILN_TEST_MAIN(tst_badinput)
#include "tst_badinput.moc"
