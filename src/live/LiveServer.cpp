#include "live/LiveServer.h"

#include "live/LiveAddress.h"
#include "live/LiveClass.h"
#include "platform/ModuleLoader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QStringDecoder>

#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

namespace {
enum Status : unsigned {
    Ok = 200,
    PartialContent = 206,
    MovedPermanently = 301,
    BadRequest = 400,
    NotFound = 404,
    MethodNotAllowed = 405,
    ContentTooLarge = 413,
    RangeNotSatisfiable = 416,
    InternalServerError = 500,
};

HttpReply reply(unsigned status, const QByteArray &body, const QByteArray &type)
{
    HttpReply r;
    r.status = status;
    r.body = body;
    r.headers = {{"Content-Type", type}, {"Cache-Control", "no-store"}, {"X-Content-Type-Options", "nosniff"},
                 {"Referrer-Policy", "no-referrer"}};
    return r;
}

HttpReply notFound(unsigned status = NotFound)
{
    return reply(status, "Not found.\n", "text/plain; charset=utf-8");
}

HttpReply json(unsigned status, const QJsonObject &body)
{
    return reply(status, QJsonDocument(body).toJson(QJsonDocument::Compact), "application/json; charset=utf-8");
}

HttpReply refusal(unsigned status, const QString &error)
{
    return json(status, QJsonObject{{QStringLiteral("error"), error}});
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
bool acceptsGzip(const QByteArray &header)
{
    for (const QByteArray &part : header.split(',')) {
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
bool byteRange(const QByteArray &header, qint64 size, qint64 *start, qint64 *length, bool *unsatisfiable)
{
    *unsatisfiable = false;
    const QByteArray spec = header.trimmed();
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

bool LiveServer::start(const QString &host, int port, QString *reason)
{
    stop();
    if (!m_http) {
        QString error;
        m_http = ModuleLoader::create<HttpServer>(QStringLiteral(ARDENO_HTTPSERVER_MODULE), ARDENO_HTTPSERVER_FACTORY,
                                                  kHttpServerInterfaceVersion, &error);
        if (!m_http) {
            *reason = QStringLiteral("The class cannot be served: %1").arg(error);
            return false;
        }
    }
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
    HttpLimits limits;
    limits.maxBody = MaxBody;
    limits.idleSeconds = IdleSeconds;
    limits.maxConnections = MaxConnections;
    limits.connectionsPerAddress = m_perAddress;
    for (int p : candidates) {
        const int taken = m_http->listen(host, p, LiveAddress::isWildcard(host), limits, this);
        if (taken > 0) {
            m_port = taken;
            m_host = host;
            m_running = true;
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
    if (m_http)
        m_http->stop();
    m_running = false;
}

HttpReply LiveServer::handle(const HttpRequest &request)
{
    if (request.problem == HttpRequest::Problem::LengthStatedTwice)
        return refusal(BadRequest, QStringLiteral("A request states its length once."));
    if (request.problem == HttpRequest::Problem::TooLarge)
        return refusal(ContentTooLarge, QStringLiteral("Too much for one request."));
    const QByteArray &url = request.url;
    // The join address without its final slash leads to it.
    if (url == m_base.chopped(1)) {
        HttpReply moved;
        moved.status = MovedPermanently;
        moved.headers = {{"Location", m_base}};
        return moved;
    }
    if (!url.startsWith(m_base))
        return notFound();
    const QByteArray rest = url.mid(m_base.size());
    const bool get = request.method == "GET" || request.method == "HEAD";
    if (get && (rest.isEmpty() || rest == "index.html"))
        return servePage(request);
    if (get && rest == "names")
        return json(Ok, QJsonObject{{QStringLiteral("names"), QJsonArray::fromStringList(m_class.classList())}});
    if (get) {
        const auto it = m_media.constFind(rest);
        return it == m_media.constEnd() ? notFound() : serveMedia(request, *it);
    }
    const bool posted = rest == "join" || rest == "answer" || rest == "finish";
    if (request.method != "POST" || !posted)
        return notFound(posted ? MethodNotAllowed : NotFound);
    if (!isUtf8(request.body))
        return refusal(BadRequest, QStringLiteral("The request is not UTF-8 text."));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(request.body, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return refusal(BadRequest, QStringLiteral("The request is not a JSON object."));
    const LiveReply answer = rest == "join" ? m_class.join(doc.object(), request.clientAddress)
                             : rest == "answer" ? m_class.answer(doc.object())
                                                : m_class.finish(doc.object());
    return json(unsigned(answer.status), answer.body);
}

HttpReply LiveServer::servePage(const HttpRequest &request) const
{
    const bool gzip = !m_pageGzip.isEmpty() && acceptsGzip(request.acceptEncoding);
    HttpReply page = reply(Ok, gzip ? m_pageGzip : m_page, "text/html; charset=utf-8");
    page.headers.append(qMakePair(QByteArray("Vary"), QByteArray("Accept-Encoding")));
    if (gzip)
        page.headers.append(qMakePair(QByteArray("Content-Encoding"), QByteArray("gzip")));
    return page;
}

HttpReply LiveServer::serveMedia(const HttpRequest &request, const Media &media) const
{
    const qint64 size = media.file ? media.file->size() : media.bytes.size();
    // Phones ask for a video a range of bytes at a time.
    qint64 start = 0, length = size;
    bool unsatisfiable = false;
    const bool partial = byteRange(request.range, size, &start, &length, &unsatisfiable);
    HttpReply r;
    if (unsatisfiable) {
        r.status = RangeNotSatisfiable;
        r.headers = {{"Content-Range", "bytes */" + QByteArray::number(size)}};
        return r;
    }
    if (media.file) {
        r.fd = ::dup(media.file->handle());
        if (r.fd < 0)
            return reply(InternalServerError, "Cannot be read.\n", "text/plain; charset=utf-8");
        r.offset = start;
        r.length = length;
    } else {
        r.body = media.bytes.mid(start, length);
    }
    r.status = partial ? PartialContent : Ok;
    r.headers = {{"Content-Type", media.mimeType}, {"Accept-Ranges", "bytes"}, {"X-Content-Type-Options", "nosniff"}};
    if (partial)
        r.headers.append(qMakePair(QByteArray("Content-Range"),
                                   "bytes " + QByteArray::number(start) + '-' + QByteArray::number(start + length - 1)
                                       + '/' + QByteArray::number(size)));
    return r;
}
