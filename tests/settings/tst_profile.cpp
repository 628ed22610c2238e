#include "settings/Profile.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QtTest>

using namespace basSystem;
using namespace Qt::StringLiterals;

class tst_profile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writesNewFileInOrder();
    void reads_data();
    void reads();
    void writes_data();
    void writes();
    void longValues_data();
    void longValues();
    void longValueIsReadWhole();
    void everyValueReadsBack_data();
    void everyValueReadsBack();
    void unwritableFileStaysUnchanged();
    void unrepresentableValueSwitchesToUtf8();
    void privateUseAndKeptBytes_data();
    void privateUseAndKeptBytes();
    void batchWritesOnce();
    void badFilesDoNotCrash_data();
    void badFilesDoNotCrash();
};

void tst_profile::writesNewFileInOrder()
{
    TestEnv env;
    const QString file = env.path(QStringLiteral("new.ini"));
    QVERIFY(WriteProfileValue(file, QStringLiteral("App1"), QStringLiteral("key1"), QStringLiteral("string1")));
    QVERIFY(WriteProfileValue(file, QStringLiteral("App1"), QStringLiteral("key2"), QStringLiteral("string2")));
    QVERIFY(WriteProfileValue(file, QStringLiteral("App1"), QStringLiteral("key3"), QStringLiteral("string3")));
    QVERIFY(WriteProfileValue(file, QStringLiteral("App2"), QStringLiteral("key4"), QStringLiteral("string4")));
    QVERIFY(WriteProfileValue(file, QStringLiteral("App3"), QStringLiteral("key5"), QStringLiteral("string5")));
    QCOMPARE(TestEnv::read(file),
             QByteArray("[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n"
                        "[App3]\r\nkey5=string5\r\n"));
}

void tst_profile::reads_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << QByteArray("[S]\r\nk=v\r\n") << "S"
                           << "k"
                           << "v";
    QTest::newRow("case of names") << QByteArray("[sEcT]\r\nKeY=v\r\n") << "SECT"
                                   << "key"
                                   << "v";
    QTest::newRow("blanks") << QByteArray("  [ S ]  \r\n  k  =  v w  \r\n") << "S"
                            << "k"
                            << "v w";
    QTest::newRow("double quotes") << QByteArray("[S]\r\nk=\" v \"\r\n") << "S"
                                   << "k"
                                   << " v ";
    QTest::newRow("single quotes") << QByteArray("[S]\r\nk='v'\r\n") << "S"
                                   << "k"
                                   << "v";
    QTest::newRow("unmatched quote kept") << QByteArray("[S]\r\nk=\"v'\r\n") << "S"
                                          << "k"
                                          << "\"v'";
    QTest::newRow("comment") << QByteArray("[S]\r\n;k=x\r\nk=v\r\n") << "S"
                             << "k"
                             << "v";
    QTest::newRow("no equals") << QByteArray("[S]\r\nk\r\n") << "S"
                               << "k"
                               << "";
    QTest::newRow("first key wins") << QByteArray("[S]\r\nk=1\r\nk=2\r\n") << "S"
                                    << "k"
                                    << "1";
    QTest::newRow("first section wins") << QByteArray("[S]\r\nk=1\r\n[S]\r\nk=2\r\nj=3\r\n") << "S"
                                        << "j"
                                        << "";
    QTest::newRow("before first section") << QByteArray("k=0\r\n[S]\r\n") << "S"
                                          << "k"
                                          << "";
    QTest::newRow("name ends at ]") << QByteArray("[S]x]\r\nk=v\r\n") << "S"
                                    << "k"
                                    << "v";
    QTest::newRow("lone LF and CR") << QByteArray("[S]\nk=v\rj=w") << "S"
                                    << "j"
                                    << "w";
    QTest::newRow("value with equals") << QByteArray("[S]\r\nk=a=b\r\n") << "S"
                                       << "k"
                                       << "a=b";
    QTest::newRow("missing section") << QByteArray("[T]\r\nk=v\r\n") << "S"
                                     << "k"
                                     << "";
    QTest::newRow("cp932 value") << TestEnv::cp932(QStringLiteral("[S]\r\nk=日本語～①\r\n")) << "S"
                                 << "k" << QStringLiteral("日本語～①");
    QTest::newRow("utf-8 value") << QStringLiteral("[S]\r\nk=日本語\r\n").toUtf8() << "S"
                                 << "k" << QStringLiteral("日本語");
}

void tst_profile::reads()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    TestEnv env;
    const QString path = env.write(QStringLiteral("a.ini"), file);
    QString value = QStringLiteral("stale");
    QVERIFY(ReadProfileValue(path, section, key, value));
    QCOMPARE(value, expected);
}

