// The live preview with real HTTP clients: QNetworkAccessManager as a browser would ask,
// and raw sockets for the requests a client library would tidy up before sending.

#include "app/AppTexts.h"
#include "app/basSystem.h"
#include "app/mdiMain.h"
#include "editor/EditorTexts.h"
#include "editor/LivePreview.h"
#include "editor/TypingPause.h"
#include "editor/frmChild1.h"
#include "support/TestEnv.h"
#include "support/TestMain.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTcpSocket>
#include <QToolButton>
#include <QtTest>

#include <sys/stat.h>

using namespace basSystem;
using namespace Qt::StringLiterals;

namespace {
struct Answer {
    int status = 0;
    QByteArray head;
    QByteArray body;
};

// Sends `request` as it stands on a fresh connection and reads until the server closes it.
Answer send(quint16 port, const QByteArray &request, const QHostAddress &to = QHostAddress::LocalHost)
{
    QTcpSocket socket;
    socket.connectToHost(to, port);
    socket.waitForConnected(5000);
    socket.write(request);
    QByteArray got;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(10000))
        got += socket.readAll();
    got += socket.readAll();
    Answer answer;
    const qsizetype end = got.indexOf("\r\n\r\n");
    answer.head = got.first(std::max<qsizetype>(end, 0));
    answer.body = end < 0 ? QByteArray() : got.sliced(end + 4);
    answer.status = got.mid(9, 3).toInt();
    return answer;
}

// A site beside a folder outside it, with links both ways, a folder without an index, a
// pipe and a large file.
QString writeSite(TestEnv &env)
{
    env.writeCp932(u"site/index.html"_s, u"<html><body>トップ</body></html>"_s);
    env.writeCp932(u"site/sub/index.htm"_s, u"<html><body>下の階</body></html>"_s);
    env.writeCp932(u"site/sub/page.htm"_s, u"<html><body>ページ</body></html>"_s);
    env.write(u"site/img/a.png"_s, "\x89PNG\r\n\x1a\n");
    env.write(u"site/画像.png"_s, "\x89PNG\r\n\x1a\n");
    env.write(u"site/noindex/x.txt"_s, "x");
    env.write(u"outside/secret.txt"_s, "secret");
    env.write(u"site/big.bin"_s, QByteArray(16 << 20, 'b'));
    const QString site = env.path(u"site"_s);
    QFile::link(u"sub/page.htm"_s, site + u"/link-in"_s);
    QFile::link(env.path(u"outside/secret.txt"_s), site + u"/link-out"_s);
    QFile::link(env.path(u"outside"_s), site + u"/dir-out"_s);
    ::mkfifo(QFile::encodeName(site + u"/pipe"_s).constData(), 0600);
    return site;
}

QNetworkReply *fetch(QNetworkAccessManager &manager, const QUrl &url, const QByteArray &verb = "GET")
{
    QNetworkRequest request(url);
    QNetworkReply *reply = manager.sendCustomRequest(request, verb);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    finished.wait(20000);
    return reply;
}

int statusOf(const QNetworkReply *reply)
{
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

// The change number a served page's reload script asks from.
QByteArray servedGeneration(const QByteArray &page)
{
    static const QRegularExpression generation(u",v=(\\d+),"_s);
    return generation.match(QString::fromLatin1(page)).captured(1).toLatin1();
}
}   // namespace

class tst_livepreview : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void sitePaths_data();
    void sitePaths();
    void tokenAndHost_data();
    void tokenAndHost();
    void browserFlow();
    void boundsAndTimeouts();
    void largeFileAndEarlyClose();

    void unsavedTextInItsCodePage();
    void reloadSignals_data();
    void reloadSignals();
    void pagesNotShown_data();
    void pagesNotShown();
    void startStopAndQuit();

private:
    bool startServer(LiveServer::Limits limits = {});
    QByteArray request(const QByteArray &target, const QByteArray &headers = QByteArray()) const;
    bool openFrame();
    QByteArray get(const QString &address);
    QTcpSocket *openChannel(const QString &page, const QByteArray &generation);

    std::unique_ptr<TestEnv> mEnv;
    std::unique_ptr<LiveServer> mServer;
    std::unique_ptr<mdiMain> mFrame;
    std::unique_ptr<QNetworkAccessManager> mBrowser;
    QString mSite;
};

