// Key presses in the 50 MB page (a million lines, from bench_site) while its recovery copy
// is being made, each timed until the text box has painted it. The parent process plays the
// user: while the child makes a copy, it sends a key every 40 ms through a pipe, stamped
// with the system's monotonic clock, as a window system would deliver it. The child posts
// each key to the text box once its event loop reads the pipe and answers once the text
// box's paint after that key has ended. Inside: from the stamp to the paint's end, as the
// child's clock reads it. Outside: from the stamp until the parent has the answer.
//
// The copies are made as the program makes them (the text taken in slices on the window's
// thread, formatted and written on a worker) and, in turns with them, all at once on the
// window's thread (as a signal ending the program still has them made). The keys are typed
// at the page's end. Memory: for each way, the most that the child's peak (VmHWM, reset to
// the resident size before each copy) rose during a copy.
//
//   bench_recovery [RESOURCES]       every figure, offscreen unless QT_QPA_PLATFORM says otherwise
//   bench_recovery child PAGE        one child on the page file PAGE

#include "BenchSupport.h"
#include "app/basSystem.h"
#include "editor/RecoveryCopier.h"
#include "editor/TypingPause.h"
#include "editor/frmChild1.h"
#include "tree/PageScan.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <unistd.h>

namespace {
constexpr int copiesEachWay = 4;
// The ways the copies are made, in turns: as the program makes them, at once on the
// window's thread, and none (two seconds of keys alone, for what the machine's load costs).
enum Way { sliced, atOnce, idle, ways };
constexpr int keyIntervalMs = 40;

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// The processor time this thread has had, in milliseconds: what it spends, whatever the
// other processes on the machine take meanwhile.
double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + now.tv_nsec / 1e6;
}

// The child's application: tells when the text box's viewport has finished a paint, and
// keeps the most processor time one event took the window's thread (a key waits for it).
class TimedApplication : public QApplication
{
public:
    using QApplication::QApplication;
    QObject *viewport = nullptr;
    std::function<void()> painted;
    double longestEventMs = 0;
    bool notify(QObject *receiver, QEvent *event) override
    {
        const bool outermost = mDepth++ == 0;
        const double start = outermost ? threadCpuMs() : 0;
        const bool result = QApplication::notify(receiver, event);
        if (receiver == viewport && event->type() == QEvent::Paint && painted)
            painted();
        if (--mDepth == 0 && outermost)
            longestEventMs = std::max(longestEventMs, threadCpuMs() - start);
        return result;
    }

private:
    int mDepth = 0;
};

void say(const char *format, auto... values)
{
    std::printf(format, values...);
    std::fflush(stdout);
}

