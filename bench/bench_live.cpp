// The live preview on a generated site of 1,000 pages (8 KB of Shift-JIS each, with two
// pictures), opened as the program opens it (1,000 hidden editors), the first page shown:
//
//   reload   from a key press in the page's editor until an HTTP client that waits on the
//            page's reload channel has fetched the page holding the new text, less the
//            typing pause (eight rounds, the pause as the program has it)
//   crawl    a client fetching every page and every picture a page names, in turn, on one
//            connection: first with every file new to the server (each is then watched
//            for changes on disk), then with the page cache cold (the site's files
//            evicted), then warm three times. Besides the requests a second, the
//            requests per second of the processor time that the server and the client
//            used (the window's thread left out), which the other programs on a loaded
//            machine change far less.
//            Meanwhile the window is sent a key every 10 ms, and the time until the key
//            is in the text is taken.
//
// The clients run on a thread of their own and speak HTTP over plain sockets.
//   bench_live [ROUNDS]

#include "BenchSupport.h"
#include "app/basSystem.h"
#include "common/TextCodec.h"
#include "editor/LivePreview.h"
#include "editor/TypingPause.h"
#include "editor/frmChild1.h"
#include "tree/frmTree.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <cstdio>
#include <thread>

namespace {
constexpr int pageCount = 1000;
constexpr qsizetype pageBytes = 8 * 1024;

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray makePage(int n)
{
    QString text = QStringLiteral("<HTML>\r\n<HEAD><TITLE>ページ %1</TITLE>"
                                  "<LINK REL=\"stylesheet\" HREF=\"/site.css\"></HEAD>\r\n<BODY>\r\n"
                                  "<IMG SRC=\"/img/p%1.png\"><IMG SRC=\"img/p%1.gif\">\r\n")
                       .arg(n);
    for (int j = 1; j <= 20; ++j)
        text += QStringLiteral("<P><A HREF=\"page%1.htm\">次のページ %2</A></P>\r\n")
                    .arg((n + j) % pageCount + 1)
                    .arg(j);
    QByteArray bytes = encodeStrict(text, TextEncoding::Cp932).value();
    const QByteArray line = encodeStrict(QStringLiteral("本文の段落です。\r\n"), TextEncoding::Cp932).value();
    while (bytes.size() + line.size() < pageBytes)
        bytes += line;
    return bytes + "</BODY>\r\n</HTML>\r\n";
}

bool generate(const QString &folder)
{
    QDir().mkpath(folder + QStringLiteral("/img"));
    QString ksd = QStringLiteral("[KSD INF]\r\nVER=Velmoran HTML Editor Ver 0.0\r\nPNM=live\r\nDIR=%1/\r\nURL=\r\n"
                                 "[HTML LIST]\r\nCNT=%2\r\n")
                      .arg(folder)
                      .arg(pageCount);
    bool ok = writeFile(folder + QStringLiteral("/site.css"), "body { color: black }\n");
    for (int n = 1; n <= pageCount && ok; ++n) {
        ok = writeFile(folder + QStringLiteral("/page%1.htm").arg(n), makePage(n))
            && writeFile(folder + QStringLiteral("/img/p%1.png").arg(n), QByteArray(2048, char(n)))
            && writeFile(folder + QStringLiteral("/img/p%1.gif").arg(n), QByteArray(1024, char(n)));
        ksd += QStringLiteral("%1=%2*%3/*page%4.htm\r\n")
                   .arg(n, 3, 10, QLatin1Char('0'))
                   .arg(n == 1 ? -1 : 0)
                   .arg(folder)
                   .arg(n);
    }
    return ok && writeFile(folder + QStringLiteral("/site.ksd"), encodeStrict(ksd, TextEncoding::Cp932).value());
}

// Evicts every file of the site from the kernel's page cache; needs no special rights.
void evict(const QString &folder)
{
    QDirIterator files(folder, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const int fd = ::open(QFile::encodeName(files.next()).constData(), O_RDONLY);
        if (fd < 0)
            continue;
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

QString loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).section(QLatin1Char(' '), 0, 2) : QString();
}

// Processor time used so far by this process (both cores counted), or by the calling
// thread alone, in seconds.
double processorSeconds(clockid_t clock)
{
    timespec t{};
    ::clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Processor time of every thread but the window's: the server's and the client's.
double servingSeconds()
{
    return processorSeconds(CLOCK_PROCESS_CPUTIME_ID) - processorSeconds(CLOCK_THREAD_CPUTIME_ID);
}

// A small HTTP/1.1 client on one kept-alive connection, blocking, for the client thread.
class Client
{
public:
    Client(quint16 port, QByteArray cookie) : mPort(port), mCookie(std::move(cookie)) { }

    // The body of `target`, or nothing when the answer was not 200.
    QByteArray get(const QByteArray &target)
    {
        if (mSocket.state() != QAbstractSocket::ConnectedState) {
            mSocket.connectToHost(QHostAddress::LocalHost, mPort);
            mSocket.waitForConnected(5000);
        }
        mSocket.write(request(target));
        QByteArray head;
        while (!head.contains("\r\n\r\n") && mSocket.waitForReadyRead(10000))
            head += mSocket.readAll();
        const qsizetype end = head.indexOf("\r\n\r\n") + 4;
        QByteArray body = head.sliced(end);
        static const QRegularExpression length(QStringLiteral("Content-Length: (\\d+)"),
                                               QRegularExpression::CaseInsensitiveOption);
        const qsizetype size = length.match(QString::fromLatin1(head.first(end))).captured(1).toLongLong();
        while (body.size() < size && mSocket.waitForReadyRead(10000))
            body += mSocket.readAll();
        ++requests;
        return head.startsWith("HTTP/1.1 200") ? body : QByteArray();
    }

    // Opens `page`'s reload channel as served at `generation`, and waits until it says
    // "reload"; false when it never did.
    bool waitForReload(const QByteArray &page, const QByteArray &generation, std::atomic<bool> &listening)
    {
        QTcpSocket channel;
        channel.connectToHost(QHostAddress::LocalHost, mPort);
        channel.waitForConnected(5000);
        channel.write(request("/__pagekiln/events?v=" + generation + "&page=" + page.toPercentEncoding()));
        QByteArray heard;
        while (!heard.contains("retry:") && channel.waitForReadyRead(10000))
            heard += channel.readAll();
        listening = true;
        while (!heard.contains("event: reload") && channel.waitForReadyRead(30000))
            heard += channel.readAll();
        return heard.contains("event: reload");
    }

    int requests = 0;

private:
    QByteArray request(const QByteArray &target) const
    {
        return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(mPort) + "\r\nCookie: " + mCookie
            + "\r\n\r\n";
    }

    quint16 mPort;
    QByteArray mCookie;
    QTcpSocket mSocket;
};

QByteArray servedGeneration(const QByteArray &page)
{
    static const QRegularExpression generation(QStringLiteral(",v=(\\d+),"));
    return generation.match(QString::fromLatin1(page)).captured(1).toLatin1();
}

void typeKey(QWidget *box, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, text);
    QCoreApplication::sendEvent(box, &press);
}

// Rounds of: a key press, the pause, until the client has the new text.
void measureReload(frmChild1 *editor, quint16 port, const QByteArray &cookie, int rounds)
{
    QList<double> beyond;
    for (int round = 1; round <= rounds; ++round) {
        const QString marker = QStringLiteral("k%1z").arg(round);
        std::atomic<bool> listening = false;
        std::atomic<bool> done = false;
        QElapsedTimer sinceKey;
        double fetchedAt = -1;
        std::thread client([&] {
            Client c(port, cookie);
            const QByteArray generation = servedGeneration(c.get("/page1.htm"));
            if (c.waitForReload("/page1.htm", generation, listening) && c.get("/page1.htm").contains(marker.toLatin1()))
                fetchedAt = msSince(sinceKey);
            done = true;
        });
        while (!listening)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        sinceKey.start();
        editor->txtEdit()->moveCursor(QTextCursor::End);
        for (const QChar c : marker)
            typeKey(editor->txtEdit(), QString(c));
        while (!done)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        client.join();
        if (fetchedAt >= 0)
            beyond << fetchedAt - TypingPause::delay();
    }
    std::printf("reload: key press to the new text fetched, beyond the %d ms pause, %lld of %d rounds: "
                "median %.1f ms, worst %.1f ms (goal < 300); load average %s\n",
                TypingPause::delay(), qlonglong(beyond.size()), rounds, percentile(beyond, 0.5),
                percentile(beyond, 1.0), qPrintable(loadAverage()));
}

// The crawler on its thread; the window is sent a key every 10 ms meanwhile.
void measureCrawl(frmChild1 *editor, quint16 port, const QByteArray &cookie, const char *cache)
{
    std::atomic<bool> done = false;
    double seconds = 0;
    int requests = 0;
    const double servingBefore = servingSeconds();
    std::thread crawler([&] {
        Client c(port, cookie);
        static const QRegularExpression picture(QStringLiteral("SRC=\"([^\"]+)\""));
        QElapsedTimer timer;
        timer.start();
        for (int n = 1; n <= pageCount; ++n) {
            const QByteArray page = c.get("/page" + QByteArray::number(n) + ".htm");
            for (const QRegularExpressionMatch &m : picture.globalMatch(QString::fromLatin1(page))) {
                const QString src = m.captured(1);
                c.get(src.startsWith(QLatin1Char('/')) ? src.toLatin1() : "/" + src.toLatin1());
            }
        }
        seconds = msSince(timer) / 1000;
        requests = c.requests;
        done = true;
    });
    QList<double> keys;
    QElapsedTimer posted;
    bool waiting = false;
    const auto conn = QObject::connect(editor->txtEdit()->document(), &QTextDocument::contentsChange, [&] {
        if (waiting)
            keys << msSince(posted);
        waiting = false;
    });
    QTimer sender;
    QObject::connect(&sender, &QTimer::timeout, [&] {
        if (waiting)
            return;
        waiting = true;
        posted.start();
        QCoreApplication::postEvent(editor->txtEdit(),
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a")));
    });
    sender.start(10);
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    crawler.join();
    const double serving = servingSeconds() - servingBefore;
    QObject::disconnect(conn);
    std::printf("crawl, page cache %s: %d requests in %.2f s, %.0f a second (goal > 2000), %.0f a second of the "
                "server's and the client's processor time; the window's answer to %lld keys meanwhile: median "
                "%.1f ms, worst %.1f ms (goal < 50); load average %s\n",
                cache, requests, seconds, requests / seconds, requests / serving, qlonglong(keys.size()),
                percentile(keys, 0.5), percentile(keys, 1.0), qPrintable(loadAverage()));
}
}   // namespace

int main(int argc, char *argv[])
{
    useOffscreenUnlessSet();
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 8;
    QApplication app(argc, argv);
    QMdiArea area;
    openFormArea(area);
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).canonicalPath();
    if (!generate(folder))
        return 1;
    auto *tree = new frmTree(&area);
    if (!tree->gfReadKSD(folder + QStringLiteral("/site.ksd")))
        return 1;
    frmChild1 *editor = basSystem::gPageEditors.at(1);
    editor->showFocused();
    QCoreApplication::processEvents();

    LivePreview live;
    QString error;
    const QString address = live.pageAddress(editor, &error);
    if (address.isEmpty())
        return 1;
    const quint16 port = live.server().port();
    const QByteArray cookie = "pagekiln-" + QByteArray::number(port) + '=' + live.server().token();
    std::printf("site of %d pages and %d pictures in %s, served at %s\n", pageCount, 2 * pageCount, qPrintable(folder),
                qPrintable(address.section(QLatin1Char('?'), 0, 0)));
    std::fflush(stdout);

    measureReload(editor, port, cookie, rounds);
    measureCrawl(editor, port, cookie, "warm, first crawl (every file newly watched)");
    evict(folder);
    measureCrawl(editor, port, cookie, "cold");
    for (int round = 0; round < 3; ++round)
        measureCrawl(editor, port, cookie, "warm");
    std::printf("peak resident memory %.1f MB\n", peakMegabytes());
    std::fflush(stdout);
    std::_Exit(0);   // the figures are taken; tearing down 1,000 windows is not part of them
}
