#include "app/ShutdownSignals.h"
#include "app/basSystem.h"
#include "app/mdiMain.h"
#include "platform/FileDialog.h"
#include "platform/QtPlatform.h"
#include "settings/Settings.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QtTest>

#include <csignal>

using namespace basSystem;

class tst_startup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void visibilityFlags_data();
    void visibilityFlags();
    void missingSettingsShowNoWindow();
    void previewFilesDeleted_data();
    void previewFilesDeleted();
    void closeBoxVersusFrameClosing_data();
    void closeBoxVersusFrameClosing();
    void terminationSignalSavesSettings();
    void shutdownWithUnwritableSettingsGoesOn();
    void storedGeometryStaysOnScreen_data();
    void storedGeometryStaysOnScreen();
    void shutdownClosesRealDialogs_data();
    void shutdownClosesRealDialogs();
};

void tst_startup::visibilityFlags_data()
{
    QTest::addColumn<int>("tag");
    QTest::addColumn<int>("tree");
    QTest::newRow("neither") << 0 << 0;
    QTest::newRow("palette only") << -1 << 0;
    QTest::newRow("tree only") << 0 << -1;
    QTest::newRow("both") << -1 << -1;
    QTest::newRow("any non-zero value") << 1 << 5;
}

void tst_startup::visibilityFlags()
{
    QFETCH(int, tag);
    QFETCH(int, tree);
    TestEnv env;
    env.writeSettings(tag, tree);
    mdiMain frame;
    QVERIFY(frame.MDIForm_Load());
    QCOMPARE(frame.windowTitle(), QStringLiteral("pageKiln"));
    QCOMPARE(bool(frame.tagWindow()), tag != 0);
    QCOMPARE(bool(frame.treeWindow()), tree != 0);
    const QList<QMdiSubWindow *> subs = frame.area()->subWindowList(QMdiArea::CreationOrder);
    QCOMPARE(subs.size(), int(tag != 0) + int(tree != 0));
    if (tag && tree) {
        QCOMPARE(subs.at(0)->widget(), frame.tagWindow());   // the palette comes first
        QCOMPARE(frame.tagWindow()->caption(), QStringLiteral("タグリスト"));
        QCOMPARE(frame.treeWindow()->caption(), QStringLiteral("新規作成"));
    }
    QCOMPARE(gPageTable.size(), 1);
    QCOMPARE(gPageEditors.size(), 1);
    QVERIFY(env.platform.messages.isEmpty());
}

void tst_startup::missingSettingsShowNoWindow()
{
    TestEnv env;
    mdiMain frame;
    QVERIFY(!frame.MDIForm_Load());
    QCOMPARE(env.platform.messageTexts(),
             QStringList{QStringLiteral("初期データの取得に失敗しました。\n") + env.path(QStringLiteral("pageKiln.INI"))
                         + QStringLiteral("\nfile not found")});
    QVERIFY(frame.area()->subWindowList().isEmpty());
    QVERIFY(!frame.isVisible());
}

void tst_startup::previewFilesDeleted_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("left");
    const QString t1 = QStringLiteral("temp1.htm"), t2 = QStringLiteral("temp2.htm"), t4 = QStringLiteral("temp4.htm");
    QTest::newRow("1 and 2, no 3") << QStringList{t1, t2, t4} << QStringList{t4};
    QTest::newRow("no 1") << QStringList{t2} << QStringList{t2};
    QTest::newRow("none") << QStringList() << QStringList();
}

void tst_startup::previewFilesDeleted()
{
    QFETCH(QStringList, present);
    QFETCH(QStringList, left);
    TestEnv env;
    env.writeSettings(0, 0);
    for (const QString &name : present)
        env.write(name, "<html>");
    mdiMain frame;
    QVERIFY(frame.MDIForm_Load());
    frame.closeFrame(vbFormMDIForm);
    QStringList remaining = QDir(env.dir.path()).entryList({QStringLiteral("temp*.htm")}, QDir::Files, QDir::Name);
    QCOMPARE(remaining, left);
}