void tst_livepreview::init()
{
    mEnv = std::make_unique<TestEnv>();
    mSite = writeSite(*mEnv);
    mBrowser = std::make_unique<QNetworkAccessManager>();
    mBrowser->setProxy(QNetworkProxy::NoProxy);
    TypingPause::setDelay(200);   // longer than a key takes, even under the sanitizers
}

void tst_livepreview::cleanup()
{
    mBrowser.reset();
    mServer.reset();
    mFrame.reset();
    mEnv.reset();
    TypingPause::setDelay(0);
    LivePreview::setLimits({});
}

bool tst_livepreview::startServer(LiveServer::Limits limits)
{
    mServer = std::make_unique<LiveServer>();
    QString error;
    return mServer->start(mSite, &error, limits);
}

// A request for `target` with `headers`, or else with this server's Host and token cookie;
// the server closes the connection after answering.
QByteArray tst_livepreview::request(const QByteArray &target, const QByteArray &headers) const
{
    const QByteArray port = QByteArray::number(mServer->port());
    QByteArray head = "GET " + target + " HTTP/1.1\r\n" + headers;
    if (headers.isEmpty())
        head += "Host: 127.0.0.1:" + port + "\r\nCookie: pagekiln-" + port + '=' + mServer->token() + "\r\n";
    return head + "Connection: close\r\n\r\n";
}

void tst_livepreview::sitePaths_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<int>("status");
    QTest::newRow("the site's folder serves its index") << QByteArray("/") << 200;
    QTest::newRow("a page") << QByteArray("/sub/page.htm") << 200;
    QTest::newRow("a folder without its slash is sent there") << QByteArray("/sub") << 301;
    QTest::newRow("a folder's index.htm") << QByteArray("/sub/") << 200;
    QTest::newRow("a Japanese name, percent-encoded") << QByteArray("/%E7%94%BB%E5%83%8F.png") << 200;
    QTest::newRow("a missing file") << QByteArray("/missing.htm") << 404;
    QTest::newRow("a folder is never listed") << QByteArray("/noindex/") << 403;
    QTest::newRow("..") << QByteArray("/../outside/secret.txt") << 403;
    QTest::newRow(".. after a folder") << QByteArray("/sub/../../outside/secret.txt") << 403;
    QTest::newRow(".") << QByteArray("/./index.html") << 403;
    QTest::newRow("an empty segment") << QByteArray("//etc/passwd") << 403;
    QTest::newRow("percent-encoded dots") << QByteArray("/%2e%2e/outside/secret.txt") << 403;
    QTest::newRow("percent-encoded dots, upper case") << QByteArray("/%2E%2E/outside/secret.txt") << 403;
    QTest::newRow("percent-encoded slashes") << QByteArray("/sub%2f..%2f..%2foutside%2fsecret.txt") << 403;
    QTest::newRow("percent-encoded backslashes") << QByteArray("/..%5coutside%5csecret.txt") << 403;
    QTest::newRow("backslashes") << QByteArray("/..\\outside\\secret.txt") << 403;
    QTest::newRow("percent-encoded NUL") << QByteArray("/index.html%00.png") << 403;
    QTest::newRow("a cut percent-escape") << QByteArray("/index.html%2") << 400;
    QTest::newRow("not UTF-8") << QByteArray("/%93%FA.htm") << 400;
    QTest::newRow("a link inside the site") << QByteArray("/link-in") << 200;
    QTest::newRow("a link to a file outside") << QByteArray("/link-out") << 403;
    QTest::newRow("a link to a folder outside") << QByteArray("/dir-out/secret.txt") << 403;
    QTest::newRow("a missing file in a folder outside") << QByteArray("/dir-out/missing.txt") << 403;
    QTest::newRow("a pipe") << QByteArray("/pipe") << 403;
    QTest::newRow("the server's own folder") << QByteArray("/__pagekiln/index.html") << 404;
    QTest::newRow("an absolute address") << QByteArray("http://127.0.0.1/index.html") << 400;
}

