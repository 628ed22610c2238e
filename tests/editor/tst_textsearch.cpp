#include "editor/SiteSearch.h"
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
    void followEdit_data();
    void followEdit();
    void searchLines();
    void matcherLimits_data();
    void matcherLimits();
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
    // A byte the code page could not decode is kept as a lone surrogate: it matches
    // nothing, and the search goes on past it.
    const QString kept = u"a"_s + QChar(0xDC81) + u"a"_s;
    QTest::newRow("kept byte") << kept << u"a"_s << u"r"_s << u"b"_s << u"b"_s + QChar(0xDC81) + u"b"_s << 2;
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

namespace {
// Where the line of `pos` starts.
qsizetype lineStartOf(const QString &text, qsizetype pos)
{
    return pos == 0 ? 0 : text.lastIndexOf(u'\n', pos - 1) + 1;
}

// Every hit of `query` in `text`, its line and column counted afresh.
QList<SiteHit> hitsIn(const Query &query, const QString &text)
{
    QList<SiteHit> hits;
    query.forEach(text, 0, [&](qsizetype start, qsizetype length, const PatternMatcher &) {
        const qsizetype lineStart = lineStartOf(text, start);
        hits.append(
            SiteHit{qint32(start), qint32(lineNumberAt(text, start)), qint32(start - lineStart + 1), qint32(length)});
        return true;
    });
    return hits;
}
}   // namespace

// Hits followed through an edit are where a fresh search of the edited text finds them;
// the ones the edit touched are gone.
void tst_textsearch::followEdit_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<int>("dropped");
    // The text is "ab ab\nx ab\n\nab"; "ab" at 0, 3, 8 and 13.
    QTest::newRow("typing before a hit on its line") << 2 << 0 << u"zz"_s << 0;
    QTest::newRow("typing inside a hit") << 1 << 0 << u"z"_s << 1;
    QTest::newRow("typing right after a hit") << 5 << 0 << u"z"_s << 0;
    QTest::newRow("a line break before a hit") << 7 << 0 << u"\n"_s << 0;
    QTest::newRow("lines joined") << 5 << 1 << QString() << 0;
    QTest::newRow("a hit deleted") << 8 << 2 << QString() << 1;
    QTest::newRow("across lines, a hit overlapped") << 4 << 6 << u"1\n2\n3"_s << 2;
    QTest::newRow("a new hit typed") << 12 << 0 << u"ab"_s << 0;
}

void tst_textsearch::followEdit()
{
    QFETCH(int, position);
    QFETCH(int, removed);
    QFETCH(QString, inserted);
    QFETCH(int, dropped);
    const QString before = u"ab ab\nx ab\n\nab"_s;
    const Query query(u"ab"_s, {});
    QList<SiteHit> hits = hitsIn(query, before);
    const QString after = QString(before).replace(position, removed, inserted);
    const qsizetype end = position + inserted.size();
    const qsizetype endLineStart = lineStartOf(after, end);
    const TextEdit edit{position,
                        removed,
                        qint32(inserted.size()),
                        qint32(after.count(u'\n') - before.count(u'\n')),
                        qint32(lineNumberAt(after, end)),
                        qint32(endLineStart)};
    const qsizetype count = hits.size();
    ::followEdit(hits, edit);
    QCOMPARE(hits.size(), count - dropped);
    const QList<SiteHit> fresh = hitsIn(query, after);
    for (const SiteHit &h : std::as_const(hits)) {
        const bool there = std::any_of(fresh.cbegin(), fresh.cend(), [&](const SiteHit &f) {
            return f.start == h.start && f.line == h.line && f.column == h.column && f.length == h.length;
        });
        QVERIFY2(there, qPrintable(u"hit at %1"_s.arg(h.start)));
    }
}

void tst_textsearch::searchLines()
{
    QCOMPARE(textSearch::searchLines(u"a\r\nb\rc\nd\u2029e"_s), u"a\nb\nc\nd\ne"_s);
}

// An expression that meets a limit of the matcher fails on the line where it met it, in
// every routine; one that only needs a long line matches.
void tst_textsearch::matcherLimits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("failedLine");   // 0: no failure
    const QString as = QString(25, u'a') + u"!"_s;
    QTest::newRow("(a|b)*! on 100,000 a then !") << u"x\n"_s + QString(100000, u'a') + u"!\n"_s << u"(a|b)*!"_s << 0;
    QTest::newRow("(a+)+$ on 25 a then !, searched from line 1") << u"x\ny\n"_s + as << u"(a+)+$"_s << 3;
    QTest::newRow("stack of a 4,000,000-character line") << QString(4000000, u'a') + u"!"_s << u"(a|b)*!"_s << 1;
}

void tst_textsearch::matcherLimits()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(int, failedLine);
    const Query query(pattern, optionsOf(u"r"_s));
    const auto lineOf = [&](const Failure &f) { return f ? int(textSearch::lineNumberAt(text, f.at)) : 0; };
    const Match next = query.findNext(text, 0);
    QCOMPARE(lineOf(next.failure), failedLine);
    QCOMPARE(next.found(), failedLine == 0);
    QCOMPARE(lineOf(query.findPrevious(text, text.size()).failure), failedLine);
    const Replaced replaced = query.replaceAll(text, u"-"_s);
    QCOMPARE(lineOf(replaced.failure), failedLine);
    QCOMPARE(replaced.count, failedLine ? 0 : 1);
    QCOMPARE(replaced.text.isEmpty(), failedLine != 0);
}

PAGEKILN_TEST_MAIN(tst_textsearch)
#include "tst_textsearch.moc"
