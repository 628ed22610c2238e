#include "common/TextCodec.h"
#include "common/TextFile.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QtTest>

#include <sys/stat.h>

class tst_codepage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void detect_data();
    void detect();
    void cp932RoundTrip_data();
    void cp932RoundTrip();
    void unrepresentableBecomesReference();
    void strictEncodingRefuses();
    void lines_data();
    void lines();
    void readRefusesFolders();
    void atomicWriteFailureKeepsOldFile();
    void atomicWriteTargets_data();
    void atomicWriteTargets();
};

void tst_codepage::detect_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("expected");
    const int plain = int(DetectMode::Plain);
    const int page = int(DetectMode::Page);
    QTest::newRow("bom") << QByteArray("\xEF\xBB\xBF"
                                       "abc")
                         << plain << int(TextEncoding::Utf8Bom);
    QTest::newRow("bom with invalid utf-8") << QByteArray("\xEF\xBB\xBF\x93\xFA") << plain << int(TextEncoding::Cp932);
    QTest::newRow("utf-8 japanese") << QStringLiteral("日本語").toUtf8() << plain << int(TextEncoding::Utf8);
    QTest::newRow("cp932 japanese") << TestEnv::cp932(QStringLiteral("日本語")) << plain << int(TextEncoding::Cp932);
    QTest::newRow("ascii") << QByteArray("<HTML>") << plain << int(TextEncoding::Cp932);
    QTest::newRow("ascii page meta charset")
        << QByteArray("<html><head><meta charset=\"UTF-8\"></head>") << page << int(TextEncoding::Utf8);
    QTest::newRow("ascii page http-equiv") << QByteArray("<HEAD><META HTTP-EQUIV=\"Content-Type\" "
                                                         "CONTENT=\"text/html; charset=utf-8\">")
                                           << page << int(TextEncoding::Utf8);
    QTest::newRow("charset after head ignored")
        << QByteArray("<head></head><p>charset=utf-8</p>") << page << int(TextEncoding::Cp932);
    QTest::newRow("meta ignored outside pages")
        << QByteArray("<meta charset=utf-8>") << plain << int(TextEncoding::Cp932);
    QTest::newRow("truncated utf-8") << QByteArray("abc\xE6\x97") << plain << int(TextEncoding::Cp932);
    QTest::newRow("overlong utf-8") << QByteArray("\xC0\xAF") << plain << int(TextEncoding::Cp932);
    QTest::newRow("surrogate in utf-8") << QByteArray("\xED\xA0\x80") << plain << int(TextEncoding::Cp932);
    QTest::newRow("utf-8 outside the BMP after eight ASCII bytes")
        << QStringLiteral("12345678\U0001F600\u00E9").toUtf8() << plain << int(TextEncoding::Utf8);
    QTest::newRow("utf-8 broken after many characters")
        << QByteArray(QStringLiteral("日本語の文章 abcdefgh").toUtf8() + "\x93\xFA") << page
        << int(TextEncoding::Cp932);
}

void tst_codepage::detect()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, mode);
    QFETCH(int, expected);
    QCOMPARE(int(detectEncoding(bytes, DetectMode(mode))), expected);
    TextEncoding detected = TextEncoding::Utf8;
    QCOMPARE(decodeDetected(bytes, DetectMode(mode), detected), decodeText(bytes, TextEncoding(expected)));
    QCOMPARE(int(detected), expected);
}

void tst_codepage::cp932RoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("kana and kanji") << QByteArray("\x82\xA0\x83\x41\x93\xFA\x96\x7B");
    QTest::newRow("wave dash") << QByteArray("\x81\x60");
    QTest::newRow("circled numbers") << QByteArray("\x87\x40\x87\x41\x87\x53");
    QTest::newRow("roman numerals and NEC signs") << QByteArray("\x87\x54\x87\x8A\xFA\x40");
    QTest::newRow("minus, double bar, cent") << QByteArray("\x81\x7C\x81\x61\x81\x91");
    QTest::newRow("half-width kana") << QByteArray("\xB1\xB2\xB3");
    QTest::newRow("ascii with backslash") << QByteArray("C:\\site\\~");
    QTest::newRow("control bytes stay themselves") << QByteArray("\x1A\x1C\x7F\x93\xFA");
    QTest::newRow("stray bytes kept") << QByteArray("a\x80"
                                                    "b\xA0\xFD\xFE\xFF"
                                                    "c");
    QTest::newRow("cut-off character kept") << QByteArray("\x93\xFA\x96");
    QTest::newRow("unassigned pair kept") << QByteArray("\x85\x40"
                                                        "x\x81\x20");
}

