#include "common/TextHelpers.h"
#include "platform/Messages.h"
#include "platform/FileDialog.h"
#include "platform/ControlArray.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QLabel>
#include <QtTest>

using namespace basSystem;

class tst_texthelpers : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void appFilePath_data();
    void appFilePath();
    void showMessageUsesProgramTitle();
    void stripControlChars_data();
    void stripControlChars();
    void getTagText_data();
    void getTagText();
    void getHrefValue_data();
    void getHrefValue();
    void upperCopyKeepsLength();
    void indexOfUpperFromPosition();
    void fileDialogKeepsNameAndFolder();
    void fileDialogCancelKeepsState();
    void controlArrayIndices();
};

void tst_texthelpers::appFilePath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("folder") << "/opt/tools"
                            << "pageKiln.INI"
                            << "/opt/tools/pageKiln.INI";
    QTest::newRow("root") << "/"
                          << "pageKiln.INI"
                          << "/pageKiln.INI";
    QTest::newRow("empty name") << "/opt/tools"
                                << ""
                                << "/opt/tools";
    QTest::newRow("japanese") << "/home/ユーザー"
                              << "temp3.htm"
                              << "/home/ユーザー/temp3.htm";
}

void tst_texthelpers::appFilePath()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    ScriptedPlatform p;
    p.folder = folder;
    QCOMPARE(AppFilePath(name), expected);
}

void tst_texthelpers::showMessageUsesProgramTitle()
{
    ScriptedPlatform p;
    ShowMessage(QStringLiteral("更新しました"), 0);
    QCOMPARE(p.messages.size(), 1);
    QCOMPARE(p.messages.at(0).prompt, QStringLiteral("更新しました"));
    QCOMPARE(p.messages.at(0).title, QStringLiteral("HTML Editor"));
}

void tst_texthelpers::stripControlChars_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("only breaks and tabs") << "\r\n\t\r\n"
                                          << "";
    QTest::newRow("japanese kept") << QStringLiteral("日本\t語") << QStringLiteral("日本語");
    QTest::newRow("blank and 127 kept") << QStringLiteral("a b\x7F") << QStringLiteral("a b\x7F");
    QTest::newRow("nul and 31 removed") << QString(QStringLiteral("a") + QChar(0) + QChar(31) + QStringLiteral("b"))
                                        << "ab";
}

void tst_texthelpers::stripControlChars()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(StripControlChars(text), expected);
}

void tst_texthelpers::getTagText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("endPos");
    QTest::newRow("mixed case with line break") << "x<Title>A\r\nB</TITLE>y" << true << "AB" << 20;
    QTest::newRow("lower case") << "<title>Top page</title>" << true << "Top page" << 23;
    QTest::newRow("attributes") << "<TITLE lang=\"ja\">見出し</TITLE>" << true << QStringLiteral("見出し") << 28;
    QTest::newRow("empty title") << "<TITLE></TITLE>" << true << "" << 15;
    QTest::newRow("titlebar matches") << "<TITLEBAR>t</TITLE>" << true << "t" << 19;
    QTest::newRow("spaces kept") << "<TITLE> a </TITLE>" << true << " a " << 18;
    QTest::newRow("no opening tag") << "<HTML></TITLE>" << false << "" << -1;
    QTest::newRow("closing before opening") << "</TITLE><TITLE>x" << false << "" << -1;
    QTest::newRow("only opening tag") << "<TITLE>x" << false << "" << -1;
}

void tst_texthelpers::getTagText()
{
    QFETCH(QString, text);
    QFETCH(bool, found);
    QFETCH(QString, expected);
    QFETCH(int, endPos);
    qsizetype end = -1;
    const std::optional<QString> title = GetTagText(text, QStringLiteral("TITLE"), end);
    QCOMPARE(title.has_value(), found);
    if (found)
        QCOMPARE(*title, expected);
    QCOMPARE(end, qsizetype(endPos));
}

void tst_texthelpers::getHrefValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("nextPos");
    QTest::newRow("quoted value") << " HREF=\"a.htm\">"
                                  << "a.htm" << 13;
    QTest::newRow("no href") << "abcdefghijkl"
                             << "" << 12;
    QTest::newRow("no closing quote") << " href=\"x.htm"
                                      << "" << 0;
    QTest::newRow("empty value runs on") << "A HREF=\"\" NAME=\"n\""
                                         << "\" NAME=" << 16;
    QTest::newRow("href after line feed") << "<A\nHREF=\"a.htm\">"
                                          << "" << 16;
    QTest::newRow("href after tab") << "<A\tHREF=\"a.htm\">"
                                    << "" << 16;
    QTest::newRow("case of value kept") << "<a href=\"Sub/A.HTM\">"
                                        << "Sub/A.HTM" << 19;
    QTest::newRow("no quote after href starts at 1") << "\"ab\" HREF=x"
                                                     << "\"ab" << 4;
}

