#include "app/basSystem.h"
#include "site/frmProp.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace basSystem;

namespace {
const QString msgNoName = QStringLiteral("サイトの名前を付けてください。いつでも変更できます。");
const QString tipApply = QStringLiteral("画面の内容を有効にします。まだ「.ksd」への保存はしません。");

void fill(frmProp &d, const QString &name, const QString &folder, const QString &url)
{
    d.txtName()->setText(name);
    d.txtPath()->setText(folder);
    d.txtURL()->setText(url);
}

// Shows the dialog as the program does, letting `action` work on it while it is open.
bool runDialog(TestEnv &env, frmProp &dialog, std::function<void(frmProp &)> action = {})
{
    if (action)
        env.platform.modalActions.enqueue([action](QDialog &d) {
            auto *prop = qobject_cast<frmProp *>(&d);
            QVERIFY(prop);
            action(*prop);
        });
    const int result = platform().execModal(dialog);
    return result == QDialog::Accepted;
}

void setSite(const QString &name, const QString &folder, const QString &url)
{
    gSite = SiteInfo{QStringLiteral("ver"), name, QStringLiteral("/x.ksd"), folder, url};
}

bool sameSite(const SiteInfo &a, const SiteInfo &b)
{
    return a.Version == b.Version && a.Name == b.Name && a.FilePath == b.FilePath && a.Folder == b.Folder
        && a.URL == b.URL;
}
}   // namespace

class tst_frmprop : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void designedDialog();
    void tabOrder();
    void opensWithTheSiteValues_data();
    void opensWithTheSiteValues();
    void okStoresTheBoxesUnchanged();
    void okWithoutANameStaysOpen();
    void leavingWithoutOk_data();
    void leavingWithoutOk();
    void enterPressesOk();
    void folderPick_data();
    void folderPick();
};

void tst_frmprop::designedDialog()
{
    TestEnv env;
    frmProp d;
    QCOMPARE(d.windowTitle(), QStringLiteral("定義ファイルの設定"));
    // A fixed dialog border: no resizing, no minimise or maximise button.
    const QSize client = toPixels(TwipRect{0, 0, 4320, 1455}).size();
    QCOMPARE(d.minimumSize(), client);
    QCOMPARE(d.maximumSize(), client);
    QVERIFY(!d.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!d.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(d.windowFlags().testFlag(Qt::WindowCloseButtonHint));

    struct Expected {
        QWidget *control;
        TwipRect place;
        QString text;
        QString tip;
    };
    const QList<Expected> controls{
        {d.lblLabel().at(0), {30, 120, 885, 225}, QStringLiteral("名前"), QString()},
        {d.lblLabel().at(1), {30, 450, 885, 225}, QStringLiteral("フォルダ"), QString()},
        {d.lblLabel().at(2), {30, 780, 885, 225}, QStringLiteral("ＵＲＬ"), QString()},
        {d.txtName(), {960, 60, 3045, 285}, QString(), QStringLiteral("サイトの名前です。HTMLには反映されません。")},
        {d.txtPath(),
         {960, 390, 3045, 285},
         QString(),
         QStringLiteral("ファイルを開く際の初期フォルダです。作業中の親フォルダを指定すると便利です。")},
        {d.cmdPath(), {4020, 420, 285, 255}, QStringLiteral("..."), tipApply},
        {d.txtURL(),
         {960, 720, 3045, 285},
         QString(),
         QStringLiteral("インターネットサーバ上に割り当てられた場所です。現在、使用しません。")},
        {d.cmdSetPrp(), {1590, 1050, 1185, 375}, QStringLiteral("設定"), tipApply},
        {d.cmdCanPrp(),
         {2820, 1050, 1185, 375},
         QStringLiteral("キャンセル"),
         QStringLiteral("入力内容を反映せずに、画面を閉じます。")},
    };
    for (const Expected &e : controls) {
        QCOMPARE(e.control->geometry(), toPixels(e.place));
        QCOMPARE(e.control->toolTip(), e.tip);
        if (auto *label = qobject_cast<QLabel *>(e.control))
            QCOMPARE(label->text(), e.text);
        if (auto *button = qobject_cast<QPushButton *>(e.control))
            QCOMPARE(button->text(), e.text);
        const QFont font = e.control->font();
        QCOMPARE(font.pointSize(), 9);
        if (e.control == d.cmdPath()) {
            QCOMPARE(font.families().value(0), QStringLiteral("News Gothic MT"));
            QCOMPARE(font.weight(), QFont::Bold);
        } else {
            QCOMPARE(font.families().value(0), QStringLiteral("ＭＳ ゴシック"));
            QCOMPARE(font.weight(), QFont::Normal);
        }
    }
    QCOMPARE(d.lblLabel().count(), 3);
    QCOMPARE(d.lblLabel().upperBound(), 2);
}

void tst_frmprop::tabOrder()
{
    TestEnv env;
    frmProp d;
    const QList<QWidget *> expected{d.txtName(), d.txtPath(), d.txtURL(), d.cmdSetPrp(), d.cmdCanPrp(), d.cmdPath()};
    QWidget *w = d.txtName();
    for (qsizetype i = 1; i <= expected.size(); ++i) {
        do
            w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus || w == &d);
        QCOMPARE(w, expected.at(i % expected.size()));
    }
}

