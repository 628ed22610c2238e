#include "app/basSystem.h"
#include "editor/frmChild1.h"
#include "site/SiteCommands.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "tree/SiteLinks.h"
#include "tree/TreeTexts.h"
#include "tree/TreeView.h"
#include "tree/frmRename.h"
#include "tree/frmSiteCheck.h"
#include "tree/frmTree.h"
#include "tags/TagDatabase.h"
#include "tags/frmTAG.h"
#include "tree/PageReferences.h"

#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextBlock>
#include <QtTest>

using namespace basSystem;
using namespace linkCheck;
using namespace Qt::StringLiterals;

class tst_links : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { resetSharedState(); }
    void resolve_data();
    void resolve();
    void lookUpOnDisk_data();
    void lookUpOnDisk();
    void targetKeysIgnoreCase_data();
    void targetKeysIgnoreCase();
    void siteCheckLists();
    void marksFollowSavesAndNewFiles();
    void changesCheckedAsWholeSite_data();
    void changesCheckedAsWholeSite();
    void linkClick();
    void siteCheckWindow();
    void sampleSiteAndPaletteSnippet();
    void createdPageMendsTheLink();
    void changeAndCaseRewriteTheEditor();
    void moveReferencedFile();
    void reportFilesReadBack();
};

namespace {
const QString F = QStringLiteral("file");
const QString S = QStringLiteral("same");
const QString X = QStringLiteral("external");
const QString E = QStringLiteral("empty");

QString kindName(LinkKind kind)
{
    switch (kind) {
    case LinkKind::Empty: return E;
    case LinkKind::SamePage: return S;
    case LinkKind::External: return X;
    case LinkKind::File: return F;
    }
    return QString();
}

// A page of `title` at `folder` + `file` linking to `links`, with an editor.
void addTestPage(const QString &folder, const QString &file, const QStringList &links, const QString &title = {})
{
    PageRecord p;
    p.Title = title.isEmpty() ? file : title;
    p.Folder = folder;
    p.FileName = file;
    p.Links = QStringList{QString()} + links;
    addPage(p, new frmChild1());
}

QString linkPage(const QStringList &hrefs)
{
    QString text = QStringLiteral("<TITLE>t</TITLE>\r\n");
    for (const QString &h : hrefs)
        text += QStringLiteral("<A HREF=\"%1\">x</A>\r\n").arg(h);
    return text;
}

// Waits until the tree's whole-site link check, which runs on a worker thread, is in.
bool linksChecked(const frmTree *tree)
{
    return QTest::qWaitFor([tree] { return !tree->linkChecker().isChecking(); }, 20000);
}

frmTree *openSite(TestEnv &env, const QString &ksd)
{
    gTreeWinWidth = 6000;
    gTreeWinHeight = 8430;
    auto *tree = new frmTree(env.area());
    tree->Show();
    tree->openDefinition(ksd);
    return linksChecked(tree) ? tree : nullptr;
}

// The link labels of page `page` that are drawn as broken, by caption.
QStringList brokenCaptions(const frmTree *tree, qint32 page)
{
    QStringList broken;
    for (qint32 j = 1; const auto label = tree->tree().lblLink(page * 100 + j); ++j)
        if (tree->picTre()->brokenLink(*label))
            broken << label->caption;
    return broken;
}

void clickLabel(frmTree *tree, const TreeLabel &label)
{
    const QPoint at(twipsToPixelsX(double(label.left + 30)), twipsToPixelsY(double(label.top + 60)));
    QTest::mouseClick(tree->picTre(), Qt::LeftButton, Qt::NoModifier, at);
}
}   // namespace

