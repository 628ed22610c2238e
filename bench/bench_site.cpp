// Opening a generated site of 1,000 pages (8 KB and 20 links each) the way the open
// command does: reading the definition, scanning every page into a hidden editor, and
// drawing the tree from page 1, offscreen, in a process of its own.
//
//   bench_site                 generates a site in a temporary folder and measures a child
//                              process that opens it (wall time and peak memory)
//   bench_site generate DIR [PAGES] [open]
//                              only generates the site into DIR: PAGES pages (1,000 unless
//                              given), with every page marked open when `open` is given
//   bench_site large DIR [MB]  only generates a site of one page of MB megabytes (50 unless
//                              given, a million short lines), marked open
//   bench_site open DIR        opens DIR/site.ksd and prints its own figures
//   bench_site scan DIR        only scans the pages (no windows), for the breakdown
//   bench_site editors DIR     only creates the 1,000 hidden editors with the pages' texts

#include "BenchSupport.h"
#include "BenchTree.h"
#include "app/basSystem.h"
#include "common/TextCodec.h"
#include "platform/KForm.h"
#include "platform/WindowStyle.h"
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
#include <functional>

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

// Writes DIR/site.ksd listing the page files `names` (in DIR), each marked open or not.
bool writeDefinition(const QString &folder, const QStringList &names, const std::function<bool(int)> &open)
{
    QString ksd = QStringLiteral(
                      "[KSD INF]\r\nVER=Velmoran HTML Editor Ver 0.0\r\nPNM=ベンチマークのサイト\r\nDIR=%1\r\nURL=\r\n"
                      "[HTML LIST]\r\nCNT=%2\r\n")
                      .arg(folder)
                      .arg(names.size(), 3, 10, QLatin1Char('0'));
    for (int n = 1; n <= names.size(); ++n)
        ksd += QStringLiteral("%1=%2*%3*%4\r\n")
                   .arg(n, 3, 10, QLatin1Char('0'))
                   .arg(open(n) ? -1 : 0)
                   .arg(folder, names.at(n - 1));
    return writeFile(folder + QStringLiteral("site.ksd"), encodeStrict(ksd, TextEncoding::Cp932).value());
}

bool generate(const QString &dir, int pages = pageCount, bool allOpen = false)
{
    QDir().mkpath(dir);
    const QString folder = QDir(dir).absolutePath() + QLatin1Char('/');
    QStringList names;
    for (int n = 1; n <= pages; ++n) {
        names << QStringLiteral("page%1.htm").arg(n);
        if (!writeFile(folder + names.constLast(), makePage(n, pages)))
            return false;
    }
    // A few pages were left open.
    return writeDefinition(folder, names, [allOpen](int n) { return allOpen || n % 200 == 0; });
}

// A site of one open page of about `megabytes` MB in Shift-JIS: short lines of Japanese
// text with a link now and then, about fifty bytes each (a million lines for 50 MB).
bool generateLargePage(const QString &dir, int megabytes)
{
    QDir().mkpath(dir);
    const QString folder = QDir(dir).absolutePath() + QLatin1Char('/');
    const qsizetype bytes = qsizetype(megabytes) << 20;
    QByteArray page = encodeStrict(QStringLiteral("<HTML>\r\n<HEAD><TITLE>大きなページ</TITLE></HEAD>\r\n<BODY>\r\n"),
                                   TextEncoding::Cp932)
                          .value();
    const QByteArray line
        = encodeStrict(QStringLiteral("<P>本文の段落です。これは長いページの一行。</P>\r\n"), TextEncoding::Cp932)
              .value();
    const QByteArray link
        = encodeStrict(QStringLiteral("<P><A HREF=\"page.htm\">次のページへ</A></P>\r\n"), TextEncoding::Cp932).value();
    page.reserve(bytes + line.size());
    for (int n = 1; page.size() < bytes; ++n)
        page += n % 20 == 0 ? link : line;
    page += "</BODY>\r\n</HTML>\r\n";
    return writeFile(folder + QStringLiteral("large.htm"), page)
        && writeDefinition(folder, {QStringLiteral("large.htm")}, [](int) { return true; });
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
    installWindowStyle();
    QMdiArea area;
    openFormArea(area);
    frmTree *tree = showSiteTree(area);
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
    if (argc >= 3 && qstrcmp(argv[1], "large") == 0) {
        const int megabytes = argc > 3 ? std::max(1, atoi(argv[3])) : 50;
        return generateLargePage(QString::fromLocal8Bit(argv[2]), megabytes) ? 0 : 1;
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
