#include "app/basSystem.h"
#include "editor/frmChild1.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"
#include "common/TextFile.h"
#include "common/TextHelpers.h"
#include "tree/PageScan.h"
#include "tree/frmTree.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

#include <sys/stat.h>

using namespace basSystem;

class tst_pagescan : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void links_data();
    void links();
    void linksMatchTheStepByStepWalk();
    void title_data();
    void title();
    void lines_data();
    void lines();
    void textInFormIsNotCopied();
    void crLfPagesToldByTheirBytes_data();
    void crLfPagesToldByTheirBytes();
    void scanPageAppendsRecordAndHiddenEditor();
    void scanPageKeepsUtf8CodePage();
    void samePageTwiceGivesTwoEntries();
    void pageInAnEncodingNotRead_data();
    void pageInAnEncodingNotRead();
    void unreadablePage_data();
    void unreadablePage();
    void emptyPageFileIsNoFailure();
    void lineLimit_data();
    void lineLimit();
    void scanAheadGivesEveryPageInOrder();
};

namespace {
QStringList linkList(std::initializer_list<const char16_t *> values)
{
    QStringList l{QString()};
    for (const char16_t *v : values)
        l << QString::fromUtf16(v);
    return l;
}
}   // namespace

void tst_pagescan::links_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("three-line page") << QStringLiteral(
        "<HTML><TITLE>Top page</TITLE>\r\n<A HREF=\"a.htm\">a</A> <A HREF=\"#x\">x</A>\r\n"
        "<a href=\"../b.htm\">b</a>\r\n")
                                     << linkList({u"a.htm", u"../b.htm"});
    QTest::newRow("jump inside the page") << QStringLiteral("<a href=\"#top\">t</a>") << linkList({});
    QTest::newRow("page with a part") << QStringLiteral("<a href=\"page.htm#part\">p</a>")
                                      << linkList({u"page.htm#part"});
    QTest::newRow("mixed case kept") << QStringLiteral("<a hReF=\"Dir/Page.HTM\">") << linkList({u"Dir/Page.HTM"});
    QTest::newRow("after a tab") << QStringLiteral("<a\thref=\"a.htm\">") << linkList({});
    QTest::newRow("after a line break") << QStringLiteral("<a\r\nhref=\"a.htm\">") << linkList({});
    QTest::newRow("same target twice") << QStringLiteral("<a href=\"a.htm\">1</a> <a href=\"a.htm\">2</a>")
                                       << linkList({u"a.htm", u"a.htm"});
    QTest::newRow("second HREF one blank after")
        << QStringLiteral("<a href=\"a.htm\" href=\"b.htm\">") << linkList({u"a.htm"});
    QTest::newRow("second HREF two blanks after")
        << QStringLiteral("<a href=\"a.htm\"  href=\"b.htm\">") << linkList({u"a.htm"});
    QTest::newRow("second HREF three blanks after")
        << QStringLiteral("<a href=\"a.htm\"   href=\"b.htm\">") << linkList({u"a.htm", u"b.htm"});
    QTest::newRow("empty value takes what follows")
        << QStringLiteral("A HREF=\"\" NAME=\"n\"") << linkList({u"\" NAME="});
    QTest::newRow("no closing quote") << QStringLiteral("<a href=\"a.htm\">a</a> <a href=\"b.htm")
                                      << linkList({u"a.htm"});
    QTest::newRow("no quote after HREF takes the text before") << QStringLiteral("x\"y\" HREF=z") << linkList({u"x"});
    QTest::newRow("value without quotes") << QStringLiteral("<a href=a.htm>a</a>") << linkList({});
    QTest::newRow("control characters removed") << QStringLiteral("<a href=\"a\r\n.htm\">") << linkList({u"a.htm"});
    QTest::newRow("Japanese target") << QStringLiteral("<a href=\"日本語.htm\">") << linkList({u"日本語.htm"});
    QTest::newRow("empty page") << QString() << linkList({});
    // The second step stands on the second half of the emoji.
    QTest::newRow("half an emoji starts no link")
        << QStringLiteral(" HREF=\"a\"Z\U0001F600b\" HREF") << linkList({u"a", u"b"});
}