void tst_links::resolve_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("folder");
    // The linking page lies in /site/sub/; the site's folder is /site/.
    QTest::newRow("relative") << "a.htm" << F << "/site/sub/a.htm" << false;
    QTest::newRow("dot") << "./a.htm" << F << "/site/sub/a.htm" << false;
    QTest::newRow("up") << "../top.htm" << F << "/site/top.htm" << false;
    QTest::newRow("up past the root") << "../../../../x.htm" << F << "/x.htm" << false;
    QTest::newRow("down and up") << "d/./e/../a.htm" << F << "/site/sub/d/a.htm" << false;
    QTest::newRow("backslashes") << "..\\win\\a.htm" << F << "/site/win/a.htm" << false;
    QTest::newRow("blanks around") << "  a.htm " << F << "/site/sub/a.htm" << false;
    QTest::newRow("fragment") << "a.htm#part" << F << "/site/sub/a.htm" << false;
    QTest::newRow("query and fragment") << "a.htm?q=1#x" << F << "/site/sub/a.htm" << false;
    QTest::newRow("? inside the fragment") << "a.htm#x?y" << F << "/site/sub/a.htm" << false;
    QTest::newRow("root-relative: the site's folder") << "/top.htm" << F << "/site/top.htm" << false;
    QTest::newRow("utf-8 escapes") << "%E6%97%A5%E6%9C%AC.htm" << F << "/site/sub/日本.htm" << false;
    QTest::newRow("shift-jis escapes") << "%93%FA%96%7B.htm" << F << "/site/sub/日本.htm" << false;
    QTest::newRow("japanese as written") << "資料/日本語.html" << F << "/site/sub/資料/日本語.html" << false;
    QTest::newRow("escaped blank") << "a%20b.htm" << F << "/site/sub/a b.htm" << false;
    QTest::newRow("escaped dots") << "%2E%2E/top.htm" << F << "/site/top.htm" << false;
    QTest::newRow("malformed escape") << "%zz%4.htm" << F << "/site/sub/%zz%4.htm" << false;
    QTest::newRow("letter case kept") << "Pics/Photo.HTM" << F << "/site/sub/Pics/Photo.HTM" << false;
    QTest::newRow("folder") << "docs/" << F << "/site/sub/docs" << true;
    QTest::newRow("folder with query") << "docs/?page=2" << F << "/site/sub/docs" << true;
    QTest::newRow("parent folder") << ".." << F << "/site" << true;
    QTest::newRow("drive") << "C:/site/a.htm" << F << "C:/site/a.htm" << false;
    QTest::newRow("fragment only") << "#top" << S << "" << false;
    QTest::newRow("query only") << "?x=1" << S << "" << false;
    QTest::newRow("empty") << "" << E << "" << false;
    QTest::newRow("blank") << "   " << E << "" << false;
    for (const char *external :
         {"http://example.jp/a.htm", "HTTPS://example.jp/", "mailto:a@example.jp", "ftp://example.jp/f",
          "javascript:void(0)", "//cdn.example.jp/x.js", "tel:0123", "file:///site/a.htm"})
        QTest::newRow(external) << QString::fromUtf8(external) << X << "" << false;
}

void tst_links::resolve()
{
    QFETCH(QString, link);
    QFETCH(QString, kind);
    QFETCH(QString, path);
    QFETCH(bool, folder);
    const LinkTarget t = resolveLink(link, u"/site/sub/", u"/site/");
    QCOMPARE(kindName(t.kind), kind);
    QCOMPARE(t.path, path);
    QCOMPARE(t.folder, folder);
    // A page that was never saved has no folder to resolve from.
    QCOMPARE(kindName(resolveLink(link, u"", u"/site/").kind),
             kind == F && !link.startsWith(u'/') && !link.startsWith(u"C:") ? E : kind);
}

void tst_links::lookUpOnDisk_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("path");     // relative to the test folder
    QTest::addColumn<QString>("onDisk");   // the same, for a letter-case difference
    const int found = int(LinkState::Found), missing = int(LinkState::Missing), cased = int(LinkState::CaseDiffers);
    // The linking page lies in site/sub/.
    QTest::newRow("file") << "a.htm" << found << "site/sub/a.htm"
                          << "";
    QTest::newRow("upper case") << "A.htm" << cased << "site/sub/A.htm"
                                << "site/sub/a.htm";
    QTest::newRow("folder in other case") << "../pics/photo.htm" << cased << "site/pics/photo.htm"
                                          << "site/Pics/Photo.HTM";
    QTest::newRow("up") << "../top.htm" << found << "site/top.htm"
                        << "";
    QTest::newRow("folder's index.htm") << "../docs/" << found << "site/docs/index.htm"
                                        << "";
    QTest::newRow("folder without slash") << "../docs" << found << "site/docs/index.htm"
                                          << "";
    QTest::newRow("folder without index") << "../empty/" << missing << "site/empty/index.html"
                                          << "";
    QTest::newRow("japanese, escaped") << "%E6%97%A5%E6%9C%AC.htm" << found << "site/sub/日本.htm"
                                       << "";
    QTest::newRow("outside the site") << "../../outside/o.htm" << found << "outside/o.htm"
                                      << "";
    QTest::newRow("outside, missing") << "../../outside/none.htm" << missing << "outside/none.htm"
                                      << "";
    QTest::newRow("missing") << "missing.htm" << missing << "site/sub/missing.htm"
                             << "";
    QTest::newRow("missing folder") << "nowhere/x.htm" << missing << "site/sub/nowhere/x.htm"
                                    << "";
    QTest::newRow("external") << "http://example.jp/a.htm" << int(LinkState::NotChecked) << ""
                              << "";
}

void tst_links::lookUpOnDisk()
{
    QFETCH(QString, link);
    QFETCH(int, state);
    QFETCH(QString, path);
    QFETCH(QString, onDisk);
    TestEnv env;
    for (const char *file : {"site/top.htm", "site/sub/a.htm", "site/sub/日本.htm", "site/docs/index.htm",
                             "site/empty/x.txt", "site/Pics/Photo.HTM", "outside/o.htm"})
        env.write(QString::fromUtf8(file), "x");
    const QString root = env.path(QString());
    const auto full = [&](const QString &p) { return p.isEmpty() ? p : cleanFilePath(root + u'/' + p); };
    FolderCache cache;
    const QString site = root + QStringLiteral("/site/");
    const Lookup l = lookUp(resolveLink(link, QString(site + QStringLiteral("sub/")), site), cache);
    QCOMPARE(int(l.state), state);
    QCOMPARE(l.path, full(path));
    QCOMPARE(l.onDisk, full(onDisk));
}

