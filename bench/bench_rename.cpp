// Renaming a page that every other page of a 10,000-page site links to (100 folders of 100
// pages, 30 links each: 300,000 links, 10,000 of them to the renamed page), as a process:
// spawned, the site opened as the open command opens it and its links checked, then the
// page renamed and moved into another folder through the rename dialog. Timed: from the
// command to the dialog's list of changes shown, and from 変更 to the rename applied (the
// file moved, the definition and every editor changed, the tree drawn). Peak memory is the
// child's VmHWM, once the site is open and once the rename is done. Runs warm and with the
// site's files evicted from the kernel's page cache.
//
//   bench_rename              generates the site in a temporary folder and runs the children
//   bench_rename generate DIR only generates the site into DIR
//   bench_rename child DIR    opens DIR/site.ksd, renames the page and prints its figures

#include "BenchSupport.h"
#include "BenchTree.h"
#include "app/basSystem.h"
#include "common/TextCodec.h"
#include "platform/ScriptedPlatform.h"
#include "platform/WindowStyle.h"
#include "tree/frmRename.h"
#include "tree/frmTree.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {
constexpr int folders = 100;
constexpr int pagesPerFolder = 100;
constexpr int warmRuns = 2;
constexpr int coldRuns = 1;
const QString renamed = QStringLiteral("d00/page000.htm");
const QString newFolder = QStringLiteral("d01/");
const QString newName = QStringLiteral("改名したページ.htm");

QString folderName(int f)
{
    return QStringLiteral("d%1").arg(f, 2, 10, QLatin1Char('0'));
}

QString pageName(int p)
{
    return QStringLiteral("page%1.htm").arg(p, 3, 10, QLatin1Char('0'));
}

