// Finding across the sites of bench_site (8 KB pages, 1,000 and 16,000 of them), the whole
// command as the user meets it, in the editors' texts as opening the site left them
// (hidden editors, texts not yet in a text box). The search runs on a thread of its own:
// each run times, inside the process, the command until the first hit is painted and
// until the last is listed, how long the command itself kept the window, and how long the
// window took to answer meanwhile (the longest gap between the ticks of a 5 ms timer, and
// the longest wait of a key press posted every 50 ms), beside the longest gap of the same
// timer over the half second before the command (what the machine's load alone gives);
// from outside, the parent takes the time from spawning the child
// to the first hit painted. Each run is a child process of its own, with the page cache
// warm and with the site's files evicted from it; peak memory is the child's VmHWM, and
// the memory the hits hold is the growth of its resident memory over the search.
//
//   bench_find [CASE...]          every case (or the named ones)
//   bench_find outside [CASE...]  the same from outside, in a real X server (run it under
//                                 bench/find-realwindow.sh): the child shows its window
//                                 on the screen, the search is started by a click sent
//                                 through XTest, the first hit is timed to the list being
//                                 drawn (X Damage), and a letter is typed into the find
//                                 box (where the window keeps the keyboard; the search has
//                                 taken its expression) every 50 ms, each timed until drawn
//   bench_find run SITE CASE T0 [outside]
//                                 one child: opens SITE, runs CASE; T0 is the spawn time
//                                 (CLOCK_MONOTONIC, ns)

#include "BenchSupport.h"
#include "BenchTree.h"
#include "XWatch.h"
#include "app/basSystem.h"
#include "editor/frmSiteFind.h"
#include "tree/frmTree.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <unistd.h>

namespace {
struct Case {
    const char *name;
    int pages;
    const char *pattern;
    bool regex;
    int escAfterMs;   // 0: the search runs to its end; otherwise Esc stops it then
    int warmRuns;
    int coldRuns;
    const char *goal;
};
const Case cases[] = {
    {"word", 1000, "題名", false, 0, 5, 3, "first hit < 100 ms"},   // once in every page
    {"frequent-word", 1000, "段落", false, 0, 5, 3, ""},            // on almost every line
    {"regex", 1000, "HREF=\"page(\\d+)\\.htm\"", true, 0, 5, 3, ""},
    {"regex-japanese", 1000, "本文の.{2}です", true, 0, 5, 3, ""},
    {"word-16k", 16000, "題名", false, 0, 3, 2, "first hit < 100 ms, window answering"},
    {"frequent-16k", 16000, "段落", false, 0, 3, 2, "first hit < 100 ms, peak < 400 MB, hits < 150 MB"},
    // Every line costs the matcher about a million steps (no line reaches its limit, none
    // matches): the search would take minutes; Esc stops it after three seconds.
    {"slow-regex-1k", 1000, "(?:.*){5}[§¶]", true, 3000, 3, 0, "window answering, Esc stops it"},
};

qint64 monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// This process's resident memory now, in megabytes.
double residentMegabytes()
{
    return statusMegabytes("VmRSS");
}

// Watches the window while the search runs: a timer that should tick every 5 ms, a key
// press posted to the replacement box every 50 ms, and the first paint of the list with
// a hit in it.
class Probe : public QObject
{
public:
    Probe(frmSiteFind *window) : mWindow(window)
    {
        mClock.start();
        mTick.setTimerType(Qt::PreciseTimer);
        connect(&mTick, &QTimer::timeout, this, &Probe::tick);
        window->txtReplace()->installEventFilter(this);
        window->lstHits()->viewport()->installEventFilter(this);
    }

    void start()
    {
        mLastTick = mClock.nsecsElapsed();
        mTick.start(5);
    }
    void stop() { mTick.stop(); }

    qint64 firstHitNs = 0;   // when the first hit was painted (CLOCK_MONOTONIC); 0 before
    double longestGapMs = 0;
    double longestKeyMs = 0;

private:
    void tick()
    {
        const qint64 now = mClock.nsecsElapsed();
        longestGapMs = std::max(longestGapMs, (now - mLastTick) / 1e6);
        mLastTick = now;
        if (mKeyPosted < 0 && now - mLastKey >= 50'000'000) {
            mKeyPosted = now;
            QCoreApplication::postEvent(mWindow->txtReplace(),
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier));
        }
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && mKeyPosted >= 0
            && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Shift) {
            mLastKey = mClock.nsecsElapsed();
            longestKeyMs = std::max(longestKeyMs, (mLastKey - mKeyPosted) / 1e6);
            mKeyPosted = -1;
        } else if (event->type() == QEvent::Paint && watched != mWindow->txtReplace() && mWindow->hits().count() > 0
                   && !mPaintSeen) {
            // Timed once the paint is over: the next turn of the event loop.
            mPaintSeen = true;
            QTimer::singleShot(0, this, [this] { firstHitNs = monotonicNs(); });
        }
        return false;
    }

    frmSiteFind *mWindow;
    QElapsedTimer mClock;
    QTimer mTick;
    qint64 mLastTick = 0;
    qint64 mLastKey = 0;
    qint64 mKeyPosted = -1;
    bool mPaintSeen = false;
};

