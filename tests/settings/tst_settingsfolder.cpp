#include "app/basSystem.h"
#include "settings/Settings.h"
#include "settings/SettingsFolder.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QProcess>
#include <QtTest>

#include <unistd.h>

using namespace basSystem;

namespace {
const QByteArray defaultSettings
    = "[FORM INF]\r\nTAG_V=-1\r\nTAG_W=2820\r\nTAG_H=8175\r\nTAG_T=0\r\nTAG_L=0\r\nTRE_V=-1\r\nTRE_W=3900\r\n"
      "TRE_H=8430\r\nTRE_T=0\r\nTRE_L=2900\r\nTRE_S=0\r\n[APP INF]\r\nCUR_DIR=/web/\r\n";

// Makes `folder` read-only for real: a read-only bind mount for root, whom permissions do
// not stop, else the folder's permissions. Returns false when neither can be done.
bool makeReadOnly(const QString &folder)
{
    if (geteuid() != 0)
        return QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    return QProcess::execute(QStringLiteral("mount"), {QStringLiteral("--bind"), folder, folder}) == 0
        && QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,bind,ro"), folder})
        == 0;
}

void makeWritable(const QString &folder)
{
    if (geteuid() == 0)
        QProcess::execute(QStringLiteral("umount"), {folder});
    else
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
}   // namespace

class tst_settingsfolder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void choosesTheFolder_data();
    void choosesTheFolder();
    void firstStartCopiesTheDefaults();
    void missingDefaultIsTold();
};

void tst_settingsfolder::choosesTheFolder_data()
{
    QTest::addColumn<bool>("settingsBeside");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("folder");     // "program" or "user"
    QTest::addColumn<QString>("defaults");   // "", "program" or "installed"
    QTest::newRow("build folder") << true << false << "program"
                                  << "";
    QTest::newRow("installed") << false << false << "user"
                               << "installed";
    QTest::newRow("read-only copy") << true << true << "user"
                                    << "program";
}

void tst_settingsfolder::choosesTheFolder()
{
    QFETCH(bool, settingsBeside);
    QFETCH(bool, readOnly);
    QFETCH(QString, folder);
    QFETCH(QString, defaults);
    TestEnv env;
    const QString program = env.path(QStringLiteral("prefix/bin"));
    const QString user = env.path(QStringLiteral("config/pageKiln"));
    QVERIFY(QDir().mkpath(program));
    if (settingsBeside)
        env.write(QStringLiteral("prefix/bin/pageKiln.INI"), defaultSettings);
    if (readOnly && !makeReadOnly(program))
        QSKIP("cannot make a folder read-only here");
    const settingsFolder::Choice choice = settingsFolder::choose(program, user, settingsFileName);
    if (readOnly)
        makeWritable(program);
    const QHash<QString, QString> paths{
        {QStringLiteral("program"), program},
        {QStringLiteral("user"), user},
        {QStringLiteral("installed"), env.path(QStringLiteral("prefix/share/pagekiln"))}};
    QCOMPARE(choice.folder, paths.value(folder));
    QCOMPARE(choice.defaults, paths.value(defaults));
}

// The program's first start in the user's folder: both files copied from the defaults,
// the settings read from the copy and saved there, the defaults untouched; a second start
// keeps the user's files.
void tst_settingsfolder::firstStartCopiesTheDefaults()
{
    TestEnv env;
    const QString installedSettings = env.write(QStringLiteral("share/pageKiln.INI"), defaultSettings);
    const QByteArray tags = TestEnv::cp932(QStringLiteral("[TAG]\r\n見出し=<H1></H1>\r\n"));
    env.write(QStringLiteral("share/TagDB.TXT"), tags);
    env.platform.folder = env.path(QStringLiteral("config/pageKiln"));
    env.platform.defaults = env.path(QStringLiteral("share"));

    QString failure;
    QVERIFY2(PlaceDefaultFiles(&failure) && LoadSettings(&failure), qPrintable(failure));
    QCOMPARE(TestEnv::read(env.path(QStringLiteral("config/pageKiln/TagDB.TXT"))), tags);
    QCOMPARE(gTreeWinWidth, 3900);
    gTreeWinWidth = 4000;
    QVERIFY(SaveSettings());
    QVERIFY(PlaceDefaultFiles(&failure));
    QVERIFY(LoadSettings());
    QCOMPARE(gTreeWinWidth, 4000);
    QCOMPARE(TestEnv::read(installedSettings), defaultSettings);
    QVERIFY(env.platform.messages.isEmpty());
}

void tst_settingsfolder::missingDefaultIsTold()
{
    TestEnv env;
    env.write(QStringLiteral("share/pageKiln.INI"), defaultSettings);
    env.platform.folder = env.path(QStringLiteral("config/pageKiln"));
    env.platform.defaults = env.path(QStringLiteral("share"));
    QString failure;
    QVERIFY(!PlaceDefaultFiles(&failure));
    QVERIFY2(failure.contains(env.path(QStringLiteral("config/pageKiln/TagDB.TXT"))), qPrintable(failure));
    QVERIFY2(failure.contains(env.path(QStringLiteral("share/TagDB.TXT"))), qPrintable(failure));
}

PAGEKILN_TEST_MAIN(tst_settingsfolder)
#include "tst_settingsfolder.moc"
