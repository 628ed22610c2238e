// The definition file's entries and counts: any value parses without harm, an entry
// formatted from parts parses back into them, and a definition written is read back
// with the same site fields and pages.
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
    auto oneLine = [](QString s) {
        s.remove(QLatin1Char('\r'));
        s.remove(QLatin1Char('\n'));
        s.remove(QLatin1Char('*'));
        return s.trimmed();
    };
    basSystem::SiteInfo site;
    site.Name = oneLine(parts.at(0));
    site.Folder = oneLine(parts.at(1));
    QList<PageEntry> pages;
    for (qsizetype i = 2; i + 1 < parts.size() && pages.size() < 50; i += 2)
        pages.append(PageEntry{i % 4 == 0, oneLine(parts.at(i)), oneLine(parts.at(i + 1))});
    if (pages.isEmpty())
        return 0;

    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz.ksd"));
    QFile::remove(path);
    FUZZ_CHECK(writeDefinition(path, site, pages));
    const Definition back = readDefinition(path);
    FUZZ_CHECK(back.stop == ReadStop::Listed);
    FUZZ_CHECK(back.site.Name == site.Name && back.site.Folder == site.Folder);
    FUZZ_CHECK(back.pages == pages);   // an entry without folder and file name is no blank entry
    return 0;
}
