// Renaming a page through the tree's dialog: every change listed first, then the file moved
// and every editor's links changed as unsaved changes; a move that fails on disk changes
// nothing; the last rename taken back.

#include "app/basSystem.h"
#include "editor/frmChild1.h"
#include "support/TestEnv.h"
#include "tree/LinkCheck.h"
#include "tree/TreeTexts.h"
#include "tree/frmRename.h"
#include "tree/frmTree.h"
#include "support/TestMain.h"

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace basSystem;
using namespace Qt::StringLiterals;

class tst_rename : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { resetSharedState(); }
    void renameAndUndo();
    void failedMoveChangesNothing_data();
    void failedMoveChangesNothing();
    void removalOffersTheTrash();
};

namespace {
const QString page1 = u"<TITLE>S 1</TITLE>\r\n<A HREF=\"p2.htm#a\">2</A>\r\n<A HREF=\"./P2.htm\">case</A>\r\n"_s;
const QString page2 = u"<TITLE>S 2</TITLE>\r\n<IMG SRC=\"img/a.gif\">\r\n<A HREF=\"p3.htm\">3</A>\r\n"_s;
const QString page3 = u"<TITLE>S 3</TITLE>\r\n<A HREF=\"/p2.htm\">2</A>\r\n"_s;

// Three pages linking to page 2 in several forms, the tree open on them.
frmTree *openSite(TestEnv &env)
{
    const QString ksd = env.writeSite(u"s"_s, u"S"_s, 3);
    env.writeCp932(u"s/p1.htm"_s, page1);
    env.writeCp932(u"s/p2.htm"_s, page2);
    env.writeCp932(u"s/p3.htm"_s, page3);
    env.write(u"s/img/a.gif"_s, "GIF");
    gTreeWinWidth = 6000;
    gTreeWinHeight = 8430;
    auto *tree = new frmTree(env.area());
    tree->Show();
    tree->openDefinition(ksd);
    return tree;
}

// Queues the dialog's answer: the new folder and name typed, `before` run once the list is
// in, then 変更.
void answerDialog(TestEnv &env, const QString &folder, const QString &name,
                  std::function<void(frmRename &)> before = {})
{
    env.platform.modalActions.enqueue([=](QDialog &dialog) {
        auto &rename = static_cast<frmRename &>(dialog);
        rename.txtFolder()->setText(QDir::toNativeSeparators(folder));
        rename.txtName()->setText(name);
        QVERIFY(QTest::qWaitFor([&] { return !rename.isPlanning() && rename.plan(); }, 20000));
        if (before)
            before(rename);
        rename.cmdApply()->click();
    });
}

QStringList editorTexts()
{
    QStringList texts;
    for (qint32 i = 1; i <= pageCount(); ++i)
        texts << gPageEditors.at(i)->text();
    return texts;
}
}   // namespace

