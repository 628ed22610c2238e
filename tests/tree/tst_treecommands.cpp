#include "app/basSystem.h"
#include "app/mdiMain.h"
#include "editor/frmChild1.h"
#include "site/frmProp.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "tree/VScrollBar.h"
#include "tree/frmTree.h"

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using namespace basSystem;
using namespace Qt::StringLiterals;

namespace {
const QString updated = QStringLiteral("更新しました");
const QString pickPage = QStringLiteral("外すページのウィンドウを選んでから、もう一度実行して下さい。");
const QString emptyDefinition = QStringLiteral("空の定義ファイルは登録できません");
const QString ksdFilter = QStringLiteral("定義ファイル (*.ksd)|*.ksd");
const QString pageFilter = QStringLiteral("ハイパーテキスト(*.htm;*.html)|*.htm;*.html|テキスト(*.txt)|*.txt");

QString makeSite(TestEnv &env, const QString &sub, const QString &name, int n)
{
    return env.writeSite(sub, name, n);
}

frmTree *newTree(TestEnv &env)
{
    gTreeWinWidth = 3210;
    gTreeWinHeight = 8430;
    gCurDir = env.path(QStringLiteral("work")) + QLatin1Char('/');
    return new frmTree(env.area());
}

void open(TestEnv &env, frmTree *tree, const QString &ksd)
{
    env.platform.fileAnswers.enqueue(ksd);
    tree->cmdOpe_Click();
}

QStringList drawnTitles(const frmTree *tree)
{
    QStringList t;
    for (qint32 i = 1; i <= qint32(pageCount()); ++i)
        if (const auto label = tree->tree().lblHTML(i))
            t << label->caption;
    return t;
}

QList<QPointer<frmChild1>> editors()
{
    return gPageEditors.mid(1);
}

void discardUnloaded()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A modal action that fills the properties dialog and presses OK, or nothing (close box).
ScriptedPlatform::ModalAction confirmProperties(const QString &name)
{
    return [name](QDialog &d) {
        auto *prop = qobject_cast<frmProp *>(&d);
        QVERIFY(prop);
        prop->txtName()->setText(name);
        prop->cmdSetPrp()->click();
    };
}

// The definition file's text, decoded.
QStringList ksdLines(const QString &path)
{
    return decodeText(TestEnv::read(path), TextEncoding::Cp932).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}
}   // namespace

class tst_treecommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void buttonRow();
    void buttonsRunTheirCommands();
    void openDrawsAndNamesTheWindow();
    void savedTitleShowsInRowAndCaption();
    void openReplacesANamedSite();
    void openAppendsToAnUnnamedSite();
    void openDialogStartsInTheWorkingFolderOnlyFirst();
    void cancelledOpenChangesNothing();
    void failedOpenAfterClearing();
    void newDefinitionClearsANamedSite();
    void newDefinitionWithoutNameDoesNothing();
    void saveWithoutFile_data();
    void saveWithoutFile();
    void saveAsSuffix_data();
    void saveAsSuffix();
    void saveWithoutPagesIsRefused();
    void properties_data();
    void properties();
    void addPageDialogFolders();
    void addSamePageTwice();
    void cancelledAddChangesNothing();
    void createPage_data();
    void createPage();
    void createdPageSavedInTheDefinition();
    void removePage_data();
    void removePage();
    void removePageWithUnsavedText_data();
    void removePageWithUnsavedText();
    void closeApplication_data();
    void closeApplication();
    void closeWithoutFrameDoesNothing();
};

