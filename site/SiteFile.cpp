#include "site/SiteFile.h"
#include "settings/Profile.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <limits>

namespace ksd {

const QString infoSection = QStringLiteral("KSD INF");
const QString listSection = QStringLiteral("HTML LIST");
const QString versionPrefix = QStringLiteral("Velmoran HTML Editor Ver ");

namespace {
bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The only blanks a number may have around it (and, in the page count, anywhere): spaces
// and tabs. Other white space, a full-width space among them, is no blank but text.
bool isNumberBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QStringView withoutNumberBlanks(QStringView text)
{
    while (!text.isEmpty() && isNumberBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isNumberBlank(text.back()))
        text.chop(1);
    return text;
}

// A sign, then ASCII digits and nothing else.
bool isWholeNumber(QStringView text)
{
    if (!text.isEmpty() && (text.front() == QLatin1Char('+') || text.front() == QLatin1Char('-')))
        text = text.sliced(1);
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), isAsciiDigit);
}

// An entry's open flag reads as a whole number between blanks; any other text counts as 0.
bool flagIsOpen(QStringView flag)
{
    flag = withoutNumberBlanks(flag);
    return isWholeNumber(flag) && std::any_of(flag.begin(), flag.end(), [](QChar c) {
               return c >= QLatin1Char('1') && c <= QLatin1Char('9');
           });
}

// The entry number a key stands for when it is written the way entryKey writes it.
std::optional<qint64> entryNumberOfKey(const QString &key)
{
    if (key.size() < 3 || key.size() > 18 || !std::all_of(key.begin(), key.end(), isAsciiDigit))
        return std::nullopt;
    if (key.size() > 3 && key.front() == QLatin1Char('0'))
        return std::nullopt;
    const qint64 n = key.toLongLong();
    return n >= 1 ? std::optional<qint64>(n) : std::nullopt;
}
}   // namespace

namespace {
// True when the file's text, read as a definition, gives back `site` and `pages`.
bool readsBack(const ProfileFile &written, const basSystem::SiteInfo &site, const QList<PageEntry> &pages)
{
    ProfileFile file;
    file.loadFromBytes(written.serialize(), written.path());
    auto info = [&](const char *key) { return file.value(infoSection, QLatin1String(key)).value_or(QString()); };
    if (info("VER") != versionText() || info("PNM") != site.Name || info("DIR") != site.Folder
        || info("URL") != site.URL)
        return false;
    if (pageCountOf(file.value(listSection, QStringLiteral("CNT")).value_or(QString())) != pages.size())
        return false;
    for (qsizetype i = 0; i < pages.size(); ++i)
        if (parseEntry(file.value(listSection, entryKey(i + 1)).value_or(QString())) != pages.at(i))
            return false;
    return true;
}
}   // namespace

QString versionText()
{
    return versionPrefix + QStringLiteral("0.0");
}

bool isDefinitionVersion(const QString &version)
{
    return version.contains(versionPrefix, Qt::CaseSensitive);
}

QString entryKey(qint64 i)
{
    return QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
}

double leadingNumber(QStringView text)
{
    // Gather the number's characters, blanks left out: sign, digits, a decimal point with
    // more digits, and an exponent that counts only when digits follow it.
    QByteArray number;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isNumberBlank(text.at(i)))
            ++i;
    };
    auto digits = [&] {
        bool any = false;
        for (skipBlanks(); i < n && isAsciiDigit(text.at(i)); skipBlanks()) {
            number += char(text.at(i++).unicode());
            any = true;
        }
        return any;
    };
    skipBlanks();
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        number += char(text.at(i++).unicode());
    bool any = digits();
    if (i < n && text.at(i) == QLatin1Char('.')) {
        number += '.';
        ++i;
        any = digits() || any;
    }
    if (!any)
        return 0;
    skipBlanks();
    if (i < n && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        const qsizetype mark = number.size();
        number += 'e';
        ++i;
        skipBlanks();
        if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
            number += char(text.at(i++).unicode());
        if (!digits())
            number.truncate(mark);
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (ok)
        return value;
    // Out of the double range: an overflow is as large as it gets, an underflow is 0.
    const bool negative = number.startsWith('-');
    if (number.contains("e-"))
        return 0;
    return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
}

