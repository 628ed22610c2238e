#pragma once
// Small helpers shared by the fuzz targets.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>

inline QByteArray fuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Splits the input at the first NUL: the part before it and the part after it.
inline std::pair<QByteArray, QByteArray> splitAtNul(const QByteArray &bytes)
{
    const qsizetype cut = bytes.indexOf('\0');
    if (cut < 0)
        return {bytes, QByteArray()};
    return {bytes.left(cut), bytes.mid(cut + 1)};
}

// Stops the run with a message when an invariant does not hold.
#define FUZZ_CHECK(cond) \
    do { \
        if (!(cond)) { \
            std::fprintf(stderr, "invariant failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort(); \
        } \
    } while (0)

// The text's lines each followed by CR LF, read one character at a time: a line ends at
// CR LF, at a lone CR or at a lone LF. The plain reading that the line-end code of the
// program is checked against.
inline QString plainCrLfLines(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            out += QLatin1String("\r\n");
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            out += c;
        }
    }
    if (!out.isEmpty() && !out.endsWith(QLatin1String("\r\n")))
        out += QLatin1String("\r\n");
    return out;
}
