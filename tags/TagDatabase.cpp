#include "tags/TagDatabase.h"
#include "common/TextFile.h"

namespace basSystem {

const QString tagDatabaseFileName = QStringLiteral("TagDB.TXT");

bool isBlankTagLine(QStringView line)
{
    for (QChar c : line)
        if (c != QLatin1Char(' '))
            return false;
    return true;
}

std::optional<TagRecord> parseTagLine(QStringView line)
{
    if (isBlankTagLine(line))
        return std::nullopt;
    const qsizetype t1 = line.indexOf(QLatin1Char('\t'));
    if (t1 < 0)
        return std::nullopt;
    const QStringView afterCaption = line.sliced(t1 + 1);
    const qsizetype t2 = afterCaption.indexOf(QLatin1Char('\t'));

    TagRecord tag;
    tag.ButtonCaption = line.first(t1).toString();
    if (t2 < 0) {
        tag.TagText = afterCaption.toString();
        tag.Extra = QStringList{QString()};
    } else {
        tag.TagText = afterCaption.first(t2).toString();
        tag.Extra = QStringList{afterCaption.sliced(t2 + 1).toString()};
    }
    return tag;
}

QList<TagRecord> parseTagDatabase(QStringView text)
{
    QList<TagRecord> table{TagRecord{}};
    forEachLine(text, [&](QStringView line) {
        if (std::optional<TagRecord> tag = parseTagLine(line))
            table.append(std::move(*tag));
#ifdef PAGEKILN_MUTANT_TAGDB_FIRST_ONLY   // a planted fault for the fuzz oracles: only the first tag is kept
        if (table.size() > 2)
            table.resize(2);
#endif
    });
    return table;
}

TagDatabaseLoad readTagDatabase(const QString &path)
{
    TagDatabaseLoad load;
    const TextFileContent content = readTextFile(path, DetectMode::Plain, nullptr, maxTagDatabaseBytes);
    if (!content.ok) {
        load.error = content.error;
        return load;
    }
    load.table = parseTagDatabase(content.text);
    load.ok = true;
    return load;
}

}   // namespace basSystem
