// The tag database parser and tag-text keystrokes: a database made of known tag lines
// comes back as exactly those tags, in order, none lost, and arbitrary text parses into
// tags that each stand in it; the keystrokes of a tag text type its text.
#include "FuzzSupport.h"
#include "tags/TagDatabase.h"
#include "tags/TagKeys.h"

using namespace basSystem;

namespace {
// The text the keystrokes type, with Enter as a line break.
QString typedText(const QList<TagKey> &keys)
{
    QString out;
    for (const TagKey &k : keys)
        out += k == enterKey() ? QStringLiteral("\n") : k.text;
    return out;
}

// The plain reading of the escape rules, character by character.
QString plainExpansion(const QString &s)
{
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s.at(i) != QLatin1Char('\\')) {
            out += s.at(i);
            continue;
        }
        const QChar next = i + 1 < s.size() ? s.at(i + 1) : QChar();
        if (next == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (next == QLatin1Char('t'))
            out += QLatin1Char('\t');
        if (i + 1 < s.size() && s.at(i + 1).isHighSurrogate() && i + 2 < s.size() && s.at(i + 2).isLowSurrogate())
            ++i;   // a backslash before a surrogate pair drops the whole character
        ++i;
    }
    return out;
}
}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(fuzzBytes(data, size));
    const QList<TagRecord> table = parseTagDatabase(text);
    FUZZ_CHECK(!table.isEmpty());
    FUZZ_CHECK(table.at(0).ButtonCaption.isEmpty() && table.at(0).TagText.isEmpty());
    for (qsizetype i = 1; i < table.size(); ++i) {
        const TagRecord &t = table.at(i);
        FUZZ_CHECK(!t.ButtonCaption.contains(QLatin1Char('\t')) && !t.TagText.contains(QLatin1Char('\t')));
        FUZZ_CHECK(!t.TagText.contains(QLatin1Char('\n')) && !t.TagText.contains(QLatin1Char('\r')));
        FUZZ_CHECK(t.Extra.size() == 1);
        FUZZ_CHECK(text.contains(t.ButtonCaption + QLatin1Char('\t') + t.TagText));
    }
    FUZZ_CHECK(typedText(expandTagText(text)) == plainExpansion(text));

    // Known tags: the input's pieces between NULs become caption, tag text and rest of
    // one line each, joined by the line ends the input's bytes choose.
    const QStringList pieces = text.split(QChar(0));
    QList<TagRecord> expected{TagRecord{}};
    QString database;
    for (qsizetype i = 0; i + 2 < pieces.size(); i += 3) {
        auto clean = [](QString s, bool tabs) {
            s.remove(QLatin1Char('\r'));
            s.remove(QLatin1Char('\n'));
            if (!tabs)
                s.remove(QLatin1Char('\t'));
            return s;
        };
        TagRecord tag;
        tag.ButtonCaption = clean(pieces.at(i), false);
        tag.TagText = clean(pieces.at(i + 1), false);
        tag.Extra = QStringList{clean(pieces.at(i + 2), true)};
        static const char *const ends[] = {"\r\n", "\n", "\r"};
        database += tag.ButtonCaption + QLatin1Char('\t') + tag.TagText + QLatin1Char('\t') + tag.Extra.at(0)
            + QLatin1String(ends[i % 3]);
        if (i % 2)
            database += QLatin1String("  \r\nno tab on this line\n");   // lines that are no tag
        expected.append(tag);
    }
    const QList<TagRecord> parsed = parseTagDatabase(database);
    FUZZ_CHECK(parsed.size() == expected.size());
    for (qsizetype i = 1; i < parsed.size(); ++i) {
        FUZZ_CHECK(parsed.at(i).ButtonCaption == expected.at(i).ButtonCaption);
        FUZZ_CHECK(parsed.at(i).TagText == expected.at(i).TagText);
        FUZZ_CHECK(parsed.at(i).Extra == expected.at(i).Extra);
    }
    return 0;
}
