#include "tree/ReportFiles.h"

#include <QDir>
#include <QUrl>

namespace reportFiles {

namespace {
QString csvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString csvLine(const QStringList &cells)
{
    QStringList fields;
    for (const QString &cell : cells)
        fields << csvField(cell);
    return fields.join(u',') + QStringLiteral("\r\n");
}

// `path` relative to `folder`, each step percent-encoded, as an HTML link gives it.
QString href(const QString &folder, const QString &path)
{
    const QStringList steps = QDir(folder).relativeFilePath(path).split(u'/');
    QStringList encoded;
    for (const QString &step : steps)
        encoded << QString::fromLatin1(QUrl::toPercentEncoding(step));
    return encoded.join(u'/');
}

QString htmlRow(const Row &row, const QString &folder, int fileColumn)
{
    QString out = QStringLiteral("<tr>");
    for (int c = 0; c < row.cells.size(); ++c) {
        QString cell = escaped(row.cells.at(c));
        if (c == fileColumn && !row.file.isEmpty()) {
            const QString place
                = QDir::toNativeSeparators(row.file) + (row.line > 0 ? QStringLiteral(":%1").arg(row.line) : QString());
            cell = QStringLiteral("<a href=\"%1\" title=\"%2\">%3</a>")
                       .arg(escaped(href(folder, row.file)), escaped(place), cell);
        }
        out += QStringLiteral("<td>") + cell + QStringLiteral("</td>");
    }
    return out + QStringLiteral("</tr>\n");
}
}   // namespace

QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&': out += QStringLiteral("&amp;"); break;
        case u'<': out += QStringLiteral("&lt;"); break;
        case u'>': out += QStringLiteral("&gt;"); break;
        case u'"': out += QStringLiteral("&quot;"); break;
        default: out += c;
        }
    }
    return out;
}

QByteArray csv(const Table &table)
{
    QString text = csvLine(table.header);
    for (const Row &row : table.rows)
        text += csvLine(row.cells);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QByteArray html(const Table &table, const QString &title, const QString &folder, int fileColumn)
{
    QString page = QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"UTF-8\">\n<title>") + escaped(title)
        + QStringLiteral("</title>\n<style>table{border-collapse:collapse}th,td{border:1px solid #999;"
                         "padding:2px 6px;text-align:left}</style>\n</head>\n<body>\n<h1>")
        + escaped(title) + QStringLiteral("</h1>\n<table>\n<tr>");
    for (const QString &h : table.header)
        page += QStringLiteral("<th>") + escaped(h) + QStringLiteral("</th>");
    page += QStringLiteral("</tr>\n");
    for (const Row &row : table.rows)
        page += htmlRow(row, folder, fileColumn);
    page += QStringLiteral("</table>\n</body>\n</html>\n");
    return page.toUtf8();
}

}   // namespace reportFiles
