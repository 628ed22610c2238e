#include "editor/LiveServer.h"
#include "editor/LiveDepends.h"
#include "editor/LiveFiles.h"
#include "editor/LiveRequest.h"

#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QRandomGenerator>
#include <QSet>

#include <microhttpd.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>

using namespace liveRequest;

namespace {
constexpr int tokenBytes = 32;   // 256 bits from the system's random source
constexpr char eventsPath[] = "/__pagekiln/events";

struct PageText {
    QString text;
    TextEncoding encoding = TextEncoding::Cp932;
};

// One request: its target as sent, before the library decodes it.
struct Request {
    QByteArray target;
    int calls = 0;
};

// What a request is answered with, read under the lock at its start.
struct ServerView {
    quint16 port = 0;
    QByteArray token;
    QString root;
    quint64 generation = 0;
};

QByteArray cookieName(quint16 port)
{
    return QByteArray(tokenName) + '-' + QByteArray::number(port);
}

QByteArray encodedPath(const QString &sitePath)
{
    return sitePath.toUtf8().toPercentEncoding("/");
}

// True when a socket can be bound to ::1 (a system without IPv6 has no such address).
bool hasIpv6Loopback()
{
    const int s = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return false;
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    const bool bound = ::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(s);
    return bound;
}
}   // namespace

struct LiveServer::Impl {
    std::mutex mutex;
    std::condition_variable changes;
    MHD_Daemon *daemons[2] = {nullptr, nullptr};
    quint16 port = 0;
    QByteArray token;
    QString root;
    Limits limits;
    QHash<QString, PageText> pageTexts;
    LiveDepends depends;
    quint64 generation = 0;
    quint64 resetAt = 0;   // every page reloads after a change of folder
    bool stopping = false;
    std::function<void(const QString &)> fileSeen;
    QSet<QString> seenFiles;
    QHash<QString, QByteArray> mimeOfSuffix;

    MHD_Daemon *startDaemon(bool ipv6, quint16 wantedPort);
    void stopDaemons();
    ServerView view();
    MHD_Result answer(MHD_Connection *c, const char *method, const Request &request);
    MHD_Result serveSite(MHD_Connection *c, const Target &target, const ServerView &view, bool setCookie);
    MHD_Result serveFolder(MHD_Connection *c, const Target &target, const ServerView &view, bool setCookie);
    MHD_Result serveFile(MHD_Connection *c, const Target &target, liveFiles::Opened opened, const ServerView &view,
                         bool setCookie);
    QByteArray textBytes(const QString &address, liveFiles::Opened &opened, const std::optional<PageText> &pageText,
                         QByteArray &type, quint64 generation);
    MHD_Result openChannel(MHD_Connection *c, const Target &target);
    QByteArray mimeType(const QString &fileName);
    void remember(MHD_Connection *c, const QString &address, const QString &file, quint16 port);
    bool changedFor(const QString &page, quint64 since) const;
};

namespace {

// The common headers: nothing is cached (a reload fetches everything again), and an
// address with the token never leaves as a Referer for another site.
void addCommonHeaders(MHD_Response *response)
{
    MHD_add_response_header(response, "Cache-Control", "no-store");
    MHD_add_response_header(response, "Referrer-Policy", "same-origin");
    MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
}

MHD_Result queue(MHD_Connection *c, unsigned status, MHD_Response *response)
{
    addCommonHeaders(response);
    const MHD_Result result = MHD_queue_response(c, status, response);
    MHD_destroy_response(response);
    return result;
}

// A short plain answer for a refusal.
MHD_Result refuse(MHD_Connection *c, unsigned status)
{
    MHD_Response *response = MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT);
    if (!response)
        return MHD_NO;
    if (status == MHD_HTTP_METHOD_NOT_ALLOWED)
        MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW, "GET, HEAD");
    return queue(c, status, response);
}

void addCookie(MHD_Response *response, const ServerView &view)
{
    const QByteArray cookie = cookieName(view.port) + '=' + view.token + "; Path=/; HttpOnly; SameSite=Strict";
    MHD_add_response_header(response, MHD_HTTP_HEADER_SET_COOKIE, cookie.constData());
}

