#pragma once
// The boundary between the live class's server (LiveServer: what is served
// and what a request means) and the HTTP server under it, libmicrohttpd, in
// a module of its own (libardeno_httpserver.so) loaded when a class starts:
// libmicrohttpd brings GnuTLS and its libraries with it, which would cost
// every start of the editor. The module exports one extern "C" function,
// ardeno_create_http_server(version), returning a new server or nullptr
// when it was built for another version of this interface.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// A request as the server has read it.
struct HttpRequest {
    // Read no further: the request states both its length and its chunks
    // (one server reads it one way, the next the other), or states a body
    // over the limit. Either is answered at once, before a byte of the body
    // is read.
    enum class Problem { None, LengthStatedTwice, TooLarge };
    Problem problem = Problem::None;
    QByteArray method;
    QByteArray url;
    QByteArray body;
    QByteArray acceptEncoding;   // the headers the live class looks at
    QByteArray range;
    QString clientAddress;       // numeric, of the device the request came from
};

// What is sent back.
struct HttpReply {
    unsigned status = 200;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;             // shared with the reply, never copied
    // A file's bytes instead of `body`: `length` bytes from `offset` of this
    // descriptor, which the server closes once sent.
    int fd = -1;
    qint64 offset = 0;
    qint64 length = 0;
};

// Called on the server's threads, several at once.
class HttpHandler {
public:
    virtual ~HttpHandler() = default;
    virtual HttpReply handle(const HttpRequest &request) = 0;
};

struct HttpLimits {
    qint64 maxBody = 64 * 1024;
    unsigned idleSeconds = 15;
    unsigned maxConnections = 4000;
    unsigned connectionsPerAddress = 64;
    unsigned threads = 16;
};

class HttpServer {
public:
    virtual ~HttpServer() = default;
    // Listens on the numeric address `host` (IPv4 or IPv6; `everyNetwork`:
    // IPv4 as well on the IPv6 wildcard) at `port` (0: any free one). The
    // port taken, or 0 when none could be had.
    virtual int listen(const QString &host, int port, bool everyNetwork, const HttpLimits &limits,
                       HttpHandler *handler) = 0;
    // Stops taking connections, lets the requests under way end, closes.
    virtual void stop() = 0;
};

constexpr int kHttpServerInterfaceVersion = 1;
#define ARDENO_HTTPSERVER_MODULE "ardeno_httpserver"
#define ARDENO_HTTPSERVER_FACTORY "ardeno_create_http_server"