// The child: opens the site as the open command does, runs the search and prints
// "first-hit-ms all-ms hits peak-MB hits-MB longest-gap-ms longest-key-ms spawn-to-first-hit-ms esc-ms
// command-ms idle-gap-ms".
int runOutside(frmSiteFind *window);

int run(int argc, char *argv[], const QString &site, const Case &c, qint64 spawnedNs, bool outside)
{
    QApplication app(argc, argv);
    QMdiArea area;
    openFormArea(area);
    frmTree *tree = showSiteTree(area);
    if (!tree->gfReadKSD(site))
        return 1;
    tree->DrawTree(1);
    auto *window = new frmSiteFind(&area);
    window->Show();
    window->txtFind()->setText(QString::fromUtf8(c.pattern));
    window->chkRegex()->setChecked(c.regex);
    QApplication::processEvents();   // everything before the command is on screen
    if (outside)
        return runOutside(window);
    const double residentBefore = residentMegabytes();

    Probe probe(window);
    probe.start();
    QEventLoop idle;
    QTimer::singleShot(500, &idle, &QEventLoop::quit);
    idle.exec();
    const double idleGapMs = probe.longestGapMs;
    probe.longestGapMs = 0;
    QEventLoop loop;
    QTimer done;
    QObject::connect(&done, &QTimer::timeout, &loop, [&] {
        if (!window->isSearching())
            loop.quit();
    });
    qint64 escPosted = 0;
    if (c.escAfterMs > 0)
        QTimer::singleShot(c.escAfterMs, &loop, [&] {
            escPosted = monotonicNs();
            QCoreApplication::postEvent(window->txtFind(),
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        });
    QElapsedTimer command;
    command.start();
    const qint64 commandNs = monotonicNs();
    window->cmdFind_Click();
    const double commandMs = msSince(command);
    done.start(1);
    loop.exec();
    const double allMs = msSince(command);
    const double escMs = escPosted ? (monotonicNs() - escPosted) / 1e6 : 0;
    QApplication::processEvents();   // the last of the list painted
    probe.stop();
    const double firstHitMs = probe.firstHitNs ? (probe.firstHitNs - commandNs) / 1e6 : -1;
    const double sinceSpawnMs = probe.firstHitNs ? (probe.firstHitNs - spawnedNs) / 1e6 : -1;
    std::printf("%.2f %.1f %lld %.1f %.1f %.2f %.2f %.1f %.1f %.2f %.2f\n", firstHitMs, allMs,
                qlonglong(window->hits().count()), peakMegabytes(), residentMegabytes() - residentBefore,
                probe.longestGapMs, probe.longestKeyMs, sinceSpawnMs, escMs, commandMs, idleGapMs);
    std::fflush(stdout);
    std::_Exit(0);
}

// A rectangle of the screen, as "x y w h".
QByteArray screenRect(const QWidget *widget)
{
    const QPoint topLeft = widget->mapToGlobal(QPoint(0, 0));
    return QByteArray::number(topLeft.x()) + ' ' + QByteArray::number(topLeft.y()) + ' '
        + QByteArray::number(widget->width()) + ' ' + QByteArray::number(widget->height());
}

// The child seen from outside: shows its window, says where its find button, its list and
// its find box (which has the focus) are on the screen, lets the search be started by a
// click and keys be typed, and says "done HITS PEAK-MB typed LETTERS" once it is over.
int runOutside(frmSiteFind *window)
{
    QApplication::setCursorFlashTime(0);   // a blinking caret would pass for a typed letter
    for (QPushButton *button : window->findChildren<QPushButton *>())
        button->setFocusPolicy(Qt::NoFocus);
    window->subWindow()->move(220, 0);   // wholly on the 1280 × 800 screen, beside the tree
    window->activateWindow();
    window->txtFind()->setFocus();
    window->txtFind()->end(false);   // letters typed go after the expression, which the search has taken
    const qsizetype patternLength = window->txtFind()->text().size();
    QEventLoop shown;
    QTimer::singleShot(1000, &shown, &QEventLoop::quit);
    shown.exec();
    const QPushButton *find = window->findChildren<QPushButton *>().value(0);
    const QPoint button = find->mapToGlobal(find->rect().center());
    std::printf("ready %d %d %s %s\n", button.x(), button.y(), screenRect(window->lstHits()->viewport()).constData(),
                screenRect(window->txtFind()).constData());
    std::fflush(stdout);
    bool started = false;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        started = started || window->isSearching();
        if (started && !window->isSearching())
            loop.quit();
    });
    poll.start(1);
    loop.exec();
    QApplication::processEvents();
    std::printf("done %lld %.1f typed %lld\n", qlonglong(window->hits().count()), peakMegabytes(),
                qlonglong(window->txtFind()->text().size() - patternLength));
    std::fflush(stdout);
    std::_Exit(0);
}

