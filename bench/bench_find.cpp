// Finding across the 1,000-page site of bench_site (8 KB each), the whole command: from
// the site search's command to its list shown (the last paint of the search window), in
// the editors' texts as opening the site left them (hidden editors, texts not yet in a
// text box). Each figure comes from a child process of its own, measured from the moment
// it was spawned, with the page cache warm and (as root) cold; peak memory is the child's
// VmHWM.
//
//   bench_find                    every figure
//   bench_find run SITE CASE T0   one child: opens SITE, runs CASE; T0 is the spawn time
//                                 (CLOCK_MONOTONIC, ns)

#include "BenchSupport.h"
#include "PaintClock.h"
#include "app/basSystem.h"
#include "editor/frmSiteFind.h"
#include "tree/frmTree.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {
constexpr int warmRuns = 5;
constexpr int coldRuns = 3;

struct Case {
    const char *name;
    const char *pattern;
    bool regex;
    const char *goal;
};
const Case cases[] = {
    {"word", "題名", false, "< 100 ms"},                        // once in every page
    {"frequent-word", "段落", false, "< 100 ms"},               // on almost every line
    {"regex", "HREF=\"page(\\d+)\\.htm\"", true, "< 300 ms"},   // 20 in every page
    {"regex-japanese", "本文の.{2}です", true, "< 300 ms"},     // on almost every line
};

qint64 monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// The child: opens the site as the open command does, then runs the search and prints
// "command-ms spawn-to-list-ms hits peak-MB".
int run(int argc, char *argv[], const QString &site, const Case &c, qint64 spawnedNs)
{
    PaintClockApplication app(argc, argv);
    QMdiArea area;
    openFormArea(area);
    basSystem::gTreeWinWidth = 3210;
    basSystem::gTreeWinHeight = 8430;
    auto *tree = new frmTree(&area);
    tree->Show();
    if (!tree->gfReadKSD(site))
        return 1;
    tree->DrawTree(1);
    auto *window = new frmSiteFind(&area);
    window->Show();
    window->txtFind()->setText(QString::fromUtf8(c.pattern));
    window->chkRegex()->setChecked(c.regex);
    app.settle();   // everything before the command is on screen

    // The command to the last paint of the search window (the list laid out and painted).
    app.watch(window->subWindow());
    const double commandStartMs = (monotonicNs() - spawnedNs) / 1e6;
    const double commandMs = app.timeToLastPaint([window] { window->cmdFind_Click(); });
    const double sinceSpawnMs = commandStartMs + commandMs;
    std::printf("%.2f %.1f %lld %.1f\n", commandMs, sinceSpawnMs, qlonglong(window->hits().count()), peakMegabytes());
    std::fflush(stdout);
    std::_Exit(0);
}

struct Figures {
    double commandMs = 0;
    double sinceSpawnMs = 0;
    qlonglong hits = 0;
    double peakMb = 0;
};

bool spawn(const QString &site, const Case &c, Figures *out)
{
    QProcess child;
    const qint64 t0 = monotonicNs();
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("run"), site, QString::fromLatin1(c.name), QString::number(t0)});
    if (!child.waitForFinished(600000) || child.exitCode() != 0)
        return false;
    const QList<QByteArray> f = child.readAllStandardOutput().trimmed().split(' ');
    if (f.size() != 4)
        return false;
    *out = Figures{f[0].toDouble(), f[1].toDouble(), f[2].toLongLong(), f[3].toDouble()};
    return true;
}

void report(const Case &c, const char *cache, QList<Figures> runs)
{
    if (runs.isEmpty()) {
        std::printf("  %-15s %-5s not measured\n", c.name, cache);
        return;
    }
    std::sort(runs.begin(), runs.end(), [](auto &a, auto &b) { return a.commandMs < b.commandMs; });
    const Figures &m = runs.at(runs.size() / 2);
    std::printf("  %-15s %-5s command median %.1f ms (best %.1f, worst %.1f; goal %s), %lld hits; "
                "spawn to list %.0f ms; peak %.0f MB\n",
                c.name, cache, m.commandMs, runs.constFirst().commandMs, runs.constLast().commandMs, c.goal, m.hits,
                m.sinceSpawnMs, m.peakMb);
    std::fflush(stdout);
}
}   // namespace

int main(int argc, char *argv[])
{
    if (argc == 5 && qstrcmp(argv[1], "run") == 0) {
        useOffscreenUnlessSet();
        for (const Case &c : cases)
            if (qstrcmp(argv[3], c.name) == 0)
                return run(argc, argv, QString::fromLocal8Bit(argv[2]), c, QByteArray(argv[4]).toLongLong());
        return 1;
    }
    QCoreApplication app(argc, argv);
    useOffscreenUnlessSet();
    QTemporaryDir dir;
    if (QProcess::execute(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_site"),
                          {QStringLiteral("generate"), dir.path()})
        != 0) {
        std::fprintf(stderr, "bench_site generate failed\n");
        return 1;
    }
    const QString site = dir.filePath(QStringLiteral("site.ksd"));
    std::printf("site search over 1,000 pages of 8 KB (hidden editors), the command until the list is painted\n");
    for (const Case &c : cases) {
        Figures f;
        spawn(site, c, &f);   // fills the caches
        QList<Figures> warm, cold;
        for (int i = 0; i < warmRuns; ++i)
            if (spawn(site, c, &f))
                warm << f;
        for (int i = 0; i < coldRuns && dropPageCache(); ++i)
            if (spawn(site, c, &f))
                cold << f;
        report(c, "warm", warm);
        report(c, "cold", cold);
    }
    return 0;
}
