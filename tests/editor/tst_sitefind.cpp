#include "app/basSystem.h"
#include "editor/frmChild1.h"
#include "editor/frmSiteFind.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "tree/frmTree.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QtTest>

using namespace basSystem;
using namespace Qt::StringLiterals;

namespace {
// The list as the window shows it: "title|line|text" per hit.
QStringList listed(const frmSiteFind &window)
{
    QStringList rows;
    const SiteHits &hits = window.hits();
    for (int row = 0; row < hits.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < SiteHits::ColumnCount; ++column)
            cells << hits.data(hits.index(row, column), Qt::DisplayRole).toString();
        rows << cells.join(u'|');
    }
    return rows;
}

// Opens a site of three pages titled "頁 1" to "頁 3" (page 1 shown) and the search window.
frmSiteFind *openSite(TestEnv &env)
{
    auto *tree = new frmTree(env.area());
    if (!tree->openDefinition(env.writeSite(u"s"_s, u"頁"_s, 3)))
        return nullptr;
    return new frmSiteFind(env.area());
}

// The text selected in page `page`'s editor after a click on hit `row`.
QString clicked(frmSiteFind *window, int row)
{
    window->lstHits_Click(row);
    return gPageEditors.at(window->hits().at(row).page)->txtEdit()->textCursor().selectedText();
}
}   // namespace

class tst_sitefind : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void findsInUnsavedTextsAndReplacesWithoutWriting();
    void matcherLimitStopsWithPageAndLine();
    void hitsFollowEditsDuringAndAfterTheSearch();
    void editsWaitingForTheTextBoxAreSearched();
    void cancelledReplacementChangesNothing();
    void replacementPastAPageLimitChangesNothing();
};

void tst_sitefind::findsInUnsavedTextsAndReplacesWithoutWriting()
{
    TestEnv env;
    gTreeWinWidth = 3210;
    gTreeWinHeight = 8430;
    auto *tree = new frmTree(env.area());
    QVERIFY(tree->openDefinition(env.writeSite(u"s"_s, u"頁"_s, 3)));
    // Page 1 is shown and edited; pages 2 and 3 were never shown. Page 2's file changes
    // behind the program's back: the search reads the editors, not the files.
    gPageEditors.at(1)->txtEdit()->appendPlainText(u"未保存の href"_s);
    const QByteArray page2 = TestEnv::read(env.writeCp932(u"s/p2.htm"_s, u"HREF HREF\r\n"_s));
    auto *window = new frmSiteFind(env.area());
    window->txtFind()->setText(u"href"_s);
    window->cmdFind_Click();
    QTRY_VERIFY(!window->isSearching());
    const QString line = u"<A HREF=\"x.htm\">x</A>"_s;
    QCOMPARE(listed(*window),
             (QStringList{u"頁 1|2|"_s + line, u"頁 1|4|未保存の href"_s, u"頁 2|2|"_s + line, u"頁 3|2|"_s + line}));

    // A click shows the hit's page in its editor with the hit selected.
    window->lstHits_Click(3);
    frmChild1 *third = gPageEditors.at(3);
    QVERIFY(third->Visible());
    QCOMPARE(third->txtEdit()->textCursor().selectedText(), u"HREF"_s);

    // Replacing changes every editor's text as typing would, and writes no file.
    window->txtReplace()->setText(u"SRC"_s);
    window->cmdReplaceAll_Click();
    QTRY_VERIFY(!window->isSearching());
    QCOMPARE(window->statusText(), u"3 ページで 4 件置換しました (未保存)"_s);
    QVERIFY(listed(*window).isEmpty());
    for (qint32 id = 1; id <= 3; ++id) {
        QVERIFY(gPageEditors.at(id)->isModified());
        QVERIFY(gPageEditors.at(id)->hasModifiedMark());
        QVERIFY(gPageEditors.at(id)->text().contains(u"<A SRC=\"x.htm\">"_s));
    }
    QCOMPARE(TestEnv::read(env.path(u"s/p2.htm"_s)), page2);
    QVERIFY(TestEnv::read(env.path(u"s/p1.htm"_s)).contains("HREF"));
}

// A regular expression that meets the matcher's limits in one page says where, and
// replacing then changes no page at all.
void tst_sitefind::matcherLimitStopsWithPageAndLine()
{
    TestEnv env;
    auto *tree = new frmTree(env.area());
    const QString site = env.writeSite(u"s"_s, u"頁"_s, 3);
    env.writeCp932(u"s/p2.htm"_s, u"<TITLE>頁 2</TITLE>\r\n<P>aa</P>\r\n"_s + QString(25, u'a') + u"!\r\n"_s);
    QVERIFY(tree->openDefinition(site));
    auto *window = new frmSiteFind(env.area());
    window->chkRegex()->setChecked(true);
    window->txtFind()->setText(u"(a+)+$"_s);
    window->cmdFind_Click();
    QTRY_VERIFY(!window->isSearching());
    const QString failed = u"正規表現を照合できませんでした（ページ「頁 2」の 3 行目）: 照合の手順が上限を超えました"_s;
    QCOMPARE(window->statusText(), failed);

    window->txtFind()->setText(u"(a+)+$|HREF"_s);
    window->txtReplace()->setText(u"x"_s);
    window->cmdReplaceAll_Click();
    QTRY_VERIFY(!window->isSearching());
    QCOMPARE(window->statusText(), u"置換しませんでした。"_s + failed);
    for (qint32 id = 1; id <= 3; ++id)
        QVERIFY(!gPageEditors.at(id)->isModified());
}

