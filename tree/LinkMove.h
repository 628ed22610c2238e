#pragma once
// A link written anew when its file, or the page it stands in, moves: the new value leads
// to the same file as before, and keeps the link's own way of writing it.
//
// What stays as written: blanks around the value, the query and the fragment, a leading
// "/" (a root-relative link stays one while its file stays in the site's folder), every
// step of the link's path up to the deepest folder that the new path still passes through
// (so "./", "../", letter case and escapes there are untouched), and every later step that
// names the same file or folder as before. Steps written anew are percent-escaped as the
// link's escapes were (UTF-8 or Shift-JIS, upper- or lower-case hex digits) when it had
// escapes of non-ASCII names; characters that cannot stand in a link as they are ("%",
// "#", "?", blanks, quotes, "<", ">", parentheses, "\", control characters) are always
// escaped, and "&" in an HTML value is written "&amp;".

#include "tree/LinkCheck.h"

#include <QString>

#include <optional>

namespace linkMove {

// Where the value stands: in HTML (character references decoded before the address is
// read) or in a style sheet (read as written).
enum class Context { Html, Css };

// The value that leads from the folder `from` to `target` (an absolute path with "/"
// separators, as cleanFilePath gives it), written in the style of `value`; with `asFolder`
// `target` is a folder and the value names it with a trailing "/". `site` is the site's
// folder, for root-relative links. Nothing when `value` already leads there as written,
// or is no relative or root-relative address.
std::optional<QString> rewritten(const QString &value, Context context, const linkCheck::Base &from,
                                 const linkCheck::Base &site, const QString &target, bool asFolder = false);

// The path `link` leads to when read from `from` (a leading "/" from `site`): the file, or
// the folder for a link that names one; empty when it names no file.
QString resolvedPath(const QString &link, Context context, const linkCheck::Base &from, const linkCheck::Base &site,
                     bool *folder = nullptr);

}   // namespace linkMove
