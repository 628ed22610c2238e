// Ctrl+S of one 8 KB page in a site of 16,000 pages (20 links each), until the window
// answers again: measured inside the program and from outside it.
//
// Inside: a child process starts as the program does, opens the site, waits until it is
// idle (every shown editor filled, the links checked), then N times types a letter into
// the active editor and presses Ctrl+S; each save is timed from the key until the events
// it left (painting the marks) are done.
//
// Outside (built with X11 and XTest, run under a real X server): the program itself is
// started on the site; once it is idle, N times a letter is typed and Ctrl+S pressed
// through XTest, and the window is asked _NET_WM_PING back to back from the key on until
// its answers come quickly again: the program's thread has handled the key and gone back
// to its events.
//
//   bench_save [RESOURCES]                  generates the site and prints both figures (the
//                                           outside ones only when DISPLAY is set)
//   bench_save inside FOLDER SITE N         the inside child (FOLDER holds the settings)
//   bench_save outside PROGRAM... [-- SITE] the outside figures for each PROGRAM in turns
//                                           (each a copy of pagekiln beside its settings)

#include "BenchSupport.h"
#include "app/Translation.h"
#include "app/basSystem.h"
#include "app/mdiMain.h"
#include "editor/EditorFiller.h"
#include "editor/frmChild1.h"
#include "platform/QtPlatform.h"
#include "platform/WindowStyle.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>

#include <poll.h>
#include <sys/stat.h>

#ifdef PAGEKILN_BENCH_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef Bool
#undef None
#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut
#undef Status
#undef Unsorted
#endif

namespace {
constexpr int sitePages = 16000;
constexpr int saves = 15;

struct Spread {
    double p10 = 0, median = 0, p90 = 0, worst = 0;
};

Spread spreadOf(QList<double> values)
{
    if (values.isEmpty())
        return {};
    std::sort(values.begin(), values.end());
    const auto at = [&values](double share) { return values.at(qsizetype(share * double(values.size() - 1))); };
    return {at(0.1), at(0.5), at(0.9), values.constLast()};
}

void printSpread(const char *what, const QList<double> &values)
{
    const Spread s = spreadOf(values);
    std::printf("%-34s %lld saves: p10 %.1f, median %.1f, p90 %.1f, worst %.1f ms\n", what, qlonglong(values.size()),
                s.p10, s.median, s.p90, s.worst);
    std::fflush(stdout);
}

// The processor time the calling thread has used, which the load of other processes does
// not stretch.
double threadProcessorMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

QByteArray loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray("?");
}

// Waits until the program has nothing left to do: every shown editor holds its text, the
// site's links are checked and no events are waiting.
void waitUntilIdle(const frmTree *tree)
{
    while (EditorFiller::instance().busy())
        QCoreApplication::processEvents();
    while (tree->linkChecker().isChecking())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
}

// The child: the program's start with SITE, then `count` saves of the active editor.
int inside(int argc, char *argv[], const QString &folder, const QString &site, int count)
{
    QApplication app(argc, argv);
    installQtTranslation(app);
    installWindowStyle();
    QtPlatform::setProgramFolderOverride(folder);
    mdiMain frame;
    if (!frame.MDIForm_Load())
        return 1;
    frame.showAsRemembered();
    if (!frame.openDefinition(site))
        return 1;
    if (!frame.treeWindow())
        return 1;
    waitUntilIdle(frame.treeWindow());
    frmChild1 *editor = basSystem::gActiveEditor;
    if (!editor)
        return 1;
    QList<double> times, processor;
    for (int i = 0; i < count; ++i) {
        editor->txtEdit()->insertPlainText(QStringLiteral("x"));
        QCoreApplication::processEvents();
        QElapsedTimer save;
        save.start();
        const double processorBefore = threadProcessorMs();
        QTest::keyClick(editor->txtEdit(), Qt::Key_S, Qt::ControlModifier);
        QCoreApplication::processEvents();
        times << msSince(save);
        processor << threadProcessorMs() - processorBefore;
        if (editor->isModified())
            return 1;   // the key did not save
    }
    printSpread("inside, Ctrl+S until answered", times);
    printSpread("the window's thread, processor time", processor);
    std::_Exit(0);
}

