#include "app/basSystem.h"
#include "editor/frmChild1.h"
#include "settings/Profile.h"
#include "site/SiteFile.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "tree/frmTree.h"

#include <QDir>
#include <QtTest>

#include <sys/stat.h>

using namespace basSystem;
using namespace Qt::StringLiterals;

class tst_sitefile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void countValues_data();
    void countValues();
    void entryKeys_data();
    void entryKeys();
    void entries_data();
    void entries();
    void flagForms_data();
    void flagForms();
    void writerWritesTheFormat();
    void writerWritesAThousandPages();
    void writerKeepsWhatItDoesNotName();
    void roundTripKeepsJapaneseAndVisibility();
    void roundTripBeyondTheCodePage();
    void readingAppendsPages();
    void rejects_data();
    void rejects();
    void noCountStopsQuietly_data();
    void noCountStopsQuietly();
    void countForms_data();
    void countForms();
    void blankAndMissingEntriesAreSkipped();
    void threePagesOverFive();
    void hugeAndNegativeCounts_data();
    void hugeAndNegativeCounts();
    void pageWithoutFileRoundTrips();
    void privateUseNamesReadBack_data();
    void privateUseNamesReadBack();
    void undecodableBytesWriteBackAsRead();
    void emptyListIsRefused();
    void failedWriteLeavesNoFile_data();
    void failedWriteLeavesNoFile();
};

namespace {
const QString ver = QStringLiteral("Velmoran HTML Editor Ver 0.0");

QString header(const QString &version = ver)
{
    return definitionHeader(version);
}

// A site folder with pages p1.htm ... pN.htm, each titled "Page n".
QString makePages(TestEnv &env, int n)
{
    for (int i = 1; i <= n; ++i)
        env.writeCp932(QStringLiteral("site/p%1.htm").arg(i), QStringLiteral("<title>Page %1</title>").arg(i));
    return env.path(QStringLiteral("site")) + QLatin1Char('/');
}

// Writes a definition with the usual header and `list` as a.ksd; returns its path.
QString writeDefinitionFile(TestEnv &env, const QString &list)
{
    return env.writeCp932(QStringLiteral("a.ksd"), header() + list);
}

QList<bool> visibility()
{
    QList<bool> v;
    for (qsizetype i = 1; i < gPageEditors.size(); ++i)
        v << gPageEditors.at(i)->Visible();
    return v;
}
}   // namespace

void tst_sitefile::countValues_data()
{
    QTest::addColumn<QString>("cnt");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("plain") << "2" << qint64(2);
    QTest::newRow("zero-filled") << "002" << qint64(2);
    QTest::newRow("zero") << "000" << qint64(0);
    QTest::newRow("empty") << "" << qint64(0);
    QTest::newRow("no number") << "abc" << qint64(0);
    QTest::newRow("trailing text") << "12abc" << qint64(12);
    QTest::newRow("blanks inside") << " 1 2 " << qint64(12);
    QTest::newRow("sign") << "+4" << qint64(4);
    QTest::newRow("negative") << "-3" << qint64(-3);
    QTest::newRow("half to even down") << "2.5" << qint64(2);
    QTest::newRow("half to even up") << "3.5" << qint64(4);
    QTest::newRow("half of one") << "0.5" << qint64(0);
    QTest::newRow("fraction") << "2.7" << qint64(3);
    QTest::newRow("exponent") << "1e3" << qint64(1000);
    QTest::newRow("signed exponent") << "25E-1" << qint64(2);
    QTest::newRow("exponent without digits") << "7e" << qint64(7);
    QTest::newRow("point first") << ".5e1" << qint64(5);
    QTest::newRow("second point ends it") << "1.2.3" << qint64(1);
    QTest::newRow("beyond a Long") << "2147483648" << qint64(2147483648LL);
    QTest::newRow("overflow") << "1e999" << qint64(9000000000000000000LL);
    QTest::newRow("full-width digits") << "２" << qint64(0);
    QTest::newRow("full-width space before") << QStringLiteral("\u30002") << qint64(0);
    QTest::newRow("tab before") << "\t2" << qint64(2);
    QTest::newRow("exponent letter D is no exponent") << "1d2" << qint64(1);
}

