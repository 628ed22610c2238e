// Start to frame shown, measured from the process being spawned: the program's own
// start-up (settings, Qt's translation, the frame placed as remembered, both tool windows)
// with a generated site opened as if named on the command line, until the frame is
// exposed and painted. Peak memory is the child's VmHWM at that moment.
//
// Rows: a 1,000-page site warm (caches filled by a first run), with a cold font cache
// (fontconfig rebuilding its cache from the font files) and with a cold page cache (every
// file of the site evicted from the kernel's cache before the run); the growth with the
// site's size (1,000, 4,000 and 16,000 pages, warm and cold, taking turns in every round
// so that the ratios compare runs made side by side); a site with all 1,000 pages marked
// open and a site of one 50 MB page (its editor then enlarged, and Down keys pressed while
// the rest of its text comes in); each run also until the program is idle (every editor
// one can see holds its text and nothing more is painted) and, once idle, the first click
// on a hidden page's title to the last paint of the frame.
//
//   bench_startup [RESOURCES] [quick]   every figure (quick: one round, no 16,000 pages);
//   bench_startup RESOURCES large|open|growth
//                                       only the 50 MB page, the all-open site, or the
//                                       growth curve (three rounds); every mode runs
//                                       offscreen unless QT_QPA_PLATFORM says otherwise
//                                       (run under xvfb-run with QT_QPA_PLATFORM=xcb for a
//                                       real window)
//   bench_startup shown FOLDER SITE [N] one start in FOLDER (the program folder) opening SITE;
//                                       with N, then N more clicks on hidden pages' titles
//                                       one after another (their spread after the figures)

#include "BenchSupport.h"
#include "PaintClock.h"
#include "StartProgram.h"
#include "app/basSystem.h"
#include "editor/EditorFiller.h"
#include "editor/frmChild1.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace {
constexpr int warmRuns = 5;
constexpr int coldRuns = 3;

// The first page not marked open, whose editor has never been shown; 0 when all are open.
qint32 firstHiddenPage()
{
    for (qsizetype page = 1; page < basSystem::gPageEditors.size(); ++page)
        if (const frmChild1 *editor = basSystem::gPageEditors.at(page); editor && !editor->Visible())
            return qint32(page);
    return 0;
}

// A click on page `page`'s title, to the last paint of the frame, in milliseconds.
double clickTitleMs(frmTree *tree, qint32 page)
{
    auto *app = PaintClockApplication::instance();
    app->watch(tree->window());
    return app->timeToLastPaint([tree, page] { tree->lblHTML_Click(page); });
}

// Clicks on `count` more hidden pages' titles in turn, each to its last paint,
// and prints their spread: many samples of the first-click wait from one start.
void timeMoreClicks(frmTree *tree, int count)
{
    QList<double> times;
    for (qint32 page = 1; page < basSystem::gPageEditors.size() && times.size() < count; ++page) {
        if (const frmChild1 *editor = basSystem::gPageEditors.at(page); !editor || editor->Visible())
            continue;
        times << clickTitleMs(tree, page);
    }
    if (times.isEmpty())
        return;
    std::sort(times.begin(), times.end());
    const auto at = [&times](double share) { return times.at(qsizetype(share * double(times.size() - 1))); };
    std::printf("%lld more clicks: p10 %.2f, median %.2f, p90 %.2f ms\n", qlonglong(times.size()), at(0.1), at(0.5),
                at(0.9));
    std::fflush(stdout);
}