QByteArray header(MHD_Connection *c, const char *name)
{
    return QByteArray(MHD_lookup_connection_value(c, MHD_HEADER_KIND, name));
}

void *rememberTarget(void *, const char *uri, MHD_Connection *)
{
    return new Request{QByteArray(uri)};
}

void forgetTarget(void *, MHD_Connection *, void **context, MHD_RequestTerminationCode)
{
    delete static_cast<Request *>(*context);
    *context = nullptr;
}

bool announcesBody(MHD_Connection *c)
{
    return MHD_lookup_connection_value(c, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH)
        || MHD_lookup_connection_value(c, MHD_HEADER_KIND, MHD_HTTP_HEADER_TRANSFER_ENCODING);
}

// A request without a body is answered once the library has read all of it (it is called
// a second time), so that the connection can serve the next request. One with a body is
// answered at once and the connection closed: no body is ever read.
MHD_Result onRequest(void *cls, MHD_Connection *c, const char *, const char *method, const char *, const char *,
                     size_t *uploadSize, void **context)
{
    auto *request = static_cast<Request *>(*context);
    const int call = request ? ++request->calls : 0;
    if (call == 1 && !announcesBody(c))
        return MHD_YES;
    if (call == 0 || call > 2) {
        *uploadSize = 0;
        return MHD_YES;
    }
    return static_cast<LiveServer::Impl *>(cls)->answer(c, method, *request);
}

// A page's reload channel (server-sent events): it waits on the server's changes and says
// "reload" once the page or anything it uses changed after it was served.
struct Channel {
    LiveServer::Impl *server;
    QString page;
    quint64 since;
    QByteArray pending = "retry: 1000\n\n";
    bool ending = false;
};

ssize_t readChannel(void *cls, uint64_t, char *buffer, size_t max)
{
    auto *channel = static_cast<Channel *>(cls);
    if (channel->pending.isEmpty()) {
        if (channel->ending)
            return MHD_CONTENT_READER_END_OF_STREAM;
        LiveServer::Impl *d = channel->server;
        std::unique_lock lock(d->mutex);
        const bool changed = d->changes.wait_for(lock, std::chrono::milliseconds(d->limits.heartbeatMs), [&] {
            return d->stopping || d->changedFor(channel->page, channel->since);
        });
        if (d->stopping)
            return MHD_CONTENT_READER_END_OF_STREAM;
        channel->ending = changed;
        channel->pending = changed ? "event: reload\ndata: " + QByteArray::number(d->generation) + "\n\n"
                                   : QByteArray(": alive\n\n");
    }
    const qsizetype n = std::min<qsizetype>(qsizetype(max), channel->pending.size());
    std::memcpy(buffer, channel->pending.constData(), size_t(n));
    channel->pending.remove(0, n);
    return n;
}

void freeChannel(void *cls)
{
    delete static_cast<Channel *>(cls);
}

bool isHtml(const QByteArray &type)
{
    return type == "text/html";
}

QByteArray readAll(int fd, qint64 size)
{
    QByteArray bytes;
    bytes.reserve(size);
    char chunk[65536];
    ssize_t n;
    while ((n = ::read(fd, chunk, sizeof chunk)) > 0)
        bytes.append(chunk, n);
    return bytes;
}
}   // namespace

LiveServer::LiveServer() : d(std::make_unique<Impl>()) { }

LiveServer::~LiveServer()
{
    stop();
}

MHD_Daemon *LiveServer::Impl::startDaemon(bool ipv6, quint16 wantedPort)
{
    sockaddr_in v4{};
    sockaddr_in6 v6{};
    sockaddr *address;
    if (ipv6) {
        v6.sin6_family = AF_INET6;
        v6.sin6_addr = in6addr_loopback;
        v6.sin6_port = htons(wantedPort);
        address = reinterpret_cast<sockaddr *>(&v6);
    } else {
        v4.sin_family = AF_INET;
        v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        v4.sin_port = htons(wantedPort);
        address = reinterpret_cast<sockaddr *>(&v4);
    }
    const unsigned flags
        = MHD_USE_THREAD_PER_CONNECTION | MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_POLL | (ipv6 ? MHD_USE_IPv6 : 0);
    return MHD_start_daemon(flags, 0, nullptr, nullptr, &onRequest, this, MHD_OPTION_SOCK_ADDR, address,
                            MHD_OPTION_CONNECTION_MEMORY_LIMIT, size_t(limits.connectionBytes),
                            MHD_OPTION_CONNECTION_LIMIT, unsigned(limits.connections), MHD_OPTION_CONNECTION_TIMEOUT,
                            unsigned(limits.idleSeconds), MHD_OPTION_URI_LOG_CALLBACK, &rememberTarget, nullptr,
                            MHD_OPTION_NOTIFY_COMPLETED, &forgetTarget, nullptr, MHD_OPTION_END);
}

