// The live class's HTTP server on libmicrohttpd (see HttpServer.h): a few
// threads serving thousands of connections (epoll), bodies over the limit
// refused before they are read, idle connections closed, and a limit of
// connections per device, so that a slow or hostile client holds up no one.
#include "live/HttpServer.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

namespace {

struct Request {
    HttpRequest request;
    bool answered = false;   // a reply is queued already
};

const char *header(MHD_Connection *connection, const char *name)
{
    return MHD_lookup_connection_value(connection, MHD_HEADER_KIND, name);
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

MHD_Response *response(const HttpReply &reply)
{
    if (reply.fd >= 0) {
        MHD_Response *r = MHD_create_response_from_fd_at_offset64(uint64_t(reply.length), reply.fd, uint64_t(reply.offset));
        if (!r)
            ::close(reply.fd);
        return r;
    }
    // The body's bytes are shared with a copy of the array held until the
    // reply is sent, so a page or a picture is never copied per request.
    auto *held = new QByteArray(reply.body);
    MHD_Response *r = MHD_create_response_from_buffer_with_free_callback_cls(
        size_t(held->size()), const_cast<char *>(held->constData()), [](void *p) { delete static_cast<QByteArray *>(p); }, held);
    if (!r)
        delete held;
    return r;
}

int queue(MHD_Connection *connection, const HttpReply &reply)
{
    MHD_Response *r = response(reply);
    if (!r)
        return MHD_NO;
    for (const auto &h : reply.headers)
        MHD_add_response_header(r, h.first.constData(), h.second.constData());
    const int ret = MHD_queue_response(connection, reply.status, r);
    MHD_destroy_response(r);
    return ret;
}

class MhdServer : public HttpServer {
public:
    ~MhdServer() override { stop(); }

    int listen(const QString &host, int port, bool everyNetwork, const HttpLimits &limits,
               HttpHandler *handler) override
    {
        stop();
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
            family = everyNetwork ? MHD_USE_DUAL_STACK : MHD_USE_IPv6;
        } else {
            return 0;
        }
        m_handler = handler;
        m_maxBody = limits.maxBody;
        // Threads from a pool, each watching its connections with epoll; a
        // handler waits only for the journal's sync.
        m_daemon = MHD_start_daemon(
            MHD_USE_EPOLL_INTERNAL_THREAD | MHD_USE_ITC | family, 0, nullptr, nullptr,
            &MhdServer::access, this,
            MHD_OPTION_SOCK_ADDR, reinterpret_cast<sockaddr *>(&address),
            MHD_OPTION_THREAD_POOL_SIZE, limits.threads,
            MHD_OPTION_CONNECTION_LIMIT, limits.maxConnections,
            MHD_OPTION_PER_IP_CONNECTION_LIMIT, limits.connectionsPerAddress,
            MHD_OPTION_CONNECTION_TIMEOUT, limits.idleSeconds,
            MHD_OPTION_CONNECTION_MEMORY_LIMIT, size_t(32 * 1024),
            MHD_OPTION_LISTEN_BACKLOG_SIZE, 1024u,
            MHD_OPTION_STRICT_FOR_CLIENT, 1,
            MHD_OPTION_NOTIFY_COMPLETED, &MhdServer::completed, this,
            MHD_OPTION_END);
        if (!m_daemon)
            return 0;
        const MHD_DaemonInfo *info = MHD_get_daemon_info(m_daemon, MHD_DAEMON_INFO_BIND_PORT);
        return info ? info->port : port;
    }

    void stop() override
    {
        if (m_daemon)
            MHD_stop_daemon(m_daemon);
        m_daemon = nullptr;
    }

private:
    static void completed(void *, MHD_Connection *, void **context, MHD_RequestTerminationCode)
    {
        delete static_cast<Request *>(*context);
        *context = nullptr;
    }

    static MHD_Result access(void *self, MHD_Connection *connection, const char *url, const char *method,
                             const char *, const char *upload, size_t *uploadSize, void **context)
    {
        auto *server = static_cast<MhdServer *>(self);
        auto *request = static_cast<Request *>(*context);
        if (!request) {
            request = new Request;
            *context = request;
            const char *length = header(connection, MHD_HTTP_HEADER_CONTENT_LENGTH);
            HttpRequest::Problem problem = HttpRequest::Problem::None;
            if (length && header(connection, MHD_HTTP_HEADER_TRANSFER_ENCODING))
                problem = HttpRequest::Problem::LengthStatedTwice;
            else if (length && QByteArray(length).toLongLong() > server->m_maxBody)
                problem = HttpRequest::Problem::TooLarge;
            if (problem == HttpRequest::Problem::None)
                return MHD_YES;
            request->answered = true;
            request->request.problem = problem;
            return MHD_Result(queue(connection, server->m_handler->handle(request->request)));
        }
        if (*uploadSize > 0) {
            // A body without a stated length (chunked) that grows past the
            // limit: the connection is closed, as no reply can be sent
            // before the body would be read to its end.
            if (request->request.body.size() + qint64(*uploadSize) > server->m_maxBody)
                return MHD_NO;
            request->request.body.append(upload, qsizetype(*uploadSize));
            *uploadSize = 0;
            return MHD_YES;
        }
        if (request->answered)
            return MHD_YES;
        request->answered = true;
        HttpRequest &r = request->request;
        r.method = method;
        r.url = url;
        r.acceptEncoding = header(connection, MHD_HTTP_HEADER_ACCEPT_ENCODING);
        r.range = header(connection, MHD_HTTP_HEADER_RANGE);
        r.clientAddress = clientAddress(connection);
        return MHD_Result(queue(connection, server->m_handler->handle(r)));
    }

    MHD_Daemon *m_daemon = nullptr;
    HttpHandler *m_handler = nullptr;
    qint64 m_maxBody = 0;
};

}

extern "C" Q_DECL_EXPORT HttpServer *ardeno_create_http_server(int version)
{
    return version == kHttpServerInterfaceVersion ? new MhdServer : nullptr;
}