void tst_treecommands::buttonRow()
{
    TestEnv env;
    frmTree *tree = newTree(env);
    struct Button {
        QToolButton *button;
        int left;
        QString tip;
    };
    const QList<Button> row{
        {tree->cmdCre(), 30, QStringLiteral("ＨＰ定義の新規作成（なんか、まだ動きがおかしいですね）")},
        {tree->cmdOpe(), 420, QStringLiteral("ＨＰ定義を開く (Ctrl+O)")},
        {tree->cmdSav(), 810, QStringLiteral("ＨＰ定義の上書き保存")},
        {tree->cmdSAs(), 1200, QStringLiteral("ＨＰ定義に名前を付けて保存")},
        {tree->cmdHCr(), 1590, QStringLiteral("新規HTMLを作成")},
        {tree->cmdHAd(), 1980, QStringLiteral("既存HTMLを読み込み、定義に追加する")},
        {tree->cmdDel(), 2370, QStringLiteral("HTMLを定義から外す（ファイルは残ります）")},
        {tree->cmdPrp(), 2760, QStringLiteral("定義ファイルの設定")},
        {tree->cmdClo(), 3150, QStringLiteral("アプリケーションを閉じる (Ctrl+Q)")},
    };
    QSet<qint64> pictures;
    for (qsizetype i = 0; i < row.size(); ++i) {
        const Button &b = row.at(i);
        QCOMPARE(b.button->geometry(), toPixels(TwipRect{b.left, 30, 375, 375}));
        QCOMPARE(b.button->toolTip(), b.tip);
        QVERIFY(b.button->text().isEmpty() || b.button->toolButtonStyle() == Qt::ToolButtonIconOnly);
        QCOMPARE(b.button->iconSize(), QSize(16, 16));
        QVERIFY(b.button->focusPolicy() & Qt::TabFocus);
        const QPixmap picture = b.button->icon().pixmap(16, 16);
        QVERIFY(!picture.isNull());
        pictures.insert(picture.cacheKey());
        // Tab moves along the row in the designed order.
        if (i + 1 < row.size()) {
            QWidget *next = b.button->nextInFocusChain();
            while (!(next->focusPolicy() & Qt::TabFocus))
                next = next->nextInFocusChain();
            QCOMPARE(next, row.at(i + 1).button);
        }
    }
    QCOMPARE(pictures.size(), row.size());   // every command has a picture of its own
    // The row stays where it is whatever the window's size.
    tree->setWidth(6000);
    tree->setHeight(3000);
    QCOMPARE(tree->cmdClo()->geometry(), toPixels(TwipRect{3150, 30, 375, 375}));
}

void tst_treecommands::buttonsRunTheirCommands()
{
    TestEnv env;
    frmTree *tree = newTree(env);
    int modals = 0;
    for (int i = 0; i < 3; ++i)
        env.platform.modalActions.enqueue([&modals](QDialog &) { ++modals; });

    QTest::mouseClick(tree->cmdOpe(), Qt::LeftButton);
    QTest::mouseClick(tree->cmdHAd(), Qt::LeftButton);
    QTest::mouseClick(tree->cmdHCr(), Qt::LeftButton);
    QTest::mouseClick(tree->cmdDel(), Qt::LeftButton);
    QTest::mouseClick(tree->cmdPrp(), Qt::LeftButton);
    QTest::mouseClick(tree->cmdSav(), Qt::LeftButton);   // no file: the properties come first
    QTest::mouseClick(tree->cmdSAs(), Qt::LeftButton);
    gSite.Name = QStringLiteral("named");
    env.platform.saveAnswers.enqueue(SaveChoice::Discard);   // a page was created
    QTest::mouseClick(tree->cmdCre(), Qt::LeftButton);
    QTest::mouseClick(tree->cmdClo(), Qt::LeftButton);   // no frame in this test: nothing

    QCOMPARE(env.platform.dialogs.size(), 2);
    QCOMPARE(env.platform.dialogs.at(0).filter, ksdFilter);
    QCOMPARE(env.platform.dialogs.at(1).filter, pageFilter);
    QCOMPARE(env.platform.inputPrompts, QStringList{QStringLiteral("ページのタイトルを入力して下さい。")});
    QCOMPARE(env.platform.messageTexts(), QStringList{pickPage});   // no editor names a page to remove
    QCOMPARE(env.platform.saveQuestions.size(), 1);
    QCOMPARE(modals, 3);
    QVERIFY(gSite.Name.isEmpty());
    QCOMPARE(tree->caption(), QStringLiteral("新規作成"));
}

void tst_treecommands::openDrawsAndNamesTheWindow()
{
    TestEnv env;
    const QString ksd = makeSite(env, QStringLiteral("a"), QStringLiteral("サイトA"), 3);
    frmTree *tree = newTree(env);
    open(env, tree, ksd);
    QCOMPARE(tree->caption(), QStringLiteral("サイトA"));
    QCOMPARE(pageTitles(), (QStringList{u"サイトA 1"_s, u"サイトA 2"_s, u"サイトA 3"_s}));
    QCOMPARE(drawnTitles(tree), pageTitles());
    QCOMPARE(tree->scrTre()->Max(), 3);
    QCOMPARE(gSite.FilePath, ksd);
    QVERIFY(gPageEditors.at(1)->Visible());
    QVERIFY(!gPageEditors.at(2)->Visible());
    QVERIFY(env.platform.messages.isEmpty());
}