void tst_sitefile::countValues()
{
    QFETCH(QString, cnt);
    QFETCH(qint64, expected);
    QCOMPARE(ksd::pageCountOf(cnt), expected);
}

void tst_sitefile::entryKeys_data()
{
    QTest::addColumn<qint64>("i");
    QTest::addColumn<QString>("key");
    QTest::newRow("1") << qint64(1) << "001";
    QTest::newRow("12") << qint64(12) << "012";
    QTest::newRow("999") << qint64(999) << "999";
    QTest::newRow("1000") << qint64(1000) << "1000";
    QTest::newRow("12345") << qint64(12345) << "12345";
}

void tst_sitefile::entryKeys()
{
    QFETCH(qint64, i);
    QFETCH(QString, key);
    QCOMPARE(ksd::entryKey(i), key);
}

void tst_sitefile::entries_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("open") << "-1*C:\\site\\*index.htm" << true << true << "C:\\site\\"
                          << "index.htm";
    QTest::newRow("closed") << "0*/site/docs/*about.htm" << true << false << "/site/docs/"
                            << "about.htm";
    QTest::newRow("any other whole number") << "1*a/*b" << true << true << "a/"
                                            << "b";
    QTest::newRow("flag with blanks") << " -1 *a/*b" << true << true << "a/"
                                      << "b";
    QTest::newRow("flag no number") << "yes*a/*b" << true << false << "a/"
                                    << "b";
    QTest::newRow("flag a fraction") << "1.5*a/*b" << true << false << "a/"
                                     << "b";
    QTest::newRow("flag empty") << "*a/*b" << true << false << "a/"
                                << "b";
    QTest::newRow("no file yet") << "-1**" << true << true << ""
                                 << "";
    QTest::newRow("more asterisks") << "0*a/*b*c*.htm" << true << false << "a/"
                                    << "b*c*.htm";
    QTest::newRow("Japanese") << "0*/ウェブ/*表紙.htm" << true << false << "/ウェブ/"
                              << "表紙.htm";
    QTest::newRow("one asterisk") << "-1*index.htm" << false << false << ""
                                  << "";
    QTest::newRow("no asterisk") << "index.htm" << false << false << ""
                                 << "";
    QTest::newRow("blank") << "   " << false << false << ""
                           << "";
}

void tst_sitefile::entries()
{
    QFETCH(QString, value);
    QFETCH(bool, valid);
    QFETCH(bool, open);
    QFETCH(QString, folder);
    QFETCH(QString, fileName);
    const auto entry = ksd::parseEntry(value);
    QCOMPARE(entry.has_value(), valid);
    if (!valid)
        return;
    QCOMPARE(entry->open, open);
    QCOMPARE(entry->Folder, folder);
    QCOMPARE(entry->FileName, fileName);
}

