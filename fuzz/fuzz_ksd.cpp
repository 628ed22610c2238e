// The definition file's entries and counts: any value parses without harm, an entry
// formatted from parts parses back into them, and a definition is written only when it
// reads back with the same site fields and pages. Names are taken as they come: a name
// the file cannot hold (an asterisk in a folder, a line break) must be refused, any other
// must be written.
#include "FuzzSupport.h"
#include "site/SiteFile.h"

#include <QTemporaryDir>

using namespace ksd;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(fuzzBytes(data, size));
    (void)pageCountOf(text);
    (void)leadingNumber(text);
    if (const std::optional<PageEntry> entry = parseEntry(text))
        FUZZ_CHECK(parseEntry(formatEntry(*entry)) == entry);

    const QStringList parts = text.split(QLatin1Char('|'));
    if (parts.size() < 4)
        return 0;
    auto hasLineBreak = [](const QString &s) { return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n')); };
    basSystem::SiteInfo site;
    site.Name = parts.at(0);
    site.Folder = parts.at(1);
    bool holdable = !hasLineBreak(site.Name) && !hasLineBreak(site.Folder);
    QList<PageEntry> pages;
    for (qsizetype i = 2; i + 1 < parts.size() && pages.size() < 50; i += 2) {
        pages.append(PageEntry{i % 4 == 0, parts.at(i), parts.at(i + 1)});
        holdable = holdable && !parts.at(i).contains(QLatin1Char('*')) && !hasLineBreak(parts.at(i))
            && !hasLineBreak(parts.at(i + 1));
    }
    if (pages.isEmpty())
        return 0;

    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz.ksd"));
    QFile::remove(path);
    const bool written = writeDefinition(path, site, pages);
    FUZZ_CHECK(written == holdable);
    if (!written) {
        FUZZ_CHECK(!QFile::exists(path));
        return 0;
    }
    const Definition back = readDefinition(path);
    FUZZ_CHECK(back.stop == ReadStop::Listed);
    FUZZ_CHECK(back.site.Name == site.Name && back.site.Folder == site.Folder);
    FUZZ_CHECK(back.pages == pages);   // an entry without folder and file name is no blank entry
    return 0;
}