// Hits keep pointing at their text through edits made while the search ran and after it:
// a click selects the hit, and a hit whose own text was edited is taken out.
void tst_sitefind::hitsFollowEditsDuringAndAfterTheSearch()
{
    TestEnv env;
    frmSiteFind *window = openSite(env);
    QVERIFY(window);
    window->txtFind()->setText(u"HREF"_s);
    window->cmdFind_Click();
    // Page 2's hits are not in yet: a line goes in above its hit.
    QTextCursor(gPageEditors.at(2)->txtEdit()->document()).insertText(u"新しい行\n"_s);
    QTRY_VERIFY(!window->isSearching());
    QCOMPARE(window->hits().count(), 3);
    QCOMPARE(clicked(window, 1), u"HREF"_s);

    // Listed hits: text typed before page 3's hit on its line, and into page 1's hit.
    QTextCursor(gPageEditors.at(3)->txtEdit()->document()->findBlockByNumber(1)).insertText(u"<P>"_s);
    QTextCursor inHit(gPageEditors.at(1)->txtEdit()->document()->findBlockByNumber(1));
    inHit.setPosition(inHit.position() + 4);
    inHit.insertText(u"x"_s);
    const QString line = u"<A HREF=\"x.htm\">x</A>"_s;
    QCOMPARE(listed(*window), (QStringList{u"頁 2|3|"_s + line, u"頁 3|2|<P>"_s + line}));
    QCOMPARE(clicked(window, 0), u"HREF"_s);
    QCOMPARE(clicked(window, 1), u"HREF"_s);
}

// Edits another command made in an editor whose text box is not made yet (a rename's
// links) are searched without making it; its hits stay right once it is made.
void tst_sitefind::editsWaitingForTheTextBoxAreSearched()
{
    TestEnv env;
    frmSiteFind *window = openSite(env);
    QVERIFY(window);
    frmChild1 *third = gPageEditors.at(3);
    QVERIFY(third->waitsForText());
    third->makeEdits(1, {{0, 0, u"<P>新しい行</P>\n"_s}});
    window->txtFind()->setText(u"HREF"_s);
    window->cmdFind_Click();
    QTRY_VERIFY(!window->isSearching());
    QVERIFY(third->waitsForText());
    const QString line = u"<A HREF=\"x.htm\">x</A>"_s;
    QCOMPARE(listed(*window).last(), u"頁 3|3|"_s + line);
    QCOMPARE(clicked(window, 2), u"HREF"_s);
    QCOMPARE(listed(*window).last(), u"頁 3|3|"_s + line);
}

// Esc while a replacement is being prepared stops it, and no page changes.
void tst_sitefind::cancelledReplacementChangesNothing()
{
    TestEnv env;
    frmSiteFind *window = openSite(env);
    QVERIFY(window);
    window->txtFind()->setText(u"HREF"_s);
    window->txtReplace()->setText(u"SRC"_s);
    window->cmdReplaceAll_Click();
    QVERIFY(window->isSearching());
    QTest::keyClick(window->txtFind(), Qt::Key_Escape);
    QVERIFY(!window->isSearching());
    QCOMPARE(window->statusText(), u"置換を中止しました。どのページも変更していません。"_s);
    QTest::qWait(50);   // anything the search's thread still sends
    for (qint32 id = 1; id <= 3; ++id) {
        QVERIFY(!gPageEditors.at(id)->isModified());
        QVERIFY(gPageEditors.at(id)->text().contains(u"HREF"_s));
    }
}

// A replacement that would take one page past the line limit changes no page, and says
// which page and by how much.
void tst_sitefind::replacementPastAPageLimitChangesNothing()
{
    TestEnv env;
    auto *tree = new frmTree(env.area());
    const QString site = env.writeSite(u"s"_s, u"頁"_s, 3);
    env.writeCp932(u"s/p2.htm"_s, u"<TITLE>頁 2</TITLE>\r\n"_s + u"a\r\n"_s.repeated(2200000));
    QVERIFY(tree->openDefinition(site));
    auto *window = new frmSiteFind(env.area());
    window->txtFind()->setText(u"a"_s);
    window->txtReplace()->setText(u"a\\nb"_s);
    window->chkRegex()->setChecked(true);
    window->cmdReplaceAll_Click();
    QTRY_VERIFY_WITH_TIMEOUT(!window->isSearching(), 60000);
    QCOMPARE(env.platform.messageTexts(),
             QStringList{u"ページ「頁 2」: この編集をするとページの行数が多くなりすぎるため、できません"
                         "（4400001 行、上限 4194304 行）。"_s});
    QCOMPARE(window->statusText(), u"置換しませんでした。"_s);
    for (qint32 id = 1; id <= 3; ++id)
        QVERIFY(!gPageEditors.at(id)->isModified());
}

PAGEKILN_TEST_MAIN(tst_sitefind)
#include "tst_sitefind.moc"
