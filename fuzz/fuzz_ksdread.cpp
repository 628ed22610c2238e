// The definition reader on raw bytes. Any bytes read without harm, with no more pages
// than the count allows. A definition written by hand from the input's lines (each line
// a page's file name, in code page 932 or UTF-8, the count exact) reads back every page,
// in order, with the name as the profile rules give it: blanks around it dropped and a
// pair of quotes around it removed.
#include "FuzzSupport.h"
#include "common/TextCodec.h"
#include "site/SiteFile.h"

#include <QFile>
#include <QTemporaryDir>

using namespace ksd;

namespace {
QString writeBytes(const QByteArray &bytes)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("read.ksd"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    return path;
}

// A profile value as reading gives it: blanks (space and tab) at both ends dropped, then
// one pair of matching quotes removed.
QString profileValue(QString s)
{
    while (!s.isEmpty() && (s.front() == QLatin1Char(' ') || s.front() == QLatin1Char('\t')))
        s.remove(0, 1);
    while (!s.isEmpty() && (s.back() == QLatin1Char(' ') || s.back() == QLatin1Char('\t')))
        s.chop(1);
    if (s.size() >= 2 && (s.front() == QLatin1Char('"') || s.front() == QLatin1Char('\'')) && s.back() == s.front())
        s = s.sliced(1, s.size() - 2);
    return s;
}
}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const Definition any = readDefinition(writeBytes(bytes));
    FUZZ_CHECK(any.stop == ReadStop::Listed || any.pages.isEmpty());
    for (const PageEntry &entry : any.pages)
        FUZZ_CHECK(parseEntry(formatEntry(entry)) == entry);

    // The hand-written definition: one page per line of the input.
    const QString text = QString::fromUtf8(bytes);
    QStringList names = text.split(QLatin1Char('\n'));
    names.removeIf([](const QString &s) { return s.contains(QLatin1Char('\r')) || s.contains(QChar(0)); });
    if (names.size() > 200)
        names.resize(200);
    QString file
        = QStringLiteral("[KSD INF]\r\nVER=") + versionText() + QStringLiteral("\r\nPNM=site\r\n[HTML LIST]\r\n");
    file += QStringLiteral("CNT=") + QString::number(names.size()) + QStringLiteral("\r\n");
    QList<PageEntry> expected;
    for (qsizetype i = 0; i < names.size(); ++i) {
        file += entryKey(i + 1) + QStringLiteral("=0*/site/*") + names.at(i) + QStringLiteral("\r\n");
        const QString name = profileValue(QStringLiteral("0*/site/*") + names.at(i));
        if (const std::optional<PageEntry> entry = parseEntry(name))
            expected << *entry;
    }
    const std::optional<QByteArray> cp932 = encodeStrict(file, TextEncoding::Cp932);
    const QByteArray written = (size % 2 && cp932) ? *cp932 : QByteArray("\xEF\xBB\xBF") + file.toUtf8();
    const Definition back = readDefinition(writeBytes(written));
    if (names.isEmpty()) {
        FUZZ_CHECK(back.stop == ReadStop::NoPages);
        return 0;
    }
    FUZZ_CHECK(back.stop == ReadStop::Listed);
    FUZZ_CHECK(back.pages.size() == expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        FUZZ_CHECK(back.pages.at(i).FileName == expected.at(i).FileName && back.pages.at(i).Folder == u"/site/");
    return 0;
}
