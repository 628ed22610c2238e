// Links written anew when a file or the page they stand in moves, and the plan of a move
// over a site on disk: what changes, what stays, what is listed as already broken.

#include "support/TestEnv.h"
#include "tree/LinkMove.h"
#include "tree/RenamePlan.h"
#include "support/TestMain.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace linkMove;
using namespace Qt::StringLiterals;

class tst_linkmove : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rewrite_data();
    void rewrite();
    void everyRewriteLeadsToItsTarget();
    void planOverASite();
    void planOfAStyleSheetAndAFolderLink();
};

void tst_linkmove::rewrite_data()
{
    QTest::addColumn<QString>("from");   // the folder the link is read from after the move
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("target");   // where it must lead after the move
    QTest::addColumn<bool>("css");
    QTest::addColumn<QString>("expected");   // empty: left as it is

    const QString sub = u"/site/sub"_s;
    const auto row
        = [](const char *name, const QString &from, const QString &link, const QString &target, const QString &expected,
             bool css = false) { QTest::newRow(name) << from << link << target << css << expected; };
    // Renamed in its folder, linked from the same folder.
    row("plain", sub, u"page.htm"_s, u"/site/sub/new.htm"_s, u"new.htm"_s);
    row("dot slash", sub, u"./page.htm"_s, u"/site/sub/new.htm"_s, u"./new.htm"_s);
    row("fragment", sub, u"page.htm#part"_s, u"/site/sub/new.htm"_s, u"new.htm#part"_s);
    row("query and fragment", sub, u"page.htm?a=1&amp;b=2#x"_s, u"/site/sub/new.htm"_s, u"new.htm?a=1&amp;b=2#x"_s);
    row("blanks kept", sub, u" page.htm\t"_s, u"/site/sub/new.htm"_s, u" new.htm\t"_s);
    row("root-relative", sub, u"/sub/page.htm"_s, u"/site/sub/new.htm"_s, u"/sub/new.htm"_s);
    row("through the parent", sub, u"../sub/page.htm"_s, u"/site/sub/new.htm"_s, u"../sub/new.htm"_s);
    row("backslashes", u"/site"_s, u"sub\\page.htm"_s, u"/site/sub/new.htm"_s, u"sub\\new.htm"_s);
    row("letter case of the folder", u"/site"_s, u"Sub/Page.HTM"_s, u"/site/Sub/Next.HTM"_s, u"Sub/Next.HTM"_s);
    // Moved down and up folders.
    row("down", sub, u"page.htm"_s, u"/site/sub/deeper/page.htm"_s, u"deeper/page.htm"_s);
    row("down, dot slash", sub, u"./page.htm"_s, u"/site/sub/deeper/page.htm"_s, u"./deeper/page.htm"_s);
    row("up", sub, u"deeper/page.htm"_s, u"/site/page.htm"_s, u"../page.htm"_s);
    row("up, root-relative", sub, u"/sub/deeper/page.htm"_s, u"/site/page.htm"_s, u"/page.htm"_s);
    row("sideways", sub, u"../a/b/page.htm#p"_s, u"/site/c/page.htm"_s, u"../c/page.htm#p"_s);
    row("out of the site, root-relative", sub, u"/sub/page.htm"_s, u"/other/page.htm"_s, u"../../other/page.htm"_s);
    // Escapes of Japanese names, as the link wrote them.
    row("escaped UTF-8", sub, u"%E8%B3%87%E6%96%99.htm"_s, u"/site/sub/新資料.htm"_s,
        u"%E6%96%B0%E8%B3%87%E6%96%99.htm"_s);
    row("escaped lower-case hex", sub, u"%e8%b3%87%e6%96%99.htm"_s, u"/site/sub/新資料.htm"_s,
        u"%e6%96%b0%e8%b3%87%e6%96%99.htm"_s);
    row("escaped Shift-JIS", sub, u"%8E%91%97%BF.htm"_s, u"/site/sub/新資料.htm"_s, u"%90%56%8E%91%97%BF.htm"_s);
    row("unescaped Japanese", sub, u"資料.htm"_s, u"/site/sub/新資料.htm"_s, u"新資料.htm"_s);
    row("escaped folder kept", sub, u"%E7%94%BB%E5%83%8F/a.gif"_s, u"/site/sub/画像/b.gif"_s,
        u"%E7%94%BB%E5%83%8F/b.gif"_s);
    row("escaped name kept, folder new", sub, u"%E7%94%BB.gif"_s, u"/site/sub/pics/画.gif"_s, u"pics/%E7%94%BB.gif"_s);
    row("names that need escapes", sub, u"page.htm"_s, u"/site/sub/a b#1(2)%.htm"_s, u"a%20b%231%282%29%25.htm"_s);
    row("ampersand in HTML", sub, u"page.htm"_s, u"/site/sub/a&b.htm"_s, u"a&amp;b.htm"_s);
    row("character reference in the link", sub, u"p&#97;ge.htm"_s, u"/site/sub/new.htm"_s, u"new.htm"_s);
    // Style sheets.
    row("css url", u"/site/css"_s, u"../img/a.gif"_s, u"/site/pics/a.gif"_s, u"../pics/a.gif"_s, true);
    row("css ampersand", u"/site/css"_s, u"../img/a.gif"_s, u"/site/img/a&b.gif"_s, u"../img/a&b.gif"_s, true);
    // The moved page's own links, read from its new folder.
    row("own link, moved up", u"/site"_s, u"../img/a.gif"_s, u"/site/img/a.gif"_s, u"img/a.gif"_s);
    row("own link, moved down", u"/site/sub/deeper"_s, u"../img/a.gif"_s, u"/site/img/a.gif"_s, u"../../img/a.gif"_s);
    row("own link, moved sideways", u"/site/b"_s, u"../img/a.gif"_s, u"/site/img/a.gif"_s, QString());
    row("own root-relative link", u"/site/b"_s, u"/img/a.gif"_s, u"/site/img/a.gif"_s, QString());
    // Left alone.
    row("already there", sub, u"new.htm"_s, u"/site/sub/new.htm"_s, QString());
    row("external", sub, u"http://example.jp/page.htm"_s, u"/site/sub/new.htm"_s, QString());
    row("another host", sub, u"//example.jp/page.htm"_s, u"/site/sub/new.htm"_s, QString());
    row("fragment only", sub, u"#part"_s, u"/site/sub/new.htm"_s, QString());
}