bool LiveServer::start(const QString &root, QString *error, const Limits &limits)
{
    stop();
    const QString canonical = QFileInfo(root).canonicalFilePath();
    if (canonical.isEmpty() || !QFileInfo(canonical).isDir() || canonical == QLatin1String("/")) {
        *error = QString::fromLocal8Bit(std::strerror(ENOTDIR));
        return false;
    }
    QByteArray random(tokenBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(random.data()), tokenBytes / 4);
    {
        std::lock_guard lock(d->mutex);
        d->limits = limits;
        d->root = canonical;
        d->token = random.toHex();
        d->stopping = false;
    }
    // Both loopback addresses share one port: a free one for 127.0.0.1, then the same for
    // ::1, again with another port when that one is taken there.
    const bool ipv6 = hasIpv6Loopback();
    for (int attempt = 0; attempt < 20 && !d->daemons[0]; ++attempt) {
        MHD_Daemon *v4 = d->startDaemon(false, 0);
        if (!v4)
            break;
        const quint16 port = MHD_get_daemon_info(v4, MHD_DAEMON_INFO_BIND_PORT)->port;
        MHD_Daemon *v6 = ipv6 ? d->startDaemon(true, port) : nullptr;
        if (ipv6 && !v6) {
            MHD_stop_daemon(v4);
            continue;
        }
        std::lock_guard lock(d->mutex);
        d->daemons[0] = v4;
        d->daemons[1] = v6;
        d->port = port;
    }
    if (!d->daemons[0]) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}

void LiveServer::stop()
{
    {
        std::lock_guard lock(d->mutex);
        if (!d->daemons[0])
            return;
        d->stopping = true;
    }
    d->changes.notify_all();
    d->stopDaemons();
}

void LiveServer::Impl::stopDaemons()
{
    // Stopping waits for every connection's thread: the reload channels have ended above.
    for (MHD_Daemon *&daemon : daemons) {
        if (daemon)
            MHD_stop_daemon(daemon);
        daemon = nullptr;
    }
    std::lock_guard lock(mutex);
    port = 0;
    token.clear();
    depends.clear();
    seenFiles.clear();
    pageTexts.clear();
}

bool LiveServer::isRunning() const
{
    std::lock_guard lock(d->mutex);
    return d->daemons[0] != nullptr;
}

quint16 LiveServer::port() const
{
    std::lock_guard lock(d->mutex);
    return d->port;
}

QByteArray LiveServer::token() const
{
    std::lock_guard lock(d->mutex);
    return d->token;
}

QString LiveServer::root() const
{
    std::lock_guard lock(d->mutex);
    return d->root;
}

void LiveServer::setRoot(const QString &root)
{
    const QString canonical = QFileInfo(root).canonicalFilePath();
    {
        std::lock_guard lock(d->mutex);
        if (canonical.isEmpty() || canonical == d->root)
            return;
        d->root = canonical;
        d->depends.clear();
        d->seenFiles.clear();
        d->resetAt = ++d->generation;
    }
    d->changes.notify_all();
}

QString LiveServer::address(const QString &sitePath) const
{
    std::lock_guard lock(d->mutex);
    return QStringLiteral("http://127.0.0.1:%1").arg(d->port) + QString::fromLatin1(encodedPath(sitePath))
        + QLatin1Char('?') + QLatin1String(tokenName) + QLatin1Char('=') + QString::fromLatin1(d->token);
}

void LiveServer::setPageText(const QString &file, const QString &text, TextEncoding encoding)
{
    std::lock_guard lock(d->mutex);
    d->pageTexts.insert(file, PageText{text, encoding});
}