void tst_frmprop::opensWithTheSiteValues_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("shownFolder");
    QTest::addColumn<QString>("shownUrl");
    QTest::newRow("new definition") << QString() << QString() << QString() << QStringLiteral("/work/")
                                    << QStringLiteral("http://");
    QTest::newRow("a site") << QStringLiteral("サイト") << QStringLiteral("/web/") << QStringLiteral("http://a.jp/")
                            << QStringLiteral("/web/") << QStringLiteral("http://a.jp/");
}

void tst_frmprop::opensWithTheSiteValues()
{
    QFETCH(QString, name);
    QFETCH(QString, folder);
    QFETCH(QString, url);
    QFETCH(QString, shownFolder);
    QFETCH(QString, shownUrl);
    TestEnv env;
    gCurDir = QStringLiteral("/work/");
    setSite(name, folder, url);
    frmProp d;
    QCOMPARE(d.txtName()->text(), name);
    QCOMPARE(d.txtPath()->text(), shownFolder);
    QCOMPARE(d.txtURL()->text(), shownUrl);
    QVERIFY(!d.pbOkFlg);
}

void tst_frmprop::okStoresTheBoxesUnchanged()
{
    TestEnv env;
    gCurDir = QStringLiteral("/work/");
    frmProp d;
    // The untouched "http://" and the working folder are stored as shown.
    QVERIFY(runDialog(env, d, [](frmProp &p) {
        p.txtName()->setText(QStringLiteral(" 私のサイト "));
        p.cmdSetPrp()->click();
    }));
    QVERIFY(d.pbOkFlg);
    QCOMPARE(gSite.Name, QStringLiteral(" 私のサイト "));
    QCOMPARE(gSite.Folder, QStringLiteral("/work/"));
    QCOMPARE(gSite.URL, QStringLiteral("http://"));
    QVERIFY(gSite.FilePath.isEmpty());
    QVERIFY(env.platform.messages.isEmpty());
}

void tst_frmprop::okWithoutANameStaysOpen()
{
    TestEnv env;
    setSite(QStringLiteral("old"), QStringLiteral("/old/"), QStringLiteral("http://old/"));
    frmProp d;
    bool stayedOpen = false;
    bool flagAfterRefusal = true;
    SiteInfo afterRefusal;
    QVERIFY(runDialog(env, d, [&](frmProp &p) {
        fill(p, QString(), QStringLiteral("/new/"), QStringLiteral("http://new/"));
        p.cmdSetPrp()->click();
        stayedOpen = p.isVisible();
        flagAfterRefusal = p.pbOkFlg;
        afterRefusal = gSite;
        QCOMPARE(p.txtPath()->text(), QStringLiteral("/new/"));   // the boxes keep what was typed
        p.txtName()->setText(QStringLiteral("new"));
        p.cmdSetPrp()->click();
    }));
    QVERIFY(stayedOpen);
    QVERIFY(!flagAfterRefusal);
    QCOMPARE(afterRefusal.Name, QStringLiteral("old"));
    QCOMPARE(afterRefusal.Folder, QStringLiteral("/old/"));
    QCOMPARE(env.platform.messages.size(), 1);
    QCOMPARE(env.platform.messages.at(0).prompt, msgNoName);
    QCOMPARE(env.platform.messages.at(0).title, QStringLiteral("HTML Editor"));
    QVERIFY(d.pbOkFlg);
    QCOMPARE(gSite.Name, QStringLiteral("new"));
    QCOMPARE(gSite.Folder, QStringLiteral("/new/"));
    QCOMPARE(gSite.URL, QStringLiteral("http://new/"));
}