void tst_codepage::cp932RoundTrip()
{
    QFETCH(QByteArray, bytes);
    const QString text = decodeText(bytes, TextEncoding::Cp932);
    QVERIFY(!text.contains(QChar(0xFFFD)));
    if (!bytes.contains('\x1A'))
        QVERIFY(!text.contains(QChar(0x1A)));
    QCOMPARE(encodeStrict(text, TextEncoding::Cp932).value_or(QByteArray("<none>")), bytes);
    QCOMPARE(encodeWithReferences(text, TextEncoding::Cp932), bytes);
}

void tst_codepage::unrepresentableBecomesReference()
{
    const QString text = QStringLiteral("日本\r\né \U0001F600\r\nend");
    const QByteArray bytes = encodeWithReferences(text, TextEncoding::Cp932);
    QCOMPARE(bytes, TestEnv::cp932(QStringLiteral("日本\r\n")) + QByteArray("&#233; &#128512;\r\nend"));
    QCOMPARE(encodeWithReferences(text, TextEncoding::Utf8), text.toUtf8());
}

void tst_codepage::strictEncodingRefuses()
{
    QVERIFY(!encodeStrict(QStringLiteral("é"), TextEncoding::Cp932));
    QCOMPARE(*encodeStrict(QStringLiteral("é"), TextEncoding::Utf8Bom), QByteArray("\xEF\xBB\xBF\xC3\xA9"));
}

void tst_codepage::lines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << "" << QStringList();
    QTest::newRow("crlf") << "a\r\nb\r\n" << QStringList{u"a"_qs, u"b"_qs};
    QTest::newRow("mixed") << "a\rb\nc\r\n\r\nd" << QStringList{u"a"_qs, u"b"_qs, u"c"_qs, QString(), u"d"_qs};
    QTest::newRow("lf cr is two breaks") << "a\n\rb" << QStringList{u"a"_qs, QString(), u"b"_qs};
    QTest::newRow("only break") << "\r\n" << QStringList{QString()};
    // Eight characters are looked at together: pairs and lone breaks on either side of
    // the seams, and characters whose low byte is a CR or an LF (U+010D, U+010A).
    QTest::newRow("pair across a seam") << "1234567\r\nabcdefgh\r\n" << QStringList{u"1234567"_qs, u"abcdefgh"_qs};
    QTest::newRow("lone CR before a seam") << "1234567\rabcdefgh\r\n" << QStringList{u"1234567"_qs, u"abcdefgh"_qs};
    QTest::newRow("lone LF after a seam") << "12345678\nabcdefg" << QStringList{u"12345678"_qs, u"abcdefg"_qs};
    QTest::newRow("lone CR at the end") << "12345678abcdefg\r" << QStringList{u"12345678abcdefg"_qs};
    QTest::newRow("look-alike characters") << QStringLiteral("a\u010D\u010Ab\u010A\u010Dcdefgh\r\n")
                                           << QStringList{QStringLiteral("a\u010D\u010Ab\u010A\u010Dcdefgh")};
}

void tst_codepage::lines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(splitLines(text), lines);
    QString joined;
    for (const QString &l : lines)
        joined += l + QStringLiteral("\r\n");
    QCOMPARE(withCrLfBreaks(text, true), joined);
    qsizetype lastFeed = -2;
    QCOMPARE(lineFeedCount(joined, &lastFeed), lines.size());
    QCOMPARE(lastFeed, joined.lastIndexOf(u'\n'));
    // The search for one character agrees with Qt's from every place, across the seams.
    for (const char16_t unit : {u'\n', u'\r'})
        for (qsizetype from = 0; from <= text.size(); ++from)
            QCOMPARE(indexOfUnit(text, unit, from), text.indexOf(QChar(unit), from));
}

void tst_codepage::readRefusesFolders()
{
    TestEnv env;
    QDir(env.dir.path()).mkdir(QStringLiteral("sub"));
    QVERIFY(!readTextFile(env.path(QStringLiteral("sub"))).ok);
    QVERIFY(!readTextFile(env.path(QStringLiteral("missing"))).ok);
    const TextFileContent c = readTextFile(env.writeCp932(QStringLiteral("a.htm"), QStringLiteral("～①")));
    QVERIFY(c.ok);
    QCOMPARE(c.text, QStringLiteral("～①"));
    QCOMPARE(c.encoding, TextEncoding::Cp932);
}