void tst_livepreview::sitePaths()
{
    QFETCH(QByteArray, target);
    QFETCH(int, status);
    QVERIFY(startServer());
    const Answer answer = send(mServer->port(), request(target));
    QCOMPARE(answer.status, status);
    QVERIFY(!answer.body.contains("secret"));
}

void tst_livepreview::tokenAndHost_data()
{
    QTest::addColumn<QByteArray>("headers");
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<int>("status");
    const QByteArray host = "Host: 127.0.0.1:PORT\r\n";
    QTest::newRow("token in the address") << host << QByteArray("?pagekiln=TOKEN") << 200;
    QTest::newRow("token in the cookie") << host + "Cookie: pagekiln-PORT=TOKEN\r\n" << QByteArray() << 200;
    QTest::newRow("::1 as Host") << QByteArray("Host: [::1]:PORT\r\n") << QByteArray("?pagekiln=TOKEN") << 200;
    QTest::newRow("no token") << host << QByteArray() << 404;
    QTest::newRow("'..' with the token in the address") << host << QByteArray("/../index.html?pagekiln=TOKEN") << 403;
    QTest::newRow("wrong token") << host << QByteArray("?pagekiln=0123") << 404;
    QTest::newRow("wrong cookie") << host + "Cookie: pagekiln-PORT=0123\r\n" << QByteArray() << 404;
    QTest::newRow("foreign Host") << QByteArray("Host: attacker.example:PORT\r\n") << QByteArray("?pagekiln=TOKEN")
                                  << 403;
    QTest::newRow("loopback name as Host")
        << QByteArray("Host: localhost:PORT\r\n") << QByteArray("?pagekiln=TOKEN") << 403;
    QTest::newRow("another port as Host")
        << QByteArray("Host: 127.0.0.1:1\r\n") << QByteArray("?pagekiln=TOKEN") << 403;
    QTest::newRow("no Host") << QByteArray("X: y\r\n") << QByteArray("?pagekiln=TOKEN") << 403;
}

void tst_livepreview::tokenAndHost()
{
    QFETCH(QByteArray, headers);
    QFETCH(QByteArray, query);
    QFETCH(int, status);
    QVERIFY(startServer());
    const QByteArray port = QByteArray::number(mServer->port());
    headers.replace("PORT", port).replace("TOKEN", mServer->token());
    query.replace("TOKEN", mServer->token());
    const Answer answer = send(mServer->port(), request("/index.html" + query, headers));
    QCOMPARE(answer.status, status);
    QCOMPARE(answer.body.contains(TestEnv::cp932(u"トップ"_s)), status == 200);
}

// The address handed out works in a client with a cookie jar, as in a browser: the cookie
// set then opens the site's other addresses, on both loopback addresses; only GET and HEAD.
void tst_livepreview::browserFlow()
{
    QVERIFY(startServer());
    std::unique_ptr<QNetworkReply> page(fetch(*mBrowser, QUrl(mServer->address(u"/sub/page.htm"_s))));
    QCOMPARE(statusOf(page.get()), 200);
    QCOMPARE(page->header(QNetworkRequest::ContentTypeHeader).toString(), u"text/html; charset=Shift_JIS"_s);
    const QUrl site(u"http://127.0.0.1:%1"_s.arg(mServer->port()));
    std::unique_ptr<QNetworkReply> picture(fetch(*mBrowser, site.resolved(QUrl(u"/img/a.png"_s))));
    QCOMPARE(statusOf(picture.get()), 200);
    QCOMPARE(picture->header(QNetworkRequest::ContentTypeHeader).toString(), u"image/png"_s);
    for (const QByteArray verb : {"POST", "PUT", "DELETE", "OPTIONS"}) {
        std::unique_ptr<QNetworkReply> refused(fetch(*mBrowser, site.resolved(QUrl(u"/index.html"_s)), verb));
        QCOMPARE(statusOf(refused.get()), 405);
        QCOMPARE(refused->rawHeader("Allow"), QByteArray("GET, HEAD"));
    }
    std::unique_ptr<QNetworkReply> head(fetch(*mBrowser, site.resolved(QUrl(u"/index.html"_s)), "HEAD"));
    QCOMPARE(statusOf(head.get()), 200);
    QVERIFY(head->readAll().isEmpty());

    QNetworkAccessManager stranger;
    stranger.setProxy(QNetworkProxy::NoProxy);
    std::unique_ptr<QNetworkReply> noCookie(fetch(stranger, site.resolved(QUrl(u"/img/a.png"_s))));
    QCOMPARE(statusOf(noCookie.get()), 404);
    QString v6 = mServer->address(u"/img/a.png"_s);
    v6.replace(u"127.0.0.1"_s, u"[::1]"_s);
    std::unique_ptr<QNetworkReply> overV6(fetch(stranger, QUrl(v6)));
    QCOMPARE(statusOf(overV6.get()), 200);
}