void tst_profile::writes_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("replace keeps the file's spelling and place")
        << QByteArray("; c\r\n[S]\r\n  Key = old \r\nz=1\r\n") << "s"
        << "KEY" << QByteArray("; c\r\n[S]\r\nKey=new\r\nz=1\r\n");
    QTest::newRow("new key after the last key, before trailing comments")
        << QByteArray("[S]\r\na=1\r\n; note\r\n\r\n[T]\r\n") << "S"
        << "b" << QByteArray("[S]\r\na=1\r\nb=new\r\n; note\r\n\r\n[T]\r\n");
    QTest::newRow("new key in an empty section") << QByteArray("[S]\r\n[T]\r\n") << "S"
                                                 << "b" << QByteArray("[S]\r\nb=new\r\n[T]\r\n");
    QTest::newRow("new section at the end without a blank line") << QByteArray("[S]\r\na=1") << "T"
                                                                 << "b" << QByteArray("[S]\r\na=1\r\n[T]\r\nb=new\r\n");
    QTest::newRow("other line ends kept") << QByteArray("[S]\na=1\n;x\n") << "S"
                                          << "a" << QByteArray("[S]\na=new\n;x\n");
    QTest::newRow("first duplicate section written") << QByteArray("[S]\r\n[S]\r\na=1\r\n") << "S"
                                                     << "a" << QByteArray("[S]\r\na=new\r\n[S]\r\na=1\r\n");
}

void tst_profile::writes()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QByteArray, after);
    TestEnv env;
    const QString path = env.write(QStringLiteral("a.ini"), before);
    QVERIFY(WriteProfileValue(path, section, key, QStringLiteral("new")));
    QCOMPARE(TestEnv::read(path), after);
}

void tst_profile::longValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "2820" << true << 2820;
    QTest::newRow("negative") << "-1" << true << -1;
    QTest::newRow("plus and blanks") << "  +15 " << true << 15;
    QTest::newRow("half to even down") << "2.5" << true << 2;
    QTest::newRow("half to even up") << "3.5" << true << 4;
    QTest::newRow("exponent") << "1e3" << true << 1000;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("words") << "abc" << false << 0;
    QTest::newRow("trailing words") << "12abc" << false << 0;
    QTest::newRow("too large") << "2147483648" << false << 0;
    QTest::newRow("infinity") << "inf" << false << 0;
    // Only spaces and tabs are blanks; other white space and full-width digits are text.
    QTest::newRow("tab before") << "\t-1" << true << -1;
    QTest::newRow("full-width space before") << QStringLiteral("\u3000-1") << false << 0;
    QTest::newRow("no-break space after") << QStringLiteral("5\u00A0") << false << 0;
    QTest::newRow("vertical tab before") << "\v0" << false << 0;
    QTest::newRow("full-width digits") << QStringLiteral("１２") << false << 0;
    QTest::newRow("exponent letter D") << "1d2" << false << 0;
}

void tst_profile::longValues()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    const std::optional<qint32> n = profileLong(text);
    QCOMPARE(n.has_value(), ok);
    if (ok)
        QCOMPARE(*n, value);
}

void tst_profile::longValueIsReadWhole()
{
    TestEnv env;
    const QString path = env.path(QStringLiteral("a.ini"));
    const QString longDir = QStringLiteral("/ほげ") + QString(600, QLatin1Char('d')) + QLatin1Char('/');
    QVERIFY(WriteProfileValue(path, QStringLiteral("APP INF"), QStringLiteral("CUR_DIR"), longDir));
    QString back;
    QVERIFY(ReadProfileValue(path, QStringLiteral("APP INF"), QStringLiteral("CUR_DIR"), back));
    QCOMPARE(back, longDir);
}

void tst_profile::everyValueReadsBack_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("plain, as given") << "/web/" << QByteArray("k=/web/");
    QTest::newRow("inner quotes, as given") << "a \"b\" c" << QByteArray("k=a \"b\" c");
    QTest::newRow("blanks at the ends") << "  " << QByteArray("k=\"  \"");
    QTest::newRow("single quotes around") << "'x'" << QByteArray("k=\"'x'\"");
    QTest::newRow("double quotes around") << "\"x\"" << QByteArray("k=\"\"x\"\"");
    QTest::newRow("one quote") << "\"" << QByteArray("k=\"");
}

void tst_profile::everyValueReadsBack()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, line);
    TestEnv env;
    const QString path = env.path(QStringLiteral("v.ini"));
    QVERIFY(WriteProfileValue(path, QStringLiteral("S"), QStringLiteral("k"), value));
    QCOMPARE(TestEnv::read(path), QByteArray("[S]\r\n") + line + "\r\n");
    QString back;
    QVERIFY(ReadProfileValue(path, QStringLiteral("S"), QStringLiteral("k"), back));
    QCOMPARE(back, value);
}

