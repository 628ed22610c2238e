#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "tags/TagDatabase.h"
#include "tags/TagKeys.h"

#include <QtTest>

using namespace basSystem;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(QList<TagRecord>)

namespace {
TagRecord tag(const QString &caption, const QString &text, const QString &rest)
{
    return TagRecord{caption, text, QStringList{rest}};
}

bool sameTags(const QList<TagRecord> &a, const QList<TagRecord> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].ButtonCaption != b[i].ButtonCaption || a[i].TagText != b[i].TagText || a[i].Extra != b[i].Extra)
            return false;
    return true;
}

QString describe(const QList<TagRecord> &table)
{
    QStringList rows;
    for (const TagRecord &t : table)
        rows << QLatin1Char('[') + t.ButtonCaption + QLatin1Char('|') + t.TagText + QLatin1Char('|')
                + t.Extra.join(QLatin1Char(',')) + QLatin1Char(']');
    return rows.join(QLatin1Char(' '));
}

// What the keys type, Enter shown as "\r" and Tab as "\t".
QString typed(const QList<TagKey> &keys)
{
    QString s;
    for (const TagKey &k : keys)
        s += k.text;
    return s;
}
}   // namespace

class tst_tagdatabase : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parse_data();
    void parse();
    void readsCp932AndUtf8Files();
    void missingOrUnreadableFileGivesEmptyTable_data();
    void missingOrUnreadableFileGivesEmptyTable();
    void escapes_data();
    void escapes();
    void escapeKeys();
    void charactersKeepTheirOwnKeys();
};

void tst_tagdatabase::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<TagRecord>>("expected");
    const TagRecord none;

    QTest::newRow("empty file") << QString() << QList<TagRecord>{none};
    QTest::newRow("three fields") << QStringLiteral("Bold\t<B></B>\trest\r\n")
                                  << QList<TagRecord>{none, tag(u"Bold"_s, u"<B></B>"_s, u"rest"_s)};
    QTest::newRow("rest keeps further tabs")
        << QStringLiteral("a\tb\tc\td\t\r\n") << QList<TagRecord>{none, tag(u"a"_s, u"b"_s, u"c\td\t"_s)};
    QTest::newRow("nothing trimmed") << QStringLiteral(" cap \t <P> \t rest \r\n")
                                     << QList<TagRecord>{none, tag(u" cap "_s, u" <P> "_s, u" rest "_s)};
    QTest::newRow("blank lines take no index")
        << QStringLiteral("\r\na\t1\t\r\n   \r\n\r\nb\t2\t\r\n\r\nc\t3\t")
        << QList<TagRecord>{none, tag(u"a"_s, u"1"_s, QString()), tag(u"b"_s, u"2"_s, QString()),
                            tag(u"c"_s, u"3"_s, QString())};
    QTest::newRow("only tabs is a tag") << QStringLiteral("\t\t\r\n")
                                        << QList<TagRecord>{none, tag(QString(), QString(), QString())};
    QTest::newRow("one tab: empty rest") << QStringLiteral("Br\t<BR>\r\n")
                                         << QList<TagRecord>{none, tag(u"Br"_s, u"<BR>"_s, QString())};
    QTest::newRow("no tab: no button") << QStringLiteral("just words\r\nx\ty\tz\r\n")
                                       << QList<TagRecord>{none, tag(u"x"_s, u"y"_s, u"z"_s)};
    QTest::newRow("full-width space is no blank") << QStringLiteral("\u3000\r\n") << QList<TagRecord>{none};
    QTest::newRow("LF-only file") << QStringLiteral("a\t<A>\t\nb\t<B>\t\n")
                                  << QList<TagRecord>{none, tag(u"a"_s, u"<A>"_s, QString()),
                                                      tag(u"b"_s, u"<B>"_s, QString())};
    QTest::newRow("CR-only file") << QStringLiteral("a\t<A>\t1\rb\t<B>\t2\r")
                                  << QList<TagRecord>{none, tag(u"a"_s, u"<A>"_s, u"1"_s),
                                                      tag(u"b"_s, u"<B>"_s, u"2"_s)};
    QTest::newRow("mixed line ends") << QStringLiteral("a\t1\t\r\nb\t2\t\rc\t3\t\nd\t4\t")
                                     << QList<TagRecord>{none, tag(u"a"_s, u"1"_s, QString()),
                                                         tag(u"b"_s, u"2"_s, QString()), tag(u"c"_s, u"3"_s, QString()),
                                                         tag(u"d"_s, u"4"_s, QString())};
    QTest::newRow("escapes stay as written")
        << QStringLiteral("ul\t<UL>\\n\\t<LI>\\n</UL>\t\r\n")
        << QList<TagRecord>{none, tag(u"ul"_s, u"<UL>\\n\\t<LI>\\n</UL>"_s, QString())};
}