void tst_livepreview::boundsAndTimeouts()
{
    QVERIFY(startServer({1, 4000, 32768, 64}));
    QCOMPARE(send(mServer->port(), request("/" + QByteArray(64 << 10, 'a'))).status, 414);
    QCOMPARE(send(mServer->port(), request("/", "X-Long: " + QByteArray(64 << 10, 'a') + "\r\n")).status, 431);
    // A request that stops halfway, and a connection that asks nothing more, are closed.
    QTcpSocket stalled;
    stalled.connectToHost(QHostAddress::LocalHost, mServer->port());
    QVERIFY(stalled.waitForConnected(5000));
    stalled.write("GET /index.html HTTP/1.1\r\nHost: 127.0.0.1:");
    QTcpSocket idle;
    idle.connectToHost(QHostAddress::LocalHost, mServer->port());
    QVERIFY(idle.waitForConnected(5000));
    idle.write(request("/index.html").replace("Connection: close\r\n", ""));
    QTRY_COMPARE_WITH_TIMEOUT(stalled.state(), QAbstractSocket::UnconnectedState, 15000);
    QTRY_COMPARE_WITH_TIMEOUT(idle.state(), QAbstractSocket::UnconnectedState, 15000);
    QVERIFY(idle.readAll().startsWith("HTTP/1.1 200"));
}

// A client that goes away in the middle of a large file harms neither the server nor the
// next client.
void tst_livepreview::largeFileAndEarlyClose()
{
    QVERIFY(startServer());
    {
        QTcpSocket quitter;
        quitter.connectToHost(QHostAddress::LocalHost, mServer->port());
        QVERIFY(quitter.waitForConnected(5000));
        quitter.write(request("/big.bin"));
        QVERIFY(quitter.waitForReadyRead(5000));
    }
    std::unique_ptr<QNetworkReply> big(fetch(*mBrowser, QUrl(mServer->address(u"/big.bin"_s))));
    QCOMPARE(statusOf(big.get()), 200);
    QCOMPARE(big->readAll().size(), 16 << 20);
}

bool tst_livepreview::openFrame()
{
    QString ksd = u"[KSD INF]\r\nVER=Velmoran HTML Editor Ver 0.0\r\nPNM=live\r\nDIR=%1/\r\nURL=\r\n"
                  u"[HTML LIST]\r\nCNT=002\r\n001=-1*%1/*p1.htm\r\n002=0*%1/*p2.htm\r\n"_s.arg(mSite);
    mEnv->writeCp932(u"site/p1.htm"_s,
                     u"<html><head><link rel=stylesheet href=\"/style.css\"></head><body>一</body></html>\r\n"_s);
    mEnv->write(u"site/p2.htm"_s, u"<html><body>二</body></html>\r\n"_s.toUtf8());
    mEnv->write(u"site/style.css"_s, "body { color: black }");
    const QString definition = mEnv->writeCp932(u"site/site.ksd"_s, ksd);
    mEnv->writeSettings(0, -1);
    mFrame = std::make_unique<mdiMain>();
    if (!mFrame->MDIForm_Load())
        return false;
    mFrame->show();
    if (!mFrame->openDefinition(definition))
        return false;
    gPageEditors.at(1)->showFocused();
    return gActiveEditor == gPageEditors.at(1);
}

// Ctrl+F5 on the active page; the address it opened in the browser.
QString startFromMenu(mdiMain &frame, ScriptedPlatform &platform)
{
    const QList<QAction *> actions = frame.findChildren<QAction *>();
    for (QAction *action : actions)
        if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_F5))
            action->trigger();
    return platform.browserRequests.value(0);
}