void tst_pagescan::links()
{
    QFETCH(QString, page);
    QFETCH(QStringList, expected);
    QCOMPARE(scanLinks(page), expected);
    QCOMPARE(scanLinksReference(page), expected);
}

void tst_pagescan::linksMatchTheStepByStepWalk()
{
    // Small pages built from the pieces the walk reacts to, so that every quirk (repeated
    // HREFs, missing quotes, values that start before the HREF) comes up many times.
    static const QStringList pieces{QStringLiteral(" HREF"),     QStringLiteral(" href"), QStringLiteral("\""),
                                    QStringLiteral("\""),        QStringLiteral("="),     QStringLiteral("#"),
                                    QStringLiteral("a"),         QStringLiteral("b"),     QStringLiteral(" "),
                                    QStringLiteral("\t"),        QStringLiteral("\r\n"),  QStringLiteral("HREF"),
                                    QStringLiteral("\U0001F600")};
    QRandomGenerator random(20240601);
    for (int round = 0; round < 30000; ++round) {
        QString page;
        const int count = random.bounded(0, 16);
        for (int k = 0; k < count; ++k)
            page += pieces.at(random.bounded(qsizetype(pieces.size())));
        const QStringList expected = scanLinksReference(page);
        const QStringList actual = scanLinks(page);
        const bool halfCharacter = std::any_of(actual.begin(), actual.end(), [](const QString &link) {
            return !link.isEmpty() && (link.front().isLowSurrogate() || link.back().isHighSurrogate());
        });
        // Each link's place is where its value starts.
        const QList<qsizetype> places = scanLinkPlaces(page);
        bool placed = places.size() == actual.size();
        for (qsizetype j = 1; placed && j < places.size(); ++j)
            placed = basSystem::StripControlChars(QStringView(page).sliced(places.at(j))).startsWith(actual.at(j));
        if (actual != expected || halfCharacter || !placed)
            QFAIL(qPrintable(QStringLiteral("page [%1]: got [%2], expected [%3]")
                                 .arg(page, actual.join(u'|'), expected.join(u'|'))));
    }
}

void tst_pagescan::title_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << QStringLiteral("<html><TITLE>Top page</TITLE>") << QStringLiteral("Top page");
    QTest::newRow("lower case") << QStringLiteral("<title>Top</title>") << QStringLiteral("Top");
    QTest::newRow("attributes") << QStringLiteral("<TITLE lang=\"ja\">表紙</TITLE>") << QStringLiteral("表紙");
    QTest::newRow("split over two lines")
        << QStringLiteral("<TITLE> Top\r\npage </TITLE>") << QStringLiteral(" Toppage ");
    QTest::newRow("only the opening tag") << QStringLiteral("<TITLE>Top") << QString();
    QTest::newRow("none") << QStringLiteral("<html></html>") << QString();
}

void tst_pagescan::title()
{
    QFETCH(QString, page);
    QFETCH(QString, expected);
    QCOMPARE(scanPageText(page).Title, expected);
}

void tst_pagescan::lines_data()
{
    QTest::addColumn<QString>("decoded");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("last line without ending") << QStringLiteral("a\r\nb") << QStringLiteral("a\r\nb\r\n");
    QTest::newRow("lone LF and CR") << QStringLiteral("a\nb\rc\r\n") << QStringLiteral("a\r\nb\r\nc\r\n");
    QTest::newRow("empty lines") << QStringLiteral("\n\n") << QStringLiteral("\r\n\r\n");
    QTest::newRow("already CR LF") << QStringLiteral("a\r\n\r\nb\r\n") << QStringLiteral("a\r\n\r\nb\r\n");
    QTest::newRow("CR LF then a lone LF") << QStringLiteral("a\r\n\nb\r\n") << QStringLiteral("a\r\n\r\nb\r\n");
    QTest::newRow("ends with a lone CR") << QStringLiteral("a\r\nb\r") << QStringLiteral("a\r\nb\r\n");
}

void tst_pagescan::lines()
{
    QFETCH(QString, decoded);
    QFETCH(QString, expected);
    QCOMPARE(withCrLfBreaks(decoded, true), expected);
}

void tst_pagescan::textInFormIsNotCopied()
{
    const QString text = QStringLiteral("<p>\r\n</p>\r\n");
    QCOMPARE(withCrLfBreaks(text, true).constData(), text.constData());
}

