#include "common/TextHelpers.h"
#include "editor/LinkRewrite.h"
#include "editor/PreviewCharset.h"
#include "support/TestMain.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace linkRewrite;
using namespace Qt::StringLiterals;

namespace {
QString randomMarkup(QRandomGenerator &rng)
{
    static const QStringList pieces{QStringLiteral("href"),   QStringLiteral("SRC"),     QStringLiteral("BackGround"),
                                    QStringLiteral("\""),     QStringLiteral("="),       QStringLiteral("http:"),
                                    QStringLiteral("HTTPS:"), QStringLiteral("mailto:"), QStringLiteral("<a "),
                                    QStringLiteral(">"),      QStringLiteral(" "),       QStringLiteral("x"),
                                    QStringLiteral("日本"),   QStringLiteral("\r\n")};
    QString text;
    const int n = rng.bounded(40);
    for (int i = 0; i < n; ++i)
        text += pieces.at(rng.bounded(pieces.size()));
    return text;
}
}   // namespace

class tst_linkrewrite : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void preview_data();
    void preview();
    void matchesThePlainWay();
    void charsetDeclared_data();
    void charsetDeclared();
};

void tst_linkrewrite::preview_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QString f = QStringLiteral("/site/");
    QTest::newRow("no keywords") << f << "<p>plain \"text\" = 1</p>\r\n"
                                 << "<p>plain \"text\" = 1</p>\r\n";
    QTest::newRow("relative href") << f << "<a href=\"sub/a.htm\">"
                                   << "<a href=\"/site/sub/a.htm\">";
    QTest::newRow("backslash folder") << "C:\\site\\"
                                      << "<A HREF=\"sub/a.htm\">"
                                      << "<A HREF=\"C:\\site\\sub/a.htm\">";
    QTest::newRow("http any case") << f << "<a HREF=\"hTtP://x/\">"
                                   << "<a HREF=\"hTtP://x/\">";
    QTest::newRow("https any case") << f << "<a href=\"Https://x/\">"
                                    << "<a href=\"Https://x/\">";
    QTest::newRow("mailto any case") << f << "<a href=\"mailTo:a@b\">"
                                     << "<a href=\"mailTo:a@b\">";
    QTest::newRow("other scheme") << f << "<a href=\"ftp://x\">"
                                  << "<a href=\"/site/ftp://x\">";
    QTest::newRow("fragment") << f << "<a href=\"#top\">"
                              << "<a href=\"/site/#top\">";
    QTest::newRow("src") << f << "<img src=\"logo.gif\">"
                         << "<img src=\"/site/logo.gif\">";
    QTest::newRow("background lower case") << f << "<body background=\"bg.gif\">"
                                           << "<body background=\"/site/bg.gif\">";
    QTest::newRow("all three") << f << "<body BACKGROUND=\"b\"><a href=\"a\"><img Src=\"i\">"
                               << "<body BACKGROUND=\"/site/b\"><a href=\"/site/a\"><img Src=\"/site/i\">";
    QTest::newRow("scheme within ten") << f << "<a href=\"    http://x\">"
                                       << "<a href=\"    http://x\">";
    QTest::newRow("scheme past ten") << f << "<a href=\"     http://x\">"
                                     << "<a href=\"/site/     http://x\">";
    QTest::newRow("equals sign") << f << "<a href=a.htm>"
                                 << "<a href=/site/a.htm>";
    QTest::newRow("later quote wins") << f << "<a href=a.htm title=\"t\">"
                                      << "<a href=a.htm title=\"/site/t\">";
    QTest::newRow("quotes run out") << f << "<a href=\"a\"> href=b"
                                    << "<a href=\"/site/a\"> href=/site/b";
    QTest::newRow("keyword in text") << f << "use HREF \"now\""
                                     << "use HREF \"/site/now\"";
    QTest::newRow("nothing after keyword") << f << "<a href=\"a\">see href here"
                                           << "<a href=\"/site/a\">see href here";
    QTest::newRow("keyword inside a value") << f << "<img src=\"a\" lowsrc=\"b\">"
                                            << "<img src=\"/site/a\" lowsrc=\"/site/b\">";
    QTest::newRow("pass skips its own insert") << "/href/"
                                               << "<a href=\"a\">"
                                               << "<a href=\"/href/a\">";
    QTest::newRow("later pass sees insert") << "/srcdir/"
                                            << "<a href=\"a\">x"
                                            << "<a href=\"/srcdir/a\"/srcdir/>x";
    QTest::newRow("no folder") << ""
                               << "<a href=\"a\"><img src=b>"
                               << "<a href=\"a\"><img src=b>";
    QTest::newRow("Japanese around") << f << "日本<img src=\"画像.gif\">語"
                                     << "日本<img src=\"/site/画像.gif\">語";
}