struct Figures {
    double firstHitMs = 0;
    double allMs = 0;
    qlonglong hits = 0;
    double peakMb = 0;
    double hitsMb = 0;
    double gapMs = 0;
    double keyMs = 0;
    double sinceSpawnMs = 0;
    double escMs = 0;
    double commandMs = 0;
    double idleGapMs = 0;
};

bool spawn(const QString &site, const Case &c, Figures *out)
{
    QProcess child;
    const qint64 t0 = monotonicNs();
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("run"), site, QString::fromLatin1(c.name), QString::number(t0)});
    if (!child.waitForFinished(900000) || child.exitCode() != 0)
        return false;
    const QList<QByteArray> f = child.readAllStandardOutput().trimmed().split(' ');
    if (f.size() != 11)
        return false;
    *out = Figures{f[0].toDouble(), f[1].toDouble(), f[2].toLongLong(), f[3].toDouble(),
                   f[4].toDouble(), f[5].toDouble(), f[6].toDouble(),   f[7].toDouble(),
                   f[8].toDouble(), f[9].toDouble(), f[10].toDouble()};
    return true;
}

// The median, best and worst of one figure over the runs.
QString spread(QList<Figures> runs, double Figures::*figure, const char *format = "%.1f")
{
    std::sort(runs.begin(), runs.end(), [&](const Figures &a, const Figures &b) { return a.*figure < b.*figure; });
    const auto number = [&](double v) { return QString::asprintf(format, v); };
    return number(runs.at(runs.size() / 2).*figure) + QStringLiteral(" (") + number(runs.constFirst().*figure)
        + QStringLiteral("–") + number(runs.constLast().*figure) + QLatin1Char(')');
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll().split(' ').mid(0, 3).join(' '))
                                          : QString();
}

void report(const Case &c, const char *cache, const QList<Figures> &runs)
{
    if (runs.isEmpty()) {
        std::printf("  %-15s %-5s not measured\n", c.name, cache);
        return;
    }
    QString line = QStringLiteral("first hit %1 ms, %2 %3 ms, %4 hits")
                       .arg(spread(runs, &Figures::firstHitMs),
                            c.escAfterMs ? QStringLiteral("until Esc") : QStringLiteral("all"),
                            spread(runs, &Figures::allMs, "%.0f"))
                       .arg(runs.constFirst().hits);
    line += QStringLiteral("; window: the command %1 ms, then longest tick gap %2 ms (idle before: %3 ms), longest "
                           "key wait %4 ms")
                .arg(spread(runs, &Figures::commandMs), spread(runs, &Figures::gapMs),
                     spread(runs, &Figures::idleGapMs), spread(runs, &Figures::keyMs));
    if (c.escAfterMs)
        line += QStringLiteral("; Esc to stopped %1 ms").arg(spread(runs, &Figures::escMs));
    line += QStringLiteral("; spawn to first hit %1 ms; peak %2 MB, hits hold %3 MB (load %4)")
                .arg(spread(runs, &Figures::sinceSpawnMs, "%.0f"), spread(runs, &Figures::peakMb, "%.0f"),
                     spread(runs, &Figures::hitsMb, "%.0f"), loadAverage());
    if (*c.goal)
        line += QStringLiteral("; goal: ") + QString::fromUtf8(c.goal);
    std::printf("  %-15s %-5s %s\n", c.name, cache, qPrintable(line));
    std::fflush(stdout);
}

// One child seen from outside: the click to the first hit drawn, and each typed letter to
// its being drawn, in ms; the hits and the child's peak memory.
struct Outside {
    double firstHitMs = -1;
    QList<double> keyMs;
    QByteArray done;
};

QList<int> numbersAfter(const QByteArray &line, const char *word)
{
    QList<int> numbers;
    for (const QByteArray &n : line.mid(qstrlen(word)).trimmed().split(' '))
        numbers << n.toInt();
    return numbers;
}