#ifdef PAGEKILN_BENCH_X11
// The program's top-level window that carries `pid`, once it is mapped.
Window windowOfProcess(Display *display, Window parent, qint64 pid)
{
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", 0);
    Window root = 0, up = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned int i = count; i-- > 0 && !found;) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char *data = nullptr;
        XWindowAttributes attributes{};
        if (XGetWindowProperty(display, children[i], pidAtom, 0, 1, 0, XA_CARDINAL, &type, &format, &items, &after,
                               &data)
                == Success
            && data && items == 1 && qint64(*reinterpret_cast<unsigned long *>(data)) == pid
            && XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable
            && attributes.width > 400)
            found = children[i];
        if (data)
            XFree(data);
        if (!found)
            found = windowOfProcess(display, children[i], pid);
    }
    if (children)
        XFree(children);
    return found;
}

qint64 processorTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.value(11).toLongLong() + fields.value(12).toLongLong();   // utime + stime
}

// Waits until the process has used at most three clock ticks (30 ms) of processor time
// over the last half second. An idle program in a real window still paints now and then
// (on this site about 30 ms of processor time a second, all in Qt's painting), so a half
// second wholly without processor time may never come.
void waitForQuiet(qint64 pid)
{
    QList<qint64> ticks{processorTicks(pid)};
    while (ticks.size() < 6 || ticks.constLast() - ticks.at(ticks.size() - 6) > 3) {
        QThread::msleep(100);
        ticks << processorTicks(pid);
    }
}

// Asks `window` a _NET_WM_PING and waits for its answer on the root window; false when
// none came within a minute.
bool ping(Display *display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", 0);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "_NET_WM_PING", 0));
    event.xclient.data.l[1] = CurrentTime;
    event.xclient.data.l[2] = long(window);
    XSendEvent(display, window, 0, NoEventMask, &event);
    XFlush(display);
    QElapsedTimer waiting;
    waiting.start();
    while (waiting.elapsed() < 60000) {
        if (!XPending(display)) {
            pollfd connection{ConnectionNumber(display), POLLIN, 0};
            ::poll(&connection, 1, 100);
            continue;
        }
        XEvent answer{};
        XNextEvent(display, &answer);
        if (answer.type == ClientMessage && answer.xclient.data.l[0] == event.xclient.data.l[0])
            return true;
    }
    return false;
}

qint64 fileSize(const QByteArray &path)
{
    struct stat status { };
    return ::stat(path.constData(), &status) == 0 ? qint64(status.st_size) : -1;
}

// The time from `start` until the window answered again after Ctrl+S: pings are sent back
// to back, and the answer is the first one after which five more each came back within a
// millisecond, once the page file has grown (a ping may overtake the key on its way
// through the server, or be answered while the key still waits in the program's queue).
// -1 when the window stopped answering.
double answeredAfter(Display *display, Window window, const QElapsedTimer &start, const QByteArray &page,
                     qint64 sizeBefore)
{
    double answered = -1;
    for (int quick = 0; quick < 5;) {
        const double sent = msSince(start);
        if (!ping(display, window))
            return -1;
        const double back = msSince(start);
        if (back - sent < 1.0 && answered >= 0 && fileSize(page) != sizeBefore) {
            ++quick;
        } else {
            quick = 0;
            answered = back;
        }
    }
    return answered;
}

void tap(Display *display, KeySym symbol, bool withControl)
{
    const unsigned int control = XKeysymToKeycode(display, XK_Control_L);
    const unsigned int key = XKeysymToKeycode(display, symbol);
    if (withControl)
        XTestFakeKeyEvent(display, control, 1, 0);
    XTestFakeKeyEvent(display, key, 1, 0);
    XTestFakeKeyEvent(display, key, 0, 0);
    if (withControl)
        XTestFakeKeyEvent(display, control, 0, 0);
    // Sent now: otherwise the letter typed before a save would wait in this side's buffer
    // until the save's first ping, and its handling would be timed as part of the save.
    XFlush(display);
}

