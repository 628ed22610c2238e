#include "tree/LinkMend.h"
#include "tree/PageReferences.h"
#include "tree/PageScan.h"
#include "tree/SiteLinks.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace pageRefs;
using namespace Qt::StringLiterals;

class tst_references : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readsPage_data();
    void readsPage();
    void readsStyleSheet();
    void placesMatchTheText();
    void anchorsAndLinkText();
    void siteCheck_data();
    void siteCheck();
    void savesCheckAgain();
    void sameAddressFromOtherFolders();
    void caseFixed_data();
    void caseFixed();
    void linkTo();
};

namespace {
QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Page: return QStringLiteral("page");
    case Kind::Image: return QStringLiteral("image");
    case Kind::StyleSheet: return QStringLiteral("css");
    case Kind::Script: return QStringLiteral("script");
    case Kind::Frame: return QStringLiteral("frame");
    case Kind::Object: return QStringLiteral("object");
    }
    return QString();
}

QStringList utf8(std::initializer_list<const char *> texts)
{
    QStringList out;
    for (const char *t : texts)
        out << QString::fromUtf8(t);
    return out;
}

// "kind address line:column" for each reference, a "!" before a value that is no address.
QStringList shown(const QList<Reference> &refs)
{
    QStringList out;
    for (const Reference &r : refs)
        out << QStringLiteral("%1%2 %3 %4:%5")
                   .arg(isNotAddress(r.address) ? QStringLiteral("!") : QString(), kindName(r.kind), r.address)
                   .arg(r.line)
                   .arg(r.column);
    return out;
}
}   // namespace

void tst_references::readsPage_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QStringList>("expected");
    const auto row = [](const char *name, const char *html, std::initializer_list<const char *> expected) {
        QTest::newRow(name) << QString::fromUtf8(html) << utf8(expected);
    };
    row("double quotes", R"(<A HREF="a.htm">)", {"page a.htm 1:10"});
    row("single quotes", R"(<a href='b.htm'>)", {"page b.htm 1:10"});
    row("no quotes, blanks around =", "<A HREF = c.htm >", {"page c.htm 1:11"});
    row("mixed case", R"(<Img sRc="m.gif">)", {"image m.gif 1:11"});
    row("entities", R"(<A HREF="x.htm?a=1&amp;b=2"><A HREF='&#x61;&#98;.htm'>)",
        {"page x.htm?a=1&b=2 1:10", "page ab.htm 1:38"});
    row("blanks inside quotes trimmed", R"(<A HREF=" d.htm ">)", {"page d.htm 1:10"});
    row("area", R"(<AREA SHAPE=rect HREF="e.htm">)", {"page e.htm 1:24"});
    row("img src and srcset", R"(<IMG SRC="i.gif" SRCSET="i2.gif 2x, i3.gif 3x">)",
        {"image i.gif 1:11", "image i2.gif 1:26", "image i3.gif 1:37"});
    row("srcset without blanks after commas", R"(<img srcset="a.gif 1x,b.gif 2x,c.gif">)",
        {"image a.gif 1:14", "image b.gif 1:23", "image c.gif 1:32"});
    row("srcset comma in a name", R"(<img srcset="a,b.gif 100w">)", {"image a,b.gif 1:14"});
    row("source srcset", R"(<SOURCE SRCSET="w.webp">)", {"image w.webp 1:17"});
    row("script", R"(<SCRIPT SRC="s.js"></SCRIPT>)", {"script s.js 1:14"});
    row("frame and iframe", R"(<FRAME SRC="f.htm"><IFRAME SRC='g.htm'></IFRAME>)",
        {"frame f.htm 1:13", "frame g.htm 1:33"});
    row("embed and object", R"(<EMBED SRC="m.swf"><OBJECT DATA="o.swf"></OBJECT>)",
        {"object m.swf 1:13", "object o.swf 1:34"});
    row("input of type image only", R"(<INPUT TYPE="image" SRC="btn.gif"><INPUT TYPE=text SRC="no.gif">)",
        {"image btn.gif 1:26"});
    row("input type after src", R"(<input src=b.gif type=IMAGE>)", {"image b.gif 1:12"});
    row("backgrounds", R"(<BODY BACKGROUND="bg.gif"><TABLE background=t.gif><TD BackGround='c.gif'>)",
        {"image bg.gif 1:19", "image t.gif 1:45", "image c.gif 1:67"});
    row("link kinds",
        R"(<LINK REL="stylesheet" HREF="s.css"><LINK REL="shortcut icon" HREF="f.ico"><LINK HREF=n.htm REL=next>)",
        {"css s.css 1:30", "image f.ico 1:69", "page n.htm 1:87"});
    row("style attribute", R"x(<P STYLE="background: url('p.gif')">)x", {"image p.gif 1:28"});
    row("style attribute, quotes as entities", R"x(<P STYLE="background:url(&quot;q.gif&quot;)">)x",
        {"image q.gif 1:32"});
    row("style element",
        "<STYLE>\r\n@import \"im.css\";\r\n@import url(u.css);\r\nB { background: URL( b.gif ) }\r\n</STYLE>",
        {"css im.css 2:10", "css u.css 3:13", "image b.gif 4:22"});
    row("comment", R"(<!-- <A HREF="c.htm"> --><A HREF="d.htm">)", {"page d.htm 1:35"});
    row("script text", R"(<SCRIPT>w('<A HREF="x.htm">')</SCRIPT><A HREF=y.htm>)", {"page y.htm 1:47"});
    row("title and textarea", R"(<TITLE><IMG SRC="t.gif"></TITLE><TEXTAREA><IMG SRC=u.gif></textarea>)", {});
    row("end tags and doctype", R"(<!DOCTYPE HTML SRC="x.gif"></A HREF="y.htm"><?php x ?>)", {});
    row("less-than in text", R"(a < b <IMG SRC=i.gif>)", {"image i.gif 1:16"});
    row("first of a repeated attribute", R"(<IMG SRC="a.gif" SRC="b.gif">)", {"image a.gif 1:11"});
    row("tag across lines", "<P>\r\n<IMG\r\n  SRC=\"x.gif\">", {"image x.gif 3:8"});
    row("columns count characters", "日本<IMG SRC=\"x.gif\">", {"image x.gif 1:13"});
    row("the palette's link snippet", R"(<A HREF=""></A>)", {"page  1:10"});
    row("a stray quote", R"(<A HREF="a.htm>x</A> <A HREF="b.htm">)", {"!page a.htm>x</A> <A HREF= 1:10"});
    row("a line break in a value", "<IMG SRC=\"a\r\nb.gif\">", {"!image a\r\nb.gif 1:11"});
    row("other attributes pass by", R"(<IMG ALT="src=x.gif" SRC=y.gif>)", {"image y.gif 1:26"});
}