QByteArray tst_livepreview::get(const QString &address)
{
    std::unique_ptr<QNetworkReply> reply(fetch(*mBrowser, QUrl(address)));
    return statusOf(reply.get()) == 200 ? reply->readAll() : QByteArray();
}

// The reload channel of `page` served at `generation`, as the page's script opens it.
QTcpSocket *tst_livepreview::openChannel(const QString &page, const QByteArray &generation)
{
    auto *socket = new QTcpSocket(this);
    const quint16 port = mFrame->livePreview()->server().port();
    socket->connectToHost(QHostAddress::LocalHost, port);
    socket->write("GET /__pagekiln/events?v=" + generation + "&page=" + QUrl::toPercentEncoding(page)
                  + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) + "\r\nCookie: pagekiln-"
                  + QByteArray::number(port) + '=' + mFrame->livePreview()->server().token() + "\r\n\r\n");
    return socket;
}

void tst_livepreview::unsavedTextInItsCodePage()
{
    QVERIFY(openFrame());
    frmChild1 *editor = gPageEditors.at(1);
    editor->txtEdit()->moveCursor(QTextCursor::End);
    editor->txtEdit()->insertPlainText(u"未保存の本文"_s);
    const QString address = startFromMenu(*mFrame, mEnv->platform);
    QVERIFY(address.startsWith(u"http://127.0.0.1:"_s));
    std::unique_ptr<QNetworkReply> page(fetch(*mBrowser, QUrl(address)));
    QCOMPARE(page->header(QNetworkRequest::ContentTypeHeader).toString(), u"text/html; charset=Shift_JIS"_s);
    const QByteArray bytes = page->readAll();
    QVERIFY(bytes.contains(TestEnv::cp932(u"未保存の本文"_s)));
    QVERIFY(bytes.contains("<script>"));
    QVERIFY(!TestEnv::read(mSite + u"/p1.htm"_s).contains(TestEnv::cp932(u"未保存"_s)));

    QString second = address;
    second.replace(u"/p1.htm"_s, u"/p2.htm"_s);
    std::unique_ptr<QNetworkReply> utf8(fetch(*mBrowser, QUrl(second)));
    QCOMPARE(utf8->header(QNetworkRequest::ContentTypeHeader).toString(), u"text/html; charset=UTF-8"_s);
    QVERIFY(utf8->readAll().contains(u"二"_s.toUtf8()));
}

void tst_livepreview::reloadSignals_data()
{
    QTest::addColumn<int>("change");
    QTest::newRow("typing pauses") << 0;
    QTest::newRow("the page is saved") << 1;
    QTest::newRow("its style sheet is written on disk") << 2;
    QTest::newRow("its style sheet is replaced on disk") << 3;
    QTest::newRow("a picture looked for before its folder was made is put in place") << 4;
}

