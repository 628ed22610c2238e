// The preview's link passes: with an empty folder the text comes back unchanged; the
// streaming pass gives what a plain reading of the rules gives, whatever the pieces it
// is fed in; the preview is the three passes one after the other.
#include "FuzzSupport.h"
#include "editor/LinkRewrite.h"

using namespace linkRewrite;

namespace {
QString streamed(const QString &text, QLatin1StringView keyword, const QString &folder, qsizetype pieceSize)
{
    QString out;
    LinkPass pass(keyword, folder, [&out](QStringView piece) { out += piece; });
    for (qsizetype at = 0; at < text.size(); at += pieceSize)
        pass.feed(QStringView(text).sliced(at, std::min(pieceSize, text.size() - at)));
    pass.finish();
    return out;
}
}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto [page, rest] = splitAtNul(fuzzBytes(data, size));
    const QString text = QString::fromLatin1(page);
    const QString folder = QString::fromLatin1(rest.left(24));
    const qsizetype pieceSize = 1 + (size % 17);

    for (QLatin1StringView keyword : {hrefKeyword, backgroundKeyword, srcKeyword}) {
        FUZZ_CHECK(rewritePass(text, keyword, QString()) == text);
        const QString expected = rewritePassReference(text, keyword, folder);
        FUZZ_CHECK(rewritePass(text, keyword, folder) == expected);
        FUZZ_CHECK(streamed(text, keyword, folder, pieceSize) == expected);
    }
    const QString chained = rewritePass(rewritePass(rewritePass(text, hrefKeyword, folder), backgroundKeyword, folder),
                                        srcKeyword, folder);
    FUZZ_CHECK(previewText(text, folder) == chained);
    return 0;
}