// The child: what main() does, then the figures once the frame is on screen (the peak
// memory), and again once the program is idle.
int shown(int argc, char *argv[], const QString &folder, const QString &site, int moreClicks)
{
    PaintClockApplication app(argc, argv);
    const std::unique_ptr<mdiMain> started = startProgram(app, folder, site);
    if (!started)
        return 1;
    mdiMain &frame = *started;
    std::printf("%.1f\n", peakMegabytes());
    std::fflush(stdout);
    const qint64 shownAt = app.now();

    // The second line once the program is idle: every shown editor one can see holds its
    // whole text (the editors under the one on top and a long page take theirs while the
    // program is idle), and nothing more is painted. It gives the time from the frame shown
    // to idle; the peak memory; the first click on a hidden page's title to its last paint;
    // and for a site of one open page that editor enlarged to fill the area, to its last paint.
    while (EditorFiller::instance().busy())
        QCoreApplication::processEvents();
    const qint64 filledAt = app.now();
    app.watch(nullptr);
    const double idleMs = double(std::max(filledAt, app.settle()) - shownAt) / 1e6;
    const double filledPeak = peakMegabytes();
    double clickMs = -1;
    if (const qint32 page = firstHiddenPage(); page && frame.treeWindow())
        clickMs = clickTitleMs(frame.treeWindow(), page);
    double enlargeMs = -1;
    if (basSystem::pageCount() == 1 && basSystem::gPageEditors.at(1)->Visible()) {
        app.watch(&frame);
        enlargeMs = app.timeToLastPaint([] { basSystem::gPageEditors.at(1)->subWindow()->showMaximized(); });
    }
    std::printf("%.1f %.2f %.2f %.1f %.1f\n", filledPeak, clickMs, enlargeMs, peakMegabytes(), idleMs);
    std::fflush(stdout);
    if (moreClicks > 0 && frame.treeWindow())
        timeMoreClicks(frame.treeWindow(), moreClicks);
    std::_Exit(0);   // tearing down is no part of starting
}

// The child for the keys: one start, then while the shown editor still takes in its text,
// a Down key in it now and then, each to the last paint of that editor; prints how many,
// and their median, 99th percentile and slowest.
int keysWhileFilling(int argc, char *argv[], const QString &folder, const QString &site)
{
    PaintClockApplication app(argc, argv);
    if (!startProgram(app, folder, site))
        return 1;
    QList<double> keys;
    QRandomGenerator random(7);
    while (EditorFiller::instance().busy()) {
        app.runFor(random.bounded(5, 40));
        frmChild1 *editor = basSystem::gActiveEditor;
        // The text box as it is: asking the editor for it would put the rest in at once.
        auto *box = editor ? editor->findChild<QPlainTextEdit *>() : nullptr;
        if (!box || !EditorFiller::instance().busy())
            continue;
        app.watch(editor->subWindow());
        keys << app.timeToLastPaint(
            [box] {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
                QCoreApplication::sendEvent(box, &press);
            },
            50);
    }
    std::printf("%lld %.2f %.2f %.2f\n", qlonglong(keys.size()), percentile(keys, 0.5), percentile(keys, 0.99),
                percentile(keys, 1.0));
    std::fflush(stdout);
    std::_Exit(0);
}

struct Run {
    double ms = 0;
    double peakMb = 0;
    double clickMs = -1;
    double idleMs = 0;   // start to idle: every editor one can see holds its text, nothing left to paint
    double filledPeakMb = 0;
    double enlargeMs = -1;   // one open page's editor enlarged to fill the area
    double enlargedPeakMb = 0;
};

// The figures of one line the child prints, once it is printed; empty if it never is.
QList<double> readFigures(QProcess &child, int count)
{
    while (!child.canReadLine() && child.state() == QProcess::Running)
        child.waitForReadyRead(120000);
    QList<double> figures;
    for (const QByteArray &figure : child.readLine().trimmed().split(' '))
        figures << figure.toDouble();
    return figures.size() == count ? figures : QList<double>();
}

std::optional<Run> spawn(const QStringList &arguments, const QProcessEnvironment &environment)
{
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer wall;
    wall.start();
    child.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("shown")} + arguments);
    if (!child.waitForStarted(120000))
        return std::nullopt;
    // The frame is shown when the child prints its first line; its exit is no part of it.
    const QList<double> shown = readFigures(child, 1);
    const double ms = msSince(wall);
    const QList<double> filled = readFigures(child, 5);
    // A child that has already gone counts as finished (waiting for it would report a failure).
    if ((child.state() != QProcess::NotRunning && !child.waitForFinished(120000)) || child.exitCode() != 0
        || shown.isEmpty() || filled.isEmpty())
        return std::nullopt;
    return Run{ms, shown[0], filled[1], ms + filled[4], filled[0], filled[2], filled[3]};
}

// A fontconfig set-up that reads the same fonts but keeps its cache in an empty folder,
// so that the child has to build the font cache anew.
QString coldFontConfig(const QString &folder)
{
    const QString path = folder + QStringLiteral("/fonts.conf");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
                              "  <dir>/usr/share/fonts</dir>\n  <dir>/usr/local/share/fonts</dir>\n"
                              "  <cachedir>%1/cache</cachedir>\n"
                              "  <include ignore_missing=\"yes\">/etc/fonts/conf.d</include>\n</fontconfig>\n")
                   .arg(folder)
                   .toUtf8());
    return path;
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

