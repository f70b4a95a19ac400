#pragma once
// A live class as the teacher starts it: the saved test read, its page made
// for the room (right answers kept back), the class taken up in its results
// folder, and the server listening. The window and `ardeno-tool serve` both
// run one.

#include "document/TestFile.h"
#include "live/LiveClass.h"
#include "live/LiveServer.h"
#include "platform/WorkProgress.h"

#include <QDate>
#include <QObject>
#include <QStringList>
#include <memory>

class LiveSession : public QObject {
    Q_OBJECT
public:
    explicit LiveSession(QObject *parent = nullptr);
    ~LiveSession() override;

    // Why the test on screen cannot be handed to a class as it is ("" when
    // it can): a class takes the test as saved, so a new test, or one with
    // changes its file (or its companion file of descriptions) lacks, is to
    // be saved first. *saved gets the test as its file was read, for
    // prepare() to make the page of that very test.
    static QString unsavedReason(const QString &path, const QString &title, const QString &teacher,
                                 const QStringList &records, const TestCompanion &companion = TestCompanion(),
                                 LoadedTest *saved = nullptr);

    // Beside the test: "<test name> results <date>".
    static QString defaultResultsFolder(const QString &testPath, const QDate &day);

    // Reads the test at `testPath` (or takes `read`, the test as its file was
    // read already) and makes its page: the heavy part (media conversions),
    // which `progress` follows and may cancel. False with a sentence for the
    // teacher.
    bool prepare(const QString &testPath, QString *reason, WorkProgress *progress = nullptr,
                 const LoadedTest *read = nullptr);
    // What became of each media file (as the web quiz export reports it).
    QStringList mediaReport() const { return m_mediaReport; }
    QString testTitle() const { return m_test.title; }

    // Opens the class in `resultsFolder` and serves it on `host`:`port` (0:
    // the class's own port, or a free one). No host: the one the class was
    // served on last, while this computer still has it, else the address of
    // the network this computer reaches others by, else loopback.
    bool start(const QString &resultsFolder, const QString &host, int port, QString *reason);
    // Stops the server; the class and its folder stay as they are.
    void stop();
    // Stops the server and lets the results folder go (another window may
    // take it up at once).
    void close();

    LiveClass *liveClass() const { return m_class.get(); }
    LiveServer *server() const { return m_server.get(); }
    QString joinAddress() const { return m_server ? m_server->joinAddress() : QString(); }
    // The class's address before this start, when it was served before on
    // another address or port (the port taken meanwhile, the network gone):
    // the students who joined need the new one. "" when it is the same.
    QString formerAddress() const { return m_formerAddress; }
    // Connections one device may hold (see LiveServer).
    void setConnectionsPerAddress(unsigned connections) { m_connectionsPerAddress = connections; }
    // Each student in an order of their own, whatever the test's companion
    // file says (before prepare()).
    void shuffleForEachStudent() { m_shuffle = true; }

private:
    LiveTest m_test;
    QString m_title;
    QJsonObject m_quiz;
    QString m_formerAddress;
    unsigned m_connectionsPerAddress = LiveServer::DefaultConnectionsPerAddress;
    bool m_shuffle = false;
    QList<PageMedia> m_media;
    QStringList m_mediaReport;
    std::unique_ptr<LiveClass> m_class;
    std::unique_ptr<LiveServer> m_server;
};