void tst_sitefile::flagForms_data()
{
    QTest::addColumn<QString>("flag");
    QTest::addColumn<bool>("open");
    // White space other than spaces and tabs is text, so the flag is no number: closed.
    const std::pair<const char *, char16_t> blanks[] = {
        {"full-width space", u'\u3000'}, {"no-break space", u'\u00A0'}, {"vertical tab", u'\v'}, {"form feed", u'\f'},
        {"next line", u'\u0085'},        {"line separator", u'\u2028'},
    };
    for (const auto &[name, blank] : blanks) {
        for (const char *number : {"-1", "1", "0"})
            QTest::addRow("%s before %s", name, number) << QChar(blank) + QLatin1String(number) << false;
        QTest::addRow("%s after -1", name) << u"-1"_s + QChar(blank) << false;
    }
    QTest::newRow("spaces and tabs before") << u" \t -1"_s << true;
    QTest::newRow("spaces and tabs after") << u"1\t "_s << true;
    QTest::newRow("tab before 0") << u"\t0"_s << false;
    QTest::newRow("plus") << u"+1"_s << true;
    QTest::newRow("minus zero") << u"-0"_s << false;
    QTest::newRow("two signs") << u"--1"_s << false;
    QTest::newRow("blank after the sign") << u"- 1"_s << false;
    QTest::newRow("full-width digit") << u"１"_s << false;
    QTest::newRow("full-width minus and digit") << u"－１"_s << false;
    QTest::newRow("beyond a Long") << u"99999999999999999999"_s << true;
    QTest::newRow("empty") << QString() << false;
}

// Each flag form read from a definition file in UTF-8, as the program reads one.
void tst_sitefile::flagForms()
{
    QFETCH(QString, flag);
    QFETCH(bool, open);
    TestEnv env;
    const QString path = env.write(
        u"a.ksd"_s, (header() + u"[HTML LIST]\r\nCNT=1\r\n001="_s + flag + u"*/site/*p1.htm\r\n"_s).toUtf8());
    const ksd::Definition d = ksd::readDefinition(path);
    QCOMPARE(d.pages.size(), 1);
    QCOMPARE(d.pages.at(0).open, open);
}

void tst_sitefile::writerWritesTheFormat()
{
    TestEnv env;
    auto *tree = new frmTree(env.area());
    const QString folder = makePages(env, 2);
    tree->ScanPage(folder, QStringLiteral("p1.htm"));
    tree->ScanPage(folder + QStringLiteral("docs/"), QStringLiteral("about.htm"));
    gPageEditors.at(1)->Show();
    gSite.Name = QStringLiteral("My site");
    gSite.Folder = folder;
    gSite.Version = QStringLiteral("Velmoran HTML Editor Ver 9.9");   // never written back
    gSite.FilePath = env.path(QStringLiteral("a.ksd"));
    env.platform.messages.clear();

    QVERIFY(tree->gfWriteKSD());
    QCOMPARE(env.platform.messageTexts(), QStringList{QStringLiteral("更新しました")});
    const QString expected = QStringLiteral("[KSD INF]\r\nVER=Velmoran HTML Editor Ver 0.0\r\nPNM=My site\r\nDIR=%1\r\n"
                                            "URL=\r\n[HTML LIST]\r\nCNT=002\r\n001=-1*%1*p1.htm\r\n"
                                            "002=0*%1docs/*about.htm\r\n")
                                 .arg(folder);
    QCOMPARE(QString::fromUtf8(TestEnv::read(gSite.FilePath)), expected);
}

void tst_sitefile::writerWritesAThousandPages()
{
    TestEnv env;
    QList<ksd::PageEntry> pages;
    for (int i = 1; i <= 1000; ++i)
        pages << ksd::PageEntry{i % 2 == 0, QStringLiteral("/w/"), QStringLiteral("p%1.htm").arg(i)};
    const QString path = env.path(QStringLiteral("big.ksd"));
    QVERIFY(ksd::writeDefinition(path, SiteInfo{}, pages));
    ProfileFile file;
    QVERIFY(file.load(path));
    QCOMPARE(file.value(ksd::listSection, QStringLiteral("CNT")), QStringLiteral("1000"));
    QCOMPARE(file.value(ksd::listSection, QStringLiteral("001")), QStringLiteral("0*/w/*p1.htm"));
    QCOMPARE(file.value(ksd::listSection, QStringLiteral("999")), QStringLiteral("0*/w/*p999.htm"));
    QCOMPARE(file.value(ksd::listSection, QStringLiteral("1000")), QStringLiteral("-1*/w/*p1000.htm"));
    QCOMPARE(file.keys(ksd::listSection).size(), 1001);
    const ksd::Definition d = ksd::readDefinition(path);
    QCOMPARE(d.stop, ksd::ReadStop::Listed);
    QCOMPARE(d.pages, pages);
}