qint64 pageCountOf(QStringView cnt)
{
    const double rounded = std::nearbyint(leadingNumber(cnt));   // halves to the even neighbour
    if (std::isnan(rounded))
        return 0;
    constexpr double limit = 9.0e18;
    return qint64(std::clamp(rounded, -limit, limit));
}

std::optional<PageEntry> parseEntry(const QString &value)
{
    if (value.trimmed().isEmpty())
        return std::nullopt;
    const qsizetype p1 = value.indexOf(QLatin1Char('*'));
    const qsizetype p2 = p1 < 0 ? -1 : value.indexOf(QLatin1Char('*'), p1 + 1);
    if (p2 < 0)
        return std::nullopt;
    PageEntry entry;
    entry.open = flagIsOpen(QStringView(value).first(p1));
    entry.Folder = value.sliced(p1 + 1, p2 - p1 - 1);
    entry.FileName = value.sliced(p2 + 1);
    return entry;
}

QString formatEntry(const PageEntry &entry)
{
    return (entry.open ? QStringLiteral("-1") : QStringLiteral("0")) + QLatin1Char('*') + entry.Folder
        + QLatin1Char('*') + entry.FileName;
}

bool entryCarries(const QString &folder, const QString &fileName)
{
    return !folder.contains(QLatin1Char('*')) && infoCarries(folder) && infoCarries(fileName);
}

bool infoCarries(const QString &value)
{
    return !value.contains(QLatin1Char('\r')) && !value.contains(QLatin1Char('\n'));
}

QList<qint64> listedEntries(const ProfileFile &file, qint64 count)
{
    QList<qint64> numbers;
    for (const QString &key : file.keys(listSection))
#ifdef PAGEKILN_MUTANT_KSD_LAST_ENTRY   // a planted fault for the fuzz oracles: the last counted entry is lost
        if (const auto n = entryNumberOfKey(key); n && *n < count)
#else
        if (const auto n = entryNumberOfKey(key); n && *n <= count)
#endif
            numbers << *n;
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

Definition readDefinition(const QString &path)
{
    Definition d;
    if (!QFileInfo(path).isFile())
        return d;
    ProfileFile file;
    if (!file.load(path, &d.error, maxDefinitionBytes)) {
        d.stop = ReadStop::Unreadable;
        return d;
    }
    auto info = [&](const QString &key) { return file.value(infoSection, key).value_or(QString()); };
    d.site.Version = info(QStringLiteral("VER"));
    if (!isDefinitionVersion(d.site.Version)) {
        d.stop = ReadStop::NotDefinition;
        return d;
    }
    d.site.Name = info(QStringLiteral("PNM"));
    d.site.Folder = info(QStringLiteral("DIR"));
    d.site.URL = info(QStringLiteral("URL"));
    d.site.FilePath = path;
    const qint64 count = pageCountOf(file.value(listSection, QStringLiteral("CNT")).value_or(QString()));
    if (count == 0) {
        d.stop = ReadStop::NoPages;
        return d;
    }
    for (const qint64 i : listedEntries(file, count))
        if (auto entry = parseEntry(file.value(listSection, entryKey(i)).value_or(QString())))
            d.pages << std::move(*entry);
    d.stop = ReadStop::Listed;
    return d;
}

bool writeDefinition(const QString &path, const basSystem::SiteInfo &site, const QList<PageEntry> &pages,
                     QString *error)
{
    ProfileFile file;
    if (!file.load(path, error, maxDefinitionBytes))
        return false;
    file.setValue(infoSection, QStringLiteral("VER"), versionText());
    file.setValue(infoSection, QStringLiteral("PNM"), site.Name);
    file.setValue(infoSection, QStringLiteral("DIR"), site.Folder);
    file.setValue(infoSection, QStringLiteral("URL"), site.URL);
    file.setValue(listSection, QStringLiteral("CNT"), entryKey(pages.size()));
    for (qsizetype i = 0; i < pages.size(); ++i)
        file.setValue(listSection, entryKey(i + 1), formatEntry(pages.at(i)));
#ifdef PAGEKILN_MUTANT_KSD_NO_READBACK   // a planted fault for the fuzz oracles: no read-back check
    if (false) {
#else
    if (!readsBack(file, site, pages)) {
#endif
        if (error)
            *error = QStringLiteral("a name cannot be held by the definition file");
        return false;
    }
    return file.commit(error);
}

}   // namespace ksd
