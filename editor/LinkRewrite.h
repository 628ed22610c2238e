#pragma once
// The preview's link rewriting: the page is shown from a copy in the program folder, so
// the page's own folder is put in front of every relative HREF, BACKGROUND and SRC
// target, letting the copy still find the page's pictures and neighbours.

#include <QLatin1StringView>
#include <QString>
#include <QStringView>

namespace linkRewrite {

// The keywords in the order the passes run.
inline constexpr QLatin1StringView hrefKeyword{"HREF"};
inline constexpr QLatin1StringView backgroundKeyword{"BACKGROUND"};
inline constexpr QLatin1StringView srcKeyword{"SRC"};

// How many characters, from the quote (or equals sign) on, decide whether a target is
// an address of its own.
inline constexpr qsizetype headLength = 10;

// True when `head` (the characters from the quote on) names an address that needs no
// folder: it holds "HTTP:", "HTTPS:" or "MAILTO:" in any letter case.
bool isExternalHead(QStringView head);

// One pass for `keyword` (upper-case ASCII) over `text`. Every occurrence of the keyword,
// in any letter case and anywhere in the text, is placed at the first double quote after
// it, or at the first equals sign when no double quote follows at all; unless the ten
// characters from that place on name an external address, `folder` is inserted right
// after it. The search goes on after that place, in the input, so that inserted folders
// are not searched again by the same pass. A keyword that can be placed nowhere ends the
// pass; the rest of the text is copied as it is. One walk over the text.
QString rewritePass(QStringView text, QLatin1StringView keyword, QStringView folder);

// The three passes HREF, BACKGROUND and SRC, each over the result of the one before.
QString previewText(QStringView text, QStringView folder);

} // namespace linkRewrite