// The child: the page in a shown editor with unsaved text. Each round it says "copy WAY",
// makes a copy that way and says "copied" once it is written; keys come in on stdin as "STAMP" lines meanwhile, and
// each is answered with "painted STAMP INSIDE-NS" once painted.
int runChild(int argc, char *argv[], const QString &page)
{
    TimedApplication app(argc, argv);
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    QMdiArea area;
    openFormArea(area);
    TypingPause::setDelay(3600 * 1000);   // only the copies made here
    const PageScan scan = scanPageFile(page);
    auto *editor = new frmChild1();
    editor->setText(scan.Text);
    const double textMb = double(scan.Text.size()) * sizeof(QChar) / (1 << 20);
    basSystem::PageRecord record;
    record.Folder = data.path() + QLatin1Char('/');
    record.FileName = QStringLiteral("large.htm");
    basSystem::addPage(record, editor);
    editor->Show();
    QPlainTextEdit *box = editor->txtEdit();
    box->moveCursor(QTextCursor::End);
    QKeyEvent first(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("あ"));
    QCoreApplication::sendEvent(box, &first);
    QCoreApplication::processEvents();
    double extraMb[ways] = {};
    double longestMs[ways] = {};
    // What a whole snapshot would cost the window: the document's raw text at once.
    double wholeMs = 1e9;
    for (int i = 0; i < 3; ++i) {
        const qint64 start = monotonicNs();
        const QString raw = box->document()->toRawText();
        wholeMs = std::min(wholeMs, (monotonicNs() - start) / 1e6);
    }
    say("whole %.1f\n", wholeMs);

    QList<qint64> handled;   // stamps of keys handled and not yet painted
    app.viewport = box->viewport();
    app.painted = [&] {
        for (const qint64 stamp : std::exchange(handled, {}))
            say("painted %lld %lld\n", qlonglong(stamp), qlonglong(monotonicNs() - stamp));
    };
    QSocketNotifier keys(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&keys, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        pending.append(buffer, std::max<ssize_t>(n, 0));
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1)) {
            const qint64 stamp = pending.left(end).toLongLong();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("あ"));
            QCoreApplication::sendEvent(box, &press);
            handled << stamp;
        }
    });
    RecoveryCopier *copier = editor->recoveryCopier();
    for (int round = 0; round < ways * copiesEachWay; ++round) {
        const int way = round % ways;
        // The peak counts from what the page already takes (5 in clear_refs resets VmHWM).
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        const bool cleared = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
        clear.close();
        const double before = peakMegabytes();
        say("copy %d\n", way);
        const qint64 start = monotonicNs();
        app.longestEventMs = 0;
        if (way == atOnce) {
            const double cpu = threadCpuMs();
            editor->writeRecoveryCopyNow();
            app.longestEventMs = threadCpuMs() - cpu;
        } else if (way == sliced) {
            copier->request();
            while (copier->isBusy())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        } else {
            while (monotonicNs() < start + 2'000'000'000)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
        say("copied %.0f\n", (monotonicNs() - start) / 1e6);
        longestMs[way] = std::max(longestMs[way], app.longestEventMs);
        if (cleared && way != idle)
            extraMb[way] = std::max(extraMb[way], peakMegabytes() - before);
        const qint64 settle = monotonicNs() + 300'000'000;   // the keys still on their way
        while (monotonicNs() < settle)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    say("peak %.1f %.1f %.1f %.1f %.1f %.1f %.1f\n", peakMegabytes(), extraMb[sliced], extraMb[atOnce], textMb,
        longestMs[sliced], longestMs[atOnce], longestMs[idle]);
    std::_Exit(0);
}

struct Keys {
    QList<double> inside, outside;   // milliseconds
};

// Reads the child's answers, sending a key every keyIntervalMs while it makes a copy.
bool drive(QProcess &child, Keys (&keys)[ways], QList<double> (&copyMs)[ways], QByteArray &peak)
{
    QHash<qint64, int> sentBy;   // stamp: which way the copy was being made
    int way = 0;
    bool copying = false;
    qint64 nextKey = 0;
    for (;;) {
        if (copying && monotonicNs() >= nextKey) {
            const qint64 stamp = monotonicNs();
            child.write(QByteArray::number(stamp) + '\n');
            sentBy.insert(stamp, way);
            nextKey = stamp + qint64(keyIntervalMs) * 1'000'000;
        }
        if (!child.canReadLine() && !child.waitForReadyRead(copying ? 5 : 60000)) {
            if (child.state() == QProcess::NotRunning)
                return false;
            continue;
        }
        while (child.canReadLine()) {
            const QByteArray line = child.readLine().trimmed();
            const QList<QByteArray> words = line.split(' ');
            if (words.at(0) == "copy") {
                way = words.at(1).toInt();
                copying = true;
                nextKey = monotonicNs() + qint64(keyIntervalMs) * 1'000'000 / 2;
            } else if (words.at(0) == "copied") {
                copying = false;
                copyMs[way] << words.at(1).toDouble();
            } else if (words.at(0) == "painted") {
                const qint64 stamp = words.at(1).toLongLong();
                Keys &k = keys[sentBy.value(stamp)];
                k.outside << (monotonicNs() - stamp) / 1e6;
                k.inside << words.at(2).toDouble() / 1e6;
            } else if (words.at(0) == "whole") {
                std::printf("  the page's whole text taken at once (QTextDocument::toRawText): %s ms, best of 3\n",
                            words.at(1).constData());
            } else if (words.at(0) == "peak") {
                peak = line.mid(5);
                return true;
            }
        }
    }
}

void report(const char *what, const Keys &k, const QList<double> &copyMs)
{
    std::printf("%s: %lld keys; inside p50 %.1f ms, p99 %.1f ms, slowest %.1f ms; outside p50 %.1f ms, p99 %.1f ms, "
                "slowest %.1f ms",
                what, qlonglong(k.inside.size()), percentile(k.inside, 0.5), percentile(k.inside, 0.99),
                percentile(k.inside, 1.0), percentile(k.outside, 0.5), percentile(k.outside, 0.99),
                percentile(k.outside, 1.0));
    if (!copyMs.isEmpty())
        std::printf("; a copy took %.0f-%.0f ms", percentile(copyMs, 0), percentile(copyMs, 1.0));
    std::printf("\n");
}
}   // namespace

int main(int argc, char *argv[])
{
    useOffscreenUnlessSet();
    if (argc == 3 && qstrcmp(argv[1], "child") == 0)
        return runChild(argc, argv, QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const QString dir = folder.filePath(QStringLiteral("large"));
    if (QProcess::execute(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_site"),
                          {QStringLiteral("large"), dir, QStringLiteral("50")})
        != 0)
        return 1;
    QFile load(QStringLiteral("/proc/loadavg"));
    const QByteArray loadBefore = load.open(QIODevice::ReadOnly) ? load.readAll().trimmed() : QByteArray();
    std::printf("key presses in the 50 MB page while its recovery copy is made (a key every %d ms, load average %s)\n",
                keyIntervalMs, loadBefore.constData());
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.setReadChannel(QProcess::StandardOutput);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("child"), dir + QStringLiteral("/large.htm")});
    Keys keys[ways];
    QList<double> copyMs[ways];
    QByteArray peak;
    if (!drive(child, keys, copyMs, peak)) {
        std::fprintf(stderr, "the child ended early: %s\n", child.readAllStandardError().constData());
        return 1;
    }
    child.waitForFinished();
    report("  copy as made now (goal p99 < 50 ms)", keys[sliced], copyMs[sliced]);
    report("  copy made at once on the window's thread", keys[atOnce], copyMs[atOnce]);
    report("  no copy (what the load alone costs a key)", keys[idle], {});
    const QList<QByteArray> mb = peak.split(' ');
    std::printf(
        "  memory: the child's peak %s MB; most a copy added to it %s MB as made now, %s MB at once (the page's "
        "text takes %.0f MB as UTF-16)\n",
        mb.value(0).constData(), mb.value(1).constData(), mb.value(2).constData(), mb.value(3).toDouble());
    std::printf("  the most processor time the window's thread spent at a stretch (one event, or the copy made at "
                "once): %s ms as made now, %s ms at once, %s ms with no copy\n",
                mb.value(4).constData(), mb.value(5).constData(), mb.value(6).constData());
    return 0;
}
