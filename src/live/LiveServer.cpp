#include "live/LiveServer.h"

#include "live/LiveAddress.h"
#include "live/LiveClass.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QStringDecoder>

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <unistd.h>

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
    : m_class(liveClass), m_page(std::move(page))
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
    return LiveAddress::joinAddress(m_host, m_port, m_class.code());
}

bool LiveServer::listen(const QString &host, int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    if (::inet_pton(AF_INET, host.toLatin1().constData(), &address.sin_addr) != 1)
        return false;
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
        MHD_USE_EPOLL_INTERNAL_THREAD | MHD_USE_ITC, 0, nullptr, nullptr,
        access, this,
        MHD_OPTION_SOCK_ADDR, reinterpret_cast<sockaddr *>(&address),
        MHD_OPTION_THREAD_POOL_SIZE, threads,
        MHD_OPTION_CONNECTION_LIMIT, MaxConnections,
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
        return queue(connection, MHD_HTTP_OK, m_page, "text/html; charset=utf-8");
    if (get) {
        const auto it = m_media.constFind(rest);
        if (it == m_media.constEnd())
            return queue(connection, MHD_HTTP_NOT_FOUND, "Not found.\n", "text/plain; charset=utf-8");
        MHD_Response *response = nullptr;
        if (it->file) {
            const int fd = ::dup(it->file->handle());
            if (fd >= 0)
                response = MHD_create_response_from_fd_at_offset64(uint64_t(it->file->size()), fd, 0);
            if (!response && fd >= 0)
                ::close(fd);
        } else {
            response = MHD_create_response_from_buffer(size_t(it->bytes.size()), const_cast<char *>(it->bytes.constData()),
                                                       MHD_RESPMEM_PERSISTENT);
        }
        if (!response)
            return queue(connection, MHD_HTTP_INTERNAL_SERVER_ERROR, "Cannot be read.\n", "text/plain; charset=utf-8");
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, it->mimeType.constData());
        MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
        const int ret = MHD_queue_response(connection, MHD_HTTP_OK, response);
        MHD_destroy_response(response);
        return ret;
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
    const LiveReply reply = rest == "join" ? m_class.join(doc.object())
                            : rest == "answer" ? m_class.answer(doc.object())
                                               : m_class.finish(doc.object());
    return queueJson(connection, unsigned(reply.status), reply.body);
}
