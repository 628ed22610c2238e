// Start to frame shown, measured from the process being spawned: the program's own
// start-up (settings, Qt's translation, the frame placed as remembered, both tool windows)
// with a site of 1,000 pages opened as if named on the command line, until the frame is
// exposed and painted. Runs warm (caches filled by a first run), with a cold font cache
// (fontconfig rebuilding its cache from the font files), and with a cold page cache where
// the kernel lets us drop it. Peak memory is the child's VmHWM.
//
//   bench_startup [RESOURCES]           every figure; offscreen unless QT_QPA_PLATFORM says
//                                       otherwise (run under xvfb-run with
//                                       QT_QPA_PLATFORM=xcb for a real window)
//   bench_startup shown FOLDER SITE     one start in FOLDER (the program folder) opening SITE

#include "BenchSupport.h"
#include "app/Translation.h"
#include "app/mdiMain.h"
#include "platform/QtPlatform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {
constexpr int warmRuns = 5;
constexpr int coldRuns = 3;

// The line "VmHWM: N kB" of this process's status, in megabytes.
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// The child: what main() does, then the figures once the frame is on screen.
int shown(int argc, char *argv[], const QString &folder, const QString &site)
{
    QApplication app(argc, argv);
    installQtTranslation(app);
    QtPlatform::setProgramFolderOverride(folder);
    mdiMain frame;
    if (!frame.MDIForm_Load())
        return 1;
    frame.showAsRemembered();
    if (!frame.openDefinition(site))
        return 1;
    while (!frame.windowHandle() || !frame.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
    std::printf("%.1f\n", peakMegabytes());
    std::fflush(stdout);
    std::_Exit(0);   // tearing down is no part of starting
}

struct Run {
    double ms = 0;
    double peakMb = 0;
};

std::optional<Run> spawn(const QStringList &arguments, const QProcessEnvironment &environment)
{
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer wall;
    wall.start();
    child.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("shown")} + arguments);
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return std::nullopt;
    return Run{wall.nsecsElapsed() / 1e6, child.readAllStandardOutput().trimmed().toDouble()};
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

bool dropPageCache()
{
    ::sync();
    QFile drop(QStringLiteral("/proc/sys/vm/drop_caches"));
    return drop.open(QIODevice::WriteOnly) && drop.write("3\n") == 2;
}

void report(const char *what, QList<Run> runs)
{
    if (runs.isEmpty()) {
        std::printf("%-36s not measured\n", what);
        return;
    }
    std::sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.ms < b.ms; });
    const Run &median = runs.at(runs.size() / 2);
    std::printf("%-36s median %.0f ms (best %.0f, worst %.0f, %lld runs), peak memory %.1f MB\n", what, median.ms,
                runs.constFirst().ms, runs.constLast().ms, qlonglong(runs.size()), median.peakMb);
}

// The site comes from bench_site next to this program, so that both measure the same site.
bool generateSite(const QString &dir)
{
    return QProcess::execute(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_site"),
                             {QStringLiteral("generate"), dir})
        == 0;
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
    QTemporaryDir folder;
    for (const char *name : {"pageKiln.INI", "TagDB.TXT"})
        QFile::copy(resources + QLatin1Char('/') + QLatin1String(name), folder.filePath(QLatin1String(name)));
    const QString site = folder.filePath(QStringLiteral("site"));
    if (!generateSite(site)) {
        std::fprintf(stderr, "bench_site generate failed\n");
        return 1;
    }
    const QStringList arguments{folder.path(), site + QStringLiteral("/site.ksd")};
    std::printf("start to frame shown, both tool windows, 1,000-page site (platform %s)\n",
                qgetenv("QT_QPA_PLATFORM").constData());

    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    spawn(arguments, environment);   // fills the caches
    QList<Run> warm, coldFonts, coldPages;
    for (int i = 0; i < warmRuns; ++i)
        if (const auto run = spawn(arguments, environment))
            warm << *run;
    for (int i = 0; i < coldRuns; ++i) {
        QTemporaryDir fonts;
        QProcessEnvironment cold = environment;
        cold.insert(QStringLiteral("FONTCONFIG_FILE"), coldFontConfig(fonts.path()));
        if (const auto run = spawn(arguments, cold))
            coldFonts << *run;
    }
    for (int i = 0; i < coldRuns && dropPageCache(); ++i)
        if (const auto run = spawn(arguments, environment))
            coldPages << *run;
    report("warm (goal < 500 ms)", warm);
    report("cold font cache", coldFonts);
    report("cold page cache (root only)", coldPages);
    return warm.isEmpty() ? 1 : 0;
}
