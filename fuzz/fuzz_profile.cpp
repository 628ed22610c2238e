// Profile files: any bytes parse without harm, and a value written into any file reads
// back as written.
#include "FuzzSupport.h"
#include "settings/Profile.h"

namespace {
// A name the format can carry: one line, no blanks at either end.
QString oneLine(const QByteArray &raw, const char *forbidden)
{
    QString s = QString::fromLatin1(raw).left(40);
    for (const char *f = forbidden; *f; ++f)
        s.remove(QLatin1Char(*f));
    s.remove(QLatin1Char('\r'));
    s.remove(QLatin1Char('\n'));
    return s.trimmed();
}
}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto [fileBytes, rest] = splitAtNul(fuzzBytes(data, size));
    ProfileFile file;
    file.loadFromBytes(fileBytes);
    (void)file.value(QStringLiteral("S"), QStringLiteral("k"));

    const QList<QByteArray> parts = rest.split('\x01');
    QString section = oneLine(parts.value(0), "[]");
    QString key = oneLine(parts.value(1), "=;[");
    // Any one-line value, blanks and quotes at its ends included.
    QString value = QString::fromLatin1(parts.value(2)).left(40).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    if (size % 2)
        value.prepend(QStringLiteral("日本"));
    if (section.isEmpty() || key.isEmpty() || section.contains(QLatin1Char('\t')) || key.contains(QLatin1Char('\t')))
        return 0;
    file.setValue(section, key, value);
    ProfileFile again;
    again.loadFromBytes(file.serialize());
    FUZZ_CHECK(again.value(section, key) == value);
    // Written again, the file stays as it is; only a stray byte next to a character that
    // code page 932 spells twice may pair up differently (see fuzz_codepage).
    const bool mayRespell = fileBytes.contains('\xED') || fileBytes.contains('\xEE') || fileBytes.contains('\x87')
        || fileBytes.contains('\xFA');
    if (!mayRespell)
        FUZZ_CHECK(again.serialize() == file.serialize());
    return 0;
}