void tst_linkrewrite::preview()
{
    QFETCH(QString, folder);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(previewText(text, folder), expected);
}

void tst_linkrewrite::matchesThePlainWay()
{
    // Random markup, fed to a pass in random small pieces so that keywords, quotes and
    // heads fall across the pieces' edges.
    QRandomGenerator rng(20240601);
    const QStringList folders{QStringLiteral("/s/"), QStringLiteral("/srcHref=\"/")};
    for (int i = 0; i < 3000; ++i) {
        const QString text = randomMarkup(rng);
        const QString &folder = folders.at(i % folders.size());
        QString chained = text;
        for (const char *keyword : {"HREF", "BACKGROUND", "SRC"}) {
            QString out;
            LinkPass pass(QLatin1StringView(keyword), folder, [&out](QStringView s) { out += s; });
            for (qsizetype at = 0; at < text.size();) {
                const qsizetype n = std::min<qsizetype>(1 + rng.bounded(6), text.size() - at);
                pass.feed(QStringView(text).sliced(at, n));
                at += n;
            }
            pass.finish();
            QCOMPARE(out, rewritePassReference(text, QLatin1String(keyword), folder));
            chained = rewritePassReference(chained, QLatin1String(keyword), folder);
        }
        QCOMPARE(previewText(text, folder), chained);
    }
}

void tst_linkrewrite::charsetDeclared_data()
{
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");   // @ stands for the declaration put in
    const int cp932 = int(TextEncoding::Cp932);
    QTest::newRow("after the head tag") << cp932 << u"<HTML>\r\n<HEAD>\r\n<TITLE>表</TITLE>"_s
                                        << u"<HTML>\r\n<HEAD>@\r\n<TITLE>表</TITLE>"_s;
    QTest::newRow("head with attributes, not a header")
        << cp932 << u"<header></header><head lang=\"ja\">"_s << u"<header></header><head lang=\"ja\">@"_s;
    QTest::newRow("no head: after the html tag") << cp932 << u"<html><body>"_s << u"<html>@<body>"_s;
    QTest::newRow("only a doctype") << cp932 << u"  <!DOCTYPE html>\n<p>"_s << u"  <!DOCTYPE html>@\n<p>"_s;
    QTest::newRow("bare text") << cp932 << u"<p>表</p>"_s << u"@<p>表</p>"_s;
    QTest::newRow("declared by meta charset")
        << cp932 << u"<head><meta charset=\"utf-8\">"_s << u"<head><meta charset=\"utf-8\">"_s;
    const QString equiv = u"<HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">"_s;
    QTest::newRow("declared by http-equiv") << cp932 << equiv << equiv;
    QTest::newRow("a charset in the body does not count")
        << cp932 << u"<head></head><body><meta charset=x>"_s << u"<head>@</head><body><meta charset=x>"_s;
    const QString far = QString(previewCharset::headReach, u' ') + u"<head><meta charset=x>"_s;
    QTest::newRow("past the page's start nothing is looked for") << cp932 << far << u"@"_s + far;
    QTest::newRow("UTF-8 page") << int(TextEncoding::Utf8) << u"<head>"_s << u"<head>"_s;
}

void tst_linkrewrite::charsetDeclared()
{
    QFETCH(int, encoding);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(previewCharset::withDeclaredCharset(text, TextEncoding(encoding)),
             expected.replace(u"@"_s, previewCharset::shiftJisMeta));
}

PAGEKILN_TEST_MAIN(tst_linkrewrite)
#include "tst_linkrewrite.moc"