void tst_treecommands::savedTitleShowsInRowAndCaption()
{
    TestEnv env;
    frmTree *tree = newTree(env);
    open(env, tree, makeSite(env, u"a"_s, u"サイトA"_s, 2));
    frmChild1 *editor = gPageEditors.at(2);
    editor->txtEdit()->setPlainText(u"<title>新しい題名</title>"_s);
    QCOMPARE(drawnTitles(tree).at(1), u"サイトA 2"_s);   // typing alone changes nothing yet
    QVERIFY(editor->save());
    QCOMPARE(drawnTitles(tree), (QStringList{u"サイトA 1"_s, u"新しい題名"_s}));
    QCOMPARE(editor->caption(), u"新しい題名"_s);
    QCOMPARE(pageTitles().at(1), u"新しい題名"_s);
}

void tst_treecommands::openReplacesANamedSite()
{
    TestEnv env;
    const QString a = makeSite(env, QStringLiteral("a"), QStringLiteral("A"), 2);
    const QString b = makeSite(env, QStringLiteral("b"), QStringLiteral("B"), 1);
    frmTree *tree = newTree(env);
    open(env, tree, a);
    const QList<QPointer<frmChild1>> old = editors();
    old.at(0)->setText(QStringLiteral("unsaved edit"));
    gActiveEditor = old.at(0);

    open(env, tree, b);
    QVERIFY(env.platform.messages.isEmpty());   // nothing asks before the edits go
    for (const QPointer<frmChild1> &editor : old)
        QVERIFY(editor->isUnloaded());
    QVERIFY(!old.contains(gActiveEditor));
    QCOMPARE(pageTitles(), QStringList{QStringLiteral("B 1")});
    QCOMPARE(drawnTitles(tree), pageTitles());
    QCOMPARE(gPageEditors.at(1)->plId, 1);
    QCOMPARE(tree->caption(), QStringLiteral("B"));
    QCOMPARE(gSite.Name, QStringLiteral("B"));
    discardUnloaded();
    for (const QPointer<frmChild1> &editor : old)
        QVERIFY(!editor);
}

void tst_treecommands::openAppendsToAnUnnamedSite()
{
    TestEnv env;
    const QString a = makeSite(env, QStringLiteral("a"), QStringLiteral("A"), 2);
    const QString loose = env.writeCp932(QStringLiteral("loose.htm"), QStringLiteral("<title>Loose</title>"));
    frmTree *tree = newTree(env);
    env.platform.fileAnswers.enqueue(loose);
    tree->cmdHAd_Click();
    QPointer<frmChild1> kept = gPageEditors.at(1);

    open(env, tree, a);
    QCOMPARE(pageTitles(), (QStringList{u"Loose"_s, u"A 1"_s, u"A 2"_s}));
    QVERIFY(kept && !kept->isUnloaded());
    QCOMPARE(gPageEditors.at(3)->plId, 3);
    QCOMPARE(drawnTitles(tree), pageTitles());
    QCOMPARE(tree->caption(), QStringLiteral("A"));
}

void tst_treecommands::openDialogStartsInTheWorkingFolderOnlyFirst()
{
    TestEnv env;
    const QString a = makeSite(env, QStringLiteral("a"), QStringLiteral("A"), 1);
    frmTree *tree = newTree(env);
    const QString work = gCurDir;
    env.platform.fileAnswers << QString() << a;
    tree->cmdOpe_Click();   // cancelled: the dialog still has no file
    tree->cmdOpe_Click();
    tree->cmdOpe_Click();   // cancelled
    env.platform.modalActions.enqueue(confirmProperties(QStringLiteral("A")));
    gSite.FilePath.clear();
    tree->cmdSAs_Click();   // save as shares the dialog: cancelled too

    const QList<ScriptedPlatform::DialogRequest> &d = env.platform.dialogs;
    QCOMPARE(d.size(), 4);
    for (const ScriptedPlatform::DialogRequest &r : d) {
        QCOMPARE(r.initDir, work);
        QCOMPARE(r.filter, ksdFilter);
        QCOMPARE(r.defaultExt, QStringLiteral("ksd"));
    }
    QCOMPARE(d.at(0).mode, FileDialogMode::Open);
    QVERIFY(d.at(0).fileName.isEmpty());
    QVERIFY(d.at(1).fileName.isEmpty());
    QCOMPARE(d.at(2).fileName, a);   // later dialogs open at the file chosen last
    QCOMPARE(d.at(3).fileName, a);
    QCOMPARE(d.at(3).mode, FileDialogMode::Save);
}

