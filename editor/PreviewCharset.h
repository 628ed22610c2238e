#pragma once
// A page in code page 932 that does not say so is shown garbled by a browser that guesses
// another encoding. Its preview copy declares the character set; the page itself is never
// changed.

#include "common/TextCodec.h"

#include <QString>
#include <QStringView>

namespace previewCharset {

// The declaration put into such a copy.
inline const QString shiftJisMeta = QStringLiteral("<META charset=\"Shift_JIS\">");
// How far into the page its head and a declaration are looked for, in characters.
inline constexpr qsizetype headReach = 4096;

// True when a META tag in the page's head (up to "</head" or "<body", in any letter case,
// within the first headReach characters) declares a character set, in either form:
// charset="..." or content="...; charset=...".
bool declaresCharset(QStringView text);

// The preview text of a page in `encoding`: a page in code page 932 whose head declares
// no character set gets shiftJisMeta right after its HEAD start tag (else after its HTML
// start tag, else after a DOCTYPE at its start, else at its very start; each looked for
// within the first headReach characters); any other text comes back as it is.
QString withDeclaredCharset(QString text, TextEncoding encoding);

}   // namespace previewCharset