void tst_linkmove::rewrite()
{
    QFETCH(QString, from);
    QFETCH(QString, link);
    QFETCH(QString, target);
    QFETCH(bool, css);
    QFETCH(QString, expected);
    const std::optional<QString> out
        = rewritten(link, css ? Context::Css : Context::Html, linkCheck::baseOf(QString(from + u'/')),
                    linkCheck::baseOf(u"/site/"_s), target);
    QCOMPARE(out.value_or(QString()), expected);
}

// Random links from random folders to random targets: whatever style the link had, the new
// one leads to the target, and a link that already does is left alone.
void tst_linkmove::everyRewriteLeadsToItsTarget()
{
    QRandomGenerator rng(testSeed());
    const QStringList names{u"a"_s, u"b"_s, u"資料"_s, u"x y"_s, u"%E8%B3%87"_s, u"."_s, u".."_s, u"C"_s, u"&amp;"_s};
    const QStringList targetNames{u"a"_s, u"b"_s, u"資料"_s, u"x y"_s, u"q#r"_s, u"p(1)"_s, u"%"_s, u"&"_s};
    const auto pick = [&](const QStringList &from) { return from.at(rng.bounded(int(from.size()))); };
    const linkCheck::Base site = linkCheck::baseOf(u"/site/"_s);
    for (int i = 0; i < 3000; ++i) {
        QString folder = u"/site"_s;
        for (int d = rng.bounded(3); d > 0; --d)
            folder += u'/' + pick(targetNames);
        QString link = rng.bounded(4) == 0 ? u"/"_s : rng.bounded(3) == 0 ? u"./"_s : QString();
        for (int d = rng.bounded(4); d > 0; --d)
            link += pick(names) + u'/';
        link += pick(names) + u".htm"_s + (rng.bounded(3) == 0 ? u"#f"_s : QString());
        QString target = u"/site"_s;
        for (int d = rng.bounded(3); d > 0; --d)
            target += u'/' + pick(targetNames);
        target += u'/' + pick(targetNames) + u".htm"_s;
        const linkCheck::Base from = linkCheck::baseOf(QString(folder + u'/'));
        const Context context = rng.bounded(2) ? Context::Html : Context::Css;
        const std::optional<QString> out = rewritten(link, context, from, site, target);
        const QString now = out.value_or(link);
        QVERIFY2(resolvedPath(now, context, from, site) == target,
                 qPrintable(link + u" from "_s + folder + u" to "_s + target + u": "_s + now));
        if (out)
            QVERIFY2(resolvedPath(link, context, from, site) != target, qPrintable(link));
        if (link.endsWith(u"#f"))
            QVERIFY(now.endsWith(u"#f"));
    }
}

namespace {
renamePlan::PageText pageText(qint32 page, const QString &folder, const QString &name, const QString &text)
{
    return renamePlan::PageText{folder, name, PageSnapshot{page, text, false, {}}};
}

QStringList describe(const renamePlan::Plan &plan)
{
    QStringList lines;
    for (const renamePlan::FileChanges &f : plan.files) {
        for (const renamePlan::LinkChange &c : f.changes)
            lines
                << u"%1 %2:%3 %4 -> %5"_s.arg(f.page).arg(f.path.section(u'/', -1)).arg(c.line).arg(c.before, c.after);
        for (const renamePlan::LinkChange &c : f.broken)
            lines << u"%1 %2:%3 %4 broken"_s.arg(f.page).arg(f.path.section(u'/', -1)).arg(c.line).arg(c.before);
    }
    return lines;
}
}   // namespace