void tst_livepreview::reloadSignals()
{
    QFETCH(int, change);
    QVERIFY(openFrame());
    const QString address = startFromMenu(*mFrame, mEnv->platform);
    const QByteArray page = get(address);
    const QString css = u"http://127.0.0.1:%1/style.css"_s.arg(mFrame->livePreview()->server().port());
    QNetworkRequest styleRequest((QUrl(css)));
    styleRequest.setRawHeader("Referer", address.toLatin1());
    std::unique_ptr<QNetworkReply> style(mBrowser->get(styleRequest));
    QTRY_VERIFY(style->isFinished());
    QCOMPARE(statusOf(style.get()), 200);
    if (change == 4) {
        QNetworkRequest pictureRequest(QUrl(css.chopped(9) + u"pics/pic.gif"_s));
        pictureRequest.setRawHeader("Referer", address.toLatin1());
        std::unique_ptr<QNetworkReply> picture(mBrowser->get(pictureRequest));
        QTRY_VERIFY(picture->isFinished());
        QCOMPARE(statusOf(picture.get()), 404);
    }

    std::unique_ptr<QTcpSocket> channel(openChannel(u"/p1.htm"_s, servedGeneration(page)));
    QByteArray heard;
    QTRY_VERIFY((heard += channel->readAll()).contains("retry:"));
    frmChild1 *editor = gPageEditors.at(1);
    QTest::keyClicks(editor->txtEdit(), u"typed"_s);
    QTRY_VERIFY((heard += channel->readAll()).contains("event: reload"));
    std::unique_ptr<QTcpSocket> next(openChannel(u"/p1.htm"_s, servedGeneration(get(address))));
    heard.clear();
    QTRY_VERIFY((heard += next->readAll()).contains("retry:"));
    switch (change) {
    case 0: QTest::keyClicks(editor->txtEdit(), u"more"_s); break;
    case 1: QVERIFY(editor->save()); break;
    case 2: {
        QFile sheet(mSite + u"/style.css"_s);
        QVERIFY(sheet.open(QIODevice::ReadWrite));
        sheet.write("body { color: red }");
        break;
    }
    case 3: {
        mEnv->write(u"site/new.css"_s, "body { color: blue }");
        QVERIFY(::rename(QFile::encodeName(mSite + u"/new.css"_s).constData(),
                         QFile::encodeName(mSite + u"/style.css"_s).constData())
                == 0);
        break;
    }
    case 4:
        QVERIFY(QDir(mSite).mkdir(u"pics"_s));
        mEnv->write(u"site/pics/pic.gif"_s, "GIF89a");
        break;
    }
    QTRY_VERIFY((heard += next->readAll()).contains("event: reload"));
    const QByteArray after = get(address);
    QVERIFY(after.contains(change == 0 ? "typedmore" : "typed"));
}

void tst_livepreview::pagesNotShown_data()
{
    QTest::addColumn<int>("setUp");
    QTest::addColumn<QString>("message");
    QTest::newRow("never saved") << 0 << editorTexts::msgLiveUnsaved;
    QTest::newRow("no site folder") << 1 << editorTexts::msgLiveNoFolder;
    QTest::newRow("outside the site's folder") << 2 << editorTexts::msgLiveOutside;
}

void tst_livepreview::pagesNotShown()
{
    QFETCH(int, setUp);
    QFETCH(QString, message);
    QVERIFY(openFrame());
    if (setUp == 0)
        gPageTable[1].FileName.clear();
    else
        gSite.Folder = setUp == 1 ? QString() : mSite + u"/sub/"_s;
    startFromMenu(*mFrame, mEnv->platform);
    QCOMPARE(mEnv->platform.messageTexts().value(0).section(u'\n', 0, 0), message);
    QVERIFY(mEnv->platform.browserRequests.isEmpty());
    QVERIFY(!mFrame->livePreview()->isRunning());
}

// The status line shows the address with a button that copies it; the stop command and
// quitting close the port, and end the reload channels that pages hold open.
void tst_livepreview::startStopAndQuit()
{
    QVERIFY(openFrame());
    const QString address = startFromMenu(*mFrame, mEnv->platform);
    QVERIFY(mFrame->statusBar()->isVisible());
    QCOMPARE(mFrame->liveAddressLabel()->text(), appTexts::liveAddress + address);
    mFrame->statusBar()->findChild<QToolButton *>()->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), address);

    const quint16 port = mFrame->livePreview()->server().port();
    std::unique_ptr<QTcpSocket> channel(openChannel(u"/p1.htm"_s, "0"));
    QTRY_VERIFY(channel->bytesAvailable() > 0);
    for (QAction *action : mFrame->findChildren<QAction *>())
        if (action->text().startsWith(u"ライブプレビューを停止"_s))
            action->trigger();
    QVERIFY(!mFrame->statusBar()->isVisible());
    QCOMPARE(send(port, "GET / HTTP/1.1\r\n\r\n").status, 0);
    QTRY_COMPARE(channel->state(), QAbstractSocket::UnconnectedState);

    mEnv->platform.browserRequests.clear();
    const QString again = startFromMenu(*mFrame, mEnv->platform);
    QVERIFY(!get(again).isEmpty());
    mFrame->closeFrame(vbFormMDIForm);
    QVERIFY(mFrame->hasShutDown());
    QCOMPARE(send(QUrl(again).port(), "GET / HTTP/1.1\r\n\r\n").status, 0);
}

PAGEKILN_TEST_MAIN(tst_livepreview)
#include "tst_livepreview.moc"
