#include "live/LiveSession.h"

#include "document/CompanionFile.h"
#include "document/MediaLookup.h"
#include "live/LiveAddress.h"
#include "document/TestFile.h"
#include "webquiz/WebQuizExporter.h"

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
    exporter.describeWith(t.companion);
    const QString folder = QFileInfo(testPath).absolutePath() + QLatin1Char('/');
    const WebQuizExport page = exporter.exportTest(t.title, t.teacher, t.records, folder, progress);
    if (WorkProgress::stopped(progress)) {
        *reason = QStringLiteral("cancelled");
        return false;
    }
    m_test = LiveTest{t.title, t.teacher, identity, page.keptKey};
    m_page = page.page();
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
    QString where = host;
    if (where.isEmpty()) {
        const QStringList local = LiveAddress::localAddresses();
        const QString last = m_class->host();
        where = !last.isEmpty() && (local.contains(last) || last == LiveAddress::Loopback) ? last
                                                                                          : local.value(0, LiveAddress::Loopback);
    }
    m_server = std::make_unique<LiveServer>(*m_class, m_page, m_media);
    if (!m_server->start(where, port, reason)) {
        m_server.reset();
        return false;
    }
    m_class->rememberHost(where);
    return true;
}

void LiveSession::stop()
{
    if (m_server)
        m_server->stop();
    m_server.reset();
}
