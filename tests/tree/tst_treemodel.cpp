#include "app/basSystem.h"
#include "tree/TreeModel.h"
#include "support/TestMain.h"

#include <QtTest>

using basSystem::PageRecord;

class tst_treemodel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void onePageWithThreeLinks();
    void twoPagesWithTwoLinks();
    void startAtTheLastPage();
    void startBeyondTheLastPage();
    void noPages();
    void columnsFollowTheSplitter_data();
    void columnsFollowTheSplitter();
    void narrowSplitterKeepsTheTemplateWidth();
    void untitledPageAndPageWithoutLinkList();
    void moreThan99Links();
    void pagesPast327();
    void pagesPast32767();
    void rowsAndHits();
    void redrawingAPageDrawsAsAnew_data();
    void redrawingAPageDrawsAsAnew();
};

namespace {
PageRecord page(const QString &title, const QString &fileName, int links)
{
    PageRecord p;
    p.Title = title;
    p.FileName = fileName;
    p.Links = QStringList{QString()};
    for (int j = 1; j <= links; ++j)
        p.Links << QStringLiteral("%1-link%2").arg(fileName).arg(j);
    return p;
}

// A page table of `n` pages with `links` links each, placeholder at index 0.
QList<PageRecord> table(int n, int links)
{
    QList<PageRecord> pages{PageRecord{}};
    for (int i = 1; i <= n; ++i)
        pages << page(QStringLiteral("Title %1").arg(i), QStringLiteral("p%1.htm").arg(i), links);
    return pages;
}

struct Placed {
    qint32 index;
    qint64 left;
    qint64 top;
    QString caption;
};

Placed placed(const std::optional<TreeLabel> &l)
{
    return l ? Placed{l->index, l->left, l->top, l->caption} : Placed{-2, 0, 0, QString()};
}
}   // namespace

void tst_treemodel::onePageWithThreeLinks()
{
    QList<PageRecord> pages = table(1, 3);
    TreeModel m;
    m.draw(pages, 1, 780, 75);
    QCOMPARE(pages.at(1).TreeTop, 60);
    QCOMPARE(m.titleCount(), 1);
    QCOMPARE(m.rightCount(), 4);

    const auto title = m.lblHTML(1);
    QVERIFY(title);
    QCOMPARE(title->top, 60);
    QCOMPARE(title->left, 60);
    QCOMPARE(title->width, 660);
    QCOMPARE(title->caption, QStringLiteral("Title 1"));
    QVERIFY(title->grey);

    const auto name = m.lblLink(100);
    QVERIFY(name);
    QCOMPARE(name->top, 60);
    QCOMPARE(name->left, 915);
    QCOMPARE(name->caption, QStringLiteral("p1.htm"));
    QVERIFY(name->grey);
    for (int j = 1; j <= 3; ++j) {
        const auto link = m.lblLink(100 + j);
        QVERIFY(link);
        QCOMPARE(link->top, 60 + 300 * j);
        QCOMPARE(link->left, 915);
        QCOMPARE(link->caption, QStringLiteral("p1.htm-link%1").arg(j));
        QVERIFY(!link->grey);
    }
    QVERIFY(!m.lblLink(104));
    QVERIFY(!m.lblHTML(2));
}

void tst_treemodel::twoPagesWithTwoLinks()
{
    QList<PageRecord> pages = table(2, 2);
    TreeModel m;
    m.draw(pages, 1, 780, 75);
    const QList<std::pair<qint32, qint64>> expected{{100, 60},  {101, 360},  {102, 660},
                                                    {200, 960}, {201, 1260}, {202, 1560}};
    for (const auto &[index, top] : expected) {
        const Placed p = placed(m.lblLink(index));
        QCOMPARE(p.index, index);
        QCOMPARE(p.top, top);
    }
    QCOMPARE(m.lblHTML(2)->top, 960);
    QCOMPARE(pages.at(1).TreeTop, 60);
    QCOMPARE(pages.at(2).TreeTop, 960);
    for (qint64 row = 0; row < m.rowCount(); ++row)
        QCOMPARE(m.rightOnRow(row)->index, expected.at(row).first);
}

void tst_treemodel::startAtTheLastPage()
{
    QList<PageRecord> pages = table(3, 2);
    TreeModel m;
    m.draw(pages, 1, 780, 75);
    m.draw(pages, 3, 780, 75);
    QCOMPARE(m.titleCount(), 1);
    QCOMPARE(m.rowCount(), 3);
    QCOMPARE(m.lblHTML(3)->top, 60);
    QCOMPARE(m.lblLink(300)->top, 60);
    QCOMPARE(m.lblLink(302)->top, 660);
    QVERIFY(!m.lblHTML(1));
    QVERIFY(!m.lblLink(100));
    QCOMPARE(pages.at(3).TreeTop, 60);
    QCOMPARE(pages.at(2).TreeTop, 960);   // kept from the drawing before
}

