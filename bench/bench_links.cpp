// Checking every reference of a site of 10,000 pages with 30 references each (a third of
// them pictures, a tenth links to anchors, the rest pages, a style sheet with an import,
// a script, a frame and an object) against the site's files on disk, as a process:
// spawned, every page file read once (as opening the site reads it: code page, CR LF text,
// title, the tree's links), then the whole check. Runs warm and with the site's files
// evicted from the kernel's page cache. Peak memory is the child's VmHWM. Each run is also
// made with the pages' texts left out, which checks the tree's links alone, in turns with
// the whole check. Then the child times what a save checks: an ordinary page, and a page
// that links to every page of the site.

#include "BenchSupport.h"
#include "common/TextCodec.h"
#include "tree/PageScan.h"
#include "tree/SiteLinks.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>

namespace {
constexpr int folders = 100;
constexpr int pagesPerFolder = 100;
constexpr int picturesPerFolder = 10;
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

QString pictureName(int i)
{
    return QStringLiteral("pic%1.gif").arg(i % picturesPerFolder);
}

// Page p of folder f: 30 references, each on a line of its own between Japanese prose.
// Pictures (10): a background, six IMG, a SRCSET of two, a STYLE url(); anchors (3): two
// into other pages, one within the page; a style sheet, a script, a frame and an object;
// page links (13): the same folder, other folders, root-relative, a folder, an escaped
// Japanese name, an external address and one missing file.
QString pageText(int f, int p)
{
    const QString prose = QStringLiteral("<P>日本語の文章がここに続きます。サイトの案内と説明です。</P>\r\n");
    const auto other = [](int f, int p) { return QStringLiteral("../%1/%2").arg(folderName(f), pageName(p)); };
    QStringList refs{
        QStringLiteral("<LINK REL=\"stylesheet\" HREF=\"/css/site.css\">"),
        QStringLiteral("<SCRIPT SRC=\"../js/site.js\"></SCRIPT>"),
        QStringLiteral("</HEAD><BODY BACKGROUND=\"%1\">").arg(pictureName(p)),
        QStringLiteral("<H2 ID=\"sec1\">見出し</H2><A NAME=\"part%1\"></A>").arg(p % 7),
    };
    for (int i = 1; i <= 6; ++i)
        refs << QStringLiteral("<IMG SRC=\"%1\" ALT=\"写真\">").arg(pictureName(p + i));
    refs << QStringLiteral("<IMG SRC=\"%1\" SRCSET=\"%2 1x, %3 2x\">")
                .arg(pictureName(p), pictureName(p + 7), pictureName(p + 8));
    refs << QStringLiteral("<DIV STYLE=\"background: url('%1')\">囲み</DIV>").arg(pictureName(p + 9));
    refs << QStringLiteral("<A HREF=\"%1#part%2\">前へ</A>").arg(pageName((p + 1) % pagesPerFolder)).arg((p + 1) % 7);
    refs << QStringLiteral("<A HREF=\"%1#part%2\">別の章</A>").arg(other((f + 1) % folders, p)).arg(p % 7);
    refs << QStringLiteral("<A HREF=\"#sec1\">この章</A>");
    refs << QStringLiteral("<IFRAME SRC=\"%1\"></IFRAME>").arg(pageName((p + 2) % pagesPerFolder));
    refs << QStringLiteral("<OBJECT DATA=\"../media/clip.swf\"></OBJECT>");
    for (int j = 3; j <= 7; ++j)
        refs << QStringLiteral("<A HREF=\"%1\">関連ページ</A>").arg(pageName((p + j) % pagesPerFolder));
    for (int j = 1; j <= 3; ++j)
        refs << QStringLiteral("<A HREF=\"%1?x=1\">他の棚</A>").arg(other((f + j) % folders, (p * j) % pagesPerFolder));
    refs << QStringLiteral("<A HREF=\"/%1/%2\">索引</A>").arg(folderName((f + 7) % folders), pageName(p));
    refs << QStringLiteral("<A HREF=\"../%1/\">棚</A>").arg(folderName((f + 3) % folders));
    refs << QStringLiteral("<A HREF=\"%E8%B3%87%E6%96%99.htm\">資料</A>");
    refs << QStringLiteral("<A HREF=\"http://example.jp/\">外部</A>");
    refs << QStringLiteral("<A HREF=\"missing%1.htm\">未作成</A>").arg(p);
    QString text = QStringLiteral("<HTML><HEAD>\r\n<TITLE>%1 の %2</TITLE>\r\n").arg(folderName(f), pageName(p));
    for (const QString &ref : std::as_const(refs))
        text += ref + QStringLiteral("\r\n") + prose;
    return text + QStringLiteral("</BODY></HTML>\r\n");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Every page, an index page, a Japanese-named page and the pictures in each folder; the
// style sheet (importing another), the script and the object at the site's root.
bool generate(const QString &root)
{
    bool ok = QDir().mkpath(root + QStringLiteral("/css")) && QDir().mkpath(root + QStringLiteral("/js"))
        && QDir().mkpath(root + QStringLiteral("/media"))
        && writeFile(root + QStringLiteral("/css/site.css"),
                     "@import url(\"print.css\");\r\nbody { background: url(../media/paper.gif) }\r\n")
        && writeFile(root + QStringLiteral("/css/print.css"), "h2 { background: url('rule.gif') }\r\n")
        && writeFile(root + QStringLiteral("/css/rule.gif"), "GIF")
        && writeFile(root + QStringLiteral("/media/paper.gif"), "GIF")
        && writeFile(root + QStringLiteral("/media/clip.swf"), "FWS")
        && writeFile(root + QStringLiteral("/js/site.js"), "//");
    for (int f = 0; ok && f < folders; ++f) {
        const QString dir = root + u'/' + folderName(f) + u'/';
        ok = QDir().mkpath(dir) && writeFile(dir + QStringLiteral("index.html"), "<TITLE>x</TITLE>\r\n")
            && writeFile(dir + QStringLiteral("資料.htm"), "<TITLE>x</TITLE>\r\n");
        for (int i = 0; ok && i < picturesPerFolder; ++i)
            ok = writeFile(dir + pictureName(i), "GIF");
        for (int p = 0; ok && p < pagesPerFolder; ++p)
            ok = writeFile(dir + pageName(p), encodeStrict(pageText(f, p), TextEncoding::Cp932).value());
    }
    return ok;
}

// Evicts every file of the site from the kernel's page cache; needs no special rights.
void evict(const QString &root)
{
    QDirIterator files(root, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const int fd = ::open(QFile::encodeName(files.next()).constData(), O_RDONLY);
        if (fd < 0)
            continue;
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

// The child: the page table as opening the site makes it (each page file read once), then
// the whole check; with `linksOnly`, the pages' texts are left out of the check.
int check(const QString &root, bool linksOnly)
{
    QElapsedTimer t;
    t.start();
    QList<basSystem::PageRecord> pages(1);
    pages.reserve(folders * pagesPerFolder + 1);
    for (int f = 0; f < folders; ++f) {
        const QString folder = root + u'/' + folderName(f) + u'/';
        for (int p = 0; p < pagesPerFolder; ++p) {
            PageScan scan = scanPageFile(folder + pageName(p));
            basSystem::PageRecord page;
            page.Folder = folder;
            page.FileName = pageName(p);
            page.Title = std::move(scan.Title);
            page.Links = std::move(scan.Links);
            if (!linksOnly)
                page.Text = std::move(scan.Text);
            pages << page;
        }
    }
    const double made = t.nsecsElapsed() / 1e6;
    const std::clock_t checkStart = std::clock();
    linkCheck::SiteLinks links = linkCheck::checkSite(pages, root + u'/');
    const double checked = t.nsecsElapsed() / 1e6 - made;
    const std::clock_t end = std::clock();
    const double cpu = 1000.0 * double(end) / CLOCKS_PER_SEC;
    const double checkCpu = 1000.0 * double(end - checkStart) / CLOCKS_PER_SEC;
    const double peak = peakMegabytes();
    qsizetype problems = 0;
    for (qint32 p = 1; p < pages.size(); ++p)
        problems += links.problems(p).size();
    const qsizetype broken = links.brokenCount();
    const qsizetype listings = links.listingsRead();
    const qsizetype sheets = links.styleSheets().size();
    // Then what a save checks: an ordinary page, and a page that links to every page.
    const auto timeSave = [&](qint32 page) {
        QElapsedTimer save;
        save.start();
        links.pageSaved(pages, page);
        return save.nsecsElapsed() / 1e6;
    };
    const double ordinary = timeSave(qint32(pages.size() / 2));
    pages[1].Links = QStringList{QString()};
    pages[1].Text.clear();
    for (int f = 0; f < folders; ++f) {
        for (int p = 0; p < pagesPerFolder; ++p) {
            pages[1].Links << QStringLiteral("../") + folderName(f) + u'/' + pageName(p);
            if (!linksOnly)
                pages[1].Text += QStringLiteral("<A HREF=\"%1\">頁</A>\r\n").arg(pages[1].Links.constLast());
        }
    }
    const double linkingAll = timeSave(1);
    std::printf("%.1f %.1f %lld %lld %lld %lld %.1f %.0f %.0f %.2f %.2f\n", made, checked, qlonglong(broken),
                qlonglong(problems), qlonglong(listings), qlonglong(sheets), peak, cpu, checkCpu, ordinary, linkingAll);
    std::fflush(stdout);
    std::_Exit(0);
}

struct Run {
    double wallMs = 0;
    // table made, check, broken tree links, reference problems, listings, style sheets
    // read, peak MB, processor ms, the check's processor ms; then a save of an ordinary
    // page, and of a page linking to every page
    QList<QByteArray> figures;
};

std::optional<Run> spawn(const QString &root, bool linksOnly)
{
    QProcess child;
    QElapsedTimer wall;
    wall.start();
    child.start(QCoreApplication::applicationFilePath(),
                {linksOnly ? QStringLiteral("links") : QStringLiteral("check"), root});
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return std::nullopt;
    return Run{wall.nsecsElapsed() / 1e6, child.readAllStandardOutput().trimmed().split(' ')};
}

double figureOf(const Run &run, int figure)
{
    return run.figures.value(figure).toDouble();
}

double medianOf(QList<Run> runs, int figure)
{
    std::sort(runs.begin(), runs.end(),
              [figure](const Run &a, const Run &b) { return figureOf(a, figure) < figureOf(b, figure); });
    return figureOf(runs.at(runs.size() / 2), figure);
}

double bestOf(const QList<Run> &runs, int figure)
{
    return figureOf(
        *std::min_element(runs.cbegin(), runs.cend(),
                          [figure](const Run &a, const Run &b) { return figureOf(a, figure) < figureOf(b, figure); }),
        figure);
}

void report(const char *what, QList<Run> runs)
{
    if (runs.isEmpty()) {
        std::printf("%-34s not measured\n", what);
        return;
    }
    std::sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.wallMs < b.wallMs; });
    const Run &m = runs.at(runs.size() / 2);
    std::printf("%-34s median %.0f ms spawn to exit (best %.0f, worst %.0f, %lld runs); pages read %.0f ms, check "
                "%.0f ms (best %.0f; processor %.0f ms, best %.0f); %s broken tree links, %s reference problems, "
                "%s listings, %s style sheets read; peak %s MB; processor time %s ms; then a save checks an "
                "ordinary page in %.2f ms, a page linking to every page in %.2f ms\n",
                what, m.wallMs, runs.constFirst().wallMs, runs.constLast().wallMs, qlonglong(runs.size()),
                medianOf(runs, 0), medianOf(runs, 1), bestOf(runs, 1), medianOf(runs, 8), bestOf(runs, 8),
                m.figures.value(2).constData(), m.figures.value(3).constData(), m.figures.value(4).constData(),
                m.figures.value(5).constData(), m.figures.value(6).constData(), m.figures.value(7).constData(),
                medianOf(runs, 9), medianOf(runs, 10));
}

QByteArray loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed() : QByteArray("?");
}
}   // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && (qstrcmp(argv[1], "check") == 0 || qstrcmp(argv[1], "links") == 0))
        return check(QString::fromLocal8Bit(argv[2]), qstrcmp(argv[1], "links") == 0);
    // `generate DIR` only writes the site, for a profiler's runs of `check DIR`.
    if (argc == 3 && qstrcmp(argv[1], "generate") == 0)
        return generate(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("site"));
    if (!generate(root)) {
        std::fprintf(stderr, "could not write the site\n");
        return 1;
    }
    std::printf("reference check, %d pages x 30 references, %d folders on disk (goal: check < 500 ms warm); "
                "load average %s\n",
                folders * pagesPerFolder, folders, loadAverage().constData());
    spawn(root, false);   // fills the caches
    QList<Run> warm, linksOnly, cold;
    for (int i = 0; i < warmRuns; ++i) {
        if (const auto run = spawn(root, false))
            warm << *run;
        if (const auto run = spawn(root, true))
            linksOnly << *run;
    }
    for (int i = 0; i < coldRuns; ++i) {
        evict(root);
        if (const auto run = spawn(root, false))
            cold << *run;
    }
    report("warm", warm);
    report("warm, the tree's links alone", linksOnly);
    report("site's files evicted", cold);
    std::printf("load average after: %s\n", loadAverage().constData());
    return warm.isEmpty() ? 1 : 0;
}
