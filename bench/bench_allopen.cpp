// A site with every page open, measured from the process being spawned: the program's own
// start-up opening a generated site of 8 KB pages, all marked open, until the frame is
// shown, and until the program is idle (every shown editor that needs its text holds it
// and nothing more is painted). While the editors still fill, keys typed into the active
// editor and clicks on page titles, each timed to the last paint of the window it
// changes; once idle, switching editors by a title click and by Ctrl+Tab, timed the same
// way. Memory: the resident size once idle, against the same site with no page open, per
// open page.
//
//   bench_allopen [RESOURCES] [PAGES]   three starts of each site (PAGES: 1,000 unless given);
//                                       offscreen unless QT_QPA_PLATFORM says otherwise
//   bench_allopen shown FOLDER SITE     one start in FOLDER (the program folder) opening SITE

#include "BenchSupport.h"
#include "PaintClock.h"
#include "StartProgram.h"
#include "app/basSystem.h"
#include "editor/EditorFiller.h"
#include "editor/frmChild1.h"

#include <QDir>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {
constexpr int runs = 3;
constexpr int switches = 20;

void say(const char *line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

// A letter typed into the active editor, to the last paint of that editor.
double typeKey(PaintClockApplication &app, int quietMs)
{
    frmChild1 *editor = basSystem::gActiveEditor;
    if (!editor)
        return -1;
    QPlainTextEdit *box = editor->txtEdit();
    app.watch(editor->subWindow());
    return app.timeToLastPaint(
        [box] {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QCoreApplication::sendEvent(box, &press);
        },
        quietMs);
}

// A click on the title of shown page `page`, to the last paint of the frame.
double clickTitle(PaintClockApplication &app, mdiMain &frame, qint32 page, int quietMs)
{
    app.watch(&frame);
    return app.timeToLastPaint([&frame, page] { frame.treeWindow()->lblHTML_Click(page); }, quietMs);
}

// The child: what main() does, then the figures.
int shown(int argc, char *argv[], const QString &folder, const QString &site)
{
    PaintClockApplication app(argc, argv);
    const std::unique_ptr<mdiMain> started = startProgram(app, folder, site);
    if (!started || !started->treeWindow())
        return 1;
    mdiMain &frame = *started;
    say("shown");
    const qint64 shownAt = app.now();
    const double shownPeak = peakMegabytes();

    // While the editors fill: a key or a title click now and then, each to its last paint.
    QList<double> keys, clicks;
    QRandomGenerator random(7);
    const qint32 pages = qint32(basSystem::pageCount());
    const bool sampleWhileFilling = qEnvironmentVariableIsEmpty("BENCH_NO_SAMPLES");
    while (sampleWhileFilling && EditorFiller::instance().busy()) {
        app.runFor(random.bounded(5, 40));
        if (!EditorFiller::instance().busy())
            break;
        if ((keys.size() + clicks.size()) % 4 == 3)
            clicks << clickTitle(app, frame, random.bounded(1, pages + 1), 50);
        else
            keys << typeKey(app, 50);
    }
    while (EditorFiller::instance().busy())
        QCoreApplication::processEvents();
    const qint64 filledAt = app.now();
    app.watch(nullptr);
    const double idleMs = double(std::max(filledAt, app.settle()) - shownAt) / 1e6;
    const double idleResident = statusMegabytes("VmRSS");
    const double idlePeak = peakMegabytes();

    // Switching between shown editors once idle: title clicks spread over the site, then
    // Ctrl+Tab.
    QList<double> titleSwitches, tabSwitches;
    for (int i = 0; i < switches; ++i)
        titleSwitches << clickTitle(app, frame, 1 + qint32(qint64(i) * pages / switches), 150);
    for (int i = 0; i < switches; ++i) {
        app.watch(&frame);
        tabSwitches << app.timeToLastPaint(
            [&frame] { QTest::keyClick(frame.windowHandle(), Qt::Key_Tab, Qt::ControlModifier); });
    }
    std::printf("%.1f %.1f %.1f %lld %.2f %.2f %.2f %lld %.2f %.2f %.2f %.2f %.2f %.2f %.2f %.1f\n", shownPeak,
                idlePeak, idleResident, qlonglong(keys.size()), percentile(keys, 0.5), percentile(keys, 0.99),
                percentile(keys, 1.0), qlonglong(clicks.size()), percentile(clicks, 0.5), percentile(clicks, 1.0),
                percentile(titleSwitches, 0.5), percentile(titleSwitches, 0.9), percentile(titleSwitches, 1.0),
                percentile(tabSwitches, 0.5), percentile(tabSwitches, 1.0), idleMs);
    std::fflush(stdout);
    std::_Exit(0);   // tearing down is no part of the figures
}

struct Run {
    double shownMs = 0;
    double idleMs = 0;
    QList<double> figures;
};

std::optional<Run> spawn(const QStringList &arguments, const QString &dataFolder)
{
    QProcess child;
    // Typed keys leave recovery copies behind: they go to a folder of the benchmark's own.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataFolder);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer wall;
    wall.start();
    child.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("shown")} + arguments);
    Run run;
    while (child.state() != QProcess::NotRunning || child.canReadLine()) {
        if (!child.canReadLine() && !child.waitForReadyRead(300000))
            break;
        const QByteArray line = child.readLine().trimmed();
        if (line == "shown")
            run.shownMs = msSince(wall);
        else if (!line.isEmpty())
            for (const QByteArray &figure : line.split(' '))
                run.figures << figure.toDouble();
    }
    child.waitForFinished(300000);
    if (run.figures.size() != 16)
        return std::nullopt;
    run.idleMs = run.shownMs + run.figures.at(15);
    return run;
}