void tst_treemodel::startBeyondTheLastPage()
{
    QList<PageRecord> pages = table(3, 2);
    TreeModel m;
    m.draw(pages, 1, 780, 75);
    m.draw(pages, 4, 780, 75);
    QCOMPARE(m.titleCount(), 0);
    QCOMPARE(m.rowCount(), 0);
    QVERIFY(m.lblHTML(0));   // the templates stay
    QVERIFY(m.lblLink(0));
    QVERIFY(!m.titleOnRow(0));
}

void tst_treemodel::noPages()
{
    QList<PageRecord> pages{PageRecord{}};
    TreeModel m;
    m.draw(pages, 1, 780, 75);
    QCOMPARE(m.rowCount(), 0);
    QVERIFY(!m.lblHTML(1));
}

void tst_treemodel::columnsFollowTheSplitter_data()
{
    QTest::addColumn<int>("splitLeft");
    QTest::addColumn<int>("titleWidth");
    QTest::addColumn<int>("rightLeft");
    QTest::newRow("designed") << 780 << 660 << 915;
    QTest::newRow("1500") << 1500 << 1380 << 1635;
    QTest::newRow("120") << 120 << 0 << 255;
    QTest::newRow("119 keeps the width") << 119 << 1380 << 254;
}

void tst_treemodel::columnsFollowTheSplitter()
{
    QFETCH(int, splitLeft);
    QFETCH(int, titleWidth);
    QFETCH(int, rightLeft);
    QList<PageRecord> pages = table(2, 1);
    TreeModel m;
    m.draw(pages, 1, 1500, 75);
    m.align(splitLeft, 75);
    QCOMPARE(m.lblHTML(2)->width, titleWidth);
    QCOMPARE(m.lblHTML(0)->width, splitLeft >= 120 ? titleWidth : 150);   // the drawing left it as designed
    QCOMPARE(m.lblLink(201)->left, rightLeft);
    QCOMPARE(m.lblLink(0)->left, rightLeft);
    QCOMPARE(m.lblHTML(1)->left, 60);
}

void tst_treemodel::narrowSplitterKeepsTheTemplateWidth()
{
    QList<PageRecord> pages = table(1, 0);
    TreeModel m;
    m.draw(pages, 1, 100, 75);
    QCOMPARE(m.lblHTML(1)->width, 150);   // the template's own width
    QCOMPARE(m.lblLink(100)->left, 235);
    m.align(500, 75);   // a drag sets the template too
    m.align(90, 75);
    m.draw(pages, 1, 90, 75);
    QCOMPARE(m.lblHTML(1)->width, 380);
    QCOMPARE(m.lblLink(100)->left, 225);
}

void tst_treemodel::untitledPageAndPageWithoutLinkList()
{
    QList<PageRecord> pages{PageRecord{}, PageRecord{}, page(QStringLiteral("B"), QStringLiteral("b.htm"), 1)};
    TreeModel m;
    m.draw(pages, 1, 780, 75);
    QCOMPARE(m.lblHTML(1)->caption, QString());
    QVERIFY(m.lblHTML(1)->grey);
    QCOMPARE(m.lblLink(100)->caption, QString());
    QCOMPARE(m.lblHTML(2)->top, 360);
    QCOMPARE(m.rowCount(), 3);
}

void tst_treemodel::moreThan99Links()
{
    QList<PageRecord> pages = table(2, 1);
    pages[1] = page(QStringLiteral("Many"), QStringLiteral("many.htm"), 120);
    TreeModel m;
    m.draw(pages, 1, 780, 75);
    QCOMPARE(m.rowCount(), 121 + 2);
    QCOMPARE(m.lblLink(199)->caption, QStringLiteral("many.htm-link99"));
    // Links 100 on have no index of their own; they are drawn all the same.
    const auto link100 = m.rightOnRow(100);
    QCOMPARE(link100->index, -1);
    QCOMPARE(link100->caption, QStringLiteral("many.htm-link100"));
    QCOMPARE(link100->top, 60 + 300 * 100);
    QCOMPARE(m.rightOnRow(120)->caption, QStringLiteral("many.htm-link120"));
    // Index 200 stays the second page's file-name label.
    QCOMPARE(m.lblLink(200)->caption, QStringLiteral("p2.htm"));
    QCOMPARE(m.lblLink(200)->top, 60 + 300 * 121);
    QCOMPARE(pages.at(2).TreeTop, 60 + 300 * 121);
}