void tst_pagescan::crLfPagesToldByTheirBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray sjis("\x93\xfa\x96\x7b\x8c\xea");   // 日本語
    const QByteArray line = "<p>" + sjis + "</p>\r\n";
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("CR LF, many blocks") << line.repeated(9);
    QTest::newRow("CR LF split between blocks") << QByteArray(15, 'a') + "\r\nb\r\n";
    QTest::newRow("lone CR at a block's end") << QByteArray(15, 'a') + "\r" + QByteArray(16, 'b') + "\r\n";
    QTest::newRow("lone LF far on") << line.repeated(5) + "a\n";
    QTest::newRow("lone CR at the end") << line + "a\r";
    QTest::newRow("last line open") << line + "a";
    QTest::newRow("lead byte before the LF") << QByteArray("a\x93\r\nb\x93\n");
    QTest::newRow("control characters the code page swaps") << QByteArray("\x1a\x7f\r\n") + line;
    QTest::newRow("UTF-8 with its mark") << QByteArray("\xef\xbb\xbf\xe6\x97\xa5\r\n");
    QTest::newRow("UTF-8, lone LF") << QByteArray("\xe6\x97\xa5\r\n\xe6\x97\xa5\n");
}

// The scan takes the line count from the bytes and skips the walk of the text when they
// say every line already ends in CR LF; that must be exactly when the walk changes nothing.
void tst_pagescan::crLfPagesToldByTheirBytes()
{
    QFETCH(QByteArray, bytes);
    const QString decoded = decodeFileBytes(bytes, DetectMode::Page).text;
    qsizetype lines = 0;
    const QString walked = withCrLfBreaks(decoded, true, nullptr, &lines);
    const bool unchanged = walked.constData() == decoded.constData();
    QCOMPARE(crLfLineCount(bytes), unchanged ? std::optional(lines) : std::nullopt);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    QCOMPARE(scanPageFile(path).Text, walked);
}

void tst_pagescan::scanPageAppendsRecordAndHiddenEditor()
{
    TestEnv env;
    env.area();
    const QString page
        = QStringLiteral("<HTML><TITLE>トップ</TITLE>\r\n<A HREF=\"a.htm\">a</A> <A HREF=\"#x\">x</A>\r\n"
                         "<a href=\"../b.htm\">b</a>");
    env.writeCp932(QStringLiteral("site/index.htm"), page);
    auto *tree = new frmTree(env.area());
    const QString folder = env.path(QStringLiteral("site")) + QLatin1Char('/');

    tree->ScanPage(folder, QStringLiteral("index.htm"));

    QCOMPARE(pageCount(), 1);
    const PageRecord &r = gPageTable.at(1);
    QCOMPARE(r.Title, QStringLiteral("トップ"));
    QCOMPARE(r.Folder, folder);
    QCOMPARE(r.FileName, QStringLiteral("index.htm"));
    QCOMPARE(r.Links, linkList({u"a.htm", u"../b.htm"}));
    QCOMPARE(r.Text, page + QStringLiteral("\r\n"));
    QCOMPARE(r.OrigText, r.Text);
    QCOMPARE(r.OrigText.constData(), r.Text.constData());
    QCOMPARE(r.Encoding, TextEncoding::Cp932);
    QCOMPARE(r.TreeTop, 0);

    QCOMPARE(gPageEditors.size(), 2);
    frmChild1 *editor = gPageEditors.at(1);
    QVERIFY(editor);
    QVERIFY(!editor->Visible());
    QCOMPARE(editor->caption(), QStringLiteral("トップ"));
    QCOMPARE(editor->text(), r.Text);
    QCOMPARE(editor->plId, 1);

    QCOMPARE(env.platform.busyRequests, 1);
    QVERIFY(!env.platform.isBusyPointer());
    QVERIFY(env.platform.messages.isEmpty());
}

void tst_pagescan::scanPageKeepsUtf8CodePage()
{
    TestEnv env;
    env.area();
    env.write(QStringLiteral("u.htm"), QStringLiteral("<title>日本語</title>\n").toUtf8());
    auto *tree = new frmTree(env.area());
    tree->ScanPage(env.dir.path() + QLatin1Char('/'), QStringLiteral("u.htm"));
    QCOMPARE(gPageTable.at(1).Title, QStringLiteral("日本語"));
    QCOMPARE(gPageTable.at(1).Encoding, TextEncoding::Utf8);
}

