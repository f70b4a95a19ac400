#pragma once
// The live class's web server: it serves the page and the test's own media
// under the join address, and takes joins, answers and finished attempts as
// JSON (see the README's "Live class"). Nothing else is served: names are
// looked up in a fixed table, never on the disk, and everything outside the
// join address answers 404.
//
// Built for a school network, over the HTTP server of HttpServer.h (loaded
// with the first class): request bodies over 64 KB are refused before they
// are read, connections idle too long are closed, a few threads serve
// thousands of connections, and a slow or hostile client holds up no one.

#include "live/HttpServer.h"
#include "webquiz/WebQuizPage.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>

class LiveClass;

class LiveServer : private HttpHandler {
public:
    static constexpr qint64 MaxBody = 64 * 1024;
    static constexpr unsigned IdleSeconds = 15;
    static constexpr unsigned MaxConnections = 4000;
    // Connections one device may hold at once: a phone opens a few; a
    // client that opens thousands is refused the rest at once, so slow or
    // idle connections from one machine cannot starve the room.
    static constexpr unsigned DefaultConnectionsPerAddress = 64;

    // page: the live page's bytes; media: its files by their names beside it.
    LiveServer(LiveClass &liveClass, QByteArray page, const QList<PageMedia> &media);
    ~LiveServer() override;
    LiveServer(const LiveServer &) = delete;
    LiveServer &operator=(const LiveServer &) = delete;

    void setConnectionsPerAddress(unsigned connections) { m_perAddress = connections; }

    // Listens on `host` only: an IPv4 or IPv6 address, "localhost", or
    // "0.0.0.0" or "::" for every network of this computer (the join address
    // then names the network it reaches others by). `port` 0: the class's own
    // port when it is free, else one of 8080 and 8000 to 8099 that is, else
    // any; the port taken is remembered for the class. False with the
    // reason when no port can be had (or the server's module is missing).
    bool start(const QString &host, int port, QString *reason);
    // Stops taking connections, lets the requests under way end, closes.
    void stop();
    bool isRunning() const { return m_running; }
    int port() const { return m_port; }
    QString host() const { return m_host; }
    // The host the join address names.
    QString joinHost() const;
    QString joinAddress() const;

    struct Media {
        QByteArray bytes;
        OpenFilePtr file;
        QByteArray mimeType;
    };

private:
    HttpReply handle(const HttpRequest &request) override;
    HttpReply serveMedia(const HttpRequest &request, const Media &media) const;
    HttpReply servePage(const HttpRequest &request) const;

    LiveClass &m_class;
    QByteArray m_page;
    QByteArray m_pageGzip;              // the page as a browser that accepts gzip is sent it
    unsigned m_perAddress = DefaultConnectionsPerAddress;
    QHash<QByteArray, Media> m_media;   // "media/3.jpg"
    std::unique_ptr<HttpServer> m_http;
    bool m_running = false;
    QString m_host;
    int m_port = 0;
    QByteArray m_base;                  // "/k3m9tx/"
};