void report(const char *what, QList<Run> runs)
{
    if (runs.isEmpty()) {
        std::printf("%-40s not measured\n", what);
        return;
    }
    std::sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.ms < b.ms; });
    const Run &middle = runs.at(runs.size() / 2);
    QList<double> clicks;
    for (const Run &run : runs)
        if (run.clickMs >= 0)
            clicks << run.clickMs;
    std::printf("%-40s median %.0f ms (best %.0f, worst %.0f, %lld runs), peak memory %.1f MB", what, middle.ms,
                runs.constFirst().ms, runs.constLast().ms, qlonglong(runs.size()), middle.peakMb);
    if (!clicks.isEmpty())
        std::printf(", first title click %.1f ms", median(clicks));
    std::printf("; idle at %.0f ms, peak %.1f MB", middle.idleMs, middle.filledPeakMb);
    if (middle.enlargeMs >= 0)
        std::printf("; then the editor enlarged %.0f ms, peak after %.1f MB", middle.enlargeMs, middle.enlargedPeakMb);
    std::printf("\n");
    std::fflush(stdout);
}

// The site comes from bench_site next to this program, so that both measure the same site.
bool generateSite(const QString &dir, int pages, bool allOpen)
{
    QStringList arguments{QStringLiteral("generate"), dir, QString::number(pages)};
    if (allOpen)
        arguments << QStringLiteral("open");
    return QProcess::execute(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_site"), arguments) == 0;
}

// One page of 50 MB (a million lines) marked open: start to its editor shown, then the
// editor enlarged to fill the area; warm and with the page evicted from the cache.
void largePage(const QTemporaryDir &folder, const QProcessEnvironment &environment)
{
    const QString dir = folder.filePath(QStringLiteral("large"));
    if (QProcess::execute(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_site"),
                          {QStringLiteral("large"), dir, QStringLiteral("50")})
        != 0)
        return;
    const QStringList arguments{folder.path(), dir + QStringLiteral("/site.ksd")};
    spawn(arguments, environment);   // fills the caches
    QList<Run> warm, cold;
    for (int i = 0; i < coldRuns; ++i) {
        if (const auto run = spawn(arguments, environment))
            warm << *run;
        if (evictSite(dir))
            if (const auto run = spawn(arguments, environment))
                cold << *run;
    }
    report("one 50 MB page open, warm (goal < 1.5 s)", warm);
    report("one 50 MB page open, cold page cache", cold);
    for (int i = 0; i < coldRuns; ++i) {
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("keys")} + arguments);
        if (!child.waitForFinished(300000) || child.exitCode() != 0)
            continue;
        const QList<QByteArray> keys = child.readAllStandardOutput().trimmed().split(' ');
        std::printf("one 50 MB page open, Down keys while the rest comes in: %s keys, median %s ms, p99 %s ms, "
                    "slowest %s ms (goal < 50 ms)\n",
                    keys.value(0).constData(), keys.value(1).constData(), keys.value(2).constData(),
                    keys.value(3).constData());
    }
}

struct Site {
    int pages = 0;
    QString dir;
    QStringList arguments;
    QList<Run> warm, cold;
};

// The sites of the growth curve, opened in turns: every round runs each site warm and then
// cold, so that a burst of load elsewhere falls on all sizes alike and the ratios of one
// round compare runs made side by side.
void growth(const QTemporaryDir &folder, const QProcessEnvironment &environment, const QList<int> &sizes, int rounds)
{
    QList<Site> sites;
    for (const int pages : sizes) {
        Site site{pages, folder.filePath(QStringLiteral("site%1").arg(pages)), {}, {}, {}};
        if (!generateSite(site.dir, pages, false))
            return;
        site.arguments = QStringList{folder.path(), site.dir + QStringLiteral("/site.ksd")};
        spawn(site.arguments, environment);   // fills the caches
        sites << site;
    }
    QList<double> warmRatios, coldRatios;
    for (int round = 0; round < rounds; ++round) {
        for (Site &site : sites) {
            if (const auto run = spawn(site.arguments, environment))
                site.warm << *run;
            if (evictSite(site.dir))
                if (const auto run = spawn(site.arguments, environment))
                    site.cold << *run;
        }
        const Site &small = sites.constFirst();
        const Site &large = sites.constLast();
        if (small.warm.size() == round + 1 && large.warm.size() == round + 1)
            warmRatios << large.warm.constLast().ms / small.warm.constLast().ms;
        if (small.cold.size() == round + 1 && large.cold.size() == round + 1)
            coldRatios << large.cold.constLast().ms / small.cold.constLast().ms;
    }
    for (const Site &site : std::as_const(sites)) {
        report(qPrintable(QStringLiteral("%1 pages, warm").arg(site.pages)), site.warm);
        report(qPrintable(QStringLiteral("%1 pages, cold page cache").arg(site.pages)), site.cold);
    }
    std::printf("time of %d pages / time of %d pages, median of %d rounds: warm %.2f, cold %.2f (pages %.0f x)\n",
                sites.constLast().pages, sites.constFirst().pages, rounds, median(warmRatios), median(coldRatios),
                double(sites.constLast().pages) / sites.constFirst().pages);
}
}   // namespace

