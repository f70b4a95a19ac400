#include "live/LiveServer.h"

#include "live/LiveAddress.h"
#include "live/LiveClass.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QStringDecoder>

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

struct LiveServer::Request {
    QByteArray body;
    bool refused = false;   // a response is queued already
};

namespace {
int queue(MHD_Connection *connection, unsigned status, const QByteArray &body, const char *type)
{
    MHD_Response *response = MHD_create_response_from_buffer(size_t(body.size()), const_cast<char *>(body.constData()),
                                                             MHD_RESPMEM_MUST_COPY);
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, type);
    MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
    MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
    MHD_add_response_header(response, "Referrer-Policy", "no-referrer");
    const int ret = MHD_queue_response(connection, status, response);
    MHD_destroy_response(response);
    return ret;
}

int queueJson(MHD_Connection *connection, unsigned status, const QJsonObject &body)
{
    return queue(connection, status, QJsonDocument(body).toJson(QJsonDocument::Compact),
                 "application/json; charset=utf-8");
}

int refuse(MHD_Connection *connection, unsigned status, const QString &error)
{
    return queueJson(connection, status, QJsonObject{{QStringLiteral("error"), error}});
}

bool isUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

// The page as gzip makes it: a phone on a busy network loads a third.
QByteArray gzipped(const QByteArray &bytes)
{
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray out(int(deflateBound(&z, uLong(bytes.size()))) + 32, Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    z.avail_in = uInt(bytes.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    const int done = deflate(&z, Z_FINISH);
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return done == Z_STREAM_END ? out : QByteArray();
}

// Whether an Accept-Encoding header takes gzip (and not with q=0).
bool acceptsGzip(const char *header)
{
    if (!header)
        return false;
    for (const QByteArray &part : QByteArray(header).split(',')) {
        const QList<QByteArray> fields = part.trimmed().split(';');
        if (fields.value(0).trimmed().toLower() != "gzip")
            continue;
        for (const QByteArray &f : fields.mid(1)) {
            const QByteArray param = f.trimmed().toLower();
            if (param.startsWith("q=") && param.mid(2).toDouble() <= 0)
                return false;
        }
        return true;
    }
    return false;
}

// One byte range asked for ("bytes=0-99", "bytes=100-", "bytes=-50"):
// start and length within `size`; false when the header asks for none this
// server gives (several ranges, another unit: the whole file is sent) and
// *unsatisfiable when the range lies outside the file.
bool byteRange(const char *header, qint64 size, qint64 *start, qint64 *length, bool *unsatisfiable)
{
    *unsatisfiable = false;
    if (!header)
        return false;
    const QByteArray spec = QByteArray(header).trimmed();
    if (!spec.startsWith("bytes=") || spec.contains(','))
        return false;
    const QByteArray range = spec.mid(6).trimmed();
    const qsizetype dash = range.indexOf('-');
    if (dash < 0)
        return false;
    bool okFirst = true, okLast = true;
    const QByteArray first = range.left(dash).trimmed(), last = range.mid(dash + 1).trimmed();
    const qint64 from = first.isEmpty() ? -1 : first.toLongLong(&okFirst);
    const qint64 to = last.isEmpty() ? -1 : last.toLongLong(&okLast);
    if (!okFirst || !okLast || (from < 0 && to < 0) || (from >= 0 && to >= 0 && to < from))
        return false;
    if (from < 0) {   // the last `to` bytes
        if (to == 0 || size == 0) {
            *unsatisfiable = true;
            return false;
        }
        *start = qMax<qint64>(0, size - to);
    } else {
        if (from >= size) {
            *unsatisfiable = true;
            return false;
        }
        *start = from;
    }
    const qint64 end = from >= 0 && to >= 0 ? qMin(to, size - 1) : size - 1;
    *length = end - *start + 1;
    return true;
}

// The numeric address of the device a request came from.
QString clientAddress(MHD_Connection *connection)
{
    const MHD_ConnectionInfo *info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (!info || !info->client_addr)
        return {};
    const socklen_t length = info->client_addr->sa_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    char text[NI_MAXHOST] = {};
    if (::getnameinfo(info->client_addr, length, text, sizeof text, nullptr, 0, NI_NUMERICHOST) != 0)
        return {};
    return QString::fromLatin1(text);
}

// Enough descriptors for every connection the server allows: the soft
// limit raised to the hard one.
void raiseDescriptorLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}
}

