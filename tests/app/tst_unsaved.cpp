#include "app/basSystem.h"
#include "app/mdiMain.h"
#include "editor/frmChild1.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "tree/TreeView.h"
#include "tree/frmTree.h"

#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QtTest>

using namespace basSystem;
using namespace Qt::StringLiterals;

namespace {
enum class Command { QuitButton, CloseBox, NewDefinition, Open };

// A frame with the tree shown and site "A" (two pages) opened; page 1's editor is shown.
struct Session {
    explicit Session(TestEnv &env) : env(env)
    {
        env.writeSettings(0, -1);
        a = env.writeSite(u"a"_s, u"A"_s, 2);
        b = env.writeSite(u"b"_s, u"B"_s, 1);
        frame = new mdiMain;
        frame->MDIForm_Load();
        frame->show();
        tree = frame->treeWindow();
        env.platform.fileAnswers.enqueue(a);
        tree->cmdOpe_Click();
        editor = gPageEditors.at(1);
    }
    ~Session() { delete frame; }

    void type(const QString &text)
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QCoreApplication::sendEvent(editor->txtEdit(), &press);
    }

    // Runs the command; true when it went on (the site or the program was closed).
    bool run(Command command)
    {
        switch (command) {
        case Command::QuitButton: QTest::mouseClick(tree->cmdClo(), Qt::LeftButton); return frame->hasShutDown();
        case Command::CloseBox: frame->close(); return frame->hasShutDown();
        case Command::NewDefinition: tree->cmdCre_Click(); return gSite.Name.isEmpty();
        case Command::Open:
            env.platform.fileAnswers.enqueue(b);
            tree->cmdOpe_Click();
            return gSite.Name == u"B"_s;
        }
        return false;
    }

    TestEnv &env;
    QString a, b;
    mdiMain *frame = nullptr;
    QPointer<frmTree> tree;
    QPointer<frmChild1> editor;
};

QString shownTitle(const frmTree *tree, qint32 page)
{
    return tree->picTre()->shownCaption(*tree->tree().lblHTML(page));
}
}   // namespace

class tst_unsaved : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void marksFollowTheText();
    void definitionMarkedUntilSaved();
    void questionBeforeDiscarding_data();
    void questionBeforeDiscarding();
    void savingEverythingQuitsWithoutSuccessMessages();
    void failedOrCancelledSaveDiscardsNothing_data();
    void failedOrCancelledSaveDiscardsNothing();
};

void tst_unsaved::marksFollowTheText()
{
    TestEnv env;
    Session s(env);
    s.editor->Show();
    QVERIFY(!s.editor->isModified());
    s.type(u"日本語"_s);
    QVERIFY(s.editor->isModified());
    QCOMPARE(s.editor->caption(), u"A 1"_s);
    QCOMPARE(s.editor->subWindow()->windowTitle(), u"● A 1"_s);
    QCOMPARE(shownTitle(s.tree, 1), u"● A 1"_s);
    QCOMPARE(shownTitle(s.tree, 2), u"A 2"_s);

    s.editor->txtEdit()->document()->undo();   // back to the text as read
    QVERIFY(!s.editor->isModified());
    QCOMPARE(shownTitle(s.tree, 1), u"A 1"_s);

    s.type(u"x"_s);
    QVERIFY(s.editor->save());
    QVERIFY(!s.editor->isModified());
    QCOMPARE(s.editor->subWindow()->windowTitle(), u"A 1"_s);
    QVERIFY(!s.tree->hasModifiedMark());   // saving a page under its own name leaves the definition
}

void tst_unsaved::definitionMarkedUntilSaved()
{
    TestEnv env;
    Session s(env);
    QVERIFY(!s.tree->hasModifiedMark());
    env.platform.inputAnswers.enqueue(u"新しいページ"_s);
    s.tree->cmdHCr_Click();
    QVERIFY(s.tree->hasModifiedMark());
    QVERIFY(definitionModified());
    QVERIFY(s.tree->saveDefinition());
    QVERIFY(!s.tree->hasModifiedMark());
}

