#include "live/LiveSession.h"

#include "document/CompanionFile.h"
#include "document/MediaLookup.h"
#include "live/LiveAddress.h"
#include "document/TestFile.h"
#include "webquiz/WebQuizExporter.h"
#include "webquiz/WebQuizPage.h"

#include <QDir>
#include <QFileInfo>

LiveSession::LiveSession(QObject *parent) : QObject(parent) {}

LiveSession::~LiveSession()
{
    stop();
}

QString LiveSession::unsavedReason(const QString &path, const QString &title, const QString &teacher,
                                   const QStringList &records, const TestCompanion &companion, LoadedTest *read)
{
    if (path.isEmpty())
        return QStringLiteral("Save the test first: a class takes the test as it is saved.");
    const TestReadResult saved = readTestFile(path);
    if (!saved.test
        || testIdentity(saved.test->title, saved.test->teacher, saved.test->records) != testIdentity(title, teacher, records)
        || CompanionFile::bytes(saved.test->companion, saved.test->records) != CompanionFile::bytes(companion, records))
        return QStringLiteral("Save the test first: a class takes the test as it is saved, and it has changes "
                              "that are not saved yet.");
    if (read)
        *read = *saved.test;
    return {};
}

QString LiveSession::defaultResultsFolder(const QString &testPath, const QDate &day)
{
    const QFileInfo test(testPath);
    return test.absoluteDir().filePath(
        QStringLiteral("%1 results %2").arg(test.completeBaseName(), day.toString(QStringLiteral("yyyy-MM-dd"))));
}

bool LiveSession::prepare(const QString &testPath, QString *reason, WorkProgress *progress, const LoadedTest *given)
{
    TestReadResult read;
    if (given) {
        read.test = *given;
    } else {
        read = readTestFile(testPath);
        if (!read.test) {
            *reason = read.error;
            return false;
        }
    }
    const LoadedTest &t = *read.test;
    WebQuizExporter exporter;
    exporter.serveLive();
    const QString identity = testIdentity(t.title, t.teacher, t.records);
    exporter.identifyAs(identity);
    TestCompanion companion = t.companion;
    companion.shuffle = companion.shuffle || m_shuffle;
    exporter.describeWith(companion);
    const QString folder = QFileInfo(testPath).absolutePath() + QLatin1Char('/');
    const WebQuizExport page = exporter.exportTest(t.title, t.teacher, t.records, folder, progress);
    if (WorkProgress::stopped(progress)) {
        *reason = QStringLiteral("cancelled");
        return false;
    }
    m_test = LiveTest{t.title, t.teacher, identity, page.keptKey};
    m_title = t.title;
    m_quiz = page.quiz;
    m_media = page.parts.media();
    m_mediaReport = page.report;
    return true;
}

bool LiveSession::start(const QString &resultsFolder, const QString &host, int port, QString *reason)
{
    stop();
    m_class = std::make_unique<LiveClass>(m_test, QDir(resultsFolder).absolutePath());
    if (!m_class->open(reason)) {
        m_class.reset();
        return false;
    }
    QString where = LiveAddress::bindAddress(host);
    const QString last = m_class->host();
    if (where.isEmpty()) {
        const QStringList local = LiveAddress::localAddresses();
        where = !last.isEmpty()
                        && (local.contains(last) || last == LiveAddress::Loopback || LiveAddress::isWildcard(last)
                            || last == QLatin1String("::1"))
                    ? last
                    : local.value(0, LiveAddress::Loopback);
    }
    const int lastPort = m_class->port();
    // The page names the test by the class's own id, never by the test's
    // identity (a digest of its right answers too).
    QJsonObject quiz = m_quiz;
    quiz[QStringLiteral("id")] = m_class->classId();
    m_server = std::make_unique<LiveServer>(*m_class, WebQuizPage::build(m_title, quiz, m_media), m_media);
    m_server->setConnectionsPerAddress(m_connectionsPerAddress);
    if (!m_server->start(where, port, reason)) {
        m_server.reset();
        return false;
    }
    m_formerAddress.clear();
    if (!last.isEmpty() && lastPort > 0) {
        const QString before = LiveAddress::joinAddress(last, lastPort, m_class->code());
        // As the join address shows it: a class on every network names one.
        const QString beforeShown = LiveAddress::isWildcard(last) ? m_server->joinAddress() : before;
        if (beforeShown != m_server->joinAddress())
            m_formerAddress = beforeShown;
    }
    m_class->rememberHost(where);
    return true;
}

void LiveSession::close()
{
    stop();
    m_class.reset();
}

void LiveSession::stop()
{
    if (m_server)
        m_server->stop();
    m_server.reset();
}