void tst_sitefile::writerKeepsWhatItDoesNotName()
{
    TestEnv env;
    const QString path = env.writeCp932(
        QStringLiteral("a.ksd"), QStringLiteral("; mine\r\n[KSD INF]\r\nPNM=old\r\nNOTE=kept\r\n[OTHER]\r\nX=1\r\n"));
    QVERIFY(ksd::writeDefinition(path, SiteInfo{QString(), QStringLiteral("new"), QString(), QString(), QString()},
                                 {ksd::PageEntry{false, QStringLiteral("/"), QStringLiteral("a.htm")}}));
    QCOMPARE(
        QString::fromLatin1(TestEnv::read(path)),
        QStringLiteral("; mine\r\n[KSD INF]\r\nPNM=new\r\nNOTE=kept\r\nVER=Velmoran HTML Editor Ver 0.0\r\nDIR=\r\n"
                       "URL=\r\n[OTHER]\r\nX=1\r\n[HTML LIST]\r\nCNT=001\r\n001=0*/*a.htm\r\n"));
}

void tst_sitefile::roundTripKeepsJapaneseAndVisibility()
{
    TestEnv env;
    auto *tree = new frmTree(env.area());
    env.writeCp932(QStringLiteral("ウェブ/表紙.htm"), QStringLiteral("<title>表紙</title>"));
    env.writeCp932(QStringLiteral("ウェブ/案内.htm"), QStringLiteral("<title>案内</title>"));
    env.writeCp932(QStringLiteral("ウェブ/連絡先.htm"), QStringLiteral("<title>連絡先</title>"));
    const QString folder = env.path(QStringLiteral("ウェブ")) + QLatin1Char('/');
    for (const QString &name : {QStringLiteral("表紙.htm"), QStringLiteral("案内.htm"), QStringLiteral("連絡先.htm")})
        tree->ScanPage(folder, name);
    gPageEditors.at(1)->Show();
    gPageEditors.at(3)->Show();
    gSite = SiteInfo{QString(), QStringLiteral("私のサイト～①"), env.path(QStringLiteral("サイト.ksd")), folder,
                     QStringLiteral("http://例え.jp/")};
    QVERIFY(tree->gfWriteKSD());
    QVERIFY(TestEnv::read(gSite.FilePath).contains(TestEnv::cp932(QStringLiteral("PNM=私のサイト～①"))));

    const SiteInfo written = gSite;
    const QString path = gSite.FilePath;
    resetSharedState();
    QVERIFY(tree->gfReadKSD(path));
    QCOMPARE(gSite.Version, ver);
    QCOMPARE(gSite.Name, written.Name);
    QCOMPARE(gSite.Folder, written.Folder);
    QCOMPARE(gSite.URL, written.URL);
    QCOMPARE(gSite.FilePath, path);
    QCOMPARE(pageTitles(), (QStringList{QStringLiteral("表紙"), QStringLiteral("案内"), QStringLiteral("連絡先")}));
    QCOMPARE(gPageTable.at(3).Folder, folder);
    QCOMPARE(gPageTable.at(3).FileName, QStringLiteral("連絡先.htm"));
    QCOMPARE(visibility(), (QList<bool>{true, false, true}));
    QCOMPARE(env.platform.messageTexts(), QStringList{QStringLiteral("更新しました")});
}

