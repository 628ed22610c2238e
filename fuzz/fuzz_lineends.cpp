// Line ends: every way the program turns a text into lines (the line splitter, the CR LF
// text a page is kept in, the page scan's CR LF form) agrees with a plain reading one
// character at a time, and the CR LF text survives another round unchanged.
#include "FuzzSupport.h"
#include "common/TextFile.h"
#include "tree/PageScan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromLatin1(fuzzBytes(data, size));
    const QString expected = plainCrLfLines(text);
    FUZZ_CHECK(normalizeToCrLf(text) == expected);
    FUZZ_CHECK(withCrLfLines(text) == expected);
    FUZZ_CHECK(withCrLfLines(expected) == expected);
    const QStringList lines = splitLines(text);
    FUZZ_CHECK(lines.isEmpty() ? expected.isEmpty()
                               : lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n") == expected);
    for (const QString &line : lines)
        FUZZ_CHECK(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
    return 0;
}
