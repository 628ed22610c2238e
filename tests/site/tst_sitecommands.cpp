#include "app/basSystem.h"
#include "common/TextHelpers.h"
#include "site/SiteCommands.h"
#include "support/TestMain.h"

#include <QtTest>

using namespace basSystem;
using namespace siteCommands;
using namespace Qt::StringLiterals;

class tst_sitecommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void definitionPath_data();
    void definitionPath();
    void folderOfChosenFile_data();
    void folderOfChosenFile();
    void pageSkeleton_data();
    void pageSkeleton();
    void propertiesToEdit_data();
    void propertiesToEdit();
    void siteNames_data();
    void siteNames();
};

void tst_sitecommands::definitionPath_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("path");
    QTest::newRow("no extension") << "/w/site"
                                  << "/w/site.ksd";
    QTest::newRow("lower case") << "/w/site.ksd"
                                << "/w/site.ksd";
    QTest::newRow("upper case") << "/w/SITE.KSD"
                                << "/w/SITE.KSD";
    QTest::newRow("mixed case") << "/w/site.kSd"
                                << "/w/site.kSd";
    QTest::newRow("other extension") << "/w/site.txt"
                                     << "/w/site.txt.ksd";
    QTest::newRow("longer extension") << "/w/site.ksdx"
                                      << "/w/site.ksdx.ksd";
    QTest::newRow("ksd without the dot") << "/w/siteksd"
                                         << "/w/siteksd.ksd";
    QTest::newRow("only the suffix") << ".ksd"
                                     << ".ksd";
    QTest::newRow("shorter than the suffix") << "a"
                                             << "a.ksd";
    QTest::newRow("japanese name") << "/w/サイト.KSD"
                                   << "/w/サイト.KSD";
}

void tst_sitecommands::definitionPath()
{
    QFETCH(QString, chosen);
    QFETCH(QString, path);
    QCOMPARE(siteCommands::definitionPath(chosen), path);
}

void tst_sitecommands::folderOfChosenFile_data()
{
    QTest::addColumn<QString>("fullPath");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("folder");
    QTest::newRow("folder kept with its separator") << "/site/index.htm"
                                                    << "index.htm"
                                                    << "/site/";
    QTest::newRow("drive root") << "C:\\a.htm"
                                << "a.htm"
                                << "C:\\";
    QTest::newRow("file system root") << "/a.htm"
                                      << "a.htm"
                                      << "/";
    QTest::newRow("japanese folder") << "/ウェブ/目次.htm"
                                     << "目次.htm"
                                     << "/ウェブ/";
    QTest::newRow("no file name") << "/site/"
                                  << ""
                                  << "/site/";
    QTest::newRow("name longer than the path") << "a"
                                               << "abc"
                                               << "";
}

void tst_sitecommands::folderOfChosenFile()
{
    QFETCH(QString, fullPath);
    QFETCH(QString, fileName);
    QFETCH(QString, folder);
    QCOMPARE(basSystem::folderOfChosenFile(fullPath, fileName), folder);
}

void tst_sitecommands::pageSkeleton_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("plain") << "T";
    QTest::newRow("markup characters stay as typed") << "a < b & c";
    QTest::newRow("blanks only") << "   ";
    QTest::newRow("japanese") << "新しいページ";
}

void tst_sitecommands::pageSkeleton()
{
    QFETCH(QString, title);
    const QString expected = u"<HTML>\r\n<TITLE>"_s + title + u"</TITLE>\r\n<BODY>\r\n</BODY>\r\n</HTML>"_s;
    QCOMPARE(siteCommands::pageSkeleton(title), expected);
}

void tst_sitecommands::propertiesToEdit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("shownFolder");
    QTest::addColumn<QString>("shownUrl");
    QTest::newRow("new definition") << ""
                                    << ""
                                    << ""
                                    << "/work/"
                                    << "http://";
    QTest::newRow("everything set") << "S"
                                    << "/web/"
                                    << "http://x.jp/"
                                    << "/web/"
                                    << "http://x.jp/";
    QTest::newRow("no folder") << "S"
                               << ""
                               << "ftp://x/"
                               << "/work/"
                               << "ftp://x/";
    QTest::newRow("no address") << "S"
                                << "/web/"
                                << ""
                                << "/web/"
                                << "http://";
    QTest::newRow("a blank folder is a folder") << "S"
                                                << " "
                                                << " "
                                                << " "
                                                << " ";
}

void tst_sitecommands::propertiesToEdit()
{
    QFETCH(QString, name);
    QFETCH(QString, folder);
    QFETCH(QString, url);
    QFETCH(QString, shownFolder);
    QFETCH(QString, shownUrl);
    const SiteInfo site{QStringLiteral("v"), name, QStringLiteral("/f.ksd"), folder, url};
    QCOMPARE(siteCommands::propertiesToEdit(site, QStringLiteral("/work/")),
             (SiteProperties{name, shownFolder, shownUrl}));
}

void tst_sitecommands::siteNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blank") << " " << true;
    QTest::newRow("full-width blank") << "　" << true;
    QTest::newRow("name") << "サイト" << true;
}

void tst_sitecommands::siteNames()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    QCOMPARE(acceptsSiteName(name), accepted);
    if (!accepted)
        return;
    // An accepted name is stored with the other two values exactly as given.
    SiteInfo site{QStringLiteral("v"), QStringLiteral("old"), QStringLiteral("/f.ksd"), QString(), QString()};
    applyProperties(site, SiteProperties{name, QStringLiteral("/d/"), QStringLiteral("http://")});
    QCOMPARE(site.Name, name);
    QCOMPARE(site.Folder, QStringLiteral("/d/"));
    QCOMPARE(site.URL, QStringLiteral("http://"));
    QCOMPARE(site.Version, QStringLiteral("v"));
    QCOMPARE(site.FilePath, QStringLiteral("/f.ksd"));
}

PAGEKILN_TEST_MAIN(tst_sitecommands)
#include "tst_sitecommands.moc"