void tst_links::targetKeysIgnoreCase_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("sameFile");   // the same file, letter case ignored
    QTest::newRow("ASCII") << u"/site/Docs/Index.HTML"_s << u"/site/docs/index.html"_s;
    QTest::newRow("shorter than four units") << u"/A"_s << u"/a"_s;
    QTest::newRow("five units") << u"/AB/C"_s << u"/ab/c"_s;
    QTest::newRow("full-width letters") << u"/site/ＮＥＷ資料.htm"_s << u"/site/ｎｅｗ資料.htm"_s;
    QTest::newRow("folds into ASCII") << u"/site/\u212Aelvin.htm"_s << u"/site/kelvin.htm"_s;
}

// A file the program writes finds the links that look for it, whatever the letter case.
void tst_links::targetKeysIgnoreCase()
{
    QFETCH(QString, path);
    QFETCH(QString, sameFile);
    QCOMPARE(targetKey(path), targetKey(sameFile));
    QVERIFY(targetKey(path) != targetKey(QString(sameFile + u'x')));
}

void tst_links::siteCheckLists()
{
    TestEnv env;
    for (const char *file : {"site/index.html", "site/sub/a.htm", "site/sub/b.htm", "site/c.htm", "site/self.htm"})
        env.write(QString::fromUtf8(file), "x");
    const QString site = env.path(QStringLiteral("site")) + u'/';
    addTestPage(site, QStringLiteral("index.html"), {QStringLiteral("sub/a.htm"), QStringLiteral("missing.htm")});
    addTestPage(site + QStringLiteral("sub/"), QStringLiteral("a.htm"),
                {QStringLiteral("../index.html"), QStringLiteral("B.htm"), QStringLiteral("a.htm#top")});
    addTestPage(site + QStringLiteral("sub/"), QStringLiteral("b.htm"), {QStringLiteral("http://example.jp/")});
    addTestPage(site, QStringLiteral("c.htm"), {});
    addTestPage(site, QStringLiteral("self.htm"), {QStringLiteral("self.htm"), QStringLiteral("./self.htm")});

    const SiteLinks links = checkSite(gPageTable, site);
    QCOMPARE(links.listingsRead(), 2);   // site/ and site/sub/, however many links look there
    QList<qint32> linkedFrom;
    for (qint32 p = 0; p <= 5; ++p)
        linkedFrom << links.linkedFrom(p);
    QCOMPARE(linkedFrom, (QList<qint32>{0, 1, 1, 0, 0, 0}));
    QList<QStringList> rows;
    for (const ReportRow &r : siteReport(gPageTable, links, site))
        rows << QStringList{QString::number(int(r.kind)), QString::number(r.page), r.link, r.target.mid(site.size()),
                            r.onDisk.mid(site.size())};
    const QList<QStringList> expected{
        {u"0"_qs, u"1"_qs, u"missing.htm"_qs, u"missing.htm"_qs, {}},
        {u"1"_qs, u"3"_qs, {}, u"sub/b.htm"_qs, {}},
        {u"1"_qs, u"4"_qs, {}, u"c.htm"_qs, {}},
        {u"1"_qs, u"5"_qs, {}, u"self.htm"_qs, {}},
        {u"2"_qs, u"2"_qs, u"B.htm"_qs, u"sub/B.htm"_qs, u"sub/b.htm"_qs},
    };
    QCOMPARE(rows, expected);
}

void tst_links::marksFollowSavesAndNewFiles()
{
    TestEnv env;
    env.writeCp932(QStringLiteral("s/p2.htm"), linkPage({}));
    env.writeCp932(QStringLiteral("s/p1.htm"), linkPage({QStringLiteral("p2.htm")}));
    const QString folder = env.path(QStringLiteral("s")) + u'/';
    env.writeCp932(
        QStringLiteral("s/site.ksd"),
        definitionHeader(QStringLiteral("Velmoran HTML Editor Ver 0.0"), QStringLiteral("S"), folder)
            + definitionList(QStringLiteral("002"),
                             {QStringLiteral("0*%1*p1.htm").arg(folder), QStringLiteral("0*%1*p2.htm").arg(folder)}));
    frmTree *tree = openSite(env, env.path(QStringLiteral("s/site.ksd")));
    QCOMPARE(brokenCaptions(tree, 1), QStringList());

    // Saving a page that gains a link to a missing file draws that link broken.
    frmChild1 *p1 = gPageEditors.at(1);
    p1->txtEdit()->setPlainText(linkPage({QStringLiteral("p2.htm"), QStringLiteral("new.htm")}));
    QVERIFY(p1->save());
    QCOMPARE(tree->tree().lblLink(102)->caption, QStringLiteral("new.htm"));
    QCOMPARE(brokenCaptions(tree, 1), QStringList{QStringLiteral("new.htm")});
    const auto label = tree->tree().lblLink(102);
    QCOMPARE(tree->picTre()->brokenLink(*label)->path, folder + QStringLiteral("new.htm"));

    // Creating the missing file mends it.
    frmChild1 *created = tree->addNewPage(QStringLiteral("New"));
    env.platform.fileAnswers.enqueue(folder + QStringLiteral("new.htm"));
    QVERIFY(created->save());
    QCOMPARE(brokenCaptions(tree, 1), QStringList());

    // Saving the page without its links takes their rows away.
    p1->txtEdit()->setPlainText(linkPage({QStringLiteral("gone.htm")}));
    QVERIFY(p1->save());
    QCOMPARE(brokenCaptions(tree, 1), QStringList{QStringLiteral("gone.htm")});
    QVERIFY(!tree->tree().lblLink(102));
    tree->Unload(vbFormCode);
}