void tst_codepage::atomicWriteFailureKeepsOldFile()
{
    TestEnv env;
    QString error;
    QVERIFY(!writeFileAtomic(env.path(QStringLiteral("gone/a.txt")), "x", &error));
    QVERIFY(!error.isEmpty());
    const QString path = env.write(QStringLiteral("a.txt"), "old");
    QVERIFY(writeFileAtomic(path, "new"));
    QCOMPARE(TestEnv::read(path), QByteArray("new"));
    // A file whose real home cannot take a temporary file stays as it was.
    QVERIFY(QFile::link(QStringLiteral("/proc/version"), env.path(QStringLiteral("link.txt"))));
    const QByteArray before = TestEnv::read(QStringLiteral("/proc/version"));
    QVERIFY(!writeFileAtomic(env.path(QStringLiteral("link.txt")), "new"));
    QCOMPARE(TestEnv::read(QStringLiteral("/proc/version")), before);
}

void tst_codepage::atomicWriteTargets_data()
{
    QTest::addColumn<QString>("target");   // what the path names: "file", "pipe", "link to file", ...
    QTest::addColumn<bool>("replaceLinks");
    QTest::addColumn<QByteArray>("written");   // what the path reads afterwards; empty: the write is refused
    QTest::newRow("file keeps its mode") << "file" << false << QByteArray("new");
    QTest::newRow("link to a file stays a link") << "link to file" << false << QByteArray("new");
    QTest::newRow("pipe") << "pipe" << false << QByteArray();
    QTest::newRow("link to a pipe") << "link to pipe" << false << QByteArray();
    QTest::newRow("link to a device") << "link to device" << false << QByteArray();
    QTest::newRow("folder") << "folder" << false << QByteArray();
    QTest::newRow("fresh file replaces a link to a file") << "link to file" << true << QByteArray("new");
    QTest::newRow("fresh file replaces a link to a device") << "link to device" << true << QByteArray("new");
    QTest::newRow("fresh file refuses a pipe") << "pipe" << true << QByteArray();
}

void tst_codepage::atomicWriteTargets()
{
    QFETCH(QString, target);
    QFETCH(bool, replaceLinks);
    QFETCH(QByteArray, written);
    TestEnv env;
    const QString path = env.path(QStringLiteral("t.htm"));
    const QString file = env.write(QStringLiteral("file.htm"), "old");
    QVERIFY(::chmod(QFile::encodeName(file).constData(), 0640) == 0);
    const QByteArray pipe = QFile::encodeName(env.path(QStringLiteral("pipe")));
    QVERIFY(::mkfifo(pipe.constData(), 0600) == 0);
    const QString linked = target == u"link to file" ? file
        : target == u"link to pipe"                  ? QString::fromLocal8Bit(pipe)
                                                     : QStringLiteral("/dev/null");
    if (target == u"file")
        QVERIFY(QFile::copy(file, path) && ::chmod(QFile::encodeName(path).constData(), 0640) == 0);
    else if (target == u"pipe")
        QVERIFY(QFile::rename(QString::fromLocal8Bit(pipe), path));
    else if (target == u"folder")
        QVERIFY(QDir().mkdir(path));
    else
        QVERIFY(QFile::link(linked, path));

    const QStringList entries = QDir(env.dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System);
    QString error;
    const LinkPolicy links = replaceLinks ? LinkPolicy::Replace : LinkPolicy::WriteThrough;
    QCOMPARE(writeFileAtomic(path, "new", &error, links), !written.isEmpty());
    QCOMPARE(QDir(env.dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System), entries);
    if (written.isEmpty()) {
        QCOMPARE(error, QStringLiteral("not a regular file"));
        QVERIFY(!QFileInfo(path).isFile());
        return;
    }
    QCOMPARE(TestEnv::read(path), written);
    QCOMPARE(QFileInfo(path).isSymLink(), target.startsWith(u"link") && !replaceLinks);
    QCOMPARE(TestEnv::read(file), target == u"link to file" && !replaceLinks ? QByteArray("new") : QByteArray("old"));
    struct stat st { };
    QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
    if (!replaceLinks)
        QCOMPARE(st.st_mode & 07777, mode_t(0640));
}

PAGEKILN_TEST_MAIN(tst_codepage)
#include "tst_codepage.moc"