void tst_treecommands::cancelledOpenChangesNothing()
{
    TestEnv env;
    const QString a = makeSite(env, QStringLiteral("a"), QStringLiteral("A"), 2);
    frmTree *tree = newTree(env);
    open(env, tree, a);
    tree->cmdOpe_Click();   // no answer queued: cancelled
    QVERIFY(env.platform.messages.isEmpty());
    QCOMPARE(pageTitles(), (QStringList{u"A 1"_s, u"A 2"_s}));
    QCOMPARE(tree->caption(), QStringLiteral("A"));
    QVERIFY(!gPageEditors.at(1)->isUnloaded());
}

void tst_treecommands::failedOpenAfterClearing()
{
    TestEnv env;
    const QString a = makeSite(env, QStringLiteral("a"), QStringLiteral("A"), 2);
    const QString notKsd = env.writeCp932(QStringLiteral("other.ksd"), QStringLiteral("[KSD INF]\r\nVER=1.0\r\n"));
    frmTree *tree = newTree(env);
    open(env, tree, a);
    open(env, tree, notKsd);
    QCOMPARE(env.platform.messageTexts(),
             QStringList{QStringLiteral("指定されたファイルは、定義ファイルではありません。")});
    QCOMPARE(pageCount(), 0);
    QCOMPARE(tree->tree().titleCount(), 0);
    QCOMPARE(tree->caption(), QStringLiteral("新規作成"));
}

void tst_treecommands::newDefinitionClearsANamedSite()
{
    TestEnv env;
    const QString a = makeSite(env, QStringLiteral("a"), QStringLiteral("A"), 3);
    frmTree *tree = newTree(env);
    open(env, tree, a);
    env.platform.fileAnswers.enqueue(env.path(QStringLiteral("a/p2.htm")));
    tree->cmdHAd_Click();          // the page dialog now has a start folder and a file
    tree->scrTre()->setValue(2);   // scrolled: drawn from page 2
    QCOMPARE(drawnTitles(tree).size(), 3);
    const QList<QPointer<frmChild1>> old = editors();
    gActiveEditor = old.at(0);

    env.platform.saveAnswers.enqueue(SaveChoice::Discard);   // a page was added
    tree->cmdCre_Click();
    for (const QPointer<frmChild1> &editor : old)
        QVERIFY(editor->isUnloaded());   // closed for good, not merely hidden
    QVERIFY(!gActiveEditor);
    QCOMPARE(tree->tree().titleCount(), 0);
    QCOMPARE(tree->tree().rightCount(), 0);
    QCOMPARE(tree->scrTre()->Min(), 1);
    QCOMPARE(tree->scrTre()->Max(), 1);
    QCOMPARE(tree->scrTre()->Value(), 1);
    QVERIFY(gSite.Version.isEmpty() && gSite.Name.isEmpty() && gSite.FilePath.isEmpty() && gSite.Folder.isEmpty()
            && gSite.URL.isEmpty());
    QCOMPARE(gPageTable.size(), 1);
    QCOMPARE(gPageEditors.size(), 1);
    QVERIFY(tree->dlgTree.InitDir.isEmpty());
    QVERIFY(tree->dlgTree.FileName.isEmpty());
    QCOMPARE(tree->caption(), QStringLiteral("新規作成"));
    QCOMPARE(tree->dlgProj.FileName, a);   // the definition dialog keeps its file
    QVERIFY(env.platform.messages.isEmpty());
}

void tst_treecommands::newDefinitionWithoutNameDoesNothing()
{
    TestEnv env;
    const QString loose = env.writeCp932(QStringLiteral("loose.htm"), QStringLiteral("<title>Loose</title>"));
    frmTree *tree = newTree(env);
    env.platform.fileAnswers.enqueue(loose);
    tree->cmdHAd_Click();
    gSite.Folder = QStringLiteral("/kept/");
    tree->setCaption(QStringLiteral("caption"));
    tree->cmdCre_Click();
    QCOMPARE(pageTitles(), QStringList{QStringLiteral("Loose")});
    QCOMPARE(drawnTitles(tree), pageTitles());
    QVERIFY(!gPageEditors.at(1)->isUnloaded());
    QCOMPARE(gSite.Folder, QStringLiteral("/kept/"));
    QCOMPARE(tree->dlgTree.FileName, loose);
    QCOMPARE(tree->caption(), QStringLiteral("caption"));
}

void tst_treecommands::saveWithoutFile_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<bool>("chooseFile");
    QTest::newRow("properties cancelled") << false << false;
    QTest::newRow("file dialog cancelled") << true << false;
    QTest::newRow("confirmed and chosen") << true << true;
}