// Page 2 moves into a new folder under a Japanese name: the list shows every change, the
// editors take them as unsaved changes on top of what was typed, nothing but the page file
// changes on disk; undo puts back every text, entry and file.
void tst_rename::renameAndUndo()
{
    TestEnv env;
    frmTree *tree = openSite(env);
    const QString site = env.path(u"s"_s);
    frmChild1 *typed = gPageEditors.at(3);
    typed->txtEdit()->moveCursor(QTextCursor::End);
    typed->txtEdit()->insertPlainText(u"<P>typed</P>"_s);
    QVERIFY(typed->isModified());
    const QStringList before = editorTexts();
    const QByteArray page2Bytes = TestEnv::read(site + u"/p2.htm"_s);

    QStringList rows;
    answerDialog(env, site + u"/sub/"_s, u"二.htm"_s, [&](frmRename &dialog) {
        for (qsizetype r = 0; r < dialog.changes().rowCount(); ++r)
            rows << dialog.changes().rowTexts(r).join(u'|');
    });
    tree->renamePage(2);
    const QString moved = site + u"/sub/二.htm"_s;
    const QString shownFrom = QDir::toNativeSeparators(site + u"/p2.htm"_s);
    const QString shownTo = QDir::toNativeSeparators(moved);
    QCOMPARE(rows,
             (QStringList{
                 treeTexts::renameRowMove + u"||"_s + u"|"_s + shownFrom + u"|"_s + shownTo,
                 treeTexts::renameRowEntry + u"|S 2||"_s + shownFrom + u"|"_s + shownTo,
                 treeTexts::renameRowOwnLink + u"|S 2|2|img/a.gif|../img/a.gif"_s,
                 treeTexts::renameRowOwnLink + u"|S 2|3|p3.htm|../p3.htm"_s,
                 treeTexts::renameRowLink + u"|S 1|2|p2.htm#a|sub/二.htm#a"_s,
                 treeTexts::renameRowBroken + u"|S 1|3|./P2.htm|"_s,
                 treeTexts::renameRowLink + u"|S 3|2|/p2.htm|/sub/二.htm"_s,
             }));
    QVERIFY(env.platform.messages.isEmpty());
    QVERIFY(!QFile::exists(site + u"/p2.htm"_s));
    QCOMPARE(TestEnv::read(moved), page2Bytes);
    QCOMPARE(linkCheck::pagePath(gPageTable.at(2)), moved);
    QCOMPARE(editorTexts(),
             (QStringList{QString(before.at(0)).replace(u"\"p2.htm#a\""_s, u"\"sub/二.htm#a\""_s),
                          QString(page2).replace(u"\"img/"_s, u"\"../img/"_s).replace(u"\"p3"_s, u"\"../p3"_s),
                          QString(before.at(2)).replace(u"\"/p2.htm\""_s, u"\"/sub/二.htm\""_s)}));
    for (qint32 i = 1; i <= 3; ++i)
        QVERIFY(gPageEditors.at(i)->isModified());
    QCOMPARE(TestEnv::read(site + u"/p1.htm"_s), TestEnv::cp932(page1));

    // Undo: page 3 keeps what was typed, the others are as they were on disk.
    QVERIFY(tree->canUndoRename());
    tree->cmdUndoRen_Click();
    QVERIFY(env.platform.messages.isEmpty());
    QCOMPARE(editorTexts(), before);
    QVERIFY(!gPageEditors.at(1)->isModified() && !gPageEditors.at(2)->isModified());
    QVERIFY(typed->isModified());
    QCOMPARE(TestEnv::read(site + u"/p2.htm"_s), page2Bytes);
    QVERIFY(!QFileInfo::exists(site + u"/sub"_s));
    QCOMPARE(linkCheck::pagePath(gPageTable.at(2)), site + u"/p2.htm"_s);
    QVERIFY(!tree->canUndoRename());

    // Once a changed page is saved, the rename stays.
    answerDialog(env, site + u'/', u"two.htm"_s);
    tree->renamePage(2);
    QVERIFY(QFile::exists(site + u"/two.htm"_s));
    QVERIFY(gPageEditors.at(1)->save());
    QVERIFY(!tree->canUndoRename());
    tree->cmdUndoRen_Click();
    QCOMPARE(env.platform.messageTexts(), QStringList{treeTexts::undoRenameSaved});
    QVERIFY(QFile::exists(site + u"/two.htm"_s));
    tree->Unload(vbFormCode);
}

namespace {
enum class Obstacle { TargetExists, ReadOnlyFolder, FullFileSystem };

// A tmpfs mounted over a folder for as long as it lives.
struct Mount {
    Mount(const QString &folder, unsigned long flags, const char *options) : path(QFile::encodeName(folder))
    {
        mounted = ::mount("tmpfs", path.constData(), "tmpfs", flags, options) == 0;
    }
    ~Mount()
    {
        if (mounted)
            ::umount2(path.constData(), MNT_DETACH);
    }
    QByteArray path;
    bool mounted = false;
};
}   // namespace

void tst_rename::failedMoveChangesNothing_data()
{
    QTest::addColumn<int>("obstacle");
    QTest::newRow("target made after the list") << int(Obstacle::TargetExists);
    QTest::newRow("read-only folder") << int(Obstacle::ReadOnlyFolder);
    QTest::newRow("full file system across the move") << int(Obstacle::FullFileSystem);
}

