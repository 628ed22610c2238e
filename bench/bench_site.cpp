// Opening a generated site of 1,000 pages (8 KB and 20 links each) the way the open
// command does: reading the definition, scanning every page into a hidden editor, and
// drawing the tree from page 1, offscreen, in a process of its own.
//
//   bench_site                 generates a site in a temporary folder and measures a child
//                              process that opens it (wall time and peak memory)
//   bench_site generate DIR [PAGES] [open]
//                              only generates the site into DIR: PAGES pages (1,000 unless
//                              given), with every page marked open when `open` is given
//   bench_site open DIR        opens DIR/site.ksd and prints its own figures
//   bench_site scan DIR        only scans the pages (no windows), for the breakdown
//   bench_site editors DIR     only creates the 1,000 hidden editors with the pages' texts

#include "BenchSupport.h"
#include "app/basSystem.h"
#include "common/TextCodec.h"
#include "platform/KForm.h"
#include "editor/frmChild1.h"
#include "tree/PageScan.h"
#include "tree/frmTree.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr int pageCount = 1000;   // the site this program opens itself
constexpr int linksPerPage = 20;
constexpr qsizetype pageBytes = 8 * 1024;

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray makePage(int n, int pages)
{
    QString text = QStringLiteral("<HTML>\r\n<HEAD><TITLE>ページ %1 の題名</TITLE></HEAD>\r\n<BODY>\r\n").arg(n);
    for (int j = 1; j <= linksPerPage; ++j)
        text += QStringLiteral("<P><A HREF=\"page%1.htm\">次のページ %2</A></P>\r\n").arg((n + j) % pages + 1).arg(j);
    const QString filler = QStringLiteral("本文の段落です。これは生成されたページの中身です。\r\n");
    QByteArray bytes = encodeStrict(text, TextEncoding::Cp932).value();
    const QByteArray tail = "</BODY>\r\n</HTML>\r\n";
    const QByteArray line = encodeStrict(filler, TextEncoding::Cp932).value();
    while (bytes.size() + line.size() + tail.size() <= pageBytes)
        bytes += line;
    bytes += QByteArray(pageBytes - bytes.size() - tail.size(), 'x');
    return bytes + tail;
}

bool generate(const QString &dir, int pages = pageCount, bool allOpen = false)
{
    QDir().mkpath(dir);
    const QString folder = QDir(dir).absolutePath() + QLatin1Char('/');
    QString ksd = QStringLiteral(
                      "[KSD INF]\r\nVER=Velmoran HTML Editor Ver 0.0\r\nPNM=ベンチマークのサイト\r\nDIR=%1\r\nURL=\r\n"
                      "[HTML LIST]\r\nCNT=%2\r\n")
                      .arg(folder)
                      .arg(pages, 3, 10, QLatin1Char('0'));
    for (int n = 1; n <= pages; ++n) {
        if (!writeFile(folder + QStringLiteral("page%1.htm").arg(n), makePage(n, pages)))
            return false;
        ksd += QStringLiteral("%1=%2*%3*page%4.htm\r\n")
                   .arg(n, 3, 10, QLatin1Char('0'))
                   .arg(allOpen || n % 200 == 0 ? -1 : 0)   // a few pages were left open
                   .arg(folder)
                   .arg(n);
    }
    return writeFile(folder + QStringLiteral("site.ksd"), encodeStrict(ksd, TextEncoding::Cp932).value());
}

long peakKilobytes(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_maxrss;
}