void tst_treecommands::saveWithoutFile()
{
    QFETCH(bool, confirm);
    QFETCH(bool, chooseFile);
    TestEnv env;
    frmTree *tree = newTree(env);
    env.platform.inputAnswers.enqueue(QStringLiteral("新しいページ"));
    tree->cmdHCr_Click();
    if (confirm)
        env.platform.modalActions.enqueue(confirmProperties(QStringLiteral("私のサイト")));
    const QString target = env.path(QStringLiteral("mine.ksd"));
    if (chooseFile)
        env.platform.fileAnswers.enqueue(env.path(QStringLiteral("mine")));

    tree->cmdSav_Click();
    QVERIFY(tree->propertiesDialog());
    QCOMPARE(tree->propertiesDialog()->pbOkFlg, confirm);
    QCOMPARE(env.platform.dialogs.size(), confirm ? 1 : 0);
    QCOMPARE(QFile::exists(target), chooseFile);
    QCOMPARE(gSite.FilePath, chooseFile ? target : QString());
    QCOMPARE(env.platform.messageTexts(), chooseFile ? QStringList{updated} : QStringList());
    QCOMPARE(tree->caption(), confirm ? QStringLiteral("私のサイト") : QStringLiteral("新規作成"));
    if (chooseFile)
        QVERIFY(ksdLines(target).contains(QStringLiteral("PNM=私のサイト")));
}

void tst_treecommands::saveAsSuffix_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << "site"
                                  << "site.ksd";
    QTest::newRow("lower case") << "site.ksd"
                                << "site.ksd";
    QTest::newRow("upper case") << "SITE.KSD"
                                << "SITE.KSD";
    QTest::newRow("mixed case") << "Site.KsD"
                                << "Site.KsD";
    QTest::newRow("other extension") << "site.txt"
                                     << "site.txt.ksd";
    QTest::newRow("dotted folder") << "v1.0/site"
                                   << "v1.0/site.ksd";
}

void tst_treecommands::saveAsSuffix()
{
    QFETCH(QString, answer);
    QFETCH(QString, written);
    TestEnv env;
    QDir(env.dir.path()).mkpath(QStringLiteral("v1.0"));
    const QString a = makeSite(env, QStringLiteral("a"), QStringLiteral("A"), 1);
    frmTree *tree = newTree(env);
    open(env, tree, a);
    env.platform.fileAnswers.enqueue(env.path(answer));
    tree->cmdSAs_Click();
    QCOMPARE(gSite.FilePath, env.path(written));
    QVERIFY(QFile::exists(env.path(written)));
    QCOMPARE(env.platform.messageTexts(), QStringList{updated});
    QVERIFY(!tree->propertiesDialog());   // the site has a file: no properties first
    QCOMPARE(tree->caption(), QStringLiteral("A"));
}

void tst_treecommands::saveWithoutPagesIsRefused()
{
    TestEnv env;
    frmTree *tree = newTree(env);
    const QByteArray before = "[KSD INF]\r\nPNM=old\r\n";
    const QString file = env.write(QStringLiteral("empty.ksd"), before);
    gSite.Name = QStringLiteral("S");
    gSite.FilePath = file;
    tree->cmdSav_Click();
    QCOMPARE(env.platform.messageTexts(), QStringList{emptyDefinition});
    QCOMPARE(TestEnv::read(file), before);

    // Through save as with a new name: the path is taken, the file is not written.
    env.platform.fileAnswers.enqueue(env.path(QStringLiteral("new")));
    tree->cmdSAs_Click();
    QCOMPARE(gSite.FilePath, env.path(QStringLiteral("new.ksd")));
    QVERIFY(!QFile::exists(gSite.FilePath));
    QCOMPARE(env.platform.messageTexts().size(), 2);
}

void tst_treecommands::properties_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("ok") << true;
    QTest::newRow("close box") << false;
}

void tst_treecommands::properties()
{
    QFETCH(bool, ok);
    TestEnv env;
    const QString a = makeSite(env, QStringLiteral("a"), QStringLiteral("A"), 1);
    frmTree *tree = newTree(env);
    open(env, tree, a);
    if (ok)
        env.platform.modalActions.enqueue(confirmProperties(QStringLiteral("改名")));
    tree->cmdPrp_Click();
    QCOMPARE(tree->caption(), ok ? QStringLiteral("改名") : QStringLiteral("A"));
    QCOMPARE(gSite.Name, ok ? QStringLiteral("改名") : QStringLiteral("A"));
    QCOMPARE(tree->propertiesDialog()->pbOkFlg, ok);

    // Each opening starts afresh: a close box after an earlier OK reads as not OK.
    tree->cmdPrp_Click();
    QVERIFY(!tree->propertiesDialog()->pbOkFlg);
    QCOMPARE(tree->caption(), ok ? QStringLiteral("改名") : QStringLiteral("A"));
    QCOMPARE(gSite.FilePath, a);
}