int main(int argc, char *argv[])
{
    if ((argc == 4 || argc == 5) && qstrcmp(argv[1], "shown") == 0) {
        useOffscreenUnlessSet();
        return shown(argc, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                     argc == 5 ? std::atoi(argv[4]) : 0);
    }
    if (argc == 4 && qstrcmp(argv[1], "keys") == 0) {
        useOffscreenUnlessSet();
        return keysWhileFilling(argc, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QCoreApplication app(argc, argv);
    useOffscreenUnlessSet();
    const QString resources = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources");
    const bool quick = argc > 2 && qstrcmp(argv[2], "quick") == 0;
    QTemporaryDir folder;
    for (const char *name : {"pageKiln.INI", "TagDB.TXT"})
        QFile::copy(resources + QLatin1Char('/') + QLatin1String(name), folder.filePath(QLatin1String(name)));
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (argc > 2 && qstrcmp(argv[2], "large") == 0) {
        largePage(folder, environment);
        return 0;
    }
    if (argc > 2 && qstrcmp(argv[2], "growth") == 0) {
        growth(folder, environment, {1000, 4000, 16000}, 3);
        return 0;
    }
    const bool onlyAllOpen = argc > 2 && qstrcmp(argv[2], "open") == 0;
    const QString site = folder.filePath(QStringLiteral("site"));
    const QString allOpen = folder.filePath(QStringLiteral("open"));
    if (!generateSite(site, 1000, false) || !generateSite(allOpen, 1000, true)) {
        std::fprintf(stderr, "bench_site generate failed\n");
        return 1;
    }
    const QStringList arguments{folder.path(), site + QStringLiteral("/site.ksd")};
    const QStringList allOpenArguments{folder.path(), allOpen + QStringLiteral("/site.ksd")};
    std::printf("start to frame shown, both tool windows, sites of 8 KB pages with 20 links (platform %s)\n",
                qgetenv("QT_QPA_PLATFORM").constData());

    spawn(arguments, environment);   // fills the caches
    spawn(allOpenArguments, environment);
    QList<Run> warm, coldFonts, coldPages, opened;
    for (int i = 0; i < warmRuns; ++i) {
        if (const auto run = spawn(arguments, environment))
            warm << *run;
        if (const auto run = spawn(allOpenArguments, environment))
            opened << *run;
    }
    if (onlyAllOpen) {
        report("1,000 pages all marked open (goal < 1 s)", opened);
        return 0;
    }
    for (int i = 0; i < coldRuns; ++i) {
        QTemporaryDir fonts;
        QProcessEnvironment cold = environment;
        cold.insert(QStringLiteral("FONTCONFIG_FILE"), coldFontConfig(fonts.path()));
        if (const auto run = spawn(arguments, cold))
            coldFonts << *run;
        if (evictSite(site))
            if (const auto run = spawn(arguments, environment))
                coldPages << *run;
    }
    report("1,000 pages, warm (goal < 500 ms)", warm);
    report("1,000 pages, cold font cache", coldFonts);
    report("1,000 pages, cold page cache", coldPages);
    report("1,000 pages all marked open (goal < 1 s)", opened);
    largePage(folder, environment);
    growth(folder, environment, quick ? QList<int>{1000, 4000} : QList<int>{1000, 4000, 16000}, quick ? 1 : 3);
    return warm.isEmpty() ? 1 : 0;
}
