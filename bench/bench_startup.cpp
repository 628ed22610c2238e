// Time from the start of the program to its frame shown on screen (offscreen platform),
// with both tool windows open and the shipped tag database, and the peak memory.
// Usage: bench_startup <resources-folder>

#include "app/mdiMain.h"
#include "platform/QtPlatform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWindow>

#include <cstdio>
#include <sys/resource.h>

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString resources = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources");
    QTemporaryDir folder;
    for (const char *name : {"pageKiln.INI", "TagDB.TXT"})
        QFile::copy(resources + QLatin1Char('/') + QLatin1String(name), folder.filePath(QLatin1String(name)));
    QtPlatform::setProgramFolderOverride(folder.path());

    mdiMain frame;
    if (!frame.MDIForm_Load()) {
        std::fprintf(stderr, "no settings in %s\n", qPrintable(resources));
        return 1;
    }
    frame.show();
    while (!frame.windowHandle() || !frame.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
    const double ms = double(clock.nsecsElapsed()) / 1e6;

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("start to frame shown: %.1f ms; peak memory %.1f MB\n", ms, double(usage.ru_maxrss) / 1024.0);
    return 0;
}