void tst_treecommands::addPageDialogFolders()
{
    TestEnv env;
    const QString a = makeSite(env, QStringLiteral("a"), QStringLiteral("A"), 2);
    const QString b = makeSite(env, QStringLiteral("b"), QStringLiteral("B"), 1);
    const QString aFolder = env.path(QStringLiteral("a")) + QLatin1Char('/');
    const QString bFolder = env.path(QStringLiteral("b")) + QLatin1Char('/');
    frmTree *tree = newTree(env);
    open(env, tree, a);
    env.platform.fileAnswers.enqueue(aFolder + QStringLiteral("p2.htm"));
    tree->cmdHAd_Click();
    gSite.Folder = QStringLiteral("/moved/");   // as the properties dialog would
    tree->cmdHAd_Click();                       // cancelled
    env.platform.saveAnswers.enqueue(SaveChoice::Discard);
    open(env, tree, b);     // a named site is replaced: the page dialog starts afresh
    tree->cmdHAd_Click();   // cancelled

    const QList<ScriptedPlatform::DialogRequest> d = env.platform.dialogs;
    QCOMPARE(d.size(), 5);
    QCOMPARE(d.at(1).initDir, aFolder);
    QVERIFY(d.at(1).fileName.isEmpty());
    QCOMPARE(d.at(1).filter, pageFilter);
    QCOMPARE(d.at(1).filterIndex, 1);
    QCOMPARE(d.at(1).mode, FileDialogMode::Open);
    QCOMPARE(d.at(2).initDir, aFolder);
    QCOMPARE(d.at(2).fileName, aFolder + QStringLiteral("p2.htm"));
    QCOMPARE(d.at(4).initDir, bFolder);
    QVERIFY(d.at(4).fileName.isEmpty());
}

void tst_treecommands::addSamePageTwice()
{
    TestEnv env;
    const QString a = makeSite(env, QStringLiteral("a"), QStringLiteral("A"), 1);
    const QString page = env.path(QStringLiteral("a/p1.htm"));
    frmTree *tree = newTree(env);
    env.platform.fileAnswers << page << page;
    tree->cmdHAd_Click();
    tree->cmdHAd_Click();
    QCOMPARE(pageCount(), 2);
    QCOMPARE(gPageEditors.size(), 3);
    QVERIFY(gPageEditors.at(1) != gPageEditors.at(2));
    for (int i = 1; i <= 2; ++i) {
        QCOMPARE(gPageTable.at(i).Folder, env.path(QStringLiteral("a")) + QLatin1Char('/'));
        QCOMPARE(gPageTable.at(i).FileName, QStringLiteral("p1.htm"));
        QCOMPARE(gPageEditors.at(i)->plId, i);
        QVERIFY(!gPageEditors.at(i)->Visible());
    }
    QCOMPARE(drawnTitles(tree), (QStringList{u"A 1"_s, u"A 1"_s}));
    QCOMPARE(tree->tree().lblLink(200)->caption, QStringLiteral("p1.htm"));
    QVERIFY(gSite.Name.isEmpty() && gSite.Folder.isEmpty());   // no definition was needed
    QVERIFY(env.platform.messages.isEmpty());
    Q_UNUSED(a);
}

void tst_treecommands::cancelledAddChangesNothing()
{
    TestEnv env;
    frmTree *tree = newTree(env);
    tree->cmdHAd_Click();
    QCOMPARE(pageCount(), 0);
    QVERIFY(env.platform.messages.isEmpty());
    QVERIFY(tree->dlgTree.FileName.isEmpty());
}

void tst_treecommands::createPage_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("plain") << "T";
    QTest::newRow("less-than and ampersand") << "A < B & C";
    QTest::newRow("blanks only") << "  ";
    QTest::newRow("cancel or nothing typed") << "";
}