// The marks of a check, one line per broken link and per page's count of pages linking to it.
QStringList marks(const SiteLinks &links)
{
    QStringList out;
    for (qint32 p = 1; p < links.tableSize(); ++p) {
        out << QStringLiteral("%1 linked from %2").arg(p).arg(links.linkedFrom(p));
        for (const SiteLinks::Broken &b : links.brokenLinks(p))
            out << QStringLiteral("%1.%2 %3 %4 %5")
                       .arg(p)
                       .arg(b.link)
                       .arg(int(b.lookup.state))
                       .arg(b.lookup.path, b.lookup.onDisk);
        QStringList problems;   // in the order of the page's reading, which a change may not keep
        for (const RefProblem &r : links.problems(p))
            problems << QStringLiteral("%1 problem %2 %3 line %4").arg(p).arg(int(r.kind)).arg(r.target).arg(r.line);
        problems.sort();
        out << problems;
    }
    return out;
}

void tst_links::changesCheckedAsWholeSite_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("duringCheck");   // made while a whole-site check runs
    for (const char *change :
         {"link added", "link removed", "link retargeted", "saved as the missing file", "saved as a folder's index",
          "saved as a name in other letter case", "saved as a Japanese name in other letter case", "page added",
          "page removed", "definition saved as a linked file", "an anchor a link names added"})
        for (const bool during : {false, true})
            QTest::addRow("%s%s", change, during ? ", during a whole check" : "")
                << QString::fromUtf8(change) << during;
}

// A change checks only what it can have changed, and the marks come out as a check of the
// whole site gives them; so do they after a change made while a whole-site check runs.
void tst_links::changesCheckedAsWholeSite()
{
    QFETCH(QString, change);
    QFETCH(bool, duringCheck);
    TestEnv env;
    const QString folder = env.path(QStringLiteral("s")) + u'/';
    env.writeCp932(
        QStringLiteral("s/p1.htm"),
        linkPage({u"p2.htm"_s, u"missing.htm"_s, u"sub/"_s, u"site2.ksd"_s, u"new.htm"_s, u"ｎｅｗ資料.htm"_s}));
    env.writeCp932(QStringLiteral("s/p2.htm"), linkPage({u"p1.htm"_s, u"p3.htm#x"_s}));
    env.writeCp932(QStringLiteral("s/p3.htm"), linkPage({u"p2.htm"_s}));
    env.writeCp932(QStringLiteral("s/p4.htm"), linkPage({u"p3.htm"_s, u"nowhere.htm"_s}));
    env.write(QStringLiteral("s/sub/readme.txt"), "x");
    QStringList entries;
    for (const char *page : {"p1.htm", "p2.htm", "p3.htm"})
        entries << QStringLiteral("0*%1*%2").arg(folder, QString::fromUtf8(page));
    env.writeCp932(QStringLiteral("s/site.ksd"),
                   definitionHeader(QStringLiteral("Velmoran HTML Editor Ver 0.0"), QStringLiteral("S"), folder)
                       + definitionList(QStringLiteral("003"), entries));
    frmTree *tree = openSite(env, env.path(QStringLiteral("s/site.ksd")));
    QVERIFY(tree);
    const QStringList before = marks(*tree->linkChecker().links());
    QCOMPARE(before, marks(checkSite(gPageTable, gSite.Folder)));   // off the thread as on it

    if (duringCheck) {
        tree->checkLinks();
        QVERIFY(tree->picTre()->awaitsCheck(*tree->tree().lblLink(101)));
        QVERIFY(!tree->picTre()->awaitsCheck(*tree->tree().lblLink(100)));   // a file name
    }
    const auto saveAs = [&](qint32 page, const QString &name) {
        env.platform.fileAnswers.enqueue(folder + name);
        return gPageEditors.at(page)->saveAs();
    };
    const auto saveWith = [](qint32 page, const QStringList &links) {
        gPageEditors.at(page)->txtEdit()->setPlainText(linkPage(links));
        return gPageEditors.at(page)->save();
    };
    if (change == u"link added") {
        QVERIFY(saveWith(1, {u"p2.htm"_s, u"missing.htm"_s, u"sub/"_s, u"site2.ksd"_s, u"gone.htm"_s}));
    } else if (change == u"link removed") {
        QVERIFY(saveWith(1, {u"p2.htm"_s, u"sub/"_s}));
    } else if (change == u"link retargeted") {
        QVERIFY(saveWith(1, {u"p3.htm"_s, u"missing.htm"_s, u"sub/"_s, u"site2.ksd"_s}));
    } else if (change == u"saved as the missing file") {
        QVERIFY(saveAs(3, u"missing.htm"_s));
    } else if (change == u"saved as a folder's index") {
        QVERIFY(saveAs(3, u"sub/index.html"_s));
    } else if (change == u"saved as a name in other letter case") {
        QVERIFY(saveAs(3, u"NEW.htm"_s));
    } else if (change == u"saved as a Japanese name in other letter case") {
        QVERIFY(saveAs(3, u"Ｎｅｗ資料.htm"_s));
    } else if (change == u"an anchor a link names added") {
        gPageEditors.at(3)->txtEdit()->setPlainText(linkPage({u"p2.htm"_s}) + u"<A NAME=\"x\"></A>"_s);
        QVERIFY(gPageEditors.at(3)->save());
    } else if (change == u"page added") {
        env.platform.fileAnswers.enqueue(folder + u"p4.htm"_s);
        tree->cmdHAd_Click();
        QCOMPARE(pageCount(), 4);
    } else if (change == u"page removed") {
        gActiveEditor = gPageEditors.at(2);
        env.platform.messageAnswers.enqueue(vbYes);
        tree->cmdDel_Click();
        QCOMPARE(pageCount(), 2);
    } else {
        env.platform.fileAnswers.enqueue(folder + u"site2.ksd"_s);
        QVERIFY(tree->saveDefinitionAs());
    }
    QVERIFY(duringCheck || !tree->linkChecker().isChecking());   // checked on the spot
    QVERIFY(linksChecked(tree));
    const QStringList after = marks(*tree->linkChecker().links());
    QVERIFY(after != before);
    QCOMPARE(after, marks(checkSite(gPageTable, gSite.Folder)));
    tree->Unload(vbFormCode);
}

