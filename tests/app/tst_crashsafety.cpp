// A child process saves a page, a profile file and the settings in a loop; the test
// kills it with SIGKILL at random moments and checks after every kill that each file
// holds exactly its old or exactly its new content, never a mixture.
#include "app/basSystem.h"
#include "common/TextCodec.h"
#include "common/TextFile.h"
#include "settings/Profile.h"
#include "settings/Settings.h"
#include "support/TestEnv.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <csignal>
#include <cstdio>

namespace {
QByteArray pageContent(int generation)
{
    QString text;
    for (int line = 0; line < 4000; ++line)
        text += QStringLiteral("<P>世代%1 行%2 ～①</P>\r\n").arg(generation).arg(line);
    return encodeWithReferences(text, TextEncoding::Cp932);
}

QString listValue(int generation, int i)
{
    return QStringLiteral("-1*/サイト/%1/*page%2.htm").arg(generation).arg(i);
}

QByteArray listContent(int generation)
{
    ProfileFile file;
    file.loadFromBytes(QByteArray());
    for (int i = 1; i <= 300; ++i)
        file.setValue(QStringLiteral("HTML LIST"), QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')),
                      listValue(generation, i));
    return file.serialize();
}

// The child: saves generation 0 and 1 alternately, as fast as it can, until killed.
int runWriter(const QString &folder)
{
    ScriptedPlatform platform;
    platform.folder = folder;
    const QString page = folder + QStringLiteral("/page.htm");
    const QString list = folder + QStringLiteral("/site.ksd");
    basSystem::LoadSettings();
    for (int generation = 0;; generation ^= 1) {
        writeFileAtomic(page, pageContent(generation));
        writeFileAtomic(list, listContent(generation));
        basSystem::gTagWinWidth = 2000 + generation;
        basSystem::SaveSettings();
        if (generation == 0) {
            std::fputs("writing\n", stdout);   // the parent kills only once writing is under way
            std::fflush(stdout);
        }
    }
}
} // namespace

class tst_crashsafety : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void killedWriterLeavesWholeFiles();
};

void tst_crashsafety::killedWriterLeavesWholeFiles()
{
    TestEnv env;
    const QString settings = env.writeSettings(0, 0);
    QVERIFY(basSystem::LoadSettings());
    const QByteArray pages[2] = {pageContent(0), pageContent(1)};
    const QByteArray lists[2] = {listContent(0), listContent(1)};
    QByteArray settingsVersions[2];
    for (int g = 0; g < 2; ++g) {
        basSystem::gTagWinWidth = 2000 + g;
        QVERIFY(basSystem::SaveSettings());
        settingsVersions[g] = TestEnv::read(settings);
    }
    writeFileAtomic(env.path(QStringLiteral("page.htm")), pages[0]);
    writeFileAtomic(env.path(QStringLiteral("site.ksd")), lists[0]);

    for (int round = 0; round < 200; ++round) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--writer"), env.dir.path()});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(30000));
        QTest::qSleep(int(QRandomGenerator::global()->bounded(0, 25)));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());
        const QByteArray page = TestEnv::read(env.path(QStringLiteral("page.htm")));
        const QByteArray list = TestEnv::read(env.path(QStringLiteral("site.ksd")));
        const QByteArray ini = TestEnv::read(settings);
        QVERIFY2(page == pages[0] || page == pages[1], qPrintable(QStringLiteral("page, round %1").arg(round)));
        QVERIFY2(list == lists[0] || list == lists[1], qPrintable(QStringLiteral("list, round %1").arg(round)));
        QVERIFY2(ini == settingsVersions[0] || ini == settingsVersions[1],
                 qPrintable(QStringLiteral("settings, round %1").arg(round)));
    }
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--writer") == 0)
        return runWriter(QString::fromLocal8Bit(argv[2]));
    tst_crashsafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashsafety.moc"