void tst_treecommands::createPage()
{
    QFETCH(QString, title);
    TestEnv env;
    frmTree *tree = newTree(env);
    env.platform.inputAnswers.enqueue(title);
    tree->cmdHCr_Click();
    QCOMPARE(env.platform.inputPrompts, QStringList{QStringLiteral("ページのタイトルを入力して下さい。")});
    if (title.isEmpty()) {
        QCOMPARE(pageCount(), 0);
        QCOMPARE(gPageEditors.size(), 1);
        QCOMPARE(tree->tree().titleCount(), 0);
        return;
    }
    QCOMPARE(pageCount(), 1);
    const PageRecord &page = gPageTable.at(1);
    QCOMPARE(page.Title, title);
    QCOMPARE(page.Links, QStringList{QString()});
    QVERIFY(page.FileName.isEmpty() && page.Folder.isEmpty() && page.Text.isEmpty() && page.OrigText.isEmpty());
    frmChild1 *editor = gPageEditors.at(1);
    QCOMPARE(editor->caption(), title);
    QCOMPARE(editor->plId, 1);
    QVERIFY(editor->Visible());
    QCOMPARE(editor->text(),
             QStringLiteral("<HTML>\r\n<TITLE>") + title + QStringLiteral("</TITLE>\r\n<BODY>\r\n</BODY>\r\n</HTML>"));
    QCOMPARE(drawnTitles(tree), QStringList{title});
    QVERIFY(tree->tree().lblLink(100)->caption.isEmpty());
}

void tst_treecommands::createdPageSavedInTheDefinition()
{
    TestEnv env;
    const QString a = makeSite(env, QStringLiteral("a"), QStringLiteral("A"), 1);
    frmTree *tree = newTree(env);
    open(env, tree, a);
    env.platform.inputAnswers.enqueue(QStringLiteral("New"));
    tree->cmdHCr_Click();
    tree->cmdSav_Click();
    QCOMPARE(env.platform.messageTexts(), QStringList{updated});
    const QStringList lines = ksdLines(a);
    QVERIFY(lines.contains(QStringLiteral("CNT=002")));
    QVERIFY(lines.contains(QStringLiteral("002=-1**")));

    // Saved from its editor later, the page gets its folder and name in the next save.
    env.platform.fileAnswers.enqueue(env.path(QStringLiteral("a/new.htm")));
    gPageEditors.at(2)->cmdSav_Click();
    tree->cmdSav_Click();
    QVERIFY(
        ksdLines(a).contains(QStringLiteral("002=-1*") + env.path(QStringLiteral("a")) + QStringLiteral("/*new.htm")));
    QCOMPARE(TestEnv::read(env.path(QStringLiteral("a/new.htm"))),
             QByteArray("<HTML>\r\n<TITLE>New</TITLE>\r\n<BODY>\r\n</BODY>\r\n</HTML>"));
}

void tst_treecommands::removePage_data()
{
    QTest::addColumn<int>("removed");
    QTest::newRow("first") << 1;
    QTest::newRow("middle") << 2;
    QTest::newRow("last") << 3;
}

void tst_treecommands::removePage()
{
    QFETCH(int, removed);
    TestEnv env;
    const QString a = makeSite(env, QStringLiteral("a"), QStringLiteral("A"), 3);
    frmTree *tree = newTree(env);
    open(env, tree, a);
    const QByteArray definition = TestEnv::read(a);
    QStringList kept{u"A 1"_s, u"A 2"_s, u"A 3"_s};
    const QString title = kept.takeAt(removed - 1);
    const QPointer<frmChild1> editor = gPageEditors.at(removed);
    tree->lblHTML_Click(removed);
    QCOMPARE(gActiveEditor.data(), editor.data());

    env.platform.messageAnswers << vbNo << vbYes;
    tree->cmdDel_Click();   // declined: nothing changes
    QCOMPARE(pageCount(), 3);
    tree->cmdDel_Click();
    const QString question = u"「"_s + title + u"」をサイトから外しますか？ファイルは削除されません。"_s;
    QCOMPARE(env.platform.messageTexts(), (QStringList{question, question}));
    QCOMPARE(pageTitles(), kept);
    QCOMPARE(drawnTitles(tree), kept);
    QVERIFY(!editor || editor->isUnloaded());
    QVERIFY(!gActiveEditor || gActiveEditor != editor);
    for (qint32 i = 1; i <= 2; ++i) {
        // Every later page keeps its own editor, under its new index.
        QCOMPARE(gPageEditors.at(i)->plId, i);
        QVERIFY(gPageEditors.at(i)->text().contains(kept.at(i - 1)));
        tree->lblHTML_Click(i);
        QCOMPARE(gActiveEditor.data(), gPageEditors.at(i).data());
    }
    // Nothing on disk changes until the definition is saved; the page's file stays.
    QCOMPARE(TestEnv::read(a), definition);
    QVERIFY(QFile::exists(env.path(u"a/p%1.htm"_s.arg(removed))));

    tree->cmdSav_Click();
    open(env, tree, a);
    QCOMPARE(pageTitles(), kept);
    QCOMPARE(drawnTitles(tree), kept);
}

