// Code page detection and decoding: any bytes decode, and encode back to the same bytes:
// undecodable bytes are kept; only the few characters code page 932 holds twice are
// written in their first spelling, and then the text still round-trips.
#include "FuzzSupport.h"
#include "common/TextCodec.h"
#include "common/TextFile.h"

#include <algorithm>

namespace {
// Bytes that may begin a second spelling of a character (NEC row 13, the NEC-selected
// and the IBM extension rows); such texts are compared as texts, not as bytes.
bool mayHoldDuplicateSpellings(const QByteArray &b)
{
    for (char c : b) {
        const uchar u = uchar(c);
        if (u == 0x87 || u == 0xED || u == 0xEE || u == 0xFA)
            return true;
    }
    return false;
}
}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    // The one-pass UTF-8 decoding accepts exactly the bytes Qt decodes into a text that
    // encodes back to the same bytes, and gives that text.
    const std::optional<QString> utf8 = decodeIfValidUtf8(bytes);
    const QString viaQt = decodeText(bytes, TextEncoding::Utf8);
    FUZZ_CHECK(utf8.has_value() == (viaQt.toUtf8() == bytes));
    FUZZ_CHECK(!utf8 || *utf8 == viaQt);
    const DetectMode mode = size % 2 ? DetectMode::Page : DetectMode::Plain;
    const TextEncoding enc = detectEncoding(bytes, mode);
    const QString text = decodeText(bytes, enc);
    TextEncoding detected = enc == TextEncoding::Cp932 ? TextEncoding::Utf8 : TextEncoding::Cp932;
    FUZZ_CHECK(decodeDetected(bytes, mode, detected) == text && detected == enc);
    (void)splitLines(text);
    // A line count read from the bytes means the text's lines all end in CR LF, that many.
    if (const std::optional<qsizetype> count = crLfLineCount(bytes)) {
        qsizetype lines = 0;
        FUZZ_CHECK(withCrLfBreaks(text, true, nullptr, &lines).constData() == text.constData() && lines == *count);
    }
    const QByteArray again = encodeWithReferences(text, enc);
    if (enc != TextEncoding::Cp932) {
        FUZZ_CHECK(again == bytes);
        return 0;
    }
    if (!mayHoldDuplicateSpellings(bytes))
        FUZZ_CHECK(again == bytes);
    // A kept stray byte may pair up with a character written in its other spelling.
    const bool keptBytes = std::any_of(text.cbegin(), text.cend(), isKeptByte);
    if (!keptBytes)
        FUZZ_CHECK(decodeText(again, TextEncoding::Cp932) == text);
    return 0;
}