void tst_sitefile::roundTripBeyondTheCodePage()
{
    // A name the code page cannot hold makes the whole file UTF-8, and it reads back.
    TestEnv env;
    auto *tree = new frmTree(env.area());
    const QString folder = makePages(env, 1);
    tree->ScanPage(folder, QStringLiteral("p1.htm"));
    gSite.Name = QStringLiteral("𠮷野家 café");
    gSite.FilePath = env.path(QStringLiteral("u.ksd"));
    QVERIFY(tree->gfWriteKSD());
    resetSharedState();
    QVERIFY(tree->gfReadKSD(env.path(QStringLiteral("u.ksd"))));
    QCOMPARE(gSite.Name, QStringLiteral("𠮷野家 café"));
    QCOMPARE(pageTitles(), QStringList{QStringLiteral("Page 1")});
}

void tst_sitefile::readingAppendsPages()
{
    TestEnv env;
    auto *tree = new frmTree(env.area());
    const QString folder = makePages(env, 3);
    tree->ScanPage(folder, QStringLiteral("p3.htm"));
    const QString path = writeDefinitionFile(
        env, QStringLiteral("[HTML LIST]\r\nCNT=2\r\n001=0*%1*p1.htm\r\n002=0*%1*p2.htm\r\n").arg(folder));
    QVERIFY(tree->gfReadKSD(path));
    QCOMPARE(pageTitles(), (QStringList{QStringLiteral("Page 3"), QStringLiteral("Page 1"), QStringLiteral("Page 2")}));
    QCOMPARE(gPageEditors.at(3)->plId, 3);
    QVERIFY(env.platform.messages.isEmpty());
}

void tst_sitefile::rejects_data()
{
    QTest::addColumn<QString>("content");   // empty: no file; "/": a folder
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("version");   // gSite.Version afterwards

    const QString readFailed = QStringLiteral("定義ファイルの取得に失敗しました。");
    const QString notDefinition = QStringLiteral("指定されたファイルは、定義ファイルではありません。");
    QTest::newRow("no file") << QString() << readFailed << QStringLiteral("before");
    QTest::newRow("a folder") << QStringLiteral("/") << readFailed << QStringLiteral("before");
    QTest::newRow("other letter case") << header(QStringLiteral("velmoran html editor ver 0.0")) << notDefinition
                                       << QStringLiteral("velmoran html editor ver 0.0");
    QTest::newRow("no version") << QStringLiteral("[KSD INF]\r\nPNM=x\r\n") << notDefinition << QString();
    QTest::newRow("prefix without its blank") << header(QStringLiteral("Velmoran HTML Editor Ver")) << notDefinition
                                              << QStringLiteral("Velmoran HTML Editor Ver");
    QTest::newRow("not a profile") << QStringLiteral("<html></html>") << notDefinition << QString();
}

void tst_sitefile::rejects()
{
    QFETCH(QString, content);
    QFETCH(QString, message);
    QFETCH(QString, version);
    TestEnv env;
    auto *tree = new frmTree(env.area());
    QString path = env.path(QStringLiteral("a.ksd"));
    if (content == QStringLiteral("/"))
        QDir().mkpath(path);
    else if (!content.isEmpty())
        env.writeCp932(QStringLiteral("a.ksd"), content);
    gSite = SiteInfo{QStringLiteral("before"), QStringLiteral("before"), QStringLiteral("before"),
                     QStringLiteral("before"), QStringLiteral("before")};

    QVERIFY(!tree->gfReadKSD(path));
    QCOMPARE(env.platform.messageTexts(), QStringList{message});
    QCOMPARE(env.platform.messages.at(0).title, QStringLiteral("HTML Editor"));
    QCOMPARE(gSite.Version, version);
    QCOMPARE(gSite.Name, QStringLiteral("before"));
    QCOMPARE(gSite.FilePath, QStringLiteral("before"));
    QCOMPARE(pageCount(), 0);
}

void tst_sitefile::noCountStopsQuietly_data()
{
    QTest::addColumn<QString>("list");
    QTest::newRow("000") << QStringLiteral("[HTML LIST]\r\nCNT=000\r\n001=0*/*a.htm\r\n");
    QTest::newRow("missing") << QStringLiteral("[HTML LIST]\r\n001=0*/*a.htm\r\n");
    QTest::newRow("no section") << QString();
    QTest::newRow("no number") << QStringLiteral("[HTML LIST]\r\nCNT=some\r\n001=0*/*a.htm\r\n");
    QTest::newRow("rounds to zero") << QStringLiteral("[HTML LIST]\r\nCNT=0.5\r\n001=0*/*a.htm\r\n");
}

