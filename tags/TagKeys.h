#pragma once
// A tag text as the keystrokes that type it: "\n" is the Enter key, "\t" the Tab key, a
// backslash before any other character (or at the very end) types nothing, and every
// other character is typed as itself, so that + ^ % ~ ( ) { } [ ] arrive unchanged.

#include <QList>
#include <QString>
#include <QStringView>

struct TagKey {
    int key = 0;    // the Qt key code
    QString text;   // the text the key press carries
    friend bool operator==(const TagKey &, const TagKey &) = default;
};

// The Enter and Tab keys as typed into a text box.
TagKey enterKey();
TagKey tabKey();

// The keystrokes of `tagText`, in order. A character outside the Basic Multilingual Plane
// (a surrogate pair) is one keystroke.
QList<TagKey> expandTagText(QStringView tagText);
// The text those keystrokes type, Enter as a line feed.
QString typedText(QStringView tagText);