// One start of `program` on `site`: `count` saves, each timed from the key until the
// window answered again. Empty when the program could not be driven.
QList<double> outsideRun(const QString &program, const QString &site, int count)
{
    const QByteArray page = QFile::encodeName(QFileInfo(site).path() + QStringLiteral("/page%1.htm").arg(sitePages));
    QTemporaryDir home;
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("HOME"), home.path());
    child.setProcessEnvironment(environment);
    child.start(program, {site});
    if (!child.waitForStarted())
        return {};
    Display *display = XOpenDisplay(nullptr);
    Window window = 0;
    for (int i = 0; i < 1200 && !window; ++i) {
        QThread::msleep(50);
        window = windowOfProcess(display, DefaultRootWindow(display), child.processId());
    }
    QList<double> times;
    if (window) {
        XSelectInput(display, DefaultRootWindow(display), StructureNotifyMask);   // where the answers go
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        waitForQuiet(child.processId());
        for (int i = 0; i < count; ++i) {
            tap(display, XK_x, false);
            waitForQuiet(child.processId());
            const qint64 sizeBefore = fileSize(page);
            QElapsedTimer save;
            save.start();
            tap(display, XK_s, true);
            const double ms = answeredAfter(display, window, save, page, sizeBefore);
            if (ms < 0)
                break;
            times << ms;
            waitForQuiet(child.processId());
        }
    }
    XCloseDisplay(display);
    child.terminate();
    if (!child.waitForFinished(20000))
        child.kill();
    return times;
}

int outside(const QStringList &programs, const QString &site)
{
    std::printf("outside, real window (load average %s)\n", loadAverage().constData());
    QList<QList<double>> times(programs.size());
    constexpr int rounds = 3;
    for (int round = 0; round < rounds; ++round)
        for (qsizetype p = 0; p < programs.size(); ++p)
            times[p] += outsideRun(programs.at(p), site, saves / rounds);
    for (qsizetype p = 0; p < programs.size(); ++p) {
        const QString name = programs.size() > 1 ? programs.at(p) : QStringLiteral("Ctrl+S until answered");
        printSpread(qPrintable(QStringLiteral("outside, %1").arg(name)), times.at(p));
    }
    return 0;
}
#endif

// The site comes from bench_site next to this program, so that every benchmark measures
// the same pages; the last page, open and on top, is the one saved.
bool generateSite(const QString &dir)
{
    return QProcess::execute(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_site"),
                             {QStringLiteral("generate"), dir, QString::number(sitePages)})
        == 0;
}

void runInside(const QString &folder, const QString &site)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("inside"), folder, site, QString::number(saves)});
    if (!child.waitForFinished(600000) || child.exitCode() != 0)
        std::printf("inside: the child failed\n");
}
}   // namespace

int main(int argc, char *argv[])
{
    if (argc == 5 && qstrcmp(argv[1], "inside") == 0)
        return inside(argc, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), std::atoi(argv[4]));
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    if (arguments.value(0) == QLatin1String("outside")) {
#ifdef PAGEKILN_BENCH_X11
        const qsizetype dashes = arguments.indexOf(QStringLiteral("--"));
        return dashes > 1 ? outside(arguments.mid(1, dashes - 1), arguments.value(dashes + 1)) : 1;
#else
        std::fprintf(stderr, "built without X11 and XTest\n");
        return 1;
#endif
    }
    const QString resources = arguments.value(0, QStringLiteral("resources"));
    QTemporaryDir folder;
    for (const char *name : {"pageKiln.INI", "TagDB.TXT"})
        QFile::copy(resources + u'/' + QLatin1String(name), folder.filePath(QLatin1String(name)));
    const QString site = folder.filePath(QStringLiteral("site"));
    if (!generateSite(site))
        return 1;
    const QString ksd = site + QStringLiteral("/site.ksd");
    std::printf("Ctrl+S of an 8 KB page in a site of %d pages (goal < 30 ms until the window answers; load average "
                "%s)\n",
                sitePages, loadAverage().constData());
    std::fflush(stdout);
    runInside(folder.path(), ksd);
#ifdef PAGEKILN_BENCH_X11
    if (qEnvironmentVariableIsSet("DISPLAY")) {
        const QString program = folder.filePath(QStringLiteral("pagekiln"));
        QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/../pagekiln"), program);
        outside({program}, ksd);
    }
#endif
    return 0;
}
