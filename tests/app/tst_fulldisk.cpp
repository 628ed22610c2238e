// Every file the program writes, on a disk that is full: the old file stays byte for
// byte, nothing else appears, and the user is told which file failed and why. The disk
// is really full: a child process whose file size limit is lowered (writes then fail with
// EFBIG), and, where the tests may mount, a tiny tmpfs filled to the last page (ENOSPC).
#include "app/basSystem.h"
#include "app/mdiMain.h"
#include "common/TextHelpers.h"
#include "editor/frmChild1.h"
#include "settings/Profile.h"
#include "platform/Messages.h"
#include "support/TestEnv.h"
#include "support/TinyTmpfs.h"
#include "support/TestMain.h"
#include "tree/frmTree.h"

#include <QDirIterator>
#include <QtTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace basSystem;
using namespace Qt::StringLiterals;

namespace {
enum class Writer { PageSave, PageSaveAs, Definition, Settings, Preview, ProfileBatch };
enum class Medium { SizeLimit, Tmpfs };

// Every file under `folder` with its bytes.
QMap<QString, QByteArray> contents(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path, TestEnv::read(path));
    }
    return files;
}

// Runs `write` in a child process that may write files up to `limit` bytes (no limit
// when negative) and returns the texts the child reported.
QStringList runInChild(const std::function<QStringList()> &write, qint64 limit)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {u"no pipe"_s};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit r{rlim_t(limit), rlim_t(limit)};
        if (limit >= 0 && ::setrlimit(RLIMIT_FSIZE, &r) != 0)
            ::_exit(2);
        const QByteArray report = write().join(QChar(0x1E)).toUtf8();
        const bool sent = ::write(fds[1], report.constData(), size_t(report.size())) == report.size();
        ::_exit(sent ? 0 : 3);
    }
    ::close(fds[1]);
    QByteArray report;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {u"child failed with status %1"_s.arg(status)};
    return report.isEmpty() ? QStringList() : QString::fromUtf8(report).split(QChar(0x1E));
}

}   // namespace

class tst_fulldisk : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writeFails_data();
    void writeFails();
};

void tst_fulldisk::writeFails_data()
{
    QTest::addColumn<int>("writerColumn");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("mediumColumn");
    const std::pair<Writer, const char *> writers[] = {
        {Writer::PageSave, "page save"}, {Writer::PageSaveAs, "page save as"}, {Writer::Definition, "definition"},
        {Writer::Settings, "settings"},  {Writer::Preview, "preview"},         {Writer::ProfileBatch, "profile batch"}};
    const std::pair<Medium, const char *> media[] = {{Medium::SizeLimit, "size limit"}, {Medium::Tmpfs, "tmpfs"}};
    for (const auto &[medium, mediumName] : media)
        for (const auto &[writer, name] : writers)
            for (const int size : {1, 8 * 1024, 16 * 1024, 17 * 1024, 1000 * 1000})
                QTest::addRow("%s, %d bytes, %s", name, size, mediumName) << int(writer) << size << int(medium);
}

void tst_fulldisk::writeFails()
{
    QFETCH(int, writerColumn);
    QFETCH(int, size);
    QFETCH(int, mediumColumn);
    const auto writer = Writer(writerColumn);
    const auto medium = Medium(mediumColumn);
    TestEnv env;
    std::unique_ptr<TinyTmpfs> tmpfs;
    if (medium == Medium::Tmpfs) {
        if (::geteuid() != 0)
            QSKIP("mounting a tmpfs needs root; the file-size limit rows cover the full disk");
        tmpfs = std::make_unique<TinyTmpfs>(env.dir.path());
        if (!tmpfs->mounted)
            QSKIP(qPrintable(u"the tmpfs mount was refused ("_s + tmpfs->reason
                             + u"); the file-size limit rows cover the full disk"_s));
    }
    const QString text(size, u'x');
    const QString folder = env.dir.path() + u'/';
    env.writeSettings(0, 0);
    const QString page = env.write(u"p.htm"_s, "<TITLE>old</TITLE>\r\n");
    const QString other = env.write(u"q.htm"_s, "other\r\n");
    const QString ksd = env.writeCp932(u"site.ksd"_s,
                                       u"[KSD INF]\r\nVER=Velmoran HTML Editor Ver 0.0\r\nPNM=old\r\n"
                                       "[HTML LIST]\r\nCNT=001\r\n001=-1*"_s
                                           + folder + u"*p.htm\r\n"_s);
    const QString preview = env.write(u"temp1.htm"_s, "old preview\r\n");
    mdiMain frame;
    QVERIFY(frame.MDIForm_Load());
    frmTree tree(env.area());
    QVERIFY(tree.gfReadKSD(ksd));
    frmChild1 *editor = liveEditor(gPageEditors.at(1));
    QVERIFY(editor);
    editor->setText(text);
    env.platform.messages.clear();
    if (tmpfs)
        tmpfs->fill(env.path(u"filler"_s));
    const QMap<QString, QByteArray> before = contents(env.dir.path());

    QString path;
    QString firstLine;
    std::function<void()> write;
    switch (writer) {
    case Writer::PageSave:
        path = page;
        firstLine = u"ファイルの保存に失敗しました。"_s;
        write = [&] { editor->cmdSav_Click(); };
        break;
    case Writer::PageSaveAs:
        path = other;
        firstLine = u"ファイルの保存に失敗しました。"_s;
        env.platform.fileAnswers << other;
        write = [&] { editor->cmdSAs_Click(); };
        break;
    case Writer::Definition:
        path = ksd;
        firstLine = u"定義ファイルの更新に失敗しました。"_s;
        gSite.Name = text;
        write = [&] { tree.cmdSav_Click(); };
        break;
    case Writer::Settings:
        path = env.path(u"pageKiln.INI"_s);
        firstLine = u"初期データの格納に失敗しました。"_s;
        gCurDir = text;
        write = [&] { frame.MDIForm_Unload(); };
        break;
    case Writer::Preview:
        path = preview;
        firstLine = u"プレビューファイルの作成に失敗しました。"_s;
        write = [&] { editor->cmdBrz_Click(); };
        break;
    case Writer::ProfileBatch:
        path = env.path(u"pageKiln.INI"_s);
        write = [&] {
            ProfileFile file;
            QString error;
            if (file.load(path)) {
                file.setValue(u"APP INF"_s, u"CUR_DIR"_s, text);
                file.setValue(u"HISTORY"_s, u"FILE01"_s, text);
                if (!file.commit(&error))
                    ShowMessage(u'\n' + path + u'\n' + error);
            }
        };
        break;
    }
    const QStringList reported = runInChild(
        [&] {
            write();
            return env.platform.messageTexts() + env.platform.browserRequests;
        },
        tmpfs ? -1 : size / 2);

    QCOMPARE(reported.size(), 1);
    const QStringList lines = reported.first().split(u'\n');
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0), firstLine);
    QCOMPARE(lines.at(1), path);
    QVERIFY(!lines.at(2).isEmpty());
    // The preview deletion at shutdown comes after the settings and is no write.
    QMap<QString, QByteArray> expected = before;
    if (writer == Writer::Settings)
        expected.remove(preview);
    QVERIFY(contents(env.dir.path()) == expected);
}

PAGEKILN_TEST_MAIN(tst_fulldisk)
#include "tst_fulldisk.moc"
