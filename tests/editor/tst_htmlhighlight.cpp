#include "editor/HtmlHighlight.h"
#include "support/TestMain.h"

#include <QtTest>

using namespace htmlHighlight;
using namespace Qt::StringLiterals;

namespace {
// One letter a character: x text, T tag mark, N tag name, A attribute name, V value,
// C comment, R character reference; "?" where no span covers it. Lines are classified in
// turn, each from the state the one before ended in, and joined with "\n"; the state the
// text ends in follows after "|".
QString classes(const QString &text)
{
    static const QString letters = u"xTNAVCR"_s;
    QStringList lines;
    State state = State::Text;
    for (const QString &line : text.split(u'\n')) {
        QList<Span> spans;
        state = classifyLine(line, state, &spans);
        QString codes(line.size(), u'?');
        for (const Span &s : spans)
            for (qsizetype i = s.start; i < s.start + s.length && i < codes.size(); ++i)
                codes[i] = letters.at(int(s.kind));
        lines << codes;
    }
    return lines.join(u'\n') + u'|' + QString::number(int(state));
}
}   // namespace

class tst_htmlhighlight : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void classifies_data();
    void classifies();
};

void tst_htmlhighlight::classifies_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const QString endsInText = u"|0"_s;
    QTest::newRow("quoted value holding >") << u"<p class=\"a>b\">x</p>"_s << u"TNTAAAAATVVVVVTxTTNT"_s + endsInText;
    QTest::newRow("single quotes") << u"<a title='a>b'>"_s << u"TNTAAAAATVVVVVT"_s + endsInText;
    QTest::newRow("value without quotes") << u"<td width=50%>"_s << u"TNNTAAAAATVVVT"_s + endsInText;
    QTest::newRow("self-closing") << u"<br/>"_s << u"TNNTT"_s + endsInText;
    QTest::newRow("doctype") << u"<!DOCTYPE html>"_s << u"TNNNNNNNNTAAAAT"_s + endsInText;
    QTest::newRow("comment over two lines") << u"a<!-- x\ny -->b"_s << u"xCCCCCC\nCCCCCx"_s + endsInText;
    QTest::newRow("tag over two lines") << u"<a\nhref=\"x\">y"_s << u"TN\nAAAATVVVTx"_s + endsInText;
    QTest::newRow("unterminated tag at the end") << u"text<a href=\"x"_s << u"xxxxTNTAAAATVV|3"_s;
    QTest::newRow("unterminated comment") << u"<!-- a"_s << u"CCCCCC|5"_s;
    QTest::newRow("Japanese inside a tag")
        << u"<img alt=\"日本語\" title=写真>"_s << u"TNNNTAAATVVVVVTAAAAATVVT"_s + endsInText;
    QTest::newRow("references") << u"a&amp;b&#12354;&#x3042;&c"_s
                                << u"xRRRRRx"_s + QString(16, u'R') + u"xx"_s + endsInText;
    QTest::newRow("reference in a value")
        << u"<a href=\"?a=1&amp;b=2\">"_s << u"TNTAAAATVVVVVRRRRRVVVVT"_s + endsInText;
    QTest::newRow("< that opens no tag") << u"a < b <3 &x"_s << u"xxxxxxxxxxx"_s + endsInText;
}

void tst_htmlhighlight::classifies()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(classes(text), expected);
}

PAGEKILN_TEST_MAIN(tst_htmlhighlight)
#include "tst_htmlhighlight.moc"