void tst_links::linkClick()
{
    TestEnv env;
    env.writeCp932(QStringLiteral("s/p2.htm"), linkPage({}));
    env.writeCp932(QStringLiteral("s/other.htm"), QStringLiteral("<TITLE>他</TITLE>"));
    env.writeCp932(QStringLiteral("s/p1.htm"), linkPage({QStringLiteral("p2.htm#x"), QStringLiteral("other.htm")}));
    const QString folder = env.path(QStringLiteral("s")) + u'/';
    env.writeCp932(
        QStringLiteral("s/site.ksd"),
        definitionHeader(QStringLiteral("Velmoran HTML Editor Ver 0.0"), QStringLiteral("S"), folder)
            + definitionList(QStringLiteral("002"),
                             {QStringLiteral("0*%1*p1.htm").arg(folder), QStringLiteral("0*%1*p2.htm").arg(folder)}));
    frmTree *tree = openSite(env, env.path(QStringLiteral("s/site.ksd")));
    QVERIFY(!gPageEditors.at(2)->Visible());

    // A link to a page of the definition shows that page's editor.
    clickLabel(tree, *tree->tree().lblLink(101));
    QVERIFY(gPageEditors.at(2)->Visible());
    QVERIFY(env.platform.yesNoQuestions.isEmpty());

    // A link to a file outside the definition offers to add it; declined, nothing changes.
    clickLabel(tree, *tree->tree().lblLink(102));
    QCOMPARE(env.platform.yesNoQuestions.size(), 1);
    QVERIFY(env.platform.yesNoQuestions.at(0).contains(QStringLiteral("other.htm")));
    QCOMPARE(pageCount(), 2);
    // Accepted, it becomes the last page, shown.
    env.platform.yesNoAnswers.enqueue(true);
    clickLabel(tree, *tree->tree().lblLink(102));
    QCOMPARE(pageCount(), 3);
    QCOMPARE(gPageTable.at(3).Title, QStringLiteral("他"));
    QVERIFY(gPageEditors.at(3)->Visible());
    // Now it is a page, the link leads to it without asking.
    gPageEditors.at(3)->Hide();
    clickLabel(tree, *tree->tree().lblLink(102));
    QVERIFY(gPageEditors.at(3)->Visible());
    QCOMPARE(env.platform.yesNoQuestions.size(), 2);

    // Both halves of a double-click on a title show its page, as a click does.
    const TreeLabel title = *tree->tree().lblHTML(1);
    const QPoint at(twipsToPixelsX(double(title.left + 30)), twipsToPixelsY(double(title.top + 60)));
    QTest::mouseClick(tree->picTre(), Qt::LeftButton, Qt::NoModifier, at);
    QVERIFY(gPageEditors.at(1)->Visible());
    gPageEditors.at(1)->Hide();
    QTest::mouseDClick(tree->picTre(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(tree->picTre(), Qt::LeftButton, Qt::NoModifier, at);
    QVERIFY(gPageEditors.at(1)->Visible());
    tree->Unload(vbFormCode);
}

void tst_links::siteCheckWindow()
{
    TestEnv env;
    const QString ksd = env.writeSite(QStringLiteral("s"), QStringLiteral("S"), 2);   // each page links x.htm
    frmTree *tree = openSite(env, ksd);
    tree->cmdChk_Click();
    frmSiteCheck *check = tree->siteCheckWindow();
    QVERIFY(check && check->Visible());
    QCOMPARE(check->lblSummary()->text(), treeTexts::linksBeingChecked);
    QVERIFY(linksChecked(tree));
    QCOMPARE(check->lstRows()->rowCount(), 3);   // two broken links, page 2 unlinked
    QCOMPARE(check->lstRows()->item(2, 1)->text(), QStringLiteral("S 2"));

    check->lstRows_Click(2);
    QVERIFY(gPageEditors.at(2)->Visible());

    check->cmdCopy()->click();
    const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    const QStringList cells = lines.at(1).split(u'\t');   // kind, page, line, reference, link, target
    QCOMPARE((QStringList{cells.value(1), cells.value(4)}),
             (QStringList{QStringLiteral("S 1"), QStringLiteral("x.htm")}));

    // Creating the missing file and checking again empties the broken rows.
    env.write(QStringLiteral("s/x.htm"), "x");
    check->cmdRecheck()->click();
    QVERIFY(linksChecked(tree));
    QCOMPARE(check->lstRows()->rowCount(), 1);
    tree->Unload(vbFormCode);
}

namespace {
QString sourceFile(const QString &relative)
{
    return QFINDTESTDATA(QStringLiteral("../../") + relative);
}

// The sample site as the set-up script lays it out, with the shipped tag database.
QString layOutSampleSite(TestEnv &env)
{
    env.write(u"TagDB.TXT"_s, TestEnv::read(sourceFile(u"resources/TagDB.TXT"_s)));
    return env.writeSampleSite(sourceFile(u"examples/sample-site"_s));
}

// The site check window's rows: "kind page line reference link", as shown.
QStringList shownRows(const frmSiteCheck *check)
{
    QStringList rows;
    for (int r = 0; r < check->lstRows()->rowCount(); ++r) {
        QStringList cells;
        for (const int c : {0, 1, 2, 3, 4})
            cells << check->lstRows()->item(r, c)->text();
        rows << cells.join(u'|');
    }
    return rows;
}

frmSiteCheck *openCheck(frmTree *tree)
{
    tree->cmdChk_Click();
    return linksChecked(tree) ? tree->siteCheckWindow() : nullptr;
}

// A site of one page `p1.htm` holding `body`, and the files `files` beside it.
frmTree *siteWith(TestEnv &env, const QString &body, const QStringList &files = {})
{
    env.writeCp932(u"s/p1.htm"_s, u"<TITLE>P</TITLE>\r\n"_s + body);
    for (const QString &f : files)
        env.write(u"s/"_s + f, "x");
    const QString folder = env.path(u"s"_s) + u'/';
    env.writeCp932(u"s/site.ksd"_s,
                   definitionHeader(u"Velmoran HTML Editor Ver 0.0"_s, u"S"_s, folder)
                       + definitionList(u"001"_s, {u"-1*%1*p1.htm"_s.arg(folder)}));
    return openSite(env, env.path(u"s/site.ksd"_s));
}
}   // namespace

// The sample site as a new user tries it: its missing pictures are reported, and the tag
// palette's own link and picture snippets typed into a page give no broken link.
void tst_links::sampleSiteAndPaletteSnippet()
{
    TestEnv env;
    frmTree *tree = openSite(env, layOutSampleSite(env));
    frmSiteCheck *check = openCheck(tree);
    QVERIFY(check);
    const QString broken = treeTexts::kindBroken;
    const QString image = treeTexts::refImage;
    const QStringList missingPictures{
        broken + u"|ようこそ　サンプルサイトへ|6|"_s + image + u"|images/bg.gif"_s,
        broken + u"|ようこそ　サンプルサイトへ|13|"_s + image + u"|images/logo.gif"_s,
        broken + u"|このサイトについて|6|"_s + image + u"|images/bg.gif"_s,
        broken + u"|リンク集|6|"_s + image + u"|images/bg.gif"_s,
    };
    QCOMPARE(shownRows(check), missingPictures);

    // The snippets typed at the start of the line with the logo, from the shipped palette.
    gTagWinHeight = frmTAG::designedHeight;
    gTagWinWidth = frmTAG::designedWidth;
    frmTAG palette(env.area());
    frmChild1 *index = gPageEditors.at(1);
    tree->lblHTML_Click(1);
    gActiveEditor = index;
    index->selectText(index->txtEdit()->document()->findBlockByNumber(12).position(), 0);
    for (const QString &snippet : {u"<A HREF=\"\"></A>"_s, u"<IMG SRC=\"\" ALT=\"\">"_s}) {
        const qsizetype tag = std::find_if(gTagTable.cbegin(), gTagTable.cend(),
                                           [&](const TagRecord &t) { return t.TagText == snippet; })
            - gTagTable.cbegin();
        QVERIFY(tag < gTagTable.size());
        palette.cmdBase()[int(tag)]->click();
    }
    QVERIFY(QTest::qWaitFor([&] { return index->text().contains(u"ALT=\"\"><IMG SRC=\"images/logo.gif\""_s); }));
    QVERIFY(index->save());
    QVERIFY(linksChecked(tree));
    // The tree's reading of the snippet's empty HREF runs into the next quoted value: that
    // is no address, listed apart and never drawn broken.
    QCOMPARE(brokenCaptions(tree, 1), QStringList());
    QStringList rows = shownRows(check);
    QCOMPARE(rows.takeLast(),
             treeTexts::kindNotAddress + u"|ようこそ　サンプルサイトへ|13|"_s + treeTexts::refPage
                 + u"|\"></A><IMG SRC="_s);
    QCOMPARE(rows, missingPictures);
    tree->Unload(vbFormCode);
}

// 作成 on a broken link adds the page it looks for, titled by the link's text, as an
// unsaved page of the definition holding the new-page skeleton and nothing else: the link
// is sound at once, and nothing is written.
void tst_links::createdPageMendsTheLink()
{
    TestEnv env;
    frmTree *tree = siteWith(env, u"<P>\r\n<A HREF=\"new.htm\">新しい <B>ページ</B></A>\r\n"_s);
    frmSiteCheck *check = openCheck(tree);
    QCOMPARE(shownRows(check).size(), 1);
    check->lstRows()->selectRow(0);
    QVERIFY(check->cmdMend(frmSiteCheck::Mend::Create)->isEnabled());
    QVERIFY(!check->cmdMend(frmSiteCheck::Mend::FixCase)->isEnabled());
    check->cmdMend(frmSiteCheck::Mend::Create)->click();
    QVERIFY(linksChecked(tree));
    QCOMPARE(pageCount(), 2);
    QCOMPARE(gPageTable.at(2).Title, u"新しい ページ"_s);
    QCOMPARE(pagePath(gPageTable.at(2)), env.path(u"s/new.htm"_s));
    QVERIFY(gPageEditors.at(2)->isModified() && gPageEditors.at(2)->Visible());
    QCOMPARE(gPageEditors.at(2)->text(), siteCommands::pageSkeleton(u"新しい ページ"_s));
    QVERIFY(!QFile::exists(env.path(u"s/new.htm"_s)));
    QCOMPARE(brokenCaptions(tree, 1), QStringList());
    QCOMPARE(shownRows(check), QStringList());
    tree->Unload(vbFormCode);
}

// 変更 and the letter-case fix rewrite the reference in the page's editor, as an undoable
// change; the file stays as it was. The tree's red link offers the same.
void tst_links::changeAndCaseRewriteTheEditor()
{
    TestEnv env;
    frmTree *tree = siteWith(env, u"<IMG SRC=\"IMG/LOGO.GIF\">\r\n<A HREF=\"gone.htm#x\">x</A>\r\n"_s,
                             {u"img/logo.gif"_s, u"docs/other page.htm"_s});
    const QByteArray onDisk = TestEnv::read(env.path(u"s/p1.htm"_s));
    frmSiteCheck *check = openCheck(tree);
    QCOMPARE(shownRows(check).size(), 2);   // gone.htm broken, IMG/LOGO.GIF letter case
    check->lstRows()->selectRow(1);
    check->cmdMend(frmSiteCheck::Mend::FixCase)->click();
    frmChild1 *editor = gPageEditors.at(1);
    QVERIFY(editor->text().contains(u"<IMG SRC=\"img/logo.gif\">"_s));
    QVERIFY(editor->isModified());

    const std::optional<ReportRow> gone = tree->linkRow(1, 1);
    QVERIFY(gone && gone->line == 3);
    QMenu *menu = tree->mendMenu(*gone);
    QCOMPARE(menu->actions().at(0)->isEnabled(), true);    // 作成
    QCOMPARE(menu->actions().at(2)->isEnabled(), false);   // the letter case is right
    env.platform.fileAnswers.enqueue(env.path(u"s/docs/other page.htm"_s));
    menu->actions().at(1)->trigger();   // 変更
    QVERIFY(editor->text().contains(u"<A HREF=\"docs/other%20page.htm\">x</A>"_s));
    editor->txtEdit()->undo();
    QVERIFY(editor->text().contains(u"<A HREF=\"gone.htm#x\">"_s));
    QCOMPARE(TestEnv::read(env.path(u"s/p1.htm"_s)), onDisk);
    tree->Unload(vbFormCode);
}

// The file a row's reference leads to moves through the rename dialog, from the row's button
// or its context menu, every sound reference following it; a row whose file is missing
// offers nothing.
void tst_links::moveReferencedFile()
{
    TestEnv env;
    frmTree *tree = siteWith(env,
                             u"<IMG SRC=\"img/logo.gif\">\r\n<IMG SRC=\"IMG/LOGO.GIF\">\r\n"
                             u"<A HREF=\"gone.htm\">x</A><A HREF=\"p1.htm#x\">y</A>\r\n"_s,
                             {u"img/logo.gif"_s});
    frmSiteCheck *check = openCheck(tree);
    const auto select = [check](ReportRow::Kind kind) {
        const auto &rows = check->rows();
        const auto row
            = std::find_if(rows.cbegin(), rows.cend(), [kind](const ReportRow &r) { return r.kind == kind; });
        check->lstRows()->selectRow(int(row - rows.cbegin()));
        return row != rows.cend();
    };
    QVERIFY(select(ReportRow::Kind::Broken));
    QVERIFY(!check->cmdMoveFile()->isEnabled());

    // A missing anchor: the page that lacks it is the file, a page of the definition.
    env.platform.modalActions.enqueue([&](QDialog &dialog) {
        auto &rename = static_cast<frmRename &>(dialog);
        rename.txtName()->setText(u"top.htm"_s);
        QVERIFY(QTest::qWaitFor([&] { return !rename.isPlanning() && rename.plan(); }, 20000));
        QCOMPARE(rename.plan()->from, env.path(u"s/p1.htm"_s));
        QCOMPARE(rename.plan()->movedPages, QList<qint32>{1});
        rename.reject();
    });
    QVERIFY(select(ReportRow::Kind::BrokenAnchor));
    check->cmdMoveFile()->click();
    QVERIFY(env.platform.modalActions.isEmpty());
    QVERIFY(QFile::exists(env.path(u"s/p1.htm"_s)));

    // The picture a link reaches only when letter case is ignored, from the context menu.
    env.platform.modalActions.enqueue([&](QDialog &dialog) {
        auto &rename = static_cast<frmRename &>(dialog);
        rename.txtFolder()->setText(QDir::toNativeSeparators(env.path(u"s/pics/"_s)));
        QVERIFY(QTest::qWaitFor([&] { return !rename.isPlanning() && rename.plan(); }, 20000));
        QCOMPARE(rename.plan()->from, env.path(u"s/img/logo.gif"_s));
        rename.cmdApply()->click();
    });
    QVERIFY(select(ReportRow::Kind::CaseDiffers));
    QMenu *menu = check->rowMenu();
    QCOMPARE(menu->actions().last()->text(), treeTexts::moveReferencedFile);
    menu->actions().last()->trigger();
    delete menu;
    QVERIFY(env.platform.modalActions.isEmpty());
    QVERIFY(QFile::exists(env.path(u"s/pics/logo.gif"_s)) && !QFile::exists(env.path(u"s/img/logo.gif"_s)));
    const QString text = gPageEditors.at(1)->text();
    QVERIFY2(text.contains(u"<IMG SRC=\"pics/logo.gif\">"_s) && text.contains(u"<IMG SRC=\"IMG/LOGO.GIF\">"_s),
             qPrintable(text));
    QVERIFY(gPageEditors.at(1)->isModified());
    tree->Unload(vbFormCode);
}

namespace {
// The fields of a CSV text, line by line.
QList<QStringList> csvRows(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"')
                field += text.at(++i);
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',' || c == u'\r') {
            row << std::exchange(field, QString());
            if (c == u'\r') {
                rows << std::exchange(row, {});
                ++i;   // the line feed
            }
        } else {
            field += c;
        }
    }
    return rows;
}

// The cells of an HTML report's table rows, and the links of its rows.
QList<QStringList> htmlRows(const QString &html, QStringList *links)
{
    QList<QStringList> rows;
    static const QRegularExpression rowPattern(u"<tr>(.*?)</tr>"_s);
    static const QRegularExpression cellPattern(u"<t[hd]>(.*?)</t[hd]>"_s);
    static const QRegularExpression linkPattern(u"<a href=\"([^\"]*)\"[^>]*>(.*)</a>"_s);
    for (const auto &r : rowPattern.globalMatch(html)) {
        QStringList cells;
        for (const auto &c : cellPattern.globalMatch(r.captured(1))) {
            QString cell = c.captured(1);
            if (const auto link = linkPattern.match(cell); link.hasMatch()) {
                *links << pageRefs::decodeCharRefs(link.captured(1));
                cell = link.captured(2);
            }
            cells << pageRefs::decodeCharRefs(cell);
        }
        rows << cells;
    }
    return rows;
}
}   // namespace

