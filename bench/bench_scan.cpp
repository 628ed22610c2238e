// Cost of scanning a page (reading, code page, CR LF text, title and links) against the
// cost of only decoding its bytes, and how the scan grows with the page's size, on
// ordinary pages and on pages made to trip a search that starts over at every step. The
// 4 MB ratio is taken again pinned to one core: a large page's hash runs on a second
// thread, which a busy machine has no idle core for.

#include "common/TextCodec.h"
#include "tree/PageScan.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <sched.h>

namespace {

// A Shift-JIS page of about `bytes` bytes holding `links` links, spread through Japanese text.
QByteArray makePage(qsizetype bytes, int links)
{
    QString text = QStringLiteral("<HTML>\r\n<HEAD><TITLE>ベンチマーク用のページ</TITLE></HEAD>\r\n<BODY>\r\n");
    const QString filler = QStringLiteral("日本語の文章がここに続きます。Some English words, too. ");
    const qsizetype perLink = bytes / links;
    QByteArray out = encodeStrict(text, TextEncoding::Cp932).value();
    for (int i = 1; i <= links; ++i) {
        QString line = QStringLiteral("<P><A HREF=\"dir%1/page%2.htm\">ページ %2</A> ").arg(i % 17).arg(i);
        QByteArray encoded = encodeStrict(line, TextEncoding::Cp932).value();
        while (encoded.size() + 2 < perLink)
            encoded += encodeStrict(filler, TextEncoding::Cp932).value();
        encoded.truncate(perLink - 2);
        // Never end inside a double-byte character: drop a dangling lead byte.
        qsizetype k = 0;
        while (k < encoded.size()) {
            const uchar c = uchar(encoded.at(k));
            const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
            if (lead && k + 1 >= encoded.size()) {
                encoded.truncate(k);
                break;
            }
            k += lead ? 2 : 1;
        }
        out += encoded;
        out += "\r\n";
    }
    out += "</BODY>\r\n</HTML>\r\n";
    return out;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The best of `runs` timings of `f`, in milliseconds.
double bestOf(int runs, const std::function<void()> &f)
{
    double best = 1e300;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

struct Figures {
    double decodeMs;
    double scanMs;
    double ratio;        // scan / decode, the median of the rounds' own ratios
    double scanFreeMs;   // freeing the scan's result afterwards (its text and link strings)
    qsizetype links;
};

// The time `make` takes to hand its result over, in milliseconds; the result is freed
// after the clock stops, and `freeMs`, when given, receives the time that takes. Opening
// a page waits for its scan; its text and links are freed only when it is closed.
template<typename Make>
double timeKept(Make make, double *freeMs = nullptr)
{
    QElapsedTimer t;
    t.start();
    double ms = 0;
    {
        const auto result = make();
        ms = t.nsecsElapsed() / 1e6;
        t.restart();
    }
    if (freeMs)
        *freeMs = t.nsecsElapsed() / 1e6;
    return ms;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Decode and scan take turns, round by round, so that each round's ratio compares two
// runs made side by side.
Figures measure(const QString &path, const QByteArray &bytes, TextEncoding encoding = TextEncoding::Cp932)
{
    Figures f{};
    std::vector<double> decodes, scans, ratios, frees;
    for (int round = 0; round < 11; ++round) {
        decodes.push_back(timeKept([&] { return decodeText(bytes, encoding); }));
        double freeMs = 0;
        scans.push_back(timeKept(
            [&] {
                PageScan scan = scanPageFile(path);
                f.links = scan.Links.size() - 1;
                return scan;
            },
            &freeMs));
        frees.push_back(freeMs);
        ratios.push_back(scans.back() / decodes.back());
    }
    f.decodeMs = median(decodes);
    f.scanMs = median(scans);
    f.ratio = median(ratios);
    f.scanFreeMs = median(frees);
    return f;
}

// Time of scanLinks alone on a decoded text.
double linksMs(const QString &text)
{
    return bestOf(7, [&] {
        if (scanLinks(text).isEmpty())
            std::abort();
    });
}

void adversarial(const char *name, const std::function<QString(qsizetype)> &make)
{
    const QString small = make(2 * 1024 * 1024);
    const QString large = make(4 * 1024 * 1024);
    const double a = linksMs(small);
    const double b = linksMs(large);
    std::printf("  %-44s 2M chars %8.2f ms   4M chars %8.2f ms   ratio %.2f\n", name, a, b, b / a);
}

QString repeated(const QString &piece, qsizetype size)
{
    QString s;
    s.reserve(size + piece.size());
    while (s.size() < size)
        s += piece;
    return s;
}

// Keeps this thread and the threads it starts from now on to the first core it may use.
bool pinToOneCore()
{
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof(allowed), &allowed) != 0)
        return false;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (!CPU_ISSET(cpu, &allowed))
            continue;
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(cpu, &one);
        return sched_setaffinity(0, sizeof(one), &one) == 0;
    }
    return false;
}

}   // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QByteArray page4 = makePage(4 * 1024 * 1024, 40000);
    const QByteArray page8 = makePage(8 * 1024 * 1024, 80000);
    const QString path4 = dir.filePath(QStringLiteral("page4.htm"));
    const QString path8 = dir.filePath(QStringLiteral("page8.htm"));
    // The same page in UTF-8: its code page is settled only by reading it to the end.
    const QByteArray page4u = decodeText(page4, TextEncoding::Cp932).toUtf8();
    const QString path4u = dir.filePath(QStringLiteral("page4u.htm"));
    if (!writeFile(path4, page4) || !writeFile(path8, page8) || !writeFile(path4u, page4u))
        return 1;

    const Figures f4 = measure(path4, page4);
    const Figures f8 = measure(path8, page8);
    const Figures f4u = measure(path4u, page4u, TextEncoding::Utf8);
    std::printf("page scan (median of 11 rounds, decode and scan taking turns; scan = read file + detect code page + "
                "decode + CR LF + title + links + hash; each result freed after its time is taken)\n");
    std::printf("  4 MB page (%lld bytes, %lld links): decode %7.2f ms, scan %7.2f ms, scan/decode %.2f (goal <= 1.5); "
                "freeing the scan's result %.2f ms\n",
                qlonglong(page4.size()), qlonglong(f4.links), f4.decodeMs, f4.scanMs, f4.ratio, f4.scanFreeMs);
    std::printf("  8 MB page (%lld bytes, %lld links): decode %7.2f ms, scan %7.2f ms, scan/decode %.2f\n",
                qlonglong(page8.size()), qlonglong(f8.links), f8.decodeMs, f8.scanMs, f8.ratio);
    std::printf("  scan 8 MB / scan 4 MB: %.2f (goal <= 2.2)\n", f8.scanMs / f4.scanMs);
    std::printf("  4 MB page in UTF-8 (%lld bytes): decode %7.2f ms, scan %7.2f ms, scan/decode %.2f\n",
                qlonglong(page4u.size()), f4u.decodeMs, f4u.scanMs, f4u.ratio);
    // A large page's hash runs on a second thread; on a busy machine it has no idle core.
    if (pinToOneCore()) {
        const Figures pinned = measure(path4, page4);
        std::printf("  4 MB page pinned to one core (the hash sharing it, as on a busy machine): decode %7.2f ms, "
                    "scan %7.2f ms, scan/decode %.2f\n",
                    pinned.decodeMs, pinned.scanMs, pinned.ratio);
    }

    std::printf("link walk on pages that defeat a restarting search (time should double with size)\n");
    adversarial("HREF without any quote, over and over",
                [](qsizetype n) { return repeated(QStringLiteral(" HREF=x"), n); });
    adversarial("one opening quote never closed", [](qsizetype n) {
        QString page = QStringLiteral("<a HREF=\"");
        page += repeated(QStringLiteral("abc "), n);
        return page;
    });
    adversarial("many HREFs before one lone quote", [](qsizetype n) {
        QString page = repeated(QStringLiteral(" HREF"), n);
        page += QLatin1Char('"');
        return page;
    });
    adversarial("quotes before a final quote-less HREF", [](qsizetype n) {
        QString page = repeated(QStringLiteral("a\"b"), n / 2);
        page += QStringLiteral(" HREF=");
        page += repeated(QStringLiteral("x"), n / 2);
        return page;
    });
    adversarial("ordinary anchors",
                [](qsizetype n) { return repeated(QStringLiteral("<a href=\"page.htm\">text</a>\r\n"), n); });
    return 0;
}