void LiveServer::dropPageText(const QString &file)
{
    std::lock_guard lock(d->mutex);
    d->pageTexts.remove(file);
}

void LiveServer::announceChanges(const QStringList &files)
{
    {
        std::lock_guard lock(d->mutex);
        if (d->depends.changed(files, d->generation + 1) == 0)
            return;
        ++d->generation;
    }
    d->changes.notify_all();
}

void LiveServer::setFileSeen(std::function<void(const QString &)> seen)
{
    std::lock_guard lock(d->mutex);
    d->fileSeen = std::move(seen);
}

bool LiveServer::Impl::changedFor(const QString &page, quint64 since) const
{
    return resetAt > since || depends.lastChange(page) > since;
}

ServerView LiveServer::Impl::view()
{
    std::lock_guard lock(mutex);
    return ServerView{port, token, root, generation};
}

MHD_Result LiveServer::Impl::answer(MHD_Connection *c, const char *method, const Request &request)
{
    const ServerView view = this->view();
    if (!hostAllowed(header(c, MHD_HTTP_HEADER_HOST), view.port))
        return refuse(c, MHD_HTTP_FORBIDDEN);
    const Target target = parseTarget(request.target);
    const bool viaAddress = tokenMatches(queryValue(target.query, tokenName), view.token);
    const char *cookie = MHD_lookup_connection_value(c, MHD_COOKIE_KIND, cookieName(view.port).constData());
    if (!viaAddress && !tokenMatches(cookie, view.token))
        return refuse(c, MHD_HTTP_NOT_FOUND);
    if (std::strcmp(method, MHD_HTTP_METHOD_GET) != 0 && std::strcmp(method, MHD_HTTP_METHOD_HEAD) != 0)
        return refuse(c, MHD_HTTP_METHOD_NOT_ALLOWED);
    if (target.kind != Target::Site)
        return refuse(c, target.kind == Target::Refused ? MHD_HTTP_FORBIDDEN : MHD_HTTP_BAD_REQUEST);
    if (target.path.startsWith(QLatin1String(ownFolder)))
        return target.path == QLatin1String(eventsPath) ? openChannel(c, target) : refuse(c, MHD_HTTP_NOT_FOUND);
    return serveSite(c, target, view, viaAddress);
}

MHD_Result LiveServer::Impl::serveSite(MHD_Connection *c, const Target &target, const ServerView &view, bool setCookie)
{
    liveFiles::Opened opened = liveFiles::open(view.root, target.path);
    switch (opened.kind) {
    case liveFiles::Opened::Refused: return refuse(c, MHD_HTTP_FORBIDDEN);
    case liveFiles::Opened::Folder: return serveFolder(c, target, view, setCookie);
    default: return serveFile(c, target, std::move(opened), view, setCookie);
    }
}

// A folder's address without its closing slash is sent there (so that the index's
// relative links work); with it, the folder's index.html or index.htm is served. A folder
// is never listed.
MHD_Result LiveServer::Impl::serveFolder(MHD_Connection *c, const Target &target, const ServerView &view,
                                         bool setCookie)
{
    if (!target.isFolder()) {
        QByteArray location = encodedPath(target.path + QLatin1Char('/'));
        if (!target.query.isEmpty())
            location += '?' + target.query;
        MHD_Response *response = MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT);
        if (!response)
            return MHD_NO;
        MHD_add_response_header(response, "Location", location.constData());
        return queue(c, MHD_HTTP_MOVED_PERMANENTLY, response);
    }
    for (const char *index : {"index.html", "index.htm"}) {
        liveFiles::Opened opened = liveFiles::open(view.root, target.path + QLatin1String(index));
        if (opened.kind == liveFiles::Opened::File)
            return serveFile(c, target, std::move(opened), view, setCookie);
        if (opened.kind == liveFiles::Opened::Refused)
            return refuse(c, MHD_HTTP_FORBIDDEN);
    }
    return refuse(c, MHD_HTTP_FORBIDDEN);
}