void tst_sitefile::noCountStopsQuietly()
{
    QFETCH(QString, list);
    TestEnv env;
    auto *tree = new frmTree(env.area());
    const QString path
        = env.writeCp932(QStringLiteral("a.ksd"), header(QStringLiteral("x Velmoran HTML Editor Ver 7 y")) + list);
    QVERIFY(!tree->gfReadKSD(path));
    QVERIFY(env.platform.messages.isEmpty());
    QCOMPARE(gSite.Version, QStringLiteral("x Velmoran HTML Editor Ver 7 y"));
    QCOMPARE(gSite.Name, QStringLiteral("サイト"));
    QCOMPARE(gSite.Folder, QStringLiteral("/web/"));
    QCOMPARE(gSite.URL, QStringLiteral("http://example.jp/"));
    QCOMPARE(gSite.FilePath, path);
    QCOMPARE(pageCount(), 0);
}

void tst_sitefile::countForms_data()
{
    QTest::addColumn<QString>("cnt");
    QTest::addColumn<int>("pages");
    QTest::newRow("2") << "2" << 2;
    QTest::newRow("002") << "002" << 2;
    QTest::newRow("2.5 rounds to 2") << "2.5" << 2;
    QTest::newRow("1.5 rounds to 2") << "1.5" << 2;
    QTest::newRow("beyond the entries") << "9" << 3;
    QTest::newRow("1") << " 1 " << 1;
}

void tst_sitefile::countForms()
{
    QFETCH(QString, cnt);
    QFETCH(int, pages);
    TestEnv env;
    auto *tree = new frmTree(env.area());
    const QString folder = makePages(env, 3);
    const QString path
        = writeDefinitionFile(env,
                              QStringLiteral("[HTML LIST]\r\nCNT=%2\r\n001=0*%1*p1.htm\r\n002=-1*%1*p2.htm\r\n"
                                             "003=0*%1*p3.htm\r\n")
                                  .arg(folder, cnt));
    QVERIFY(tree->gfReadKSD(path));
    QCOMPARE(pageCount(), pages);
    QVERIFY(env.platform.messages.isEmpty());
}

void tst_sitefile::blankAndMissingEntriesAreSkipped()
{
    TestEnv env;
    auto *tree = new frmTree(env.area());
    const QString folder = makePages(env, 4);
    const QString path = writeDefinitionFile(
        env,
        QStringLiteral(
            "[HTML LIST]\r\nCNT=007\r\n001=-1*%1*p1.htm\r\n002=   \r\n004=0*%1*p2.htm\r\n005=-1*%1*p3.htm\r\n"
            "006=-1*no asterisks\r\n7=-1*%1*p4.htm\r\n0007=-1*%1*p4.htm\r\n008=-1*%1*p4.htm\r\n")
            .arg(folder));
    QVERIFY(tree->gfReadKSD(path));
    QCOMPARE(pageTitles(), (QStringList{QStringLiteral("Page 1"), QStringLiteral("Page 2"), QStringLiteral("Page 3")}));
    QCOMPARE(visibility(), (QList<bool>{true, false, true}));
}