void tst_references::readsPage()
{
    QFETCH(QString, html);
    QFETCH(QStringList, expected);
    QCOMPARE(shown(readPage(html).refs), expected);
}

void tst_references::readsStyleSheet()
{
    const QString css = QStringLiteral("/* url(no.gif) */\r\n@import url(\"../c/x.css\") screen;\r\n"
                                       "body{background:url(../img/a.gif)}\r\na::after{content:\"url(no.gif)\"}\r\n"
                                       "@font-face{src:url('f.woff')}");
    QCOMPARE(shown(readStyleSheet(css)), utf8({"css ../c/x.css 2:14", "image ../img/a.gif 3:21", "image f.woff 5:21"}));
}

// The place of every reference is where its raw value stands in the text, so that a
// rewrite can replace it there.
void tst_references::placesMatchTheText()
{
    const QString html = QStringLiteral("<BODY BACKGROUND=bg.gif>\r\n<P STYLE=\"x:url(&quot;q.gif&quot;)\">\r\n"
                                        "<IMG SRCSET=\"a.gif 1x, b&amp;c.gif 2x\"><A HREF='x.htm#&#112;'>");
    const QList<Reference> refs = readPage(html).refs;
    QCOMPARE(refs.size(), 5);
    for (const Reference &r : refs) {
        QCOMPARE(html.mid(r.offset, r.length), r.raw);
        QCOMPARE(r.line, html.left(r.offset).count(u'\n') + 1);
        QCOMPARE(r.column, r.offset - (html.lastIndexOf(u'\n', r.offset - 1) + 1) + 1);
    }
    QCOMPARE(refs.at(3).address, QStringLiteral("b&c.gif"));
    QCOMPARE(refs.at(4).address, QStringLiteral("x.htm#p"));
}

void tst_references::anchorsAndLinkText()
{
    const QString html = QStringLiteral("<A NAME=\"n1\"></A><DIV id='i2'><P NAME=\"nope\"><a name=n&amp;3>"
                                        "<A HREF=\"new.htm\">新しい <B>ページ</B>\r\n です</A><A HREF=x.htm>");
    const PageReferences page = readPage(html);
    QCOMPARE(page.anchors, QSet<QString>({u"n1"_s, u"i2"_s, u"n&3"_s}));
    QCOMPARE(linkTextAt(html, page.refs.at(0)), QStringLiteral("新しい ページ です"));
    QCOMPARE(linkTextAt(html, page.refs.at(1)), QString());
}