// A file, or the text of its page when an editor holds unsaved changes; pages get the
// reload script and the charset of their code page.
MHD_Result LiveServer::Impl::serveFile(MHD_Connection *c, const Target &target, liveFiles::Opened opened,
                                       const ServerView &view, bool setCookie)
{
    remember(c, target.path, opened.path, view.port);
    std::optional<PageText> pageText;
    {
        std::lock_guard lock(mutex);
        if (const auto found = pageTexts.constFind(opened.path); found != pageTexts.cend())
            pageText = *found;
    }
    if (!pageText && opened.kind != liveFiles::Opened::File)
        return refuse(c, MHD_HTTP_NOT_FOUND);
    QByteArray type = mimeType(QFileInfo(opened.path).fileName());
    MHD_Response *response;
    if (!pageText && !isHtml(type)) {
        response = MHD_create_response_from_fd64(uint64_t(opened.size), opened.fd);
        if (!response)
            ::close(opened.fd);
    } else {
        const QByteArray bytes = textBytes(target.path, opened, pageText, type, view.generation);
        response = MHD_create_response_from_buffer(size_t(bytes.size()), const_cast<char *>(bytes.constData()),
                                                   MHD_RESPMEM_MUST_COPY);
    }
    if (!response)
        return MHD_NO;
    MHD_add_response_header(response, "Content-Type", type.constData());
    if (setCookie)
        addCookie(response, view);
    return queue(c, MHD_HTTP_OK, response);
}

// The bytes of a text: the editor's text in its page's code page, or the file as it is.
// Pages get the reload script, and `type` the charset.
QByteArray LiveServer::Impl::textBytes(const QString &address, liveFiles::Opened &opened,
                                       const std::optional<PageText> &pageText, QByteArray &type, quint64 generation)
{
    QByteArray bytes;
    TextEncoding encoding;
    if (pageText) {
        bytes = encodeWithReferences(pageText->text, pageText->encoding);
        encoding = pageText->encoding;
    } else {
        bytes = readAll(opened.fd, opened.size);
        encoding = detectEncoding(bytes, DetectMode::Page);
    }
    if (opened.fd >= 0)
        ::close(opened.fd);
    opened.fd = -1;
    const bool html = isHtml(type);
    if (html)
        bytes = withScript(std::move(bytes), reloadScript(address, generation));
    if (html || type.startsWith("text/"))
        type += "; charset=" + charsetName(encoding);
    return bytes;
}

MHD_Result LiveServer::Impl::openChannel(MHD_Connection *c, const Target &target)
{
    const QByteArray page = QByteArray::fromPercentEncoding(queryValue(target.query, "page"));
    const quint64 since = queryValue(target.query, "v").toULongLong();
    auto *channel = new Channel{this, QString::fromUtf8(page), since};
    MHD_Response *response
        = MHD_create_response_from_callback(MHD_SIZE_UNKNOWN, 1024, &readChannel, channel, &freeChannel);
    if (!response) {
        delete channel;
        return MHD_NO;
    }
    MHD_add_response_header(response, "Content-Type", "text/event-stream");
    return queue(c, MHD_HTTP_OK, response);
}

QByteArray LiveServer::Impl::mimeType(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).completeSuffix().toLower();
    {
        std::lock_guard lock(mutex);
        if (const auto found = mimeOfSuffix.constFind(suffix); found != mimeOfSuffix.cend())
            return *found;
    }
    const QMimeType type
        = QMimeDatabase().mimeTypeForFile(QStringLiteral("x.") + suffix, QMimeDatabase::MatchExtension);
    const QByteArray name = type.name().toLatin1();
    std::lock_guard lock(mutex);
    mimeOfSuffix.insert(suffix, name);
    return name;
}

// Notes which page asked for `address` (its Referer), so that a change of `file` reaches
// that page; a file seen the first time is reported, to be watched for changes on disk.
void LiveServer::Impl::remember(MHD_Connection *c, const QString &address, const QString &file, quint16 port)
{
    const QString user = sameOriginPath(header(c, MHD_HTTP_HEADER_REFERER), port);
    std::function<void(const QString &)> report;
    {
        std::lock_guard lock(mutex);
        depends.served(address, file, user);
        if (fileSeen && !seenFiles.contains(file) && seenFiles.size() < LiveDepends::maxLinks) {
            seenFiles.insert(file);
            report = fileSeen;
        }
    }
    if (report)
        report(file);
}
