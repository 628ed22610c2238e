#pragma once
// The classes of HTML text the editor colours, found line by line. A line is classified
// from the state the previous line ended in (inside a tag, a quoted value or a comment),
// so that a tag or a comment spanning lines keeps its colour, and the state it ends in is
// handed to the next line. One pass over the line, no look-back.
//
// A tag starts at "<" followed by an ASCII letter, "/", "!" or "?"; any other "<" is
// text. Inside a tag: its name right after "<" or "</", attribute names, "=" and the
// tag's brackets, values in double or single quotes (a ">" inside them does not end the
// tag) or unquoted up to a blank or ">". "<!--" opens a comment that ends at "-->".
// Character references (&name;, &#123;, &#x7B;) are marked in text and in values.

#include <QList>
#include <QStringView>

namespace htmlHighlight {

enum class Kind { Text, Tag, TagName, AttributeName, Value, Comment, CharRef };

// Where a line ends, as the next line begins; stored with each line of the text box.
enum class State { Text, InTag, AfterEquals, InDoubleQuote, InSingleQuote, InComment };

struct Span {
    qsizetype start = 0;
    qsizetype length = 0;
    Kind kind = Kind::Text;
    friend bool operator==(const Span &, const Span &) = default;
};

// Classifies `line` begun in state `in`: appends its spans (covering the whole line, in
// order, neighbours of one kind merged) to `spans` unless it is null, and returns the
// state the line ends in.
State classifyLine(QStringView line, State in, QList<Span> *spans);

}   // namespace htmlHighlight