// Page p of folder f: a style sheet, 28 links to pages of its own folder and others, and
// one to the renamed page (relative, root-relative or from its own folder).
QString pageText(int f, int p)
{
    QString text = QStringLiteral("<HTML>\r\n<HEAD><TITLE>ページ %1-%2</TITLE>\r\n"
                                  "<LINK REL=\"stylesheet\" HREF=\"/css/site.css\"></HEAD>\r\n<BODY>\r\n")
                       .arg(f)
                       .arg(p);
    const QString prose = QStringLiteral("<P>日本語の文章がここに続きます。</P>\r\n");
    for (int j = 1; j <= 28; ++j) {
        const QString href = j % 2 ? pageName((p + j) % pagesPerFolder)
                                   : QStringLiteral("../%1/%2").arg(folderName((f + j) % folders), pageName(p));
        text += QStringLiteral("<A HREF=\"%1\">関連 %2</A>\r\n").arg(href).arg(j) + prose;
    }
    const QString toRenamed
        = f == 0 ? pageName(0) : QString((p % 3 ? QStringLiteral("../") : QStringLiteral("/")) + renamed);
    text += QStringLiteral("<A HREF=\"%1#top\">目次</A>\r\n</BODY>\r\n</HTML>\r\n").arg(toRenamed);
    return text;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool generate(const QString &dir)
{
    QString ksd = QStringLiteral("[KSD INF]\r\nVER=Velmoran HTML Editor Ver 0.0\r\nPNM=改名のベンチマーク\r\n"
                                 "DIR=%1\r\nURL=\r\n[HTML LIST]\r\nCNT=%2\r\n")
                      .arg(dir)
                      .arg(folders * pagesPerFolder);
    QDir().mkpath(dir + QStringLiteral("css"));
    writeFile(dir + QStringLiteral("css/site.css"), "body { color: black }\r\n");
    int n = 0;
    for (int f = 0; f < folders; ++f) {
        const QString folder = dir + folderName(f) + u'/';
        QDir().mkpath(folder);
        for (int p = 0; p < pagesPerFolder; ++p) {
            if (!writeFile(folder + pageName(p), encodeStrict(pageText(f, p), TextEncoding::Cp932).value()))
                return false;
            ksd += QStringLiteral("%1=0*%2*%3\r\n").arg(++n, 3, 10, QLatin1Char('0')).arg(folder, pageName(p));
        }
    }
    return writeFile(dir + QStringLiteral("site.ksd"), encodeStrict(ksd, TextEncoding::Cp932).value());
}

// The processor time of the whole process (every thread), in ms: on a loaded machine the
// wall time of a step is what the user waits for, this is what it costs.
double processMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void waitForLinkCheck(const frmTree &tree)
{
    while (tree.linkChecker().isChecking()) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
}

int child(int argc, char *argv[], const QString &dir)
{
    QElapsedTimer total;
    total.start();
    QApplication app(argc, argv);
    installWindowStyle();
    ScriptedPlatform platform;
    QMdiArea area;
    openFormArea(area);
    frmTree *tree = showSiteTree(area);
    if (!tree->openDefinition(dir + QStringLiteral("site.ksd")))
        return 1;
    waitForLinkCheck(*tree);
    QApplication::processEvents();
    const double openMs = msSince(total);
    const double openPeak = peakMegabytes();

    QElapsedTimer step;
    double cpu = 0;
    double listCpu = 0;
    double listMs = 0;
    qsizetype rows = 0;
    platform.modalActions.enqueue([&](QDialog &dialog) {
        auto &rename = static_cast<frmRename &>(dialog);
        // The dialog opens on the page's own place: the new one is typed as one change.
        rename.txtFolder()->setText(QDir::toNativeSeparators(dir + newFolder));
        rename.txtName()->setText(newName);
        QEventLoop listed;
        QObject::connect(&rename, &frmRename::planShown, &listed, &QEventLoop::quit);
        if (rename.isPlanning())
            listed.exec();
        rename.repaint();
        listMs = msSince(step);
        listCpu = processMs() - cpu;
        rows = rename.changes().rowCount();
        step.restart();
        cpu = processMs();
        rename.cmdApply()->click();
    });
    step.start();
    cpu = processMs();
    tree->renamePage(1);
    tree->repaint();
    const double applyMs = msSince(step);
    const double applyCpu = processMs() - cpu;
    const bool moved = QFile::exists(dir + newFolder + newName);
    waitForLinkCheck(*tree);
    const double renamePeak = peakMegabytes();

    std::printf("  site open and checked %.0f ms, VmHWM %.1f MB\n"
                "  list of %lld changes shown %.1f ms (processor %.1f ms)\n"
                "  rename applied %.1f ms (processor %.1f ms)%s\n"
                "  VmHWM after the rename and its link check %.1f MB (+%.1f MB)\n",
                openMs, openPeak, qlonglong(rows), listMs, listCpu, applyMs, applyCpu, moved ? "" : " (NOT MOVED)",
                renamePeak, renamePeak - openPeak);
    std::fflush(stdout);
    std::_Exit(moved && platform.messages.isEmpty() ? 0 : 1);
}

bool runChild(const QString &dir)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("child"), dir});
    const bool ok = child.waitForFinished(600000) && child.exitCode() == 0;
    // The page goes back for the next run; the other pages' files were not written.
    QFile::rename(dir + newFolder + newName, dir + renamed);
    return ok;
}
}   // namespace

int main(int argc, char *argv[])
{
    useOffscreenUnlessSet();
    if (argc >= 3 && qstrcmp(argv[1], "child") == 0)
        return child(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (argc >= 3 && qstrcmp(argv[1], "generate") == 0)
        return generate(QDir(QString::fromLocal8Bit(argv[2])).absolutePath() + u'/') ? 0 : 1;
    QCoreApplication app(argc, argv);
    QTemporaryDir temp;
    const QString dir = temp.path() + u'/';
    if (!generate(dir)) {
        std::fprintf(stderr, "could not write the site\n");
        return 1;
    }
    std::printf("bench_rename: %d pages, %d links, %d to the renamed page\n", folders * pagesPerFolder,
                folders * pagesPerFolder * 30, folders * pagesPerFolder);
    bool ok = true;
    for (int run = 1; run <= warmRuns; ++run) {
        std::printf("warm run %d:\n", run);
        std::fflush(stdout);
        ok = runChild(dir) && ok;
    }
    for (int run = 1; run <= coldRuns; ++run) {
        std::printf("cold run %d%s:\n", run, dropPageCache() ? "" : " (page cache NOT dropped: not root)");
        std::fflush(stdout);
        ok = runChild(dir) && ok;
    }
    return ok ? 0 : 1;
}