void tst_pagescan::samePageTwiceGivesTwoEntries()
{
    TestEnv env;
    env.area();
    env.writeCp932(QStringLiteral("a.htm"), QStringLiteral("<title>A</title>"));
    auto *tree = new frmTree(env.area());
    const QString folder = env.dir.path() + QLatin1Char('/');
    tree->ScanPage(folder, QStringLiteral("a.htm"));
    tree->ScanPage(folder, QStringLiteral("a.htm"));
    QCOMPARE(pageCount(), 2);
    QCOMPARE(gPageEditors.size(), 3);
    QVERIFY(gPageEditors.at(1) != gPageEditors.at(2));
    QCOMPARE(gPageEditors.at(2)->plId, 2);
    QCOMPARE(gPageTable.at(2).Title, QStringLiteral("A"));
}

void tst_pagescan::pageInAnEncodingNotRead_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoding");   // empty: the page is read
    const QString page = QStringLiteral("<TITLE>題</TITLE>\r\n本文\r\n");
    const auto utf16 = [&](QSysInfo::Endian order, bool mark) {
        QStringEncoder encoder(order == QSysInfo::LittleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                               mark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
        return QByteArray(encoder.encode(page));
    };
    QTest::newRow("UTF-16LE with its mark") << utf16(QSysInfo::LittleEndian, true) << QStringLiteral("UTF-16LE");
    QTest::newRow("UTF-16BE with its mark") << utf16(QSysInfo::BigEndian, true) << QStringLiteral("UTF-16BE");
    QTest::newRow("UTF-16LE without a mark") << utf16(QSysInfo::LittleEndian, false) << QStringLiteral("UTF-16LE");
    QTest::newRow("UTF-16BE without a mark") << utf16(QSysInfo::BigEndian, false) << QStringLiteral("UTF-16BE");
    QStringEncoder utf32(QStringConverter::Utf32LE, QStringConverter::Flag::WriteBom);
    QTest::newRow("UTF-32LE with its mark") << QByteArray(utf32.encode(page)) << QStringLiteral("UTF-32LE");
    QTest::newRow("Shift-JIS with a stray NUL") << QByteArray("<TITLE>a</TITLE>\r\nx\0y\r\n", 23) << QString();
}

// A page the program cannot save back unchanged is not opened: the user is told its
// encoding, and an unedited save leaves its file as it was.
void tst_pagescan::pageInAnEncodingNotRead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoding);
    TestEnv env;
    const QString path = env.write(QStringLiteral("p.htm"), bytes);
    auto *tree = new frmTree(env.area());
    tree->ScanPage(env.dir.path() + QLatin1Char('/'), QStringLiteral("p.htm"));
    frmChild1 *editor = gPageEditors.at(1);
    QCOMPARE(editor->save(), encoding.isEmpty());
    if (encoding.isEmpty()) {
        QVERIFY(env.platform.messages.isEmpty());
        QCOMPARE(TestEnv::read(path), bytes);
        return;
    }
    QCOMPARE(env.platform.messages.size(), 2);   // the refusal, and the question before an empty page replaces it
    QCOMPARE(
        env.platform.messages.at(0).prompt,
        QStringLiteral("このページは %1 で書かれているため開けません。Shift-JIS か UTF-8 で保存し直してください。\n")
                .arg(encoding)
            + QDir::toNativeSeparators(path));
    QCOMPARE(editor->text(), QString());
    QCOMPARE(TestEnv::read(path), bytes);
}

void tst_pagescan::unreadablePage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");

    QTest::newRow("missing") << QStringLiteral("gone.htm") << QString();
    QTest::newRow("a folder") << QStringLiteral("sub") << QStringLiteral("folder");
    QTest::newRow("a pipe") << QStringLiteral("pipe.htm") << QStringLiteral("pipe");
    QTest::newRow("no permission") << QStringLiteral("locked.htm") << QStringLiteral("locked");
}

