// The preview's link rewriting on large pages: the three passes over a generated 4 MB
// page with 40,000 links and an 8 MB page with 80,000, against a plain decode of the same
// bytes from code page 932, and the whole preview button (rewrite, the character set
// declared, encode, atomic write of the preview file) beside the rewrite alone. The rewriting is one walk per pass, so
// the larger page costs about twice the smaller, and the whole rewrite stays within a small multiple of the decode.
// Prints the figures; exits with 1 when a limit is exceeded.

#include "common/TextCodec.h"
#include "editor/LinkRewrite.h"
#include "editor/PageFiles.h"
#include "editor/PreviewCharset.h"

#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
constexpr double scalingLimit = 2.2;
constexpr double decodeLimit = 3.0;
const QString folder = QStringLiteral("C:/Users/someone/Documents/site/");

QString linkMarkup(int i)
{
    switch (i % 6) {
    case 0: return QStringLiteral("<a href=\"page%1.htm\">リンク%1</a>").arg(i);
    case 1: return QStringLiteral("<img src=\"img/p%1.gif\" alt=\"画像\">").arg(i);
    case 2: return QStringLiteral("<a HREF=\"http://example.com/%1\">外部</a>").arg(i);
    case 3: return QStringLiteral("<td background=\"bg%1.gif\">").arg(i);
    case 4: return QStringLiteral("<a href=\"mailto:a%1@example.jp\">").arg(i);
    default: return QStringLiteral("<a href=\"https://example.jp/%1\">").arg(i);
    }
}

// A code page 932 page of about `bytes` bytes with `links` links, each on a line padded
// with Japanese prose to an equal share of the size.
QByteArray generatePage(qsizetype bytes, int links)
{
    static const QString prose = QStringLiteral("日本語の文章がここに続きます。");
    const qsizetype share = bytes / links;
    QByteArray page;
    page.reserve(bytes + links);
    for (int i = 0; i < links; ++i) {
        const QByteArray link = encodeWithReferences(linkMarkup(i), TextEncoding::Cp932);
        qsizetype room = share - link.size() - 2;
        QString filler;
        for (qsizetype k = 0; room >= 2; ++k, room -= 2)
            filler += prose.at(k % prose.size());
        if (room == 1)
            filler += QLatin1Char(' ');
        page += link + encodeWithReferences(filler, TextEncoding::Cp932) + "\r\n";
    }
    return page;
}

double elapsedMs(const std::function<void()> &f)
{
    QElapsedTimer timer;
    timer.start();
    f();
    return double(timer.nsecsElapsed()) / 1e6;
}

// The best of `runs` timings of `f`, in milliseconds: on a shared machine the fastest run
// is the one least disturbed by others.
double bestMs(int runs, const std::function<void()> &f)
{
    double best = elapsedMs(f);
    for (int i = 1; i < runs; ++i)
        best = std::min(best, elapsedMs(f));
    return best;
}

struct Page {
    QByteArray bytes;
    QString text;
    int links = 0;
    double decode = -1;
    double rewrite = -1;
    double encode = -1;
    double charset = -1;   // the character set declared in the rewritten text
    double button = -1;    // the whole preview button: rewrite, character set, encode, atomic write
};

Page makePage(qsizetype bytes, int links)
{
    Page page;
    page.bytes = generatePage(bytes, links);
    page.text = decodeText(page.bytes, TextEncoding::Cp932);
    page.links = links;
    return page;
}

void keepBest(double &best, double ms)
{
    best = best < 0 ? ms : std::min(best, ms);
}

// Times every page once per round, the pages taking turns, and keeps each page's best
// times, so that a burst of load elsewhere falls on all pages alike.
void measure(std::vector<Page> &pages, int rounds)
{
    const QTemporaryDir dir;
    const QString previewPath = dir.filePath(QStringLiteral("temp1.htm"));
    for (int round = 0; round < rounds; ++round) {
        for (Page &page : pages) {
            QString rewritten;
            keepBest(page.decode, elapsedMs([&] {
                         volatile qsizetype n = decodeText(page.bytes, TextEncoding::Cp932).size();
                         (void)n;
                     }));
            keepBest(page.rewrite, elapsedMs([&] { rewritten = linkRewrite::previewText(page.text, folder); }));
            // The rewritten text is handed over, as the button hands it over.
            keepBest(page.charset, elapsedMs([&] {
                         rewritten = previewCharset::withDeclaredCharset(std::move(rewritten), TextEncoding::Cp932);
                     }));
            keepBest(page.encode, elapsedMs([&] {
                         volatile qsizetype n = encodeWithReferences(rewritten, TextEncoding::Cp932).size();
                         (void)n;
                     }));
            keepBest(page.button, elapsedMs([&] {
                         QString error;
                         // The generated page declares no character set: the declaration
                         // goes in at its very start.
                         const QString preview = previewCharset::withDeclaredCharset(
                             linkRewrite::previewText(page.text, folder), TextEncoding::Cp932);
                         if (!pageFiles::writePreviewText(previewPath, preview, TextEncoding::Cp932, &error))
                             std::abort();
                     }));
        }
    }
    for (const Page &page : pages)
        std::printf("%5.1f MB, %6d links (%lld characters): decode %7.2f ms, rewrite %7.2f ms (%.2f x decode), "
                    "character set declared %5.2f ms, encode for the file %7.2f ms; the whole button (rewrite, "
                    "character set, encode, atomic write) %7.2f ms\n",
                    double(page.bytes.size()) / (1 << 20), page.links, static_cast<long long>(page.text.size()),
                    page.decode, page.rewrite, page.rewrite / page.decode, page.charset, page.encode, page.button);
}

// A page made only of keywords with no double quote anywhere: every keyword is placed by
// an equals sign found after the quote search has run to the end once. A pass that
// searched the rest of the text again for each keyword would take quadratic time here:
// twice the text, four times the cost, and minutes for a few megabytes. For information:
// the output is three times the input, so the figure also carries the cost of fresh memory.
void measureUnquoted()
{
    const QString unit = QStringLiteral("<img src=a.gif> ");
    double previous = 0;
    for (const qsizetype characters : {qsizetype(1) << 20, qsizetype(2) << 20}) {
        QString text;
        text.reserve(characters + unit.size());
        while (text.size() < characters)
            text += unit;
        const double ms = bestMs(9, [&] {
            volatile qsizetype n = linkRewrite::previewText(text, folder).size();
            (void)n;
        });
        std::printf("unquoted keywords, %lld characters: rewrite %7.2f ms", static_cast<long long>(text.size()), ms);
        if (previous > 0)
            std::printf(" (%.2f x the half size)", ms / previous);
        std::printf("\n");
        previous = ms;
    }
}
}   // namespace

int main()
{
    std::vector<Page> pages{makePage(4 << 20, 40000), makePage(8 << 20, 80000)};
    measure(pages, 21);
    const Page &small = pages[0];
    const Page &large = pages[1];
    const double scaling = large.rewrite / small.rewrite;
    const double versusDecode = std::max(small.rewrite / small.decode, large.rewrite / large.decode);
    measureUnquoted();
    const bool ok = scaling <= scalingLimit && versusDecode <= decodeLimit;
    std::printf("rewrite 8 MB / 4 MB: %.2f x (limit %.1f)\n", scaling, scalingLimit);
    std::printf("rewrite / decode, worse of the two: %.2f x (limit %.1f)\n", versusDecode, decodeLimit);
    std::printf("%s\n", ok ? "within limits" : "LIMIT EXCEEDED");
    return ok ? 0 : 1;
}
