#pragma once
// The link check's report as files: CSV for spreadsheet programs (UTF-8 with a byte-order
// mark, so that they read Japanese; fields quoted where they must be) and an HTML page
// whose rows link to the file each problem stands in.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace reportFiles {

struct Row {
    QStringList cells;
    QString file;      // the page or style sheet the row is about (absolute, "/" separators); may be empty
    qint32 line = 0;   // its line in that file, 1 up; 0 for none
};

struct Table {
    QStringList header;
    QList<Row> rows;
};

// The table as CSV: a byte-order mark, the header, one line per row, CR LF line ends.
QByteArray csv(const Table &table);

// The table as an HTML page (UTF-8) titled `title`, meant to be saved in `folder`: the
// cell in column `fileColumn` of each row links to its file (by a path relative to
// `folder`), its tooltip naming the file and line.
QByteArray html(const Table &table, const QString &title, const QString &folder, int fileColumn);

// `text` with "&", "<", ">" and '"' written as character references.
QString escaped(const QString &text);

}   // namespace reportFiles
