#include "app/basSystem.h"
#include "settings/SettingsTexts.h"
#include "settings/FileHistory.h"
#include "settings/Settings.h"
#include "settings/StoredLayout.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QtTest>

using namespace basSystem;
using namespace Qt::StringLiterals;

namespace {
const QByteArray sampleSettings
    = "[FORM INF]\r\nTAG_V=-1\r\nTAG_W=2820\r\nTAG_H=8175\r\nTAG_T=0\r\nTAG_L=0\r\nTRE_V=-1\r\nTRE_W=5400\r\n"
      "TRE_H=8430\r\nTRE_T=0\r\nTRE_L=2900\r\nTRE_S=0\r\n[APP INF]\r\nCUR_DIR=/web/\r\n[HISTORY]\r\n"
      "FILE01=\r\nFILE02=\r\nFILE03=\r\nFILE04=\r\nFILE05=\r\nFILE06=\r\nFILE07=\r\nFILE08=\r\nFILE09=\r\nFILE10=\r\n";
}

class tst_settings : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundTripIsByteForByte();
    void loadsEveryValue();
    void missingFileFailsLoad();
    void badNumbersFailLoad_data();
    void badNumbersFailLoad();
    void fractionRoundsHalfToEven();
    void layoutKeptInRange_data();
    void layoutKeptInRange();
    void missingHistoryIsAddedOnSave();
    void longFolderSurvives();
    void saveNeverCreatesTheFile();
    void failedSaveLeavesFileAndTells();
    void badFilesNeverCrash_data();
    void badFilesNeverCrash();
    void historyRule_data();
    void historyRule();
};

void tst_settings::roundTripIsByteForByte()
{
    TestEnv env;
    const QString path = env.write(QStringLiteral("pageKiln.INI"), sampleSettings);
    QVERIFY(LoadSettings());
    QVERIFY(SaveSettings());
    QCOMPARE(TestEnv::read(path), sampleSettings);
    QVERIFY(env.platform.messages.isEmpty());
}

void tst_settings::loadsEveryValue()
{
    TestEnv env;
    QByteArray bytes = sampleSettings;
    bytes.replace("FILE02=", TestEnv::cp932(QStringLiteral("FILE02=/サイト/a.ksd")));
    bytes.replace("TRE_S=0", "TRE_S=-77");
    env.write(QStringLiteral("pageKiln.INI"), bytes);
    QVERIFY(LoadSettings());
    QCOMPARE(gTagWinVisible, -1);
    QCOMPARE(gTagWinWidth, 2820);
    QCOMPARE(gTagWinHeight, 8175);
    QCOMPARE(gTreeWinWidth, 5400);
    QCOMPARE(gTreeWinHeight, 8430);
    QCOMPARE(gTreeWinLeft, 2900);
    QCOMPARE(gTreeSplit, -77);
    QCOMPARE(gCurDir, QStringLiteral("/web/"));
    QCOMPARE(gHistory[2], QStringLiteral("/サイト/a.ksd"));
    QCOMPARE(gHistory[10], QString());
}

void tst_settings::missingFileFailsLoad()
{
    TestEnv env;
    QString failure;
    QVERIFY(!LoadSettings(&failure));
    QCOMPARE(failure,
             settingsTexts::msgLoadFailed + u'\n' + env.path(QStringLiteral("pageKiln.INI")) + u"\nfile not found");
    QVERIFY(env.platform.messages.isEmpty());   // the window tells the user, not the settings logic
}

void tst_settings::badNumbersFailLoad_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::newRow("missing key") << QByteArray("TRE_W=5400\r\n") << QByteArray();
    QTest::newRow("empty value") << QByteArray("TRE_W=5400") << QByteArray("TRE_W=");
    QTest::newRow("not a number") << QByteArray("TRE_W=5400") << QByteArray("TRE_W=wide");
    QTest::newRow("too large") << QByteArray("TRE_W=5400") << QByteArray("TRE_W=99999999999");
}