bool spawnOutside(const QString &site, const Case &c, Outside *out)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("run"), site, QString::fromLatin1(c.name), QString::number(monotonicNs()),
                 QStringLiteral("outside")});
    while (!child.canReadLine() && child.waitForReadyRead(120000)) { }
    const QList<int> r = numbersAfter(child.readLine(), "ready");
    XWatch x;
    if (r.size() != 10 || !x.isOpen())
        return false;
    const ScreenRect list{r[2], r[3], r[4], r[5]};
    const ScreenRect findBox{r[6], r[7], r[8], r[9]};
    x.forget();
    const double clicked = monotonicMs();
    x.click(r[0], r[1]);
    out->firstHitMs = x.waitForDrawing(list, 60000) - clicked;
    bool escSent = false;
    while (!child.canReadLine() && child.state() == QProcess::Running) {
        if (c.escAfterMs && !escSent && monotonicMs() - clicked >= c.escAfterMs) {
            x.key("Escape");
            escSent = true;
        }
        x.forget();
        const double typed = monotonicMs();
        x.key("a");
        if (const double drawn = x.waitForDrawing(findBox, 5000); drawn > 0)
            out->keyMs << drawn - typed;
        child.waitForReadyRead(50);
    }
    out->done = child.readLine().trimmed();
    return child.waitForFinished(60000) && out->done.startsWith("done");
}

void measureOutside(const Case &c, const QString &siteDir)
{
    const QString site = siteDir + QStringLiteral("/site.ksd");
    QList<Figures> runs;
    QList<double> keys;
    QByteArray done;
    for (int i = 0; i < c.warmRuns + 1; ++i) {
        Outside o;
        if (!spawnOutside(site, c, &o))
            continue;
        if (i == 0)
            continue;   // fills the caches
        Figures f;
        f.firstHitMs = o.firstHitMs;
        f.keyMs = o.keyMs.isEmpty() ? 0 : *std::max_element(o.keyMs.cbegin(), o.keyMs.cend());
        runs << f;
        keys << o.keyMs;
        done = o.done;
    }
    if (runs.isEmpty() || keys.isEmpty()) {
        std::printf("  %-15s outside: not measured\n", c.name);
        return;
    }
    std::sort(keys.begin(), keys.end());
    std::printf(
        "  %-15s outside: click to the list first redrawn %s ms; a letter typed during the search, to it drawn: "
        "median %.1f ms, 99th percentile %.1f ms, longest %s ms (%lld letters); %s (load %s)\n",
        c.name, qPrintable(spread(runs, &Figures::firstHitMs)), keys.at(keys.size() / 2),
        keys.at(std::min(keys.size() - 1, keys.size() * 99 / 100)), qPrintable(spread(runs, &Figures::keyMs)),
        qlonglong(keys.size()), done.constData(), qPrintable(loadAverage()));
    std::fflush(stdout);
}

void measure(const Case &c, const QString &siteDir)
{
    const QString site = siteDir + QStringLiteral("/site.ksd");
    Figures f;
    spawn(site, c, &f);   // fills the caches
    QList<Figures> warm, cold;
    for (int i = 0; i < c.warmRuns; ++i)
        if (spawn(site, c, &f))
            warm << f;
    for (int i = 0; i < c.coldRuns && evictSite(siteDir); ++i)
        if (spawn(site, c, &f))
            cold << f;
    report(c, "warm", warm);
    report(c, "cold", cold);
}
}   // namespace

int main(int argc, char *argv[])
{
    if ((argc == 5 || argc == 6) && qstrcmp(argv[1], "run") == 0) {
        useOffscreenUnlessSet();
        for (const Case &c : cases)
            if (qstrcmp(argv[3], c.name) == 0)
                return run(argc, argv, QString::fromLocal8Bit(argv[2]), c, QByteArray(argv[4]).toLongLong(), argc == 6);
        return 1;
    }
    QCoreApplication app(argc, argv);
    useOffscreenUnlessSet();
    const bool outside = argc > 1 && qstrcmp(argv[1], "outside") == 0;
    QStringList wanted;
    for (int i = outside ? 2 : 1; i < argc; ++i)
        wanted << QString::fromLocal8Bit(argv[i]);
    QTemporaryDir dir;
    std::map<int, QString> sites;   // by number of pages
    std::printf("site search over pages of 8 KB (hidden editors), the command until its hits are painted\n");
    for (const Case &c : cases) {
        if (!wanted.isEmpty() && !wanted.contains(QLatin1String(c.name)))
            continue;
        if (!sites.count(c.pages)) {
            const QString siteDir = dir.filePath(QString::number(c.pages));
            if (QProcess::execute(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_site"),
                                  {QStringLiteral("generate"), siteDir, QString::number(c.pages)})
                != 0) {
                std::fprintf(stderr, "bench_site generate failed\n");
                return 1;
            }
            sites[c.pages] = siteDir;
        }
        if (outside)
            measureOutside(c, sites[c.pages]);
        else
            measure(c, sites[c.pages]);
    }
    return 0;
}