namespace {
// A site on disk: index.htm and a.htm (pages), a picture, two style sheets in a folder of
// their own, and an HTML file outside the definition.
struct Site {
    QTemporaryDir dir;
    QString root = dir.path() + u"/s/"_s;
    QList<basSystem::PageRecord> pages{{}};

    Site()
    {
        write(u"img/logo.gif"_s, "GIF");
        write(u"css/site.css"_s,
              "@import \"more.css\";\r\nbody{background:url(../img/bg.gif)}\r\n"
              ".x{background:url('../img/logo.gif')}\r\n");
        write(u"css/more.css"_s, "p{background:url(dots.gif)}\r\n");
        write(u"other.html"_s, "<A NAME=o1>");
        addPage(u"index.htm"_s, QString());
        addPage(u"a.htm"_s, u"<A NAME=\"n1\"></A><DIV ID='i1'></DIV><A HREF=\"index.htm\">"_s);
    }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(root + name).absolutePath());
        QFile file(root + name);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    void addPage(const QString &name, const QString &text)
    {
        write(name, text.toUtf8());
        pages.append(basSystem::PageRecord{});
        setText(qint32(pages.size() - 1), text);
        pages.last().FileName = name;
        pages.last().Folder = root;
    }
    void setText(qint32 page, const QString &text)
    {
        pages[page].Text = text;
        pages[page].Links = scanLinks(text);
    }
    // "kind page line reference link target", the target below the site's folder.
    QStringList report(const linkCheck::SiteLinks &links) const
    {
        QStringList out;
        for (const linkCheck::ReportRow &r : linkCheck::siteReport(pages, links, root))
            out << u"%1 %2 %3 %4 %5 %6"_s.arg(int(r.kind))
                       .arg(r.page > 0 ? QString::number(r.page) : r.file.mid(root.size()))
                       .arg(r.line)
                       .arg(r.refKind ? kindName(*r.refKind) : QString(), r.link, r.target.mid(root.size()));
        return out;
    }
};
}   // namespace

// Anchors, style sheets and values that are no address, as the check reports them for
// page 1 (index.htm): "kind page line reference link target", kinds 0 broken, 1 unlinked,
// 2 letter case, 3 anchor, 4 no address.
void tst_references::siteCheck_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QStringList>("expected");
    const auto row = [](const char *name, const char *html, std::initializer_list<const char *> expected) {
        QTest::newRow(name) << QString::fromUtf8(html) << utf8(expected);
    };
    row("anchors by NAME and id", "<A HREF=\"a.htm#n1\"><A HREF='a.htm#i1'>", {});
    row("anchor missing, letter case", "<A HREF=\"a.htm#zz\">\r\n<A HREF=\"a.htm#N1\">",
        {"3 1 1 page a.htm#zz a.htm#zz", "3 1 2 page a.htm#N1 a.htm#N1"});
    row("anchors in the same page", "<A NAME=here></A><A HREF=\"#here\"> <A HREF=\"#gone\"> <A HREF=#top><A HREF=#>",
        {"3 1 1 page #gone index.htm#gone"});
    row("anchors in a file outside the definition", "<A HREF=\"other.html#o1\"><FRAME SRC=other.html#o2>",
        {"3 1 1 frame other.html#o2 other.html#o2"});
    row("style sheets from their own folder", "<LINK REL=stylesheet HREF=\"css/site.css\">",
        {"0 css/more.css 1 image dots.gif css/dots.gif", "0 css/site.css 2 image ../img/bg.gif img/bg.gif"});
    row("a style element's import", "<STYLE>\r\n@import 'css/none.css';</STYLE>",
        {"0 1 2 css css/none.css css/none.css"});
    row("pictures", "<IMG SRC=\"img/nope.gif\"><IMG SRC=\"IMG/LOGO.GIF\">",
        {"0 1 1 image img/nope.gif img/nope.gif", "2 1 1 image IMG/LOGO.GIF IMG/LOGO.GIF"});
    row("no address", "<A HREF=\"\"></A>\r\n<IMG SRC=\"\" ALT=\"\">", {"4 1 1 page \"></A><IMG SRC= "});
    row("a broken link inside a comment", "<!-- <A HREF=\"old.htm\"> -->", {"0 1 1 page old.htm old.htm"});
}

void tst_references::siteCheck()
{
    QFETCH(QString, html);
    QFETCH(QStringList, expected);
    Site site;
    site.setText(1, html + u"\r\n<A HREF=\"a.htm\">"_s);
    QCOMPARE(site.report(linkCheck::checkSite(site.pages, site.root)), expected);
}