void tst_tagdatabase::parse()
{
    QFETCH(QString, text);
    QFETCH(QList<TagRecord>, expected);
    const QList<TagRecord> table = parseTagDatabase(text);
    QVERIFY2(sameTags(table, expected), qPrintable(describe(table)));
}

void tst_tagdatabase::readsCp932AndUtf8Files()
{
    TestEnv env;
    const QString text = QStringLiteral("見出し１\t<H1></H1>\t\r\n改行\t<BR>\\n\t\r\n");
    const QList<TagRecord> expected{TagRecord{}, tag(u"見出し１"_s, u"<H1></H1>"_s, QString()),
                                    tag(u"改行"_s, u"<BR>\\n"_s, QString())};

    TagDatabaseLoad cp932 = readTagDatabase(env.writeCp932(tagDatabaseFileName, text));
    QVERIFY(cp932.ok);
    QVERIFY2(sameTags(cp932.table, expected), qPrintable(describe(cp932.table)));

    TagDatabaseLoad utf8 = readTagDatabase(env.write(QStringLiteral("u.txt"), text.toUtf8()));
    QVERIFY(utf8.ok);
    QVERIFY2(sameTags(utf8.table, expected), qPrintable(describe(utf8.table)));
}

void tst_tagdatabase::missingOrUnreadableFileGivesEmptyTable_data()
{
    QTest::addColumn<bool>("asFolder");
    QTest::newRow("missing") << false;
    QTest::newRow("a folder of that name") << true;
}

void tst_tagdatabase::missingOrUnreadableFileGivesEmptyTable()
{
    QFETCH(bool, asFolder);
    TestEnv env;
    if (asFolder)
        QVERIFY(QDir(env.dir.path()).mkdir(tagDatabaseFileName));
    const TagDatabaseLoad load = readTagDatabase(env.path(tagDatabaseFileName));
    QVERIFY(!load.ok);
    QVERIFY(!load.error.isEmpty());
    QCOMPARE(load.table.size(), 1);
}

void tst_tagdatabase::escapes_data()
{
    QTest::addColumn<QString>("tagText");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << u"<HR>"_s << u"<HR>"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("newline in the middle") << u"<P>\\n</P>"_s << u"<P>\r</P>"_s;
    QTest::newRow("tab") << u"\\t<LI>"_s << u"\t<LI>"_s;
    QTest::newRow("other letter dropped") << u"a\\xb"_s << u"ab"_s;
    QTest::newRow("capital N is no newline") << u"a\\Nb"_s << u"ab"_s;
    QTest::newRow("double backslash dropped") << u"a\\\\nb"_s << u"anb"_s;
    QTest::newRow("trailing backslash dropped") << u"<BR>\\"_s << u"<BR>"_s;
    QTest::newRow("only a backslash") << u"\\"_s << QString();
    QTest::newRow("backslash before a Japanese character") << u"\\あい"_s << u"い"_s;
    QTest::newRow("backslash before a surrogate pair") << u"x\\😀y"_s << u"xy"_s;
    QTest::newRow("special characters typed as themselves") << u"+^%~(){}[]"_s << u"+^%~(){}[]"_s;
    QTest::newRow("Japanese and a surrogate pair") << u"表😀"_s << u"表😀"_s;
    QTest::newRow("spaces kept") << u"  a  "_s << u"  a  "_s;
    QTest::newRow("undecodable byte as private use") << u"a"_s + QChar(0xDC80) << u"a\uF780"_s;
    QTest::newRow("list") << u"<UL>\\n\\t<LI></LI>\\n</UL>"_s << u"<UL>\r\t<LI></LI>\r</UL>"_s;
}

void tst_tagdatabase::escapes()
{
    QFETCH(QString, tagText);
    QFETCH(QString, expected);
    QCOMPARE(typed(expandTagText(tagText)), expected);
}

void tst_tagdatabase::escapeKeys()
{
    const QList<TagKey> keys = expandTagText(u"\\n\\t"_s);
    QCOMPARE(keys.size(), 2);
    QCOMPARE(keys[0].key, int(Qt::Key_Return));
    QCOMPARE(keys[1].key, int(Qt::Key_Tab));
}

void tst_tagdatabase::charactersKeepTheirOwnKeys()
{
    // One keystroke per character, a surrogate pair included, named as Qt names keys.
    const QList<TagKey> keys = expandTagText(u"a+😀"_s);
    QCOMPARE(keys.size(), 3);
    QCOMPARE(keys[0], (TagKey{Qt::Key_A, u"a"_s}));
    QCOMPARE(keys[1], (TagKey{Qt::Key_Plus, u"+"_s}));
    QCOMPARE(keys[2].text, u"😀"_s);
    QCOMPARE(keys[2].key, 0x1F600);
}

PAGEKILN_TEST_MAIN(tst_tagdatabase)
#include "tst_tagdatabase.moc"