bool generateSite(const QString &dir, int pages, bool allOpen)
{
    QStringList arguments{QStringLiteral("generate"), dir, QString::number(pages)};
    if (allOpen)
        arguments << QStringLiteral("open");
    return QProcess::execute(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_site"), arguments) == 0;
}

QString range(const QList<double> &values)
{
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return values.isEmpty() ? QStringLiteral("-") : QStringLiteral("%1–%2").arg(*low, 0, 'f', 1).arg(*high, 0, 'f', 1);
}

void report(const QList<Run> &all, const QList<Run> &none, int pages)
{
    const auto column = [](const QList<Run> &list, const auto &pick) {
        QList<double> values;
        for (const Run &run : list)
            values << pick(run);
        return values;
    };
    const auto figure = [&column](const QList<Run> &list, int i) {
        return column(list, [i](const Run &run) { return run.figures.at(i); });
    };
    std::printf("%d pages all open, %lld starts:\n", pages, qlonglong(all.size()));
    std::printf(
        "  start to frame shown %s ms, to idle %s ms (the same site with a page in 200 open: shown %s, idle %s ms)\n",
        qPrintable(range(column(all, [](const Run &r) { return r.shownMs; }))),
        qPrintable(range(column(all, [](const Run &r) { return r.idleMs; }))),
        qPrintable(range(column(none, [](const Run &r) { return r.shownMs; }))),
        qPrintable(range(column(none, [](const Run &r) { return r.idleMs; }))));
    std::printf(
        "  while filling: keys typed %s, p50 %s, p99 %s, slowest %s ms; title clicks %s, p50 %s, slowest %s ms\n",
        qPrintable(range(figure(all, 3))), qPrintable(range(figure(all, 4))), qPrintable(range(figure(all, 5))),
        qPrintable(range(figure(all, 6))), qPrintable(range(figure(all, 7))), qPrintable(range(figure(all, 8))),
        qPrintable(range(figure(all, 9))));
    std::printf("  switching once idle: title click p50 %s, p90 %s, slowest %s ms; Ctrl+Tab p50 %s, slowest %s ms\n",
                qPrintable(range(figure(all, 10))), qPrintable(range(figure(all, 11))),
                qPrintable(range(figure(all, 12))), qPrintable(range(figure(all, 13))),
                qPrintable(range(figure(all, 14))));
    // The site with no page open still has every 200th page open, as bench_site leaves it.
    const int opened = pages - pages / 200;
    QList<double> perPage;
    for (const Run &run : all)
        for (const Run &base : none)
            perPage << (run.figures.at(2) - base.figures.at(2)) * 1024.0 / opened;
    std::printf("  memory: peak at shown %s MB, peak at idle %s MB, resident at idle %s MB (none open %s MB): "
                "%s KB for each open page\n",
                qPrintable(range(figure(all, 0))), qPrintable(range(figure(all, 1))), qPrintable(range(figure(all, 2))),
                qPrintable(range(figure(none, 2))), qPrintable(range(perPage)));
    std::fflush(stdout);
}
}   // namespace

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "shown") == 0) {
        useOffscreenUnlessSet();
        return shown(argc, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QCoreApplication app(argc, argv);
    useOffscreenUnlessSet();
    const QString resources = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources");
    const int pages = argc > 2 ? std::max(20, std::atoi(argv[2])) : 1000;
    QTemporaryDir folder;
    for (const char *name : {"pageKiln.INI", "TagDB.TXT"})
        QFile::copy(resources + QLatin1Char('/') + QLatin1String(name), folder.filePath(QLatin1String(name)));
    const QString allOpen = folder.filePath(QStringLiteral("open"));
    const QString noneOpen = folder.filePath(QStringLiteral("closed"));
    if (!generateSite(allOpen, pages, true) || !generateSite(noneOpen, pages, false)) {
        std::fprintf(stderr, "bench_site generate failed\n");
        return 1;
    }
    const QStringList allArguments{folder.path(), allOpen + QStringLiteral("/site.ksd")};
    const QStringList noneArguments{folder.path(), noneOpen + QStringLiteral("/site.ksd")};
    const QString data = folder.filePath(QStringLiteral("data"));
    spawn(allArguments, data);   // fills the caches
    QList<Run> all, none;
    for (int i = 0; i < runs; ++i) {
        QDir(data).removeRecursively();   // no start finds copies of the one before
        if (const auto run = spawn(allArguments, data))
            all << *run;
        if (const auto run = spawn(noneArguments, data))
            none << *run;
    }
    if (all.isEmpty() || none.isEmpty())
        return 1;
    report(all, none, pages);
    return 0;
}