void tst_startup::closeBoxVersusFrameClosing_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<int>("expectedFlag");
    QTest::newRow("close box") << int(vbFormControlMenu) << 0;
    QTest::newRow("program code") << int(vbFormCode) << 0;
    QTest::newRow("frame closing") << int(vbFormMDIForm) << -1;
    QTest::newRow("session ending") << int(vbAppWindows) << -1;
}

void tst_startup::closeBoxVersusFrameClosing()
{
    QFETCH(int, reason);
    QFETCH(int, expectedFlag);
    TestEnv env;
    env.writeSettings(-1, -1);
    {
        mdiMain frame;
        QVERIFY(frame.MDIForm_Load());
        frame.tagWindow()->setHeight(5000);
        frame.tagWindow()->setLeft(600);
        frame.treeWindow()->setWidth(4500);
        if (reason <= vbFormCode) {
            frame.tagWindow()->Unload(reason);
            frame.treeWindow()->Unload(reason);
        }
        frame.closeFrame(reason <= vbFormCode ? int(vbFormMDIForm) : reason);
    }
    QVERIFY(LoadSettings());
    QCOMPARE(gTagWinVisible, expectedFlag);
    QCOMPARE(gTreeWinVisible, expectedFlag);
    QCOMPARE(gTagWinHeight, 5000);
    QCOMPARE(gTagWinLeft, 600);
    QCOMPARE(gTreeWinWidth, 4500);
    mdiMain next;
    QVERIFY(next.MDIForm_Load());
    QCOMPARE(bool(next.tagWindow()), expectedFlag != 0);
    QCOMPARE(bool(next.treeWindow()), expectedFlag != 0);
}

void tst_startup::terminationSignalSavesSettings()
{
    TestEnv env;
    env.writeSettings(-1, 0);
    env.write(QStringLiteral("temp1.htm"), "x");
    mdiMain frame;
    QVERIFY(frame.MDIForm_Load());
    installShutdownHandlers(&frame);
    frame.show();
    frame.tagWindow()->setWidth(3000);
    ::raise(SIGTERM);
    QTRY_VERIFY(!frame.isVisible());
    QVERIFY(!QFile::exists(env.path(QStringLiteral("temp1.htm"))));
    QVERIFY(LoadSettings());
    QCOMPARE(gTagWinWidth, 3000);
    QCOMPARE(gTagWinVisible, -1);
}

void tst_startup::shutdownWithUnwritableSettingsGoesOn()
{
    TestEnv env;
    env.writeSettings(0, 0);
    env.write(QStringLiteral("temp1.htm"), "x");
    mdiMain frame;
    QVERIFY(frame.MDIForm_Load());
    QFile::remove(env.path(QStringLiteral("pageKiln.INI")));
    frame.closeFrame(vbFormMDIForm);
    QCOMPARE(env.platform.messageTexts(),
             QStringList{QStringLiteral("初期データの格納に失敗しました。\n") + env.path(QStringLiteral("pageKiln.INI"))
                         + QStringLiteral("\nfile not found")});
    QVERIFY(!QFile::exists(env.path(QStringLiteral("pageKiln.INI"))));
    QVERIFY(!QFile::exists(env.path(QStringLiteral("temp1.htm"))));
}

void tst_startup::storedGeometryStaysOnScreen_data()
{
    QTest::addColumn<QString>("value");   // every size and place of both windows
    QTest::newRow("lowest Long") << QStringLiteral("-2147483648");
    QTest::newRow("highest Long") << QStringLiteral("2147483647");
    QTest::newRow("far beyond the screen") << QStringLiteral("900000");
}

