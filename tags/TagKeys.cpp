#include "tags/TagKeys.h"
#include "common/TextCodec.h"

#include <QtCore/qnamespace.h>

namespace {

// The length in UTF-16 units of the character starting at `i`: 2 for a surrogate pair.
qsizetype characterLength(QStringView s, qsizetype i)
{
    if (s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
        return 2;
    return 1;
}

// A printable character's key: Qt names keys by the upper-case code point. The text box
// ignores a lone surrogate typed as a key, so a byte the tag database could not decode
// is typed as the private-use character that stands for it.
TagKey characterKey(QStringView character)
{
    if (isKeptByte(character.at(0)))
        return characterKey(QString(keptByteAsPrivateUse(character.at(0))));
    char32_t code = character.at(0).unicode();
    if (character.size() == 2)
        code = QChar::surrogateToUcs4(character.at(0), character.at(1));
    return TagKey{int(QChar::toUpper(code)), character.toString()};
}

}   // namespace

TagKey enterKey()
{
    return TagKey{Qt::Key_Return, QStringLiteral("\r")};
}

TagKey tabKey()
{
    return TagKey{Qt::Key_Tab, QStringLiteral("\t")};
}

QList<TagKey> expandTagText(QStringView tagText)
{
    QList<TagKey> keys;
    keys.reserve(tagText.size());
    const qsizetype n = tagText.size();
    for (qsizetype i = 0; i < n;) {
        if (tagText.at(i) != QLatin1Char('\\')) {
            const qsizetype len = characterLength(tagText, i);
            keys.append(characterKey(tagText.sliced(i, len)));
            i += len;
            continue;
        }
        // An escape: the backslash and the character after it, if any.
        if (i + 1 >= n)
            break;
        const QChar next = tagText.at(i + 1);
        if (next == QLatin1Char('n'))
            keys.append(enterKey());
        else if (next == QLatin1Char('t'))
            keys.append(tabKey());
        i += 1 + characterLength(tagText, i + 1);
    }
    return keys;
}

QString typedText(QStringView tagText)
{
    QString typed;
    for (const TagKey &k : expandTagText(tagText))
        typed += k.key == Qt::Key_Return ? QStringLiteral("\n") : k.text;
    return typed;
}
