#pragma once
// What mending a reference writes in its place: the same link with the letter case of the
// file on disk, or a link to another file from the page's folder.

#include <QString>

namespace linkMend {

// `link` with each step that named a step of `lookedFor` (the path it led to) written as
// the same step of `onDisk` (the file whose name differs from it only in letter case).
// Its "./" and "../" steps, separators, query and fragment stay as written.
QString caseFixed(const QString &link, const QString &lookedFor, const QString &onDisk);

// A link from a page in `pageFolder` to the file at `path` (both absolute, any
// separators): relative, with "/" separators, and "%", "#", "?", blanks and quotes
// percent-escaped, so that the link names the file as it is.
QString linkTo(const QString &pageFolder, const QString &path);

// Where `value` stands in `text` (lines ended by "\n", as the editor's text box counts
// places) on line `line` (1 up), or on the nearest line that holds it, when the text has
// changed since it was read; -1 when the text holds it nowhere.
qsizetype placeOfValue(QStringView text, QStringView value, qint32 line);

}   // namespace linkMend
