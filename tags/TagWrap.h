#pragma once
// A tag text that is a start tag and its end tag wraps the selected text instead of
// replacing it: "<B></B>" makes "<B>selected</B>".

#include "tags/TagKeys.h"

#include <QString>
#include <QStringView>

#include <optional>

// The text that `keys` type, as one string: Enter as a line feed, Tab as a tab.
QString typedText(const QList<TagKey> &keys);

// The two halves of a wrapping tag text: what goes before the selection and what after.
struct TagPair {
    QString before;
    QString after;
    friend bool operator==(const TagPair &, const TagPair &) = default;
};

// Splits `typed` when it is a start tag followed by the end tag of the same name (letter
// case ignored), with nothing but blanks, tabs and line feeds around and between them, as
// "<B></B>", "<A HREF=""></A>" or "<P>\n</P>". What stands between the two tags stays
// with the start tag. Anything else (a lone tag, a comment, tags with text or other tags
// between them) is no pair.
std::optional<TagPair> tagPair(QStringView typed);
