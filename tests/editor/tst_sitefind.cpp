#include "app/basSystem.h"
#include "editor/frmChild1.h"
#include "editor/frmSiteFind.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "tree/frmTree.h"

#include <QLineEdit>
#include <QPlainTextEdit>
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
}   // namespace

class tst_sitefind : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void findsInUnsavedTextsAndReplacesWithoutWriting();
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
    QVERIFY(listed(*window).isEmpty());
    for (qint32 id = 1; id <= 3; ++id) {
        QVERIFY(gPageEditors.at(id)->isModified());
        QVERIFY(gPageEditors.at(id)->hasModifiedMark());
        QVERIFY(gPageEditors.at(id)->text().contains(u"<A SRC=\"x.htm\">"_s));
    }
    QCOMPARE(TestEnv::read(env.path(u"s/p2.htm"_s)), page2);
    QVERIFY(TestEnv::read(env.path(u"s/p1.htm"_s)).contains("HREF"));
}

PAGEKILN_TEST_MAIN(tst_sitefind)
#include "tst_sitefind.moc"