void tst_pagescan::unreadablePage()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    const bool lockFile = kind == u"locked";
    TestEnv env;
    env.area();
    const QString path = env.path(name);
    if (kind == u"folder")
        QDir().mkpath(path);
    // Nobody writes into the pipe: reading it would wait for ever.
    if (kind == u"pipe")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    if (lockFile) {
        env.write(name, "<title>secret</title>");
        QFile::setPermissions(path, QFileDevice::Permissions());
        if (QFile(path).open(QIODevice::ReadOnly))
            QSKIP("the file stays readable for this user");
    }
    auto *tree = new frmTree(env.area());
    tree->ScanPage(env.dir.path() + QLatin1Char('/'), name);

    QCOMPARE(pageCount(), 1);
    QCOMPARE(gPageTable.at(1).Text, QString());
    QCOMPARE(gPageTable.at(1).Title, QString());
    QCOMPARE(gPageTable.at(1).Links, QStringList{QString()});
    QCOMPARE(gPageEditors.at(1)->text(), QString());
    QVERIFY(!gPageEditors.at(1)->Visible());
    QCOMPARE(env.platform.messages.size(), 1);
    const QStringList lines = env.platform.messages.at(0).prompt.split(u'\n');
    QCOMPARE(lines.size(), 3);   // the message, the file, and why it could not be read
    QCOMPARE(lines.at(0), QStringLiteral("ページの読み込みに失敗しました。"));
    QCOMPARE(lines.at(1), QDir::toNativeSeparators(path));
    QVERIFY(!lines.at(2).isEmpty());
    QCOMPARE(env.platform.messages.at(0).title, QStringLiteral("HTML Editor"));
    QVERIFY(!env.platform.isBusyPointer());
    if (lockFile)
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void tst_pagescan::emptyPageFileIsNoFailure()
{
    TestEnv env;
    env.area();
    env.write(QStringLiteral("empty.htm"), QByteArray());
    auto *tree = new frmTree(env.area());
    tree->ScanPage(env.dir.path() + QLatin1Char('/'), QStringLiteral("empty.htm"));
    QCOMPARE(gPageTable.at(1).Text, QString());
    QCOMPARE(gPageTable.at(1).Title, QString());
    QCOMPARE(gPageEditors.at(1)->text(), QString());
    QVERIFY(env.platform.messages.isEmpty());
}

// A page of exactly the line limit opens, whether its last line ends in a break or not;
// one line more is refused with its count.
void tst_pagescan::lineLimit_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("refusedLines");   // -1: opened
    const QByteArray full = QByteArray("x\r\n").repeated(maxPageLines);
    QTest::newRow("exactly the limit") << full << qsizetype(-1);
    QTest::newRow("the limit, last line open") << full.chopped(2) << qsizetype(-1);
    QTest::newRow("the limit, lone LF and CR") << QByteArray("x\n").repeated(maxPageLines - 1) + "x\r" << qsizetype(-1);
    QTest::newRow("one more") << full + "x" << maxPageLines + 1;
}

void tst_pagescan::lineLimit()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, refusedLines);
    TestEnv env;
    const PageScan scan = scanPageFile(env.write(QStringLiteral("long.htm"), bytes));
    QCOMPARE(scan.readOk, refusedLines < 0);
    QCOMPARE(scan.tooManyLines, refusedLines);
}

void tst_pagescan::scanAheadGivesEveryPageInOrder()
{
    TestEnv env;
    QStringList paths;
    for (int i = 0; i < 40; ++i) {
        const QString name = QStringLiteral("p%1.htm").arg(i);
        env.write(name, QStringLiteral("<title>%1</title>").arg(i).toLatin1());
        paths << env.path(name);
    }
    paths.insert(17, env.path(QStringLiteral("gone.htm")));
    {
        PageScanAhead scans(paths);
        for (qsizetype i = 0; i < paths.size(); ++i) {
            const PageScan scan = scans.take(i);
            QCOMPARE(scan.readOk, i != 17);
            QCOMPARE(scan.Title, i == 17 ? QString() : QString::number(i < 17 ? i : i - 1));
        }
    }
    // A reader that stops early (its window closed) leaves neither a hang nor a leak.
    PageScanAhead early(paths);
    QCOMPARE(early.take(0).Title, QStringLiteral("0"));
}

PAGEKILN_TEST_MAIN(tst_pagescan)
#include "tst_pagescan.moc"