void tst_texthelpers::getHrefValue()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(int, nextPos);
    qsizetype next = -1;
    QCOMPARE(GetHrefValue(text, next), expected);
    QCOMPARE(next, qsizetype(nextPos));
}

void tst_texthelpers::upperCopyKeepsLength()
{
    const QString text = QStringLiteral("straße ﬁ href 日本");
    const QString upper = upperCopy(text);
    QCOMPARE(upper.size(), text.size());
    QCOMPARE(upper, QStringLiteral("STRAßE ﬁ HREF 日本"));
}

void tst_texthelpers::indexOfUpperFromPosition()
{
    const QString text = QStringLiteral("a href b HrEf");
    QCOMPARE(indexOfUpper(text, QLatin1StringView(" HREF")), 1);
    QCOMPARE(indexOfUpper(text, QLatin1StringView(" HREF"), 2), 8);
    QCOMPARE(indexOfUpper(text, QLatin1StringView(" HREF"), 9), -1);
    QCOMPARE(indexOfUpper(text, QLatin1StringView(" HREF"), 100), -1);
    // Characters that share a low byte with a space or an H (U+0120, U+0148, U+0168) do
    // not match; a match in the last place the needle fits is found.
    const QString alike = QStringLiteral("日本語の文章\u0120\u0148REF \u0148ref \u0168REF HREF\u0120 1234567 hREf");
    QCOMPARE(indexOfUpper(alike, QLatin1StringView(" HREF")), 21);
    QCOMPARE(indexOfUpper(alike, QLatin1StringView(" HREF"), 22), alike.size() - 5);
    QCOMPARE(indexOfUpper(alike, QLatin1StringView("</TITLE")), -1);
    QCOMPARE(indexOfUpper(text, QLatin1StringView(" href")), -1);   // a lower-case needle letter matches nothing
}

void tst_texthelpers::fileDialogKeepsNameAndFolder()
{
    ScriptedPlatform p;
    FileDialog dlg;
    dlg.InitDir = QStringLiteral("/web/");
    dlg.DefaultExt = QStringLiteral("htm");
    p.fileAnswers << QStringLiteral("/web/サイト/index");
    QVERIFY(dlg.ShowSave());
    QCOMPARE(dlg.FileName, QStringLiteral("/web/サイト/index.htm"));
    QCOMPARE(dlg.FileTitle, QStringLiteral("index.htm"));
    QCOMPARE(dlg.folder(), QStringLiteral("/web/サイト/"));
    p.fileAnswers << QStringLiteral("/a.b/c.txt");
    QVERIFY(dlg.ShowOpen());
    QCOMPARE(p.dialogs.at(1).fileName, QStringLiteral("/web/サイト/index.htm"));
    QCOMPARE(dlg.FileName, QStringLiteral("/a.b/c.txt"));
    QCOMPARE(dlg.folder(), QStringLiteral("/a.b/"));
}

void tst_texthelpers::fileDialogCancelKeepsState()
{
    ScriptedPlatform p;
    FileDialog dlg;
    dlg.FileName = QStringLiteral("/x/y.ksd");
    dlg.FileTitle = QStringLiteral("y.ksd");
    QVERIFY(!dlg.ShowOpen());
    QCOMPARE(dlg.FileName, QStringLiteral("/x/y.ksd"));
    QCOMPARE(p.dialogs.size(), 1);
    QCOMPARE(p.dialogs.at(0).mode, FileDialogMode::Open);
}

void tst_texthelpers::controlArrayIndices()
{
    QWidget parent;
    auto *tmpl = new QLabel(&parent);
    tmpl->setFont(QFont(QStringLiteral("Serif"), 13));
    ControlArray<QLabel> labels(tmpl, [](QWidget *p) { return new QLabel(p); });
    QLabel *one = labels.load(1);
    QVERIFY(one);
    QCOMPARE(one->parentWidget(), &parent);
    QCOMPARE(one->font().pointSize(), 13);
    QVERIFY(one->isHidden());
    QVERIFY(!labels.load(1));
    QVERIFY(labels.load(32767));
    QVERIFY(!labels.load(32768));
    QVERIFY(!labels.load(0));
    QCOMPARE(labels.upperBound(), 32767);
    QVERIFY(labels.unload(1));
    QVERIFY(!labels.unload(1));
    QVERIFY(!labels.unload(0));
    labels.unloadAll();
    QCOMPARE(labels.count(), 1);
    QCOMPARE(labels.at(0), tmpl);
}

PAGEKILN_TEST_MAIN(tst_texthelpers)
#include "tst_texthelpers.moc"
