// Line ends: both ways the program turns a text into lines (the line splitter, and the
// CR LF form pages are kept in) agree with a plain reading one character at a time, and
// the CR LF text survives another round unchanged; the breaks counted are the result's.
#include "FuzzSupport.h"
#include "common/TextFile.h"
#include "tree/PageScan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromLatin1(fuzzBytes(data, size));
    const QString expected = plainCrLfLines(text);
    // Both the walk that copies and the one that finds nothing to change count the breaks.
    qsizetype breaks = -1, breaksAgain = -1;
    FUZZ_CHECK(withCrLfBreaks(text, true, nullptr, &breaks) == expected);
    FUZZ_CHECK(withCrLfBreaks(expected, true, nullptr, &breaksAgain) == expected);
    FUZZ_CHECK(breaks == expected.count(QLatin1Char('\n')) && breaksAgain == breaks);
    const QStringList lines = splitLines(text);
    FUZZ_CHECK(lines.isEmpty() ? expected.isEmpty()
                               : lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n") == expected);
    for (const QString &line : lines)
        FUZZ_CHECK(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
    return 0;
}
