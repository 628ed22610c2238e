// Checking every link of a site of 10,000 pages with 30 links each against the site's
// files on disk, as a process: spawned, the page table made, every link resolved and
// looked up, the result counted. Runs warm (the folders' listings in the kernel's caches
// after a first run) and with the page cache dropped where the kernel lets us. Peak
// memory is the child's VmHWM. Then the child times what a save checks: an ordinary page,
// and a page that links to every page of the site.

#include "BenchSupport.h"
#include "tree/SiteLinks.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>

namespace {
constexpr int folders = 100;
constexpr int pagesPerFolder = 100;
constexpr int warmRuns = 5;
constexpr int coldRuns = 3;

QString folderName(int f)
{
    return QStringLiteral("d%1").arg(f, 2, 10, QLatin1Char('0'));
}

QString pageName(int p)
{
    return QStringLiteral("page%1.htm").arg(p, 3, 10, QLatin1Char('0'));
}

// Every page, an index page and a Japanese-named page in each folder.
bool generate(const QString &root)
{
    for (int f = 0; f < folders; ++f) {
        const QString dir = root + u'/' + folderName(f) + u'/';
        if (!QDir().mkpath(dir))
            return false;
        QStringList names{QStringLiteral("index.html"), QStringLiteral("資料.htm")};
        for (int p = 0; p < pagesPerFolder; ++p)
            names << pageName(p);
        for (const QString &name : std::as_const(names)) {
            QFile file(dir + name);
            if (!file.open(QIODevice::WriteOnly) || file.write("<TITLE>x</TITLE>\r\n") < 0)
                return false;
        }
    }
    return true;
}

// The texts the links are made of, each made once, as a site's pages share their links.
struct Names {
    QStringList folders, pages, pagesWithPart, folderLinks, missing;
    QString escaped = QStringLiteral("%E8%B3%87%E6%96%99.htm");
    QString external = QStringLiteral("http://example.jp/");
    Names()
    {
        for (int i = 0; i < 100; ++i) {
            folders << folderName(i);
            pages << pageName(i);
            pagesWithPart << pageName(i) + QStringLiteral("#part");
            folderLinks << QStringLiteral("../") + folderName(i) + u'/';
            missing << QStringLiteral("missing") + QString::number(i) + QStringLiteral(".htm");
        }
    }
};

// The links of page p of folder f: same folder, other folders, root-relative, a folder,
// an escaped Japanese name, an external address and one missing file.
QStringList linksOf(const Names &n, int f, int p)
{
    QStringList links{QString()};
    links.reserve(31);
    for (int j = 1; j <= 20; ++j)
        links << (j % 4 == 0 ? n.pagesWithPart : n.pages).at((p + j) % pagesPerFolder);
    for (int j = 1; j <= 5; ++j)
        links << QStringLiteral("../") + n.folders.at((f + j) % folders) + u'/' + n.pages.at((p * j) % pagesPerFolder)
                + QStringLiteral("?x=1");
    links << u'/' + n.folders.at((f + 7) % folders) + u'/' + n.pages.at(p);
    links << n.folderLinks.at((f + 3) % folders);
    links << n.escaped << n.external << n.missing.at(p);
    return links;
}

// The child: the page table as a read site holds it, then the check.
int check(const QString &root)
{
    QElapsedTimer t;
    t.start();
    const Names names;
    QList<basSystem::PageRecord> pages(1);
    pages.reserve(folders * pagesPerFolder + 1);
    for (int f = 0; f < folders; ++f) {
        const QString folder = root + u'/' + names.folders.at(f) + u'/';
        for (int p = 0; p < pagesPerFolder; ++p) {
            basSystem::PageRecord page;
            page.Folder = folder;
            page.FileName = names.pages.at(p);
            page.Links = linksOf(names, f, p);
            pages << page;
        }
    }
    const double made = t.nsecsElapsed() / 1e6;
    linkCheck::SiteLinks links = linkCheck::checkSite(pages, root + u'/');
    const double checked = t.nsecsElapsed() / 1e6 - made;
    const double cpu = 1000.0 * double(std::clock()) / CLOCKS_PER_SEC;
    const double peak = peakMegabytes();
    const qsizetype broken = links.brokenCount();
    // Then what a save checks: an ordinary page, and a page that links to every page.
    const auto timeSave = [&](qint32 page) {
        QElapsedTimer save;
        save.start();
        links.pageSaved(pages, page);
        return save.nsecsElapsed() / 1e6;
    };
    const double ordinary = timeSave(qint32(pages.size() / 2));
    pages[1].Links = QStringList{QString()};
    for (int f = 0; f < folders; ++f)
        for (int p = 0; p < pagesPerFolder; ++p)
            pages[1].Links << QStringLiteral("../") + names.folders.at(f) + u'/' + names.pages.at(p);
    const double linkingAll = timeSave(1);
    std::printf("%.1f %.1f %lld %lld %.1f %.0f %.2f %.2f\n", made, checked, qlonglong(broken),
                qlonglong(links.listingsRead()), peak, cpu, ordinary, linkingAll);
    std::fflush(stdout);
    std::_Exit(0);
}

struct Run {
    double wallMs = 0;
    // table made, check, broken links, listings, peak MB, processor ms; then a save of an
    // ordinary page, and of a page linking to every page
    QList<QByteArray> figures;
};

std::optional<Run> spawn(const QString &root)
{
    QProcess child;
    QElapsedTimer wall;
    wall.start();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("check"), root});
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return std::nullopt;
    return Run{wall.nsecsElapsed() / 1e6, child.readAllStandardOutput().trimmed().split(' ')};
}

void report(const char *what, QList<Run> runs)
{
    if (runs.isEmpty()) {
        std::printf("%-28s not measured\n", what);
        return;
    }
    std::sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.wallMs < b.wallMs; });
    const Run &m = runs.at(runs.size() / 2);
    std::printf("%-28s median %.0f ms spawn to exit (best %.0f, worst %.0f, %lld runs); table %s ms, check %s ms; "
                "%s broken, %s listings; peak %s MB; processor time %s ms; then a save checks an ordinary page in "
                "%s ms, a page linking to every page in %s ms\n",
                what, m.wallMs, runs.constFirst().wallMs, runs.constLast().wallMs, qlonglong(runs.size()),
                m.figures.value(0).constData(), m.figures.value(1).constData(), m.figures.value(2).constData(),
                m.figures.value(3).constData(), m.figures.value(4).constData(), m.figures.value(5).constData(),
                m.figures.value(6).constData(), m.figures.value(7).constData());
}
}   // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "check") == 0)
        return check(QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("site"));
    if (!generate(root)) {
        std::fprintf(stderr, "could not write the site\n");
        return 1;
    }
    std::printf("link check, %d pages x 30 links, %d folders on disk (goal < 500 ms)\n", folders * pagesPerFolder,
                folders);
    spawn(root);   // fills the caches
    QList<Run> warm, cold;
    for (int i = 0; i < warmRuns; ++i)
        if (const auto run = spawn(root))
            warm << *run;
    for (int i = 0; i < coldRuns && dropPageCache(); ++i)
        if (const auto run = spawn(root))
            cold << *run;
    report("warm", warm);
    report("cold page cache (root only)", cold);
    return warm.isEmpty() ? 1 : 0;
}