void tst_startup::storedGeometryStaysOnScreen()
{
    QFETCH(QString, value);
    TestEnv env;
    QByteArray settings = TestEnv::read(env.writeSettings(-1, -1));
    for (const char *stored : {"TAG_W=2820", "TAG_H=8175", "TAG_T=0", "TAG_L=0", "TRE_W=3210", "TRE_H=8430", "TRE_T=0",
                               "TRE_L=2900", "TRE_S=0"})
        settings.replace(QByteArray(QByteArray(stored) + "\r\n"),
                         QByteArray(QByteArray(stored).left(6) + value.toLatin1() + "\r\n"));
    const QByteArray v = value.toLatin1();
    settings
        += "[FRAME INF]\r\nFRM_L=" + v + "\r\nFRM_T=" + v + "\r\nFRM_W=" + v + "\r\nFRM_H=" + v + "\r\nFRM_M=0\r\n";
    env.write(QStringLiteral("pageKiln.INI"), settings);
    mdiMain frame;
    QVERIFY(frame.MDIForm_Load());
    frame.showAsRemembered();
    const frmTree *tree = frame.treeWindow();
    QVERIFY(tree->cmdSepRect().left >= 0 && tree->cmdSepRect().left + 60 <= tree->picTreRect().width);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const qint64 screenWidth = pixelsToTwipsX(screen.width());
    const qint64 screenHeight = pixelsToTwipsY(screen.height());
    for (const KForm *form : {static_cast<KForm *>(frame.tagWindow()), static_cast<KForm *>(frame.treeWindow())}) {
        QVERIFY(form->Left() >= 0 && qint64(form->Left()) + form->Width() <= screenWidth);
        QVERIFY(form->Top() >= 0 && qint64(form->Top()) + form->Height() <= screenHeight);
    }
    frame.closeFrame(vbFormMDIForm);   // the sizes go back to the file as the windows had them
    QVERIFY(LoadSettings());
    QVERIFY(gTagWinLeft >= 0 && gTreeWinTop >= 0 && qint64(gTreeWinLeft) + gTreeWinWidth <= screenWidth);
}

void tst_startup::shutdownClosesRealDialogs_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("answer");   // the cancelled answer
    QTest::newRow("message box") << QStringLiteral("message") << QString::number(vbOK);
    QTest::newRow("Yes/No message box, default No") << QStringLiteral("question") << QString::number(vbNo);
    QTest::newRow("input box") << QStringLiteral("input") << QString();
    QTest::newRow("file dialog") << QStringLiteral("file") << QString();
    QTest::newRow("dialog of our own, with a message box over it")
        << QStringLiteral("nested") << QString::number(QDialog::Rejected);
}

// The desktop's own dialogs: a shutdown asked for while one is open closes it (and any
// dialog under it) as cancelled, and runs only after the request has returned.
void tst_startup::shutdownClosesRealDialogs()
{
    QFETCH(QString, request);
    QFETCH(QString, answer);
    QtPlatform real;
    Platform *const scripted = setPlatform(&real);
    bool shutDown = false;
    QTimer::singleShot(100, [&] { requestShutdown([&] { shutDown = true; }); });
    QString result;
    if (request == u"message" || request == u"question") {
        result = QString::number(platform().messageBox(QStringLiteral("?"), QStringLiteral("t"),
                                                       request == u"message" ? vbOKOnly : vbYesNo | vbDefaultButton2));
    } else if (request == u"input") {
        result = platform().inputBox(QStringLiteral("?"), QStringLiteral("t"));
    } else if (request == u"file") {
        FileDialog dialog;
        result = dialog.ShowOpen() ? dialog.FileName : QString();
    } else {
        QDialog own;
        QTimer::singleShot(0, &own,
                           [] { platform().messageBox(QStringLiteral("inner"), QStringLiteral("t"), vbOKOnly); });
        result = QString::number(platform().execModal(own));
    }
    QCOMPARE(result, answer);
    QVERIFY(!shutDown);
    QCOMPARE(openModalRequests(), 0);
    QTRY_VERIFY(shutDown);
    setPlatform(scripted);
}

PAGEKILN_TEST_MAIN(tst_startup)
#include "tst_startup.moc"
