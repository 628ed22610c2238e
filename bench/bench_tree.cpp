// One scroll step of the site tree on a site of 10,000 pages with 30 links each: DrawTree
// from a start index, then painting one screen of the picture box, offscreen. The pages
// lie in a folder that does not exist, so every link is checked as broken and drawn red.

#include "BenchSupport.h"
#include "app/basSystem.h"
#include "platform/KForm.h"
#include "tree/TreeView.h"
#include "tree/frmTree.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMdiArea>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[])
{
    useOffscreenUnlessSet();
    QApplication app(argc, argv);
    QMdiArea area;
    openFormArea(area);
    basSystem::gTreeWinWidth = 3210;
    basSystem::gTreeWinHeight = 8430;

    constexpr int pages = 10000;
    constexpr int links = 30;
    for (int i = 1; i <= pages; ++i) {
        basSystem::PageRecord p;
        p.Title = QStringLiteral("ページ %1 の題名").arg(i);
        p.FileName = QStringLiteral("page%1.htm").arg(i);
        p.Folder = QStringLiteral("/nonexistent-pagekiln-bench/");
        p.Links = QStringList{QString()};
        for (int j = 1; j <= links; ++j)
            p.Links << QStringLiteral("dir/page%1.htm#part%2").arg((i + j) % pages + 1).arg(j);
        basSystem::addPage(p, nullptr);
    }
    auto *tree = new frmTree(&area);
    tree->Show();
    QElapsedTimer checking;
    checking.start();
    tree->checkLinks();
    while (tree->linkChecker().isChecking())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("link check (every link broken): %.1f ms, %lld broken links marked\n", checking.nsecsElapsed() / 1e6,
                qlonglong(tree->linkChecker().links()->brokenCount()));
    QApplication::processEvents();
    TreeView *pic = tree->picTre();
    QImage screen(pic->size(), QImage::Format_ARGB32_Premultiplied);

    auto step = [&](qint32 start) {
        QElapsedTimer t;
        t.start();
        tree->DrawTree(start);
        QPainter painter(&screen);
        pic->render(&painter);
        return t.nsecsElapsed() / 1e6;
    };

    std::printf("scroll step = DrawTree(start) + painting one screen (%dx%d px); %d pages x %d links\n", pic->width(),
                pic->height(), pages, links);
    for (const qint32 start : {1, 2, 5000, 9999, 10000}) {
        double best = 1e300;
        for (int r = 0; r < 5; ++r)
            best = std::min(best, step(start));
        std::printf("  start %5d: %.3f ms (rows drawn %lld)\n", start, best, qlonglong(tree->tree().rowCount()));
    }
    QRandomGenerator random(7);
    double worst = 0;
    double sum = 0;
    constexpr int steps = 200;
    for (int r = 0; r < steps; ++r) {
        const double ms = step(qint32(random.bounded(1, pages + 1)));
        worst = std::max(worst, ms);
        sum += ms;
    }
    std::printf("  %d random starts: mean %.3f ms, worst %.3f ms (goal < 5 ms per step)\n", steps, sum / steps, worst);
    return 0;
}