LiveServer::LiveServer(LiveClass &liveClass, QByteArray page, const QList<PageMedia> &media)
    : m_class(liveClass), m_page(std::move(page)), m_pageGzip(gzipped(m_page))
{
    for (const PageMedia &m : media)
        m_media.insert(m.packagedName.toUtf8(), Media{m.bytes, m.file, m.mimeType.toLatin1()});
}

LiveServer::~LiveServer()
{
    stop();
}

QString LiveServer::joinAddress() const
{
    return LiveAddress::joinAddress(joinHost(), m_port, m_class.code());
}

QString LiveServer::joinHost() const
{
    if (!LiveAddress::isWildcard(m_host))
        return m_host;
    return LiveAddress::localAddresses().value(0, LiveAddress::Loopback);
}

bool LiveServer::listen(const QString &host, int port)
{
    sockaddr_storage address{};
    unsigned family = 0;
    auto *v4 = reinterpret_cast<sockaddr_in *>(&address);
    auto *v6 = reinterpret_cast<sockaddr_in6 *>(&address);
    if (::inet_pton(AF_INET, host.toLatin1().constData(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(quint16(port));
    } else if (::inet_pton(AF_INET6, host.toLatin1().constData(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(quint16(port));
        // Every network, IPv4 as well, when listening on all of IPv6.
        family = LiveAddress::isWildcard(host) ? MHD_USE_DUAL_STACK : MHD_USE_IPv6;
    } else {
        return false;
    }
    // Threads from a pool, each watching its connections with epoll; a
    // handler waits only for the journal's sync.
    const unsigned threads = 16;
    const MHD_AccessHandlerCallback access = [](void *self, MHD_Connection *connection, const char *url,
                                                const char *method, const char *version, const char *upload,
                                                size_t *uploadSize, void **context) {
        return MHD_Result(handle(self, connection, url, method, version, upload, uploadSize, context));
    };
    const MHD_RequestCompletedCallback done = [](void *self, MHD_Connection *connection, void **context,
                                                 MHD_RequestTerminationCode code) {
        completed(self, connection, context, int(code));
    };
    m_daemon = MHD_start_daemon(
        MHD_USE_EPOLL_INTERNAL_THREAD | MHD_USE_ITC | family, 0, nullptr, nullptr,
        access, this,
        MHD_OPTION_SOCK_ADDR, reinterpret_cast<sockaddr *>(&address),
        MHD_OPTION_THREAD_POOL_SIZE, threads,
        MHD_OPTION_CONNECTION_LIMIT, MaxConnections,
        MHD_OPTION_PER_IP_CONNECTION_LIMIT, m_perAddress,
        MHD_OPTION_CONNECTION_TIMEOUT, IdleSeconds,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, size_t(32 * 1024),
        MHD_OPTION_LISTEN_BACKLOG_SIZE, 1024u,
        MHD_OPTION_STRICT_FOR_CLIENT, 1,
        MHD_OPTION_NOTIFY_COMPLETED, done, this,
        MHD_OPTION_END);
    if (!m_daemon)
        return false;
    const MHD_DaemonInfo *info = MHD_get_daemon_info(m_daemon, MHD_DAEMON_INFO_BIND_PORT);
    m_port = info ? info->port : port;
    m_host = host;
    return true;
}

bool LiveServer::start(const QString &host, int port, QString *reason)
{
    raiseDescriptorLimit();
    m_base = "/" + m_class.code().toLatin1() + "/";
    QList<int> candidates;
    if (port > 0) {
        candidates << port;
    } else {
        if (m_class.port() > 0)
            candidates << m_class.port();
        candidates << 8080;
        for (int p = 8000; p < 8100; ++p)
            candidates << p;
        candidates << 0;
    }
    for (int p : candidates) {
        if (listen(host, p)) {
            m_class.rememberPort(m_port);
            return true;
        }
    }
    *reason = port > 0 ? QStringLiteral("Port %1 of %2 cannot be used: it is taken, or not this computer's.").arg(port).arg(host)
                       : QStringLiteral("No port of %1 can be used.").arg(host);
    return false;
}

void LiveServer::stop()
{
    if (!m_daemon)
        return;
    MHD_stop_daemon(m_daemon);
    m_daemon = nullptr;
}

void LiveServer::completed(void *, MHD_Connection *, void **context, int)
{
    delete static_cast<Request *>(*context);
    *context = nullptr;
}

int LiveServer::handle(void *self, MHD_Connection *connection, const char *url, const char *method, const char *,
                       const char *upload, size_t *uploadSize, void **context)
{
    auto *server = static_cast<LiveServer *>(self);
    auto *request = static_cast<Request *>(*context);
    if (!request) {
        request = new Request;
        *context = request;
        // A body larger than any join or answer is refused before a byte
        // of it is read.
        const char *length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
        // A request stating both its length and its chunks is read one way
        // by one server and the other way by the next: refused outright.
        if (length && MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_TRANSFER_ENCODING)) {
            request->refused = true;
            return refuse(connection, MHD_HTTP_BAD_REQUEST, QStringLiteral("A request states its length once."));
        }
        if (length && QByteArray(length).toLongLong() > MaxBody) {
            request->refused = true;
            return refuse(connection, MHD_HTTP_CONTENT_TOO_LARGE, QStringLiteral("Too much for one request."));
        }
        return MHD_YES;
    }
    if (*uploadSize > 0) {
        // A body without a stated length (chunked) that grows past the
        // limit: the connection is closed, as no reply can be sent before
        // the body would be read to its end.
        if (request->body.size() + qint64(*uploadSize) > MaxBody)
            return MHD_NO;
        request->body.append(upload, qsizetype(*uploadSize));
        *uploadSize = 0;
        return MHD_YES;
    }
    if (request->refused)
        return MHD_YES;
    return server->route(connection, QByteArray(url), QByteArray(method), request->body);
}

int LiveServer::route(MHD_Connection *connection, const QByteArray &url, const QByteArray &method, const QByteArray &body)
{
    // The join address without its final slash leads to it.
    if (url == m_base.chopped(1)) {
        MHD_Response *response = MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT);
        MHD_add_response_header(response, MHD_HTTP_HEADER_LOCATION, m_base.constData());
        const int ret = MHD_queue_response(connection, MHD_HTTP_MOVED_PERMANENTLY, response);
        MHD_destroy_response(response);
        return ret;
    }
    if (!url.startsWith(m_base))
        return queue(connection, MHD_HTTP_NOT_FOUND, "Not found.\n", "text/plain; charset=utf-8");
    const QByteArray rest = url.mid(m_base.size());
    const bool get = method == MHD_HTTP_METHOD_GET || method == MHD_HTTP_METHOD_HEAD;
    if (get && (rest.isEmpty() || rest == "index.html"))
        return servePage(connection);
    if (get && rest == "names")
        return queueJson(connection, MHD_HTTP_OK,
                         QJsonObject{{QStringLiteral("names"), QJsonArray::fromStringList(m_class.classList())}});
    if (get) {
        const auto it = m_media.constFind(rest);
        if (it == m_media.constEnd())
            return queue(connection, MHD_HTTP_NOT_FOUND, "Not found.\n", "text/plain; charset=utf-8");
        return serveMedia(connection, *it);
    }
    if (method != MHD_HTTP_METHOD_POST || (rest != "join" && rest != "answer" && rest != "finish"))
        return queue(connection, rest == "join" || rest == "answer" || rest == "finish" ? MHD_HTTP_METHOD_NOT_ALLOWED
                                                                                         : MHD_HTTP_NOT_FOUND,
                     "Not found.\n", "text/plain; charset=utf-8");
    if (!isUtf8(body))
        return refuse(connection, MHD_HTTP_BAD_REQUEST, QStringLiteral("The request is not UTF-8 text."));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return refuse(connection, MHD_HTTP_BAD_REQUEST, QStringLiteral("The request is not a JSON object."));
    const LiveReply reply = rest == "join" ? m_class.join(doc.object(), clientAddress(connection))
                            : rest == "answer" ? m_class.answer(doc.object())
                                               : m_class.finish(doc.object());
    return queueJson(connection, unsigned(reply.status), reply.body);
}

int LiveServer::servePage(MHD_Connection *connection)
{
    const bool gzip = !m_pageGzip.isEmpty()
                      && acceptsGzip(MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_ACCEPT_ENCODING));
    const QByteArray &body = gzip ? m_pageGzip : m_page;
    MHD_Response *response = MHD_create_response_from_buffer(size_t(body.size()), const_cast<char *>(body.constData()),
                                                             MHD_RESPMEM_PERSISTENT);
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, "text/html; charset=utf-8");
    MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
    MHD_add_response_header(response, MHD_HTTP_HEADER_VARY, "Accept-Encoding");
    MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
    MHD_add_response_header(response, "Referrer-Policy", "no-referrer");
    if (gzip)
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_ENCODING, "gzip");
    const int ret = MHD_queue_response(connection, MHD_HTTP_OK, response);
    MHD_destroy_response(response);
    return ret;
}