// The obstacle comes between the list and 変更, as it would from another program; the user
// is told, and every file, entry and editor stays as it was.
void tst_rename::failedMoveChangesNothing()
{
    QFETCH(int, obstacle);
    TestEnv env;
    const QString site = env.path(u"s"_s);
    const QString folder = env.path(u"s/place"_s);
    QVERIFY(QDir().mkpath(folder));
    std::unique_ptr<Mount> mount;
    const bool root = ::geteuid() == 0;
    if (Obstacle(obstacle) != Obstacle::TargetExists && root) {
        // Root writes into any folder: a file system of its own refuses instead.
        const bool full = Obstacle(obstacle) == Obstacle::FullFileSystem;
        mount = std::make_unique<Mount>(folder, full ? 0 : MS_RDONLY, full ? "size=8k" : "");
        if (!mount->mounted)
            QSKIP("the tmpfs mount was refused");
    } else if (Obstacle(obstacle) == Obstacle::FullFileSystem) {
        QSKIP("mounting a tmpfs needs root");
    }
    frmTree *tree = openSite(env);
    // Bigger than the full file system holds.
    gPageEditors.at(2)->setText(page2 + QString(64 * 1024, u'x'));
    QVERIFY(gPageEditors.at(2)->save());
    const QStringList before = editorTexts();
    const QByteArray page2Bytes = TestEnv::read(site + u"/p2.htm"_s);
    const QString target = folder + u"/new.htm"_s;
    answerDialog(env, folder + u'/', u"new.htm"_s, [&](frmRename &) {
        if (Obstacle(obstacle) == Obstacle::TargetExists)
            env.write(u"s/place/new.htm"_s, "other");
        else if (!root)
            QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0555) == 0);
    });
    tree->renamePage(2);
    ::chmod(QFile::encodeName(folder).constData(), 0755);

    const QString told = env.platform.messageTexts().value(0);
    QVERIFY2(told.startsWith(Obstacle(obstacle) == Obstacle::TargetExists ? treeTexts::moveTargetExists
                                                                          : treeTexts::moveFailed),
             qPrintable(told));
    QCOMPARE(TestEnv::read(site + u"/p2.htm"_s), page2Bytes);
    QCOMPARE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             Obstacle(obstacle) == Obstacle::TargetExists ? QStringList{u"new.htm"_s} : QStringList());
    QCOMPARE(linkCheck::pagePath(gPageTable.at(2)), site + u"/p2.htm"_s);
    QCOMPARE(editorTexts(), before);
    for (qint32 i = 1; i <= 3; ++i)
        QVERIFY(!gPageEditors.at(i)->isModified());
    QVERIFY(!tree->canUndoRename());
    tree->Unload(vbFormCode);
}

// Removing a page offers to move its file to the trash, naming the links that will break;
// declined, the file stays. The user's data folder does not exist yet, as on a new account:
// the trash is made there, never in the working folder.
void tst_rename::removalOffersTheTrash()
{
    TestEnv env;
    frmTree *tree = openSite(env);
    const QString site = env.path(u"s"_s);
    const QByteArray page2Bytes = TestEnv::read(site + u"/p2.htm"_s);
    gActiveEditor = gPageEditors.at(2);
    env.platform.messageAnswers << vbYes << vbYes;
    env.platform.yesNoAnswers << true << false;
    tree->cmdDel_Click();
    QCOMPARE(env.platform.yesNoQuestions.size(), 1);
    QCOMPARE(env.platform.yesNoQuestions.at(0),
             treeTexts::trashPrompt(
                 QDir::toNativeSeparators(site + u"/p2.htm"_s),
                 {treeTexts::trashLink(u"S 1"_s, 2, u"p2.htm#a"_s), treeTexts::trashLink(u"S 3"_s, 2, u"/p2.htm"_s)},
                 2));
    QVERIFY(!QFile::exists(site + u"/p2.htm"_s));
    QCOMPARE(TestEnv::read(env.path(u"data/Trash/files/p2.htm"_s)), page2Bytes);
    QCOMPARE(pageTitles(), (QStringList{u"S 1"_s, u"S 3"_s}));

    gActiveEditor = gPageEditors.at(2);
    tree->cmdDel_Click();
    QCOMPARE(env.platform.yesNoQuestions.size(), 2);
    QVERIFY(QFile::exists(site + u"/p3.htm"_s));
    QCOMPARE(pageTitles(), QStringList{u"S 1"_s});
    QCOMPARE(env.platform.messages.size(), 2);   // the two remove questions, nothing failed
    QVERIFY(!QFileInfo::exists(u"files"_s));
    tree->Unload(vbFormCode);
}

PAGEKILN_TEST_MAIN(tst_rename)
#include "tst_rename.moc"