// A page moved down a folder: the pages linking to it (from any folder, in any form), its
// own links, a link to itself, and links that were broken already.
void tst_linkmove::planOverASite()
{
    TestEnv env;
    const QString site = env.path(u"site"_s);
    env.write(u"site/img/a.gif"_s, "GIF");
    env.write(u"site/sub/page.htm"_s, "x");
    env.write(u"site/index.html"_s, "x");
    env.write(u"site/sub/other.htm"_s, "x");
    const QString sub = site + u"/sub/"_s;
    const QList<renamePlan::PageText> pages{
        pageText(1, site + u'/', u"index.html"_s, u"<a href=\"sub/page.htm\">\n<a href=\"/sub/page.htm#x\">"_s),
        pageText(2, sub, u"page.htm"_s,
                 u"<img src=\"../img/a.gif\">\n<a href=\"page.htm#top\"><a href=\"missing.htm\">\n"
                 "<a href=\"other.htm\"><a href=\"#top\">"_s),
        pageText(3, sub, u"other.htm"_s, u"<a href=\"PAGE.htm\">\n<a href=\"./page.htm\"><a href=\"x.htm\">"_s),
    };
    const auto plan = renamePlan::plan(pages, site + u'/', sub + u"page.htm"_s, sub + u"deep/page.htm"_s);
    QVERIFY(plan);
    QCOMPARE(plan->movedPages, QList<qint32>{2});
    // The page's link to itself follows it: from its new folder it is still "page.htm#top".
    const QStringList expected{
        u"2 page.htm:1 ../img/a.gif -> ../../img/a.gif"_s,
        u"2 page.htm:3 other.htm -> ../other.htm"_s,
        u"2 page.htm:2 missing.htm broken"_s,
        u"1 index.html:1 sub/page.htm -> sub/deep/page.htm"_s,
        u"1 index.html:2 /sub/page.htm#x -> /sub/deep/page.htm#x"_s,
        u"3 other.htm:2 ./page.htm -> ./deep/page.htm"_s,
        u"3 other.htm:1 PAGE.htm broken"_s,
    };
    QCOMPARE(describe(*plan), expected);
    QCOMPARE(plan->changeCount(), 5);
    QCOMPARE(plan->brokenCount(), 2);
    // The edits land where the values stand in the text box's text.
    const renamePlan::FileChanges &index = plan->files.at(1);
    QCOMPARE(textEdits::applied(renamePlan::textBoxText(pages.at(0)), renamePlan::editsOf(index)),
             u"<a href=\"sub/deep/page.htm\">\n<a href=\"/sub/deep/page.htm#x\">"_s);
}

// An image moved: a style sheet reached through a page (and one it imports) is rewritten on
// disk; a folder link to a moved index page keeps its form.
void tst_linkmove::planOfAStyleSheetAndAFolderLink()
{
    TestEnv env;
    const QString site = env.path(u"site"_s) + u'/';
    env.write(u"site/img/bg.gif"_s, "GIF");
    env.write(u"site/css/main.css"_s, "@import \"more.css\";\r\nbody { background: url(../img/bg.gif) }\r\n");
    env.write(u"site/css/more.css"_s, "p { background: url('/img/bg.gif') }\r\n");
    env.write(u"site/index.html"_s, "x");
    const QList<renamePlan::PageText> pages{
        pageText(1, site, u"index.html"_s,
                 u"<link rel=stylesheet href=\"css/main.css\"><body style=\"background: url(img/bg.gif)\">"_s)};
    auto plan = renamePlan::plan(pages, site, site + u"img/bg.gif"_s, site + u"pics/背景.gif"_s);
    QVERIFY(plan);
    QCOMPARE(describe(*plan),
             (QStringList{u"1 index.html:1 img/bg.gif -> pics/背景.gif"_s,
                          u"0 main.css:2 ../img/bg.gif -> ../pics/背景.gif"_s,
                          u"0 more.css:1 /img/bg.gif -> /pics/背景.gif"_s}));
    QCOMPARE(renamePlan::changedText(plan->files.at(1)),
             u"@import \"more.css\";\r\nbody { background: url(../pics/背景.gif) }\r\n"_s);

    // A folder link names the index page it finds; moved with its name, the link stays a folder link.
    env.write(u"site/sub/index.html"_s, "x");
    const QList<renamePlan::PageText> linking{pageText(1, site, u"index.html"_s, u"<a href=\"sub/\">"_s),
                                              pageText(2, site + u"sub/"_s, u"index.html"_s, QString())};
    plan = renamePlan::plan(linking, site, site + u"sub/index.html"_s, site + u"new/index.html"_s);
    QCOMPARE(describe(*plan), QStringList{u"1 index.html:1 sub/ -> new/"_s});
    plan = renamePlan::plan(linking, site, site + u"sub/index.html"_s, site + u"sub/top.html"_s);
    QCOMPARE(describe(*plan), QStringList{u"1 index.html:1 sub/ -> sub/top.html"_s});
}

PAGEKILN_TEST_MAIN(tst_linkmove)
#include "tst_linkmove.moc"
