#include "editor/HtmlHighlight.h"

namespace htmlHighlight {

namespace {
bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isHexDigit(QChar c)
{
    return isAsciiDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f';
}

// One line, scanned once from left to right; each step classifies a run from `mPos`
// and returns the state after it.
class LineScanner
{
public:
    LineScanner(QStringView line, QList<Span> *spans) : mLine(line), mSpans(spans) { }

    State run(State state)
    {
        while (mPos < mLine.size())
            state = step(state);
        return state;
    }

private:
    State step(State state)
    {
        switch (state) {
        case State::Text: return text();
        case State::InTag: return inTag();
        case State::AfterEquals: return afterEquals();
        case State::InDoubleQuote: return quoted(u'"', state);
        case State::InSingleQuote: return quoted(u'\'', state);
        case State::InComment: return comment();
        }
        return State::Text;
    }

    QChar at(qsizetype i) const { return i < mLine.size() ? mLine[i] : QChar(); }

    // Marks [mPos, to) as `kind` and moves past it.
    void take(qsizetype to, Kind kind)
    {
        if (to <= mPos)
            return;
        if (mSpans) {
            if (!mSpans->isEmpty() && mSpans->back().kind == kind)
                mSpans->back().length += to - mPos;
            else
                mSpans->append(Span{mPos, to - mPos, kind});
        }
        mPos = to;
    }

    // The length of the character reference at `i`, or 0 when none starts there.
    qsizetype charRefLength(qsizetype i) const
    {
        qsizetype j = i + 1;
        if (at(j) == u'#') {
            ++j;
            const bool hex = at(j) == u'x' || at(j) == u'X';
            if (hex)
                ++j;
            const qsizetype digits = j;
            while (hex ? isHexDigit(at(j)) : isAsciiDigit(at(j)))
                ++j;
            if (j == digits)
                return 0;
        } else {
            if (!isAsciiLetter(at(j)))
                return 0;
            while (isAsciiLetter(at(j)) || isAsciiDigit(at(j)))
                ++j;
        }
        return at(j) == u';' ? j + 1 - i : 0;
    }

    // Marks [mPos, to) as `kind`, its character references apart.
    void takeWithRefs(qsizetype to, Kind kind)
    {
        while (mPos < to) {
            qsizetype end = mPos;
            while (end < to && mLine[end] != u'&')
                ++end;
            take(end, kind);
            if (mPos == to)
                return;
            const qsizetype ref = charRefLength(mPos);
            take(ref > 0 && mPos + ref <= to ? mPos + ref : mPos + 1, ref > 0 ? Kind::CharRef : kind);
        }
    }

    bool opensTag(qsizetype i) const
    {
        const QChar next = at(i + 1);
        return isAsciiLetter(next) || next == u'/' || next == u'!' || next == u'?';
    }

    State text()
    {
        if (mLine.sliced(mPos).startsWith(u"<!--")) {
            take(mPos + 4, Kind::Comment);
            return comment();
        }
        if (mLine[mPos] == u'<' && opensTag(mPos)) {
            take(mPos + (at(mPos + 1) == u'/' ? 2 : 1), Kind::Tag);
            qsizetype end = mPos;
            while (end < mLine.size() && !isBlank(mLine[end]) && mLine[end] != u'>' && mLine[end] != u'/')
                ++end;
            take(end, Kind::TagName);
            return State::InTag;
        }
        qsizetype end = mPos + 1;
        while (end < mLine.size() && mLine[end] != u'<')
            ++end;
        takeWithRefs(end, Kind::Text);
        return State::Text;
    }

    State inTag()
    {
        const QChar c = mLine[mPos];
        if (c == u'>') {
            take(mPos + 1, Kind::Tag);
            return State::Text;
        }
        if (c == u'=') {
            take(mPos + 1, Kind::Tag);
            return State::AfterEquals;
        }
        if (c == u'"' || c == u'\'') {   // a value without a name
            take(mPos + 1, Kind::Value);
            return c == u'"' ? State::InDoubleQuote : State::InSingleQuote;
        }
        if (isBlank(c) || c == u'/') {
            take(mPos + 1, Kind::Tag);
            return State::InTag;
        }
        qsizetype end = mPos;
        while (end < mLine.size() && !isBlank(mLine[end]) && mLine[end] != u'=' && mLine[end] != u'>'
               && mLine[end] != u'/')
            ++end;
        take(end, Kind::AttributeName);
        return State::InTag;
    }

    State afterEquals()
    {
        const QChar c = mLine[mPos];
        if (isBlank(c)) {
            take(mPos + 1, Kind::Tag);
            return State::AfterEquals;
        }
        if (c == u'>') {
            take(mPos + 1, Kind::Tag);
            return State::Text;
        }
        if (c == u'"' || c == u'\'') {
            take(mPos + 1, Kind::Value);
            return c == u'"' ? State::InDoubleQuote : State::InSingleQuote;
        }
        qsizetype end = mPos;
        while (end < mLine.size() && !isBlank(mLine[end]) && mLine[end] != u'>')
            ++end;
        takeWithRefs(end, Kind::Value);
        return State::InTag;
    }

    State quoted(char16_t quote, State state)
    {
        const qsizetype close = mLine.indexOf(QChar(quote), mPos);
        takeWithRefs(close < 0 ? mLine.size() : close, Kind::Value);
        if (close < 0)
            return state;
        take(close + 1, Kind::Value);
        return State::InTag;
    }

    State comment()
    {
        const qsizetype close = mLine.indexOf(u"-->", mPos);
        take(close < 0 ? mLine.size() : close + 3, Kind::Comment);
        return close < 0 ? State::InComment : State::Text;
    }

    QStringView mLine;
    QList<Span> *mSpans;
    qsizetype mPos = 0;
};
}   // namespace

State classifyLine(QStringView line, State in, QList<Span> *spans)
{
    return LineScanner(line, spans).run(in);
}

}   // namespace htmlHighlight