void tst_sitefile::threePagesOverFive()
{
    TestEnv env;
    auto *tree = new frmTree(env.area());
    const QString folder = makePages(env, 5);
    QString list = QStringLiteral("[HTML LIST]\r\nCNT=005\r\n");
    for (int i = 1; i <= 5; ++i)
        list += QStringLiteral("00%1=0*%2*p%1.htm\r\n").arg(i).arg(folder);
    const QString path = writeDefinitionFile(env, list);
    QVERIFY(tree->gfReadKSD(path));
    QCOMPARE(pageCount(), 5);

    resetSharedState();
    for (int i = 3; i >= 1; --i)
        tree->ScanPage(folder, QStringLiteral("p%1.htm").arg(i));
    gSite.FilePath = path;
    QVERIFY(tree->gfWriteKSD());
    ProfileFile file;
    QVERIFY(file.load(path));
    QCOMPARE(file.value(ksd::listSection, QStringLiteral("CNT")), QStringLiteral("003"));
    QCOMPARE(file.value(ksd::listSection, QStringLiteral("001")), QStringLiteral("0*%1*p3.htm").arg(folder));
    QCOMPARE(file.value(ksd::listSection, QStringLiteral("004")), QStringLiteral("0*%1*p4.htm").arg(folder));
    QCOMPARE(file.value(ksd::listSection, QStringLiteral("005")), QStringLiteral("0*%1*p5.htm").arg(folder));

    resetSharedState();
    QVERIFY(tree->gfReadKSD(path));
    QCOMPARE(pageTitles(), (QStringList{QStringLiteral("Page 3"), QStringLiteral("Page 2"), QStringLiteral("Page 1")}));
}

void tst_sitefile::hugeAndNegativeCounts_data()
{
    QTest::addColumn<QString>("cnt");
    QTest::addColumn<int>("pages");
    QTest::newRow("2147483648") << "2147483648" << 3;
    QTest::newRow("1e300") << "1e300" << 3;
    QTest::newRow("100000") << "100000" << 3;
    QTest::newRow("99999") << "99999" << 2;
    QTest::newRow("negative") << "-5" << 0;
}

void tst_sitefile::hugeAndNegativeCounts()
{
    QFETCH(QString, cnt);
    QFETCH(int, pages);
    TestEnv env;
    auto *tree = new frmTree(env.area());
    const QString folder = makePages(env, 3);
    const QString path = writeDefinitionFile(
        env,
        QStringLiteral("[HTML LIST]\r\nCNT=%2\r\n100000=0*%1*p3.htm\r\n001=0*%1*p1.htm\r\n50000=0*%1*p2.htm\r\n")
            .arg(folder, cnt));
    QVERIFY(tree->gfReadKSD(path));
    QCOMPARE(pageCount(), pages);
    if (pages == 3)
        QCOMPARE(pageTitles(),
                 (QStringList{QStringLiteral("Page 1"), QStringLiteral("Page 2"), QStringLiteral("Page 3")}));
}

void tst_sitefile::pageWithoutFileRoundTrips()
{
    TestEnv env;
    auto *tree = new frmTree(env.area());
    const QString folder = makePages(env, 1);
    tree->ScanPage(folder, QStringLiteral("p1.htm"));
    // A page created in the window and never saved has no folder and no file name.
    auto *editor = new frmChild1();
    addPage(PageRecord{QStringLiteral("新しいページ"), QString(), QString(), {QString()}, {}, {}, 0, {}}, editor);
    editor->Show();
    gSite.FilePath = env.path(QStringLiteral("a.ksd"));
    QVERIFY(tree->gfWriteKSD());
    QVERIFY(TestEnv::read(gSite.FilePath).contains("002=-1**\r\n"));

    resetSharedState();
    env.platform.messages.clear();
    QVERIFY(tree->gfReadKSD(env.path(QStringLiteral("a.ksd"))));
    QCOMPARE(pageCount(), 2);
    QCOMPARE(gPageTable.at(2).Text, QString());
    QCOMPARE(gPageTable.at(2).Title, QString());
    QVERIFY(gPageEditors.at(2)->Visible());
    QVERIFY(env.platform.messages.isEmpty());   // there is no file to miss
}