void tst_treemodel::pagesPast327()
{
    QList<PageRecord> pages = table(330, 1);
    TreeModel m;
    m.draw(pages, 1, 780, 75);
    QCOMPARE(m.lblLink(32700)->caption, QStringLiteral("p327.htm"));
    QCOMPARE(m.lblLink(32701)->caption, QStringLiteral("p327.htm-link1"));
    QVERIFY(!m.lblLink(32767));
    QCOMPARE(m.lblHTML(330)->caption, QStringLiteral("Title 330"));
    const auto name328 = m.rightOnRow(2 * 327);
    QCOMPARE(name328->caption, QStringLiteral("p328.htm"));
    QCOMPARE(name328->index, -1);
    QCOMPARE(name328->page, 328);
    QCOMPARE(m.rightOnRow(2 * 330 - 1)->caption, QStringLiteral("p330.htm-link1"));
}

void tst_treemodel::pagesPast32767()
{
    QList<PageRecord> pages = table(32770, 0);
    TreeModel m;
    m.draw(pages, 32760, 780, 75);
    QCOMPARE(m.lblHTML(32767)->caption, QStringLiteral("Title 32767"));
    const auto title = m.titleOnRow(9);
    QCOMPARE(title->caption, QStringLiteral("Title 32769"));
    QCOMPARE(title->index, -1);
    QCOMPARE(title->page, 32769);
    QCOMPARE(pages.at(32770).TreeTop, 60 + 300 * 10);
}

void tst_treemodel::rowsAndHits()
{
    QList<PageRecord> pages = table(2, 1);
    TreeModel m;
    m.draw(pages, 1, 780, 75);
    QCOMPARE(m.rowAt(60), 0);
    QCOMPARE(m.rowAt(299), 0);
    QCOMPARE(m.rowAt(300), std::nullopt);   // between rows
    QCOMPARE(m.rowAt(360), 1);
    QCOMPARE(m.rowAt(59), std::nullopt);
    QCOMPARE(m.rowAt(60 + 300 * 4), std::nullopt);
    QVERIFY(m.titleOnRow(0));
    QVERIFY(!m.titleOnRow(1));
    QCOMPARE(m.titleOnRow(2)->page, 2);
}

// A saved page's texts taken again give the drawing that drawing anew from the same start
// gives: every row's labels, the row count and every page's TreeTop.
void tst_treemodel::redrawingAPageDrawsAsAnew_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("changed");
    QTest::addColumn<int>("links");
    QTest::newRow("title only") << 1 << 2 << 2;
    QTest::newRow("more links") << 1 << 2 << 5;
    QTest::newRow("no links left") << 1 << 2 << 0;
    QTest::newRow("the last page") << 1 << 4 << 3;
    QTest::newRow("the first drawn page") << 2 << 2 << 1;
    QTest::newRow("a page above the drawing") << 3 << 1 << 6;
}

void tst_treemodel::redrawingAPageDrawsAsAnew()
{
    QFETCH(int, start);
    QFETCH(int, changed);
    QFETCH(int, links);
    QList<PageRecord> redrawn = table(4, 2);
    QList<PageRecord> drawn = redrawn;
    TreeModel m;
    m.draw(redrawn, start, 780, 75);
    const PageRecord saved = page(QStringLiteral("New title"), QStringLiteral("new.htm"), links);
    const auto save = [&saved, changed](QList<PageRecord> &pages) {
        pages[changed].Title = saved.Title;
        pages[changed].FileName = saved.FileName;
        pages[changed].Links = saved.Links;
    };
    save(redrawn);
    m.redrawPage(redrawn, changed);
    save(drawn);
    TreeModel anew;
    anew.draw(drawn, start, 780, 75);
    QCOMPARE(m.rowCount(), anew.rowCount());
    for (qint64 row = 0; row < anew.rowCount(); ++row) {
        QCOMPARE(placed(m.titleOnRow(row)).caption, placed(anew.titleOnRow(row)).caption);
        QCOMPARE(placed(m.rightOnRow(row)).caption, placed(anew.rightOnRow(row)).caption);
        QCOMPARE(placed(m.rightOnRow(row)).index, placed(anew.rightOnRow(row)).index);
        QCOMPARE(placed(m.rightOnRow(row)).top, placed(anew.rightOnRow(row)).top);
    }
    for (int i = start; i <= 4; ++i)
        QCOMPARE(redrawn.at(i).TreeTop, drawn.at(i).TreeTop);
}

PAGEKILN_TEST_MAIN(tst_treemodel)
#include "tst_treemodel.moc"