int open(int argc, char *argv[], const QString &dir)
{
    QElapsedTimer total;
    total.start();
    QApplication app(argc, argv);
    QMdiArea area;
    openFormArea(area);
    basSystem::gTreeWinWidth = 3210;
    basSystem::gTreeWinHeight = 8430;
    auto *tree = new frmTree(&area);
    tree->Show();
    const double startupMs = total.nsecsElapsed() / 1e6;

    QElapsedTimer step;
    step.start();
    if (!tree->gfReadKSD(dir + QStringLiteral("/site.ksd")))
        return 1;
    const double readMs = step.nsecsElapsed() / 1e6;
    step.restart();
    tree->DrawTree(1);
    tree->setCaption(basSystem::gSite.Name);
    const double drawMs = step.nsecsElapsed() / 1e6;
    step.restart();
    QApplication::processEvents();   // lays out and paints what is shown
    const double paintMs = step.nsecsElapsed() / 1e6;

    std::printf("  pages %lld, drawn rows %lld\n", qlonglong(basSystem::pageCount()),
                qlonglong(tree->tree().rowCount()));
    std::printf("  start-up %.1f ms, gfReadKSD %.1f ms, DrawTree(1) %.2f ms, first paint %.1f ms\n", startupMs, readMs,
                drawMs, paintMs);
    std::printf("  in-process total %.1f ms, peak resident memory %.1f MB\n", total.nsecsElapsed() / 1e6,
                peakKilobytes(RUSAGE_SELF) / 1024.0);
    std::fflush(stdout);
    std::_Exit(0);   // the figures are taken; tearing down 1,000 windows is not part of opening
}
// The two halves of opening, each on its own: scanning the page files, and creating one
// hidden editor window per page holding its text.
int measureHalf(int argc, char *argv[], const QString &dir, bool windows)
{
    QApplication app(argc, argv);
    QMdiArea area;
    openFormArea(area);
    QList<PageScan> scans;
    QElapsedTimer t;
    t.start();
    for (int n = 1; n <= pageCount; ++n)
        scans << scanPageFile(dir + QStringLiteral("/page%1.htm").arg(n));
    const double scanMs = t.nsecsElapsed() / 1e6;
    if (!windows) {
        std::printf("  breakdown: scanning the %d page files alone %.1f ms\n", pageCount, scanMs);
    } else {
        t.restart();
        for (const PageScan &scan : scans) {
            auto *editor = new frmChild1();
            editor->setCaption(scan.Title);
            editor->setText(scan.Text);
        }
        std::printf("  breakdown: creating the %d hidden editors with their texts %.1f ms\n", pageCount,
                    t.nsecsElapsed() / 1e6);
    }
    std::fflush(stdout);
    std::_Exit(0);
}

bool runChild(const QStringList &arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    return child.waitForFinished(600000) && child.exitCode() == 0;
}
}   // namespace

int main(int argc, char *argv[])
{
    if (argc >= 3 && qstrcmp(argv[1], "generate") == 0) {
        const int pages = argc > 3 ? std::max(1, atoi(argv[3])) : pageCount;
        const bool allOpen = argc > 4 && qstrcmp(argv[4], "open") == 0;
        return generate(QString::fromLocal8Bit(argv[2]), pages, allOpen) ? 0 : 1;
    }
    if (argc == 3 && qstrcmp(argv[1], "open") == 0) {
        useOffscreenUnlessSet();
        return open(argc, argv, QString::fromLocal8Bit(argv[2]));
    }
    if (argc == 3 && (qstrcmp(argv[1], "scan") == 0 || qstrcmp(argv[1], "editors") == 0)) {
        useOffscreenUnlessSet();
        return measureHalf(argc, argv, QString::fromLocal8Bit(argv[2]), qstrcmp(argv[1], "editors") == 0);
    }

    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!generate(dir.path()))
        return 1;
    std::printf("site of %d pages (%lld bytes, %d links each) in %s\n", pageCount, qlonglong(pageBytes), linksPerPage,
                qPrintable(dir.path()));
    std::fflush(stdout);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer wall;
    wall.start();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("open"), dir.path()});
    if (!child.waitForFinished(600000) || child.exitCode() != 0)
        return 1;
    std::printf(
        "whole process (start to exit): wall %.1f ms (goal < 1000), peak resident memory %.1f MB (goal < 400)\n",
        wall.nsecsElapsed() / 1e6, peakKilobytes(RUSAGE_CHILDREN) / 1024.0);
    std::fflush(stdout);
    return runChild({QStringLiteral("scan"), dir.path()}) && runChild({QStringLiteral("editors"), dir.path()}) ? 0 : 1;
}
