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
    const TextEncoding enc = detectEncoding(bytes, size % 2 ? DetectMode::Page : DetectMode::Plain);
    const QString text = decodeText(bytes, enc);
    (void)splitLines(text);
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