int LiveServer::serveMedia(MHD_Connection *connection, const Media &media)
{
    const qint64 size = media.file ? media.file->size() : media.bytes.size();
    // Phones ask for a video a range of bytes at a time.
    qint64 start = 0, length = size;
    bool unsatisfiable = false;
    const bool partial = byteRange(MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_RANGE),
                                   size, &start, &length, &unsatisfiable);
    if (unsatisfiable) {
        MHD_Response *response = MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT);
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_RANGE, QByteArray("bytes */" + QByteArray::number(size)).constData());
        const int ret = MHD_queue_response(connection, MHD_HTTP_RANGE_NOT_SATISFIABLE, response);
        MHD_destroy_response(response);
        return ret;
    }
    MHD_Response *response = nullptr;
    if (media.file) {
        const int fd = ::dup(media.file->handle());
        if (fd >= 0)
            response = MHD_create_response_from_fd_at_offset64(uint64_t(length), fd, uint64_t(start));
        if (!response && fd >= 0)
            ::close(fd);
    } else {
        response = MHD_create_response_from_buffer(size_t(length), const_cast<char *>(media.bytes.constData() + start),
                                                   MHD_RESPMEM_PERSISTENT);
    }
    if (!response)
        return queue(connection, MHD_HTTP_INTERNAL_SERVER_ERROR, "Cannot be read.\n", "text/plain; charset=utf-8");
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, media.mimeType.constData());
    MHD_add_response_header(response, MHD_HTTP_HEADER_ACCEPT_RANGES, "bytes");
    MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
    if (partial)
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_RANGE,
                                QByteArray("bytes " + QByteArray::number(start) + '-' + QByteArray::number(start + length - 1)
                                           + '/' + QByteArray::number(size))
                                    .constData());
    const int ret = MHD_queue_response(connection, partial ? MHD_HTTP_PARTIAL_CONTENT : MHD_HTTP_OK, response);
    MHD_destroy_response(response);
    return ret;
}