void tst_profile::unwritableFileStaysUnchanged()
{
    TestEnv env;
    const QString sub = env.path(QStringLiteral("ro"));
    const QString path = env.write(QStringLiteral("ro/a.ini"), "[S]\r\na=1\r\n");
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFileInfo(sub).isWritable())
        QSKIP("running with permissions that ignore a read-only folder");
    QVERIFY(!WriteProfileValue(path, QStringLiteral("S"), QStringLiteral("a"), QStringLiteral("2")));
    QCOMPARE(TestEnv::read(path), QByteArray("[S]\r\na=1\r\n"));
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void tst_profile::unrepresentableValueSwitchesToUtf8()
{
    TestEnv env;
    const QString path = env.writeCp932(QStringLiteral("a.ini"), QStringLiteral("[S]\r\na=日本\r\n"));
    const QString value = QStringLiteral("emoji \U0001F600 é");
    QVERIFY(WriteProfileValue(path, QStringLiteral("S"), QStringLiteral("b"), value));
    QVERIFY(TestEnv::read(path).startsWith("\xEF\xBB\xBF"));
    QString a, b;
    QVERIFY(ReadProfileValue(path, QStringLiteral("S"), QStringLiteral("a"), a));
    QVERIFY(ReadProfileValue(path, QStringLiteral("S"), QStringLiteral("b"), b));
    QCOMPARE(a, QStringLiteral("日本"));
    QCOMPARE(b, value);
}

void tst_profile::privateUseAndKeptBytes_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("value");   // written as b in [S]
    QTest::addColumn<QByteArray>("after");
    const QByteArray bom("\xEF\xBB\xBF");
    const QByteArray japanese = TestEnv::cp932(QStringLiteral("[S]\r\na=日本\r\n"));
    for (const QString &c : {u"\uF780"_s, u"\uF7C2"_s, u"\uF7FF"_s})
        QTest::addRow("U+%04X", c.at(0).unicode())
            << japanese << c << bom + (u"[S]\r\na=日本\r\nb="_s + c + u"\r\n"_s).toUtf8();
    QTest::newRow("undecodable bytes") << QByteArray("[S]\r\na=x\x80\xFD\r\n") << "1"
                                       << QByteArray("[S]\r\na=x\x80\xFD\r\nb=1\r\n");
    // UTF-8 has no room for a stray byte: it takes the private-use spelling of earlier versions.
    QTest::newRow("undecodable byte in utf-8")
        << QByteArray("[S]\r\na=x\x80\r\n") << "\uF7C2" << bom + "[S]\r\na=x\xEF\x9E\x80\r\nb=\xEF\x9F\x82\r\n";
}

void tst_profile::privateUseAndKeptBytes()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    TestEnv env;
    const QString path = env.write(QStringLiteral("a.ini"), before);
    QVERIFY(WriteProfileValue(path, QStringLiteral("S"), QStringLiteral("b"), value));
    QCOMPARE(TestEnv::read(path), after);
    QString back;
    QVERIFY(ReadProfileValue(path, QStringLiteral("S"), QStringLiteral("b"), back));
    QCOMPARE(back, value);
}

void tst_profile::batchWritesOnce()
{
    TestEnv env;
    ProfileFile file;
    QVERIFY(file.load(env.path(QStringLiteral("batch.ini"))));
    QVERIFY(!file.fileExisted());
    for (int i = 1; i <= 1000; ++i)
        file.setValue(QStringLiteral("HTML LIST"), QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')),
                      QString::number(i));
    QVERIFY(!QFile::exists(file.path()));
    QVERIFY(file.commit());
    QString v;
    QVERIFY(ReadProfileValue(file.path(), QStringLiteral("html list"), QStringLiteral("1000"), v));
    QCOMPARE(v, QStringLiteral("1000"));
}

void tst_profile::badFilesDoNotCrash_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("nul bytes") << QByteArray("[S]\0\r\na=\0\r\n", 11);
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919 + 13) & 0xFF);
    QTest::newRow("binary") << noise;
    QTest::newRow("1 MB line") << QByteArray("[S]\r\na=") + QByteArray(1 << 20, 'x');
    QTest::newRow("invalid cp932") << QByteArray("[S]\r\na=\x81\xFF\xA0\x80\r\n");
    QTest::newRow("truncated") << QByteArray("[S");
}

void tst_profile::badFilesDoNotCrash()
{
    QFETCH(QByteArray, bytes);
    TestEnv env;
    const QString path = env.write(QStringLiteral("bad.ini"), bytes);
    QString v;
    QVERIFY(ReadProfileValue(path, QStringLiteral("S"), QStringLiteral("a"), v));
    QVERIFY(WriteProfileValue(path, QStringLiteral("S"), QStringLiteral("z"), QStringLiteral("1")));
    QString z;
    QVERIFY(ReadProfileValue(path, QStringLiteral("S"), QStringLiteral("z"), z));
    QCOMPARE(z, QStringLiteral("1"));
}

PAGEKILN_TEST_MAIN(tst_profile)
#include "tst_profile.moc"
