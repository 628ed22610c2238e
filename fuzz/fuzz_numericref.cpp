// Saving a page in code page 932: every character the code page holds is written as its
// own bytes, a byte kept from reading as that byte, and every other character (one
// outside the Basic Multilingual Plane as one reference, never two halves) as a decimal
// numeric character reference "&#N;". Checked against a plain encoding one character at
// a time.
#include "FuzzSupport.h"
#include "common/TextCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    // Odd sizes read the bytes as UTF-16, so that lone surrogates and kept bytes occur.
    const QString text = size % 2 ? QString::fromUtf8(bytes)
                                  : QString(reinterpret_cast<const QChar *>(bytes.constData()), bytes.size() / 2);
    QByteArray expected;
    for (qsizetype i = 0; i < text.size();) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const QString one = text.mid(i, pair ? 2 : 1);
        const char32_t cp = pair ? QChar::surrogateToUcs4(one.at(0), one.at(1)) : one.at(0).unicode();
        i += one.size();
        if (!pair && isKeptByte(one.at(0))) {
            expected += char(cp - 0xDC00);
            continue;
        }
        const std::optional<QByteArray> own = pair ? std::nullopt : encodeStrict(one, TextEncoding::Cp932);
        expected += own ? *own : "&#" + QByteArray::number(uint(cp)) + ';';
    }
    FUZZ_CHECK(encodeWithReferences(text, TextEncoding::Cp932) == expected);
    return 0;
}