void tst_treecommands::removePageWithUnsavedText_data()
{
    QTest::addColumn<SaveChoice>("choice");
    QTest::addColumn<bool>("removed");
    QTest::addColumn<bool>("written");
    QTest::newRow("保存") << SaveChoice::Save << true << true;
    QTest::newRow("保存しない") << SaveChoice::Discard << true << false;
    QTest::newRow("キャンセル") << SaveChoice::Cancel << false << false;
}

// Removing a page whose editor holds unsaved text names the text and offers to save it,
// as quitting does; only キャンセル keeps the page.
void tst_treecommands::removePageWithUnsavedText()
{
    QFETCH(SaveChoice, choice);
    QFETCH(bool, removed);
    QFETCH(bool, written);
    TestEnv env;
    const QString a = makeSite(env, u"a"_s, u"A"_s, 2);
    frmTree *tree = newTree(env);
    open(env, tree, a);
    tree->lblHTML_Click(2);
    const QPointer<frmChild1> editor = gPageEditors.at(2);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, u"未保存"_s);
    QCoreApplication::sendEvent(editor->txtEdit(), &press);

    env.platform.saveAnswers << choice;
    tree->cmdDel_Click();
    QCOMPARE(env.platform.saveQuestions,
             QStringList{u"「A 2」をサイトから外します。ファイルは削除されません。\n"
                         "保存されていない変更があります。保存しますか？\n\n・A 2"_s});
    QVERIFY(env.platform.messages.isEmpty());
    QCOMPARE(pageTitles(), removed ? QStringList{u"A 1"_s} : (QStringList{u"A 1"_s, u"A 2"_s}));
    QCOMPARE(TestEnv::read(env.path(u"a/p2.htm"_s)).startsWith(TestEnv::cp932(u"未保存"_s)), written);
    QVERIFY(removed ? !editor || editor->isUnloaded() : editor->isModified());
}

void tst_treecommands::closeApplication_data()
{
    QTest::addColumn<bool>("treeClosedFirst");
    QTest::newRow("close button") << false;
    QTest::newRow("tree closed by its close box, then the frame") << true;
}

void tst_treecommands::closeApplication()
{
    QFETCH(bool, treeClosedFirst);
    TestEnv env;
    env.writeSettings(0, -1);
    const QString a = makeSite(env, QStringLiteral("a"), QStringLiteral("A"), 1);
    const QByteArray definition = TestEnv::read(a);
    auto *frame = new mdiMain;
    QVERIFY(frame->MDIForm_Load());
    frame->show();
    QPointer<frmTree> tree = frame->treeWindow();
    QVERIFY(tree);
    QTRY_COMPARE(gTreeWinVisible, -1);
    open(env, tree, a);
    gSite.Name = QStringLiteral("changed, never saved");
    env.platform.saveAnswers.enqueue(SaveChoice::Discard);
    if (treeClosedFirst) {
        tree->Unload(vbFormControlMenu);
        QCOMPARE(gTreeWinVisible, 0);
        frame->close();
    } else {
        QTest::mouseClick(tree->cmdClo(), Qt::LeftButton);
    }
    QVERIFY(frame->hasShutDown());
    QVERIFY(!frame->isVisible());
    const QStringList settings
        = decodeText(TestEnv::read(env.path(QStringLiteral("pageKiln.INI"))), TextEncoding::Cp932).split(u"\r\n"_s);
    QVERIFY(settings.contains(treeClosedFirst ? QStringLiteral("TRE_V=0") : QStringLiteral("TRE_V=-1")));
    QCOMPARE(TestEnv::read(a), definition);   // the definition is not saved
    QVERIFY(env.platform.messages.isEmpty());
    delete frame;
}

void tst_treecommands::closeWithoutFrameDoesNothing()
{
    TestEnv env;
    frmTree *tree = newTree(env);
    tree->Show();
    tree->cmdClo_Click();
    QVERIFY(!tree->isUnloaded());
    QVERIFY(tree->Visible());
}

PAGEKILN_TEST_MAIN(tst_treecommands)
#include "tst_treecommands.moc"