void tst_frmprop::leavingWithoutOk_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("cancel button") << QStringLiteral("cancel");
    QTest::newRow("escape key") << QStringLiteral("escape");
    QTest::newRow("close box") << QStringLiteral("close");
    QTest::newRow("refused ok, then close box") << QStringLiteral("refused");
}

void tst_frmprop::leavingWithoutOk()
{
    QFETCH(QString, how);
    TestEnv env;
    setSite(QStringLiteral("old"), QStringLiteral("/old/"), QStringLiteral("http://old/"));
    const SiteInfo before = gSite;
    frmProp d;
    d.pbOkFlg = true;   // whatever an earlier showing left
    QVERIFY(!runDialog(env, d, [how](frmProp &p) {
        fill(p, how == QStringLiteral("refused") ? QString() : QStringLiteral("new"), QStringLiteral("/new/"),
             QStringLiteral("http://new/"));
        if (how == QStringLiteral("cancel"))
            p.cmdCanPrp()->click();
        else if (how == QStringLiteral("escape"))
            QTest::keyClick(p.txtURL(), Qt::Key_Escape);
        else if (how == QStringLiteral("refused"))
            p.cmdSetPrp()->click();
        // "close" and "refused": the platform closes the window by its close box.
    }));
    QVERIFY(!d.pbOkFlg);
    QVERIFY(!d.isVisible());
    QVERIFY(sameSite(gSite, before));
}

void tst_frmprop::enterPressesOk()
{
    TestEnv env;
    frmProp d;
    QVERIFY(runDialog(env, d, [](frmProp &p) {
        p.txtName()->setText(QStringLiteral("S"));
        QTest::keyClick(p.txtURL(), Qt::Key_Return);
    }));
    QVERIFY(d.pbOkFlg);
    QCOMPARE(gSite.Name, QStringLiteral("S"));
}

void tst_frmprop::folderPick_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("folder");
    QTest::newRow("file in a folder") << QStringLiteral("/web/site/index.htm") << QStringLiteral("/web/site/");
    QTest::newRow("file in the root") << QStringLiteral("/a.htm") << QStringLiteral("/");
    QTest::newRow("cancel") << QString() << QStringLiteral("/typed/");
}

void tst_frmprop::folderPick()
{
    QFETCH(QString, answer);
    QFETCH(QString, folder);
    TestEnv env;
    frmProp d;
    d.txtPath()->setText(QStringLiteral("/typed/"));
    if (!answer.isNull())
        env.platform.fileAnswers.enqueue(answer);
    d.cmdPath()->click();
    QCOMPARE(d.txtPath()->text(), folder);
    QCOMPARE(env.platform.dialogs.size(), 1);
    const ScriptedPlatform::DialogRequest &r = env.platform.dialogs.at(0);
    QCOMPARE(r.mode, FileDialogMode::Open);
    QCOMPARE(r.title, QStringLiteral("フォルダ指定　：　対象フォルダ内の、任意のファイルを選んで下さい。"));
    QCOMPARE(r.filter, QStringLiteral("フォルダのみ取得します。任意のファイルを選んで下さい。(*.*)|*.*"));
    QCOMPARE(r.initDir, QStringLiteral("/typed/"));
    QVERIFY(env.platform.messages.isEmpty());
    QVERIFY(gSite.Folder.isEmpty());   // only OK stores the folder
}

PAGEKILN_TEST_MAIN(tst_frmprop)
#include "tst_frmprop.moc"