void tst_settings::badNumbersFailLoad()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    TestEnv env;
    QByteArray bytes = sampleSettings;
    env.write(QStringLiteral("pageKiln.INI"), bytes.replace(from, to));
    gTreeWinHeight = 1234;
    QString failure;
    QVERIFY(!LoadSettings(&failure));
    QCOMPARE(failure,
             settingsTexts::msgLoadFailed + u'\n' + env.path(QStringLiteral("pageKiln.INI"))
                 + u"\nTRE_W is no whole number in range");
    QCOMPARE(gTreeWinVisible, -1);    // read before the failing key
    QCOMPARE(gTreeWinHeight, 1234);   // after it: untouched
}

void tst_settings::fractionRoundsHalfToEven()
{
    TestEnv env;
    QByteArray bytes = sampleSettings;
    env.write(QStringLiteral("pageKiln.INI"),
              bytes.replace("TAG_W=2820", "TAG_W=2820.5").replace("TAG_H=8175", "TAG_H= 8175.5 "));
    QVERIFY(LoadSettings());
    QCOMPARE(gTagWinWidth, 2820);
    QCOMPARE(gTagWinHeight, 8176);
}

void tst_settings::layoutKeptInRange_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<qint32 *>("variable");
    QTest::addColumn<qint32>("read");
    using namespace storedLayout;
    QTest::newRow("tiny tree raised") << QByteArray("TRE_W=5400") << QByteArray("TRE_W=120") << &gTreeWinWidth
                                      << treeMinimum.width;
    QTest::newRow("tiny palette raised") << QByteArray("TAG_H=8175") << QByteArray("TAG_H=60") << &gTagWinHeight
                                         << tagMinimum.height;
    QTest::newRow("negative size raised")
        << QByteArray("TAG_W=2820") << QByteArray("TAG_W=-2820") << &gTagWinWidth << tagMinimum.width;
    QTest::newRow("highest splitter") << QByteArray("TRE_S=0") << QByteArray("TRE_S=2147483647") << &gTreeSplit
                                      << maxTwips;
    QTest::newRow("lowest place") << QByteArray("TRE_L=2900") << QByteArray("TRE_L=-2147483648") << &gTreeWinLeft
                                  << -maxTwips;
    QTest::newRow("huge size") << QByteArray("TRE_H=8430") << QByteArray("TRE_H=2147483647") << &gTreeWinHeight
                               << maxTwips;
}

// Stored sizes and places come into range on reading, and what is written back is the
// value in range.
void tst_settings::layoutKeptInRange()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(qint32 *, variable);
    QFETCH(qint32, read);
    TestEnv env;
    QByteArray bytes = sampleSettings;
    const QString path = env.write(QStringLiteral("pageKiln.INI"), bytes.replace(from, to));
    QVERIFY(LoadSettings());
    QCOMPARE(*variable, read);
    QVERIFY(SaveSettings());
    const QByteArray written = from.left(6) + QByteArray::number(read);
    QCOMPARE(TestEnv::read(path), QByteArray(bytes).replace(to, written));
}

void tst_settings::missingHistoryIsAddedOnSave()
{
    TestEnv env;
    const QByteArray noHistory = sampleSettings.left(sampleSettings.indexOf("[HISTORY]"));
    const QString path = env.write(QStringLiteral("pageKiln.INI"), noHistory);
    QVERIFY(LoadSettings());
    QVERIFY(SaveSettings());
    QCOMPARE(TestEnv::read(path), sampleSettings);
}

void tst_settings::longFolderSurvives()
{
    TestEnv env;
    const QString longDir = QStringLiteral("/ウェブ/") + QString(300, QLatin1Char('x')) + QLatin1Char('/');
    QByteArray bytes = sampleSettings;
    const QString path
        = env.write(QStringLiteral("pageKiln.INI"),
                    bytes.replace("CUR_DIR=/web/", TestEnv::cp932(QStringLiteral("CUR_DIR=") + longDir)));
    QVERIFY(LoadSettings());
    QCOMPARE(gCurDir, longDir);
    QVERIFY(SaveSettings());
    QCOMPARE(TestEnv::read(path), bytes);
}

void tst_settings::saveNeverCreatesTheFile()
{
    TestEnv env;
    const QString path = env.write(QStringLiteral("pageKiln.INI"), sampleSettings);
    QVERIFY(LoadSettings());
    QFile::remove(path);
    QString failure;
    QVERIFY(!SaveSettings(&failure));
    QCOMPARE(failure, settingsTexts::msgSaveFailed + u'\n' + path + u"\nfile not found");
    QVERIFY(!QFile::exists(path));
}