void tst_sitefile::privateUseNamesReadBack_data()
{
    QTest::addColumn<QString>("c");
    for (const char16_t c : {u'\uF780', u'\uF7C2', u'\uF7FF'})
        QTest::addRow("U+%04X", unsigned(c)) << QString(QChar(c));
}

void tst_sitefile::privateUseNamesReadBack()
{
    QFETCH(QString, c);
    TestEnv env;
    SiteInfo site;
    site.Name = QStringLiteral("サイト") + c;
    site.Folder = QStringLiteral("/web") + c + QLatin1Char('/');
    const QList<ksd::PageEntry> pages{{true, site.Folder, QStringLiteral("p") + c + QStringLiteral(".htm")},
                                      {false, QStringLiteral("/w/"), c}};
    const QString path = env.path(QStringLiteral("a.ksd"));
    QVERIFY(ksd::writeDefinition(path, site, pages));
    QVERIFY(TestEnv::read(path).startsWith("\xEF\xBB\xBF"));   // code page 932 cannot hold them
    const ksd::Definition d = ksd::readDefinition(path);
    QCOMPARE(d.site.Name, site.Name);
    QCOMPARE(d.site.Folder, site.Folder);
    QCOMPARE(d.pages, pages);
}

void tst_sitefile::undecodableBytesWriteBackAsRead()
{
    TestEnv env;
    const QByteArray bytes = TestEnv::cp932(header()).replace("PNM=", "PNM=\x80\xFD")
        + "[HTML LIST]\r\nCNT=001\r\n001=-1*/web/*p\x80.htm\r\n";
    const QString path = env.write(QStringLiteral("a.ksd"), bytes);
    const ksd::Definition d = ksd::readDefinition(path);
    QCOMPARE(d.pages.size(), 1);
    QVERIFY(ksd::writeDefinition(path, d.site, d.pages));
    QCOMPARE(TestEnv::read(path), bytes);
}

void tst_sitefile::emptyListIsRefused()
{
    TestEnv env;
    auto *tree = new frmTree(env.area());
    const QByteArray before = TestEnv::cp932(header());
    gSite.FilePath = env.write(QStringLiteral("a.ksd"), before);
    QVERIFY(!tree->gfWriteKSD());
    QCOMPARE(env.platform.messageTexts(), QStringList{QStringLiteral("空の定義ファイルは登録できません")});
    QCOMPARE(TestEnv::read(gSite.FilePath), before);
}

void tst_sitefile::failedWriteLeavesNoFile_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("missing folder") << QStringLiteral("nowhere/a.ksd");
    QTest::newRow("a folder") << QStringLiteral("folder.ksd");
    QTest::newRow("a pipe") << QStringLiteral("pipe.ksd");
    QTest::newRow("a link to a pipe") << QStringLiteral("link.ksd");
}

void tst_sitefile::failedWriteLeavesNoFile()
{
    QFETCH(QString, target);
    TestEnv env;
    auto *tree = new frmTree(env.area());
    QDir().mkpath(env.path(QStringLiteral("folder.ksd")));
    QVERIFY(::mkfifo(QFile::encodeName(env.path(QStringLiteral("pipe.ksd"))).constData(), 0600) == 0);
    QVERIFY(QFile::link(env.path(QStringLiteral("pipe.ksd")), env.path(QStringLiteral("link.ksd"))));
    tree->ScanPage(makePages(env, 1), QStringLiteral("p1.htm"));
    gSite.FilePath = env.path(target);
    QVERIFY(!tree->gfWriteKSD());
    const QStringList lines = env.platform.messageTexts().join(u'|').split(u'\n');
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0), QStringLiteral("定義ファイルの更新に失敗しました。"));
    QCOMPARE(lines.at(1), gSite.FilePath);
    QVERIFY(!lines.at(2).isEmpty());
    QVERIFY(!QFileInfo(gSite.FilePath).isFile());
}

PAGEKILN_TEST_MAIN(tst_sitefile)
#include "tst_sitefile.moc"
