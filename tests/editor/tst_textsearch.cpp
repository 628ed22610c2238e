#include "editor/TextSearch.h"
#include "support/TestMain.h"

#include <QtTest>

using namespace textSearch;
using namespace Qt::StringLiterals;

namespace {
// Options from a short code: c = match case, w = whole word, r = regular expression.
Options optionsOf(const QString &code)
{
    return {code.contains(QLatin1Char('c')), code.contains(QLatin1Char('w')), code.contains(QLatin1Char('r'))};
}
}   // namespace

class tst_textsearch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void replaceAll_data();
    void replaceAll();
    void find_data();
    void find();
    void lineHits();
    void searchLines();
};

void tst_textsearch::replaceAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("count");

    QTest::newRow("case folded") << u"Abc abc ABC"_s << u"abc"_s << QString() << u"x"_s << u"x x x"_s << 3;
    QTest::newRow("match case") << u"Abc abc ABC"_s << u"abc"_s << u"c"_s << u"x"_s << u"Abc x ABC"_s << 1;
    QTest::newRow("whole word") << u"cat catalog cat_x cat. 猫cat"_s << u"cat"_s << u"w"_s << u"dog"_s
                                << u"dog catalog cat_x dog. 猫cat"_s << 2;
    QTest::newRow("full-width is not half-width")
        << u"ＡＢＣ ABC ｱｲｳ アイウ"_s << u"ABC"_s << QString() << u"-"_s << u"ＡＢＣ - ｱｲｳ アイウ"_s << 1;
    QTest::newRow("half-width kana is not full-width")
        << u"ｱｲｳ アイウ"_s << u"アイウ"_s << QString() << u"ア"_s << u"ｱｲｳ ア"_s << 1;
    QTest::newRow("plain replacement taken as it is")
        << u"a.b"_s << u"."_s << QString() << u"\\1$1"_s << u"a\\1$1b"_s << 1;
    QTest::newRow("regex groups") << u"<B>太字</B> <B>y</B>"_s << u"<b>(.*?)</b>"_s << u"r"_s
                                  << u"<STRONG>\\1</STRONG>"_s << u"<STRONG>太字</STRONG> <STRONG>y</STRONG>"_s << 2;
    QTest::newRow("regex escapes") << u"a-b"_s << u"(\\w)-(\\w)"_s << u"r"_s << u"\\2\\n\\1\\t\\\\\\0"_s
                                   << u"b\na\t\\a-b"_s << 1;
    QTest::newRow("regex match case") << u"Ab ab"_s << u"a."_s << u"rc"_s << u"x"_s << u"Ab x"_s << 1;
    QTest::newRow("regex whole word") << u"ab abc ab"_s << u"ab"_s << u"rw"_s << u"x"_s << u"x abc x"_s << 2;
    QTest::newRow("line starts") << u"a\nb\nc"_s << u"^"_s << u"r"_s << u"> "_s << u"> a\n> b\n> c"_s << 3;
    QTest::newRow("zero-length matches") << u"abc"_s << u"x*"_s << u"r"_s << u"-"_s << u"-a-b-c-"_s << 4;
    QTest::newRow("dot stops at a line break") << u"ab\ncd"_s << u"b.c"_s << u"r"_s << u"x"_s << u"ab\ncd"_s << 0;
    QTest::newRow("no match keeps the text") << u"abc"_s << u"z"_s << QString() << u"x"_s << u"abc"_s << 0;
    QTest::newRow("bad regex changes nothing") << u"a(b"_s << u"("_s << u"r"_s << u"x"_s << u"a(b"_s << 0;
}

void tst_textsearch::replaceAll()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QString, options);
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    QFETCH(int, count);
    const Replaced r = Query(pattern, optionsOf(options)).replaceAll(text, replacement);
    QCOMPARE(r.text, expected);
    QCOMPARE(r.count, count);
}

// Each step searches from where the last match ended (next) or began (previous), as the
// editor's repeated F3 and Shift+F3 do.
void tst_textsearch::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("options");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<int>("from");
    QTest::addColumn<QList<int>>("starts");   // where each step's match starts
    QTest::addColumn<int>("wrapStep");        // the step that went round an end

    QTest::newRow("next wraps") << u"ab ab ab"_s << u"ab"_s << QString() << true << 1 << QList<int>{3, 6, 0, 3} << 2;
    QTest::newRow("previous wraps") << u"ab ab ab"_s << u"ab"_s << QString() << false << 4 << QList<int>{3, 0, 6, 3}
                                    << 2;
    QTest::newRow("whole word next") << u"abc ab ab"_s << u"ab"_s << u"w"_s << true << 0 << QList<int>{4, 7, 4} << 2;
    QTest::newRow("whole word previous") << u"ab abc ab"_s << u"ab"_s << u"w"_s << false << 9 << QList<int>{7, 0, 7}
                                         << 2;
    QTest::newRow("regex previous") << u"a1 b2 c3"_s << u"[a-c]\\d"_s << u"r"_s << false << 8 << QList<int>{6, 3, 0, 6}
                                    << 3;
    QTest::newRow("empty matches advance")
        << u"a\nb\nc"_s << u"^"_s << u"r"_s << true << 0 << QList<int>{2, 4, 0, 2} << 2;
    QTest::newRow("Japanese") << u"日本語の日本"_s << u"日本"_s << QString() << true << 1 << QList<int>{4, 0} << 1;
}

void tst_textsearch::find()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QString, options);
    QFETCH(bool, forward);
    QFETCH(int, from);
    QFETCH(QList<int>, starts);
    QFETCH(int, wrapStep);
    const Query query(pattern, optionsOf(options));
    qsizetype at = from;
    for (int step = 0; step < starts.size(); ++step) {
        const Match m = forward ? query.findNext(text, at) : query.findPrevious(text, at);
        QCOMPARE(m.start, starts.at(step));
        QCOMPARE(m.wrapped, step == wrapStep);
        at = forward ? m.end() : m.start;
    }
}

void tst_textsearch::lineHits()
{
    const QList<LineHit> hits = Query(u"two"_s, {}).lineHits(u"one\ntwo Two\n\nthree two"_s);
    QCOMPARE(hits.size(), 3);
    const QList<QList<qsizetype>> expected{{2, 1, 4}, {2, 5, 8}, {4, 7, 19}};   // line, column, start
    for (qsizetype i = 0; i < hits.size(); ++i) {
        QCOMPARE(hits.at(i).line, expected.at(i).at(0));
        QCOMPARE(hits.at(i).column, expected.at(i).at(1));
        QCOMPARE(hits.at(i).start, expected.at(i).at(2));
    }
    QCOMPARE(hits.at(1).lineText, u"two Two"_s);
    QCOMPARE(hits.at(2).lineText, u"three two"_s);
}

void tst_textsearch::searchLines()
{
    QCOMPARE(textSearch::searchLines(u"a\r\nb\rc\nd\u2029e"_s), u"a\nb\nc\nd\ne"_s);
}

PAGEKILN_TEST_MAIN(tst_textsearch)
#include "tst_textsearch.moc"