void tst_settings::failedSaveLeavesFileAndTells()
{
    TestEnv env;
    env.write(QStringLiteral("pageKiln.INI"), sampleSettings);
    QVERIFY(LoadSettings());
    // The settings file now lives where no temporary file can be made next to it.
    QFile::remove(env.path(QStringLiteral("pageKiln.INI")));
    QVERIFY(QFile::link(QStringLiteral("/proc/version"), env.path(QStringLiteral("pageKiln.INI"))));
    const QByteArray before = TestEnv::read(QStringLiteral("/proc/version"));
    QString failure;
    QVERIFY(!SaveSettings(&failure));
    QVERIFY(
        failure.startsWith(settingsTexts::msgSaveFailed + u'\n' + env.path(QStringLiteral("pageKiln.INI")) + u'\n'));
    QCOMPARE(TestEnv::read(QStringLiteral("/proc/version")), before);
}

void tst_settings::badFilesNeverCrash_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("loads");
    QTest::newRow("empty") << QByteArray() << false;
    QByteArray noise(8192, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 2654435761u) >> 24);
    QTest::newRow("binary") << noise << false;
    QTest::newRow("truncated") << sampleSettings.left(60) << false;
    QTest::newRow("nul bytes") << QByteArray(sampleSettings).replace("[APP INF]", QByteArray("[APP\0INF]", 9)) << true;
    QTest::newRow("1 MB line") << sampleSettings + QByteArray(1 << 20, 'z') << true;
    QTest::newRow("duplicate sections") << sampleSettings + "[FORM INF]\r\nTAG_W=zzz\r\n" << true;
    QTest::newRow("invalid cp932 bytes") << QByteArray(sampleSettings).replace("/web/", "/\x81\xFF\x80/") << true;
}

void tst_settings::badFilesNeverCrash()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, loads);
    TestEnv env;
    env.write(QStringLiteral("pageKiln.INI"), bytes);
    QString failure;
    QCOMPARE(LoadSettings(&failure), loads);
    QCOMPARE(failure.section(u'\n', 0, 0), loads ? QString() : settingsTexts::msgLoadFailed);
}

void tst_settings::historyRule_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("after");
    QTest::newRow("into an empty list") << u""_s << u"/a.ksd"_s << u"/a.ksd"_s;
    QTest::newRow("new path goes first") << u"/a.ksd /b.ksd"_s << u"/c.ksd"_s << u"/c.ksd /a.ksd /b.ksd"_s;
    QTest::newRow("known path moves first, once")
        << u"/a.ksd /b.ksd /c.ksd"_s << u"/c.ksd"_s << u"/c.ksd /a.ksd /b.ksd"_s;
    QTest::newRow("first stays first") << u"/a.ksd /b.ksd"_s << u"/a.ksd"_s << u"/a.ksd /b.ksd"_s;
    QTest::newRow("eleventh drops the oldest")
        << u"/1 /2 /3 /4 /5 /6 /7 /8 /9 /10"_s << u"/n"_s << u"/n /1 /2 /3 /4 /5 /6 /7 /8 /9"_s;
    QTest::newRow("letter case tells paths apart") << u"/A.ksd"_s << u"/a.ksd"_s << u"/a.ksd /A.ksd"_s;
    QTest::newRow("no path changes nothing") << u"/a.ksd"_s << u""_s << u"/a.ksd"_s;
}

void tst_settings::historyRule()
{
    QFETCH(QString, before);
    QFETCH(QString, path);
    QFETCH(QString, after);
    const QStringList result = fileHistory::remember(before.split(u' ', Qt::SkipEmptyParts), path);
    QCOMPARE(result.join(u' '), after);
    // Through the settings file's ten slots, gaps closed, and back again.
    fileHistory::Slots stored;
    stored[3] = QStringLiteral("/old.ksd");
    fileHistory::store(stored, result);
    QCOMPARE(fileHistory::entries(stored), result);
    QVERIFY(stored[0].isEmpty());
}

PAGEKILN_TEST_MAIN(tst_settings)
#include "tst_settings.moc"