// A save checks again what it can have changed, and ends where a whole check would.
void tst_references::savesCheckAgain()
{
    Site site;
    site.setText(1, u"<A HREF=\"a.htm#new\"><LINK REL=stylesheet HREF=\"css/more.css\">"_s);
    linkCheck::SiteLinks links = linkCheck::checkSite(site.pages, site.root);
    QCOMPARE(site.report(links).size(), 2);
    site.setText(2, u"<A HREF=\"index.htm\"><P ID=new>"_s);
    QVERIFY(links.pageSaved(site.pages, 2));
    site.write(u"css/dots.gif"_s, "GIF");
    QVERIFY(links.fileWritten(site.pages, site.root + u"css/dots.gif"_s));
    QCOMPARE(site.report(links), QStringList());
    site.setText(1, u"<LINK REL=stylesheet HREF=\"css/site.css\"><A HREF=\"a.htm#new\">"_s);
    QVERIFY(links.pageSaved(site.pages, 1));
    const QStringList expected{u"0 css/site.css 2 image ../img/bg.gif img/bg.gif"_s};
    QCOMPARE(site.report(links), expected);
    QCOMPARE(site.report(linkCheck::checkSite(site.pages, site.root)), expected);
}

// The pages of a folder share what their addresses lead to; the same address from a page
// of another folder, or from a style sheet read in between, leads elsewhere.
void tst_references::sameAddressFromOtherFolders()
{
    Site site;
    site.setText(1, u"<IMG SRC=\"logo.gif\"><A HREF=\"img/p3.htm\"><A HREF=p4.htm><A HREF=a.htm>"_s);
    site.addPage(u"img/p3.htm"_s, u"<IMG SRC=\"logo.gif\"><LINK REL=stylesheet HREF=\"../css/more.css\">"_s);
    site.pages.last().Folder = site.root + u"img/"_s;
    site.pages.last().FileName = u"p3.htm"_s;
    site.addPage(u"p4.htm"_s, u"<IMG SRC=\"logo.gif\"><A HREF=\"img/p3.htm\">"_s);
    const QStringList expected{u"0 1 1 image logo.gif logo.gif"_s, u"0 4 1 image logo.gif logo.gif"_s,
                               u"0 css/more.css 1 image dots.gif css/dots.gif"_s};
    linkCheck::SiteLinks links = linkCheck::checkSite(site.pages, site.root);
    QCOMPARE(site.report(links), expected);
    QVERIFY(links.pageSaved(site.pages, 4));
    QVERIFY(links.pageSaved(site.pages, 3));
    QCOMPARE(site.report(links), expected);
}

void tst_references::caseFixed_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("lookedFor");
    QTest::addColumn<QString>("onDisk");
    QTest::addColumn<QString>("expected");
    QTest::newRow("file") << u"IMAGES/Logo.GIF"_s << u"/s/IMAGES/Logo.GIF"_s << u"/s/images/logo.gif"_s
                          << u"images/logo.gif"_s;
    QTest::newRow("dot steps, fragment") << u"./../A.htm#P"_s << u"/s/A.htm"_s << u"/s/a.htm"_s << u"./../a.htm#P"_s;
    QTest::newRow("folder's index page") << u"../Sub/?x"_s << u"/s/Sub/index.htm"_s << u"/s/sub/Index.htm"_s
                                         << u"../sub/?x"_s;
    QTest::newRow("backslash and escapes")
        << u"%E8%B3%87%E6%96%99\\A.HTM"_s << u"/s/資料/A.HTM"_s << u"/s/資料/a.htm"_s << u"%E8%B3%87%E6%96%99\\a.htm"_s;
}

void tst_references::caseFixed()
{
    QFETCH(QString, link);
    QFETCH(QString, lookedFor);
    QFETCH(QString, onDisk);
    QFETCH(QString, expected);
    QCOMPARE(linkMend::caseFixed(link, lookedFor, onDisk), expected);
}

void tst_references::linkTo()
{
    QCOMPARE(linkMend::linkTo(u"/s/a/"_s, u"/s/img/b c.gif"_s), u"../img/b%20c.gif"_s);
    QCOMPARE(linkMend::linkTo(u"/s/"_s, u"/s/資料#1.htm"_s), u"資料%231.htm"_s);
    // The value is found on its line, or on the nearest one when lines came and went.
    const QString text = u"<A HREF=\"a.htm\">\n<A HREF=\"a.htm\">\n\n<A HREF=\"a.htm\">"_s;
    QCOMPARE(linkMend::placeOfValue(text, u"a.htm"_s, 2), 26);
    QCOMPARE(linkMend::placeOfValue(text, u"a.htm"_s, 3), 26);
    QCOMPARE(linkMend::placeOfValue(text, u"a.htm"_s, 9), 44);
    QCOMPARE(linkMend::placeOfValue(text, u"b.htm"_s, 1), -1);
}

PAGEKILN_TEST_MAIN(tst_references)
#include "tst_references.moc"