// The report saved as CSV and as HTML reads back with the window's rows; the HTML rows
// link to their pages.
void tst_links::reportFilesReadBack()
{
    TestEnv env;
    frmTree *tree
        = siteWith(env, u"<IMG SRC=\"a,\"\"b.gif\"><A HREF='x&amp;y.htm'>\r\n<A HREF=\"\"></A><P ID=\"q\">"_s);
    frmSiteCheck *check = openCheck(tree);
    QList<QStringList> shown;
    for (const QString &line : check->reportText().split(u'\n', Qt::SkipEmptyParts))
        shown << line.split(u'\t');
    QCOMPARE(shown.size(), 4);   // the header, two broken references, a value that is no address
    const QString csvPath = env.path(u"report.csv"_s);
    env.platform.fileAnswers.enqueue(csvPath);
    check->cmdSaveCsv_Click();
    const QByteArray csv = TestEnv::read(csvPath);
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(csvRows(QString::fromUtf8(csv.mid(3))), shown);

    const QString htmlPath = env.path(u"reports/report.html"_s);
    QDir().mkpath(env.path(u"reports"_s));
    env.platform.fileAnswers.enqueue(htmlPath);
    check->cmdSaveHtml_Click();
    QStringList links;
    QCOMPARE(htmlRows(QString::fromUtf8(TestEnv::read(htmlPath)), &links), shown);
    QCOMPARE(links, QStringList(3, u"../s/p1.htm"_s));
    tree->Unload(vbFormCode);
}

PAGEKILN_TEST_MAIN(tst_links)
#include "tst_links.moc"