void tst_unsaved::questionBeforeDiscarding_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<SaveChoice>("answer");
    const QList<std::pair<const char *, Command>> commands{{"quit button", Command::QuitButton},
                                                           {"close box", Command::CloseBox},
                                                           {"new definition", Command::NewDefinition},
                                                           {"open", Command::Open}};
    for (const auto &[name, command] : commands) {
        QTest::addRow("%s, save", name) << command << SaveChoice::Save;
        QTest::addRow("%s, discard", name) << command << SaveChoice::Discard;
        QTest::addRow("%s, cancel", name) << command << SaveChoice::Cancel;
    }
}

void tst_unsaved::questionBeforeDiscarding()
{
    QFETCH(Command, command);
    QFETCH(SaveChoice, answer);
    TestEnv env;
    Session s(env);
    s.editor->Show();
    s.type(u"追加"_s);
    const QString page = env.path(u"a/p1.htm"_s);
    const QByteArray before = TestEnv::read(page);
    const QByteArray typed = TestEnv::cp932(u"追加"_s) + before;

    env.platform.saveAnswers.enqueue(answer);
    QCOMPARE(s.run(command), answer != SaveChoice::Cancel);
    QCOMPARE(env.platform.saveQuestions, QStringList{u"保存されていない変更があります。保存しますか？\n\n・A 1"_s});
    QCOMPARE(TestEnv::read(page), answer == SaveChoice::Save ? typed : before);
    if (answer == SaveChoice::Cancel) {
        QVERIFY(s.editor && !s.editor->isUnloaded());
        QVERIFY(s.editor->isModified());
    }
}

void tst_unsaved::savingEverythingQuitsWithoutSuccessMessages()
{
    TestEnv env;
    Session s(env);
    env.platform.inputAnswers.enqueue(u"新しいページ"_s);
    s.tree->cmdHCr_Click();   // a page without a file: the definition changes when it is named
    s.editor = gPageEditors.at(3);
    s.type(u"x"_s);
    env.platform.fileAnswers.enqueue(env.path(u"a/new.htm"_s));
    env.platform.saveAnswers.enqueue(SaveChoice::Save);
    QVERIFY(s.run(Command::QuitButton));
    QCOMPARE(env.platform.messageTexts(), QStringList());
    QVERIFY(TestEnv::read(s.a).contains("new.htm"));
}

void tst_unsaved::failedOrCancelledSaveDiscardsNothing_data()
{
    QTest::addColumn<bool>("newPage");
    QTest::newRow("save fails") << false;
    QTest::newRow("save as of a new page cancelled") << true;
}

void tst_unsaved::failedOrCancelledSaveDiscardsNothing()
{
    QFETCH(bool, newPage);
    TestEnv env;
    Session s(env);
    if (newPage) {
        env.platform.inputAnswers.enqueue(u"新しいページ"_s);
        s.tree->cmdHCr_Click();
        s.editor = gPageEditors.at(3);
    } else {
        // The page's file has become a folder: it cannot be replaced.
        QVERIFY(QFile::remove(env.path(u"a/p1.htm"_s)));
        QVERIFY(QDir().mkdir(env.path(u"a/p1.htm"_s)));
        s.editor->Show();
    }
    s.type(u"x"_s);
    env.platform.saveAnswers.enqueue(SaveChoice::Save);
    QVERIFY(!s.run(Command::QuitButton));
    QVERIFY(!s.frame->hasShutDown());
    QVERIFY(s.editor->isModified());
    QCOMPARE(pageCount(), newPage ? 3 : 2);
    QCOMPARE(env.platform.messageTexts().size(), newPage ? 0 : 1);   // a failure is still told
}

PAGEKILN_TEST_MAIN(tst_unsaved)
#include "tst_unsaved.moc"
