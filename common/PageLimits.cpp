#include "common/PageLimits.h"
#include "common/TextFile.h"

qsizetype pageLineCount(QStringView crLfText)
{
    if (crLfText.isEmpty())
        return 0;
    return lineFeedCount(crLfText) + (crLfText.back() == QLatin1Char('\n') ? 0 : 1);
}

qint64 maxPageFileBytes(qsizetype units, TextEncoding encoding)
{
    // A unit of code page 932 text is at most a reference to a character of the Basic
    // Multilingual Plane ("&#65535;"); a pair outside it, or a line break, takes less a
    // unit. In UTF-8 a unit takes at most three bytes, after a byte-order mark.
    switch (encoding) {
    case TextEncoding::Cp932: return qint64(units) * 8;
    case TextEncoding::Utf8: return qint64(units) * 3;
    case TextEncoding::Utf8Bom: return qint64(units) * 3 + 3;
    }
    return qint64(units) * 8;
}

std::optional<PageExcess> pageExcess(qint64 bytes, qsizetype lines)
{
    if (bytes > maxPageBytes)
        return PageExcess{PageExcess::Measure::Bytes, bytes, maxPageBytes};
    if (lines > maxPageLines)
        return PageExcess{PageExcess::Measure::Lines, lines, maxPageLines};
    return std::nullopt;
}
