// A child process saves a page, a site definition and the settings in a loop; the test
// kills it with SIGKILL at random moments and checks after every kill that each file
// holds exactly its old or exactly its new content, never a mixture.
#include "app/basSystem.h"
#include "common/TextCodec.h"
#include "common/TextFile.h"
#include "settings/Settings.h"
#include "site/SiteFile.h"
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

// A definition of 300 pages whose folders name the generation.
void writeList(const QString &path, int generation)
{
    basSystem::SiteInfo site;
    site.Name = QStringLiteral("サイト%1").arg(generation);
    QList<ksd::PageEntry> pages;
    for (int i = 1; i <= 300; ++i)
        pages.append(ksd::PageEntry{i % 2 == 0, QStringLiteral("/サイト/%1/").arg(generation),
                                    QStringLiteral("page%1.htm").arg(i)});
    ksd::writeDefinition(path, site, pages);
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
        writeList(list, generation);
        basSystem::gTagWinWidth = 2000 + generation;
        basSystem::SaveSettings();
        if (generation == 0) {
            std::fputs("writing\n", stdout);   // the parent kills only once writing is under way
            std::fflush(stdout);
        }
    }
}
}   // namespace

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
    QByteArray lists[2];
    for (int g = 0; g < 2; ++g) {
        writeList(env.path(QStringLiteral("site.ksd")), g);
        lists[g] = TestEnv::read(env.path(QStringLiteral("site.ksd")));
    }
    QByteArray settingsVersions[2];
    for (int g = 0; g < 2; ++g) {
        basSystem::gTagWinWidth = 2000 + g;
        QVERIFY(basSystem::SaveSettings());
        settingsVersions[g] = TestEnv::read(settings);
    }
    writeFileAtomic(env.path(QStringLiteral("page.htm")), pages[0]);
    writeList(env.path(QStringLiteral("site.ksd")), 0);

    QRandomGenerator random(testSeed());
    for (int round = 0; round < 200; ++round) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--writer"), env.dir.path()});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(30000));
        QTest::qSleep(int(random.bounded(0, 25)));
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
