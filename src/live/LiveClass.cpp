#include "live/LiveClass.h"

#include "classresults/ResultLog.h"
#include "classresults/ResultLogText.h"
#include "platform/PrivateFolder.h"

#include <QJsonValue>
#include <QRandomGenerator>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
QString key(QLatin1String s) { return QString(s); }

// A student's token: 128 random bits from the system's generator, which
// only that student's page is given.
QString newToken()
{
    QByteArray bits(16, Qt::Uninitialized);
    QRandomGenerator::system()->generate(reinterpret_cast<quint32 *>(bits.data()),
                                         reinterpret_cast<quint32 *>(bits.data() + bits.size()));
    return QString::fromLatin1(bits.toHex());
}

// The join code: six letters and digits that cannot be mistaken for one
// another when typed from a projector (no 0/o, 1/l/i).
QString newCode()
{
    static const char alphabet[] = "abcdefghjkmnpqrstuvwxyz23456789";
    QString code;
    for (int i = 0; i < 6; ++i)
        code += QLatin1Char(alphabet[QRandomGenerator::system()->bounded(int(sizeof alphabet - 1))]);
    return code;
}

bool isToken(const QString &s)
{
    if (s.size() != 32)
        return false;
    for (QChar c : s)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return false;
    return true;
}

qint64 nowMs() { return QDateTime::currentMSecsSinceEpoch(); }
}

LiveReply LiveReply::refused(int status, const QString &error)
{
    return {status, QJsonObject{{QStringLiteral("error"), error}}};
}

LiveClass::LiveClass(LiveTest test, QString folder, QObject *parent)
    : QObject(parent), m_test(std::move(test)), m_folder(std::move(folder))
{
}

LiveClass::~LiveClass() = default;

QString LiveClass::nameProblem(const QString &name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("Please type your name first.");
    if (name.size() > MaxNameLength)
        return QStringLiteral("Your name is too long: %1 characters at most.").arg(MaxNameLength);
    for (QChar c : name) {
        // Control and format characters (line breaks, NUL, direction marks,
        // zero-width ones) change how a name reads in a file or a table.
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format || c == u'/' || c == u'\\'
            || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return QStringLiteral("Please type your name with letters, digits and blanks.");
    }
    return {};
}

bool LiveClass::open(QString *reason)
{
    QString why;
    if (!PrivateFolder::make(m_folder, &why)) {
        *reason = QStringLiteral("The results folder \"%1\" cannot be used: %2.").arg(m_folder, why);
        return false;
    }
    m_output = std::make_unique<OutputFolder>(m_folder);
    if (!m_output->isOpen()) {
        *reason = QStringLiteral("The results folder \"%1\" cannot be opened: %2.").arg(m_folder, m_output->errorString());
        return false;
    }
    QList<QJsonObject> entries;
    if (!m_journal.open(*m_output, &entries, &why)) {
        *reason = QStringLiteral("The class's journal in \"%1\" cannot be used: %2.").arg(m_folder, why);
        return false;
    }
    const QJsonObject head = entries.value(0);
    if (head.value(key(QLatin1String("e"))).toString() == QLatin1String("class")) {
        const QString id = head.value(key(QLatin1String("test"))).toString();
        if (id != m_test.id) {
            *reason = QStringLiteral("The results folder \"%1\" holds the live class of another test, or of another "
                                     "version of this one (Test id %2, this test's is %3). Choose another folder.")
                          .arg(m_folder, id, m_test.id);
            return false;
        }
        replay(entries);
        return true;
    }
    if (!entries.isEmpty()) {
        *reason = QStringLiteral("The results folder \"%1\" holds a journal that is not a live class's.").arg(m_folder);
        return false;
    }
    m_code = newCode();
    const qint64 seq = m_journal.add({{QStringLiteral("e"), QStringLiteral("class")},
                                      {QStringLiteral("code"), m_code},
                                      {QStringLiteral("test"), m_test.id},
                                      {QStringLiteral("title"), m_test.title}});
    if (!m_journal.waitDurable(seq)) {
        *reason = QStringLiteral("The class's journal in \"%1\" cannot be written.").arg(m_folder);
        return false;
    }
    m_output->sync();
    return true;
}

void LiveClass::replay(const QList<QJsonObject> &entries)
{
    const int n = int(m_test.key.size());
    for (const QJsonObject &e : entries) {
        const QString kind = e.value(QStringLiteral("e")).toString();
        const QString token = e.value(QStringLiteral("t")).toString();
        const QDateTime at = QDateTime::fromMSecsSinceEpoch(qint64(e.value(QStringLiteral("at")).toDouble()));
        if (kind == QLatin1String("class")) {
            m_code = e.value(QStringLiteral("code")).toString();
            m_port = e.value(QStringLiteral("port")).toInt(m_port);
        } else if (kind == QLatin1String("port")) {
            m_port = e.value(QStringLiteral("port")).toInt();
        } else if (kind == QLatin1String("host")) {
            m_host = e.value(QStringLiteral("host")).toString();
        } else if (kind == QLatin1String("join") && isToken(token) && !m_students.contains(token)) {
            Student s;
            s.name = e.value(QStringLiteral("n")).toString();
            s.joined = s.lastSeen = at;
            m_students.insert(token, s);
            m_order << token;
        } else if (Student *s = m_students.contains(token) ? &m_students[token] : nullptr) {
            s->lastSeen = at;
            if (kind == QLatin1String("answer") && s->answered() < n) {
                const QString given = e.value(QStringLiteral("a")).toString();
                s->right += given == m_test.key[s->answered()].right;
                s->given << given;
                s->ms << e.value(QStringLiteral("ms")).toInt();
            } else if (kind == QLatin1String("finish")) {
                s->finished = true;
                s->seconds = e.value(QStringLiteral("s")).toInt();
                s->logFile = e.value(QStringLiteral("f")).toString();
                m_logNames.insert(s->logFile);
            }
        }
    }
}

QString LiveClass::code() const
{
    QMutexLocker lock(&m_mutex);
    return m_code;
}

int LiveClass::port() const
{
    QMutexLocker lock(&m_mutex);
    return m_port;
}

void LiveClass::remember(const QJsonObject &entry)
{
    m_journal.waitDurable(m_journal.add(entry));
}

void LiveClass::rememberPort(int port)
{
    {
        QMutexLocker lock(&m_mutex);
        if (port == m_port)
            return;
        m_port = port;
    }
    remember({{QStringLiteral("e"), QStringLiteral("port")}, {QStringLiteral("port"), port}});
}

QString LiveClass::host() const
{
    QMutexLocker lock(&m_mutex);
    return m_host;
}

void LiveClass::rememberHost(const QString &host)
{
    {
        QMutexLocker lock(&m_mutex);
        if (host == m_host)
            return;
        m_host = host;
    }
    remember({{QStringLiteral("e"), QStringLiteral("host")}, {QStringLiteral("host"), host}});
}

void LiveClass::end()
{
    {
        QMutexLocker lock(&m_mutex);
        m_ended = true;
    }
    emit changed();
}

bool LiveClass::hasEnded() const
{
    QMutexLocker lock(&m_mutex);
    return m_ended;
}

QList<LiveStudent> LiveClass::students() const
{
    QMutexLocker lock(&m_mutex);
    QList<LiveStudent> out;
    for (const QString &token : m_order)
        out << m_students.value(token);
    return out;
}

StudentResult LiveClass::resultOf(const LiveStudent &student) const
{
    StudentResult r;
    r.name = student.name;
    r.title = m_test.title;
    r.teacher = m_test.teacher;
    r.testId = m_test.id;
    r.date = student.finished ? student.lastSeen : QDateTime::currentDateTime();
    r.total = int(m_test.key.size());
    r.score = student.right;
    r.percent = r.total ? r.score * 100 / r.total : 0;
    r.seconds = student.seconds;
    r.file = student.logFile;
    for (int i = 0; i < r.total; ++i) {
        r.given << student.given.value(i, QStringLiteral("-"));
        r.right << m_test.key[i].right;
    }
    return r;
}

LiveClass::Student *LiveClass::studentOf(const QJsonObject &request, LiveReply *refusal)
{
    if (m_ended) {
        *refusal = LiveReply::refused(410, QStringLiteral("The class has ended."));
        return nullptr;
    }
    const QString token = request.value(QStringLiteral("student")).toString();
    const auto it = isToken(token) ? m_students.find(token) : m_students.end();
    if (it == m_students.end()) {
        *refusal = LiveReply::refused(403, QStringLiteral("This page is not one of the class's."));
        return nullptr;
    }
    it->lastSeen = QDateTime::currentDateTime();
    return &*it;
}

LiveReply LiveClass::join(const QJsonObject &request)
{
    const QJsonValue value = request.value(QStringLiteral("name"));
    if (!value.isString())
        return LiveReply::refused(400, QStringLiteral("Please type your name first."));
    const QString name = value.toString().simplified();
    if (const QString problem = nameProblem(value.toString()); !problem.isEmpty())
        return LiveReply::refused(422, problem);
    QString token;
    qint64 seq = 0;
    {
        QMutexLocker lock(&m_mutex);
        if (m_ended)
            return LiveReply::refused(410, QStringLiteral("The class has ended."));
        if (m_students.size() >= MaxStudents)
            return LiveReply::refused(503, QStringLiteral("The class is full."));
        do
            token = newToken();
        while (m_students.contains(token));
        Student s;
        s.name = name;
        s.joined = s.lastSeen = QDateTime::currentDateTime();
        seq = m_journal.add({{QStringLiteral("e"), QStringLiteral("join")},
                             {QStringLiteral("t"), token},
                             {QStringLiteral("n"), name},
                             {QStringLiteral("at"), double(nowMs())}});
        s.lastEntry = seq;
        m_students.insert(token, s);
        m_order << token;
    }
    if (!m_journal.waitDurable(seq))
        return answersRefused();
    emit changed();
    return {201, QJsonObject{{QStringLiteral("student"), token},
                             {QStringLiteral("name"), name},
                             {QStringLiteral("questions"), int(m_test.key.size())}}};
}

LiveReply LiveClass::feedback(const Student &s, int question) const
{
    int score = 0;
    for (int i = 0; i < question; ++i)
        score += s.given[i] == m_test.key[i].right;
    const LiveQuestionKey &k = m_test.key[question - 1];
    const QString given = s.given[question - 1];
    return {200, QJsonObject{{QStringLiteral("question"), question},
                             {QStringLiteral("given"), given},
                             {QStringLiteral("right"), k.right},
                             {QStringLiteral("correct"), given == k.right},
                             {QStringLiteral("score"), score}}};
}

LiveReply LiveClass::answer(const QJsonObject &request)
{
    const QJsonValue question = request.value(QStringLiteral("question"));
    const QString given = request.value(QStringLiteral("answer")).toString();
    const int n = int(m_test.key.size());
    const double number = question.toDouble(-1);
    if (!question.isDouble() || number != std::floor(number) || number < 1 || number > n)
        return LiveReply::refused(400, QStringLiteral("No such question."));
    const int q = int(number);
    LiveReply reply;
    qint64 seq = 0;
    {
        QMutexLocker lock(&m_mutex);
        Student *s = studentOf(request, &reply);
        if (!s)
            return reply;
        if (q <= s->answered()) {
            // A resend after a lost reply: what was answered first stands.
            reply = feedback(*s, q);
            seq = s->lastEntry;
        } else if (q > s->answered() + 1 || s->finished) {
            return LiveReply::refused(409, QStringLiteral("Question %1 is not the next one.").arg(q));
        } else if (!m_test.key[q - 1].accepts(given)) {
            return LiveReply::refused(400, QStringLiteral("That is not an option of question %1.").arg(q));
        } else {
            const int ms = int(qBound(0.0, request.value(QStringLiteral("ms")).toDouble(),
                                      double(ResultLog::kLongestAttemptSeconds) * 1000));
            s->given << given;
            s->ms << ms;
            s->right += given == m_test.key[q - 1].right;
            seq = s->lastEntry = m_journal.add({{QStringLiteral("e"), QStringLiteral("answer")},
                                                {QStringLiteral("t"), request.value(QStringLiteral("student"))},
                                                {QStringLiteral("q"), q},
                                                {QStringLiteral("a"), given},
                                                {QStringLiteral("ms"), ms},
                                                {QStringLiteral("at"), double(nowMs())}});
            reply = feedback(*s, q);
        }
    }
    if (!m_journal.waitDurable(seq))
        return answersRefused();
    emit changed();
    return reply;
}

LiveReply LiveClass::answersRefused()
{
    emit answersNotKept(m_journal.failure());
    return LiveReply::refused(503, QStringLiteral("The teacher's computer cannot keep answers now."));
}

QString LiveClass::writeLog(const Student &student, QString *reason)
{
    StudentResult r = resultOf(student);
    r.date = QDateTime::currentDateTime();
    const QByteArray bytes = ResultLogText::bytes(r);
    const QString first = ResultLogText::fileName(m_test.title, student.name);
    QString temp;
    const int fd = m_output->createTemporary(first, 0600, &temp, reason);
    if (fd < 0)
        return {};
    bool ok = OutputFolder::writeAll(fd, bytes.constData(), bytes.size());
    ok = ok && ::fdatasync(fd) == 0;
    if (!ok)
        *reason = qt_error_string(errno);
    ::close(fd);
    // Two students of one name each get a file: "... - Anna (2).log".
    for (int number = 1; ok && number < 10000; ++number) {
        QString name = first;
        if (number > 1)
            name.insert(name.size() - 4, QStringLiteral(" (%1)").arg(number));
        {
            QMutexLocker lock(&m_mutex);
            if (m_logNames.contains(name))
                continue;
        }
        if (m_output->rename(temp, name, true, reason)) {
            m_output->sync();
            QMutexLocker lock(&m_mutex);
            m_logNames.insert(name);
            return name;
        }
        if (errno != EEXIST)
            break;
    }
    m_output->remove(temp);
    return {};
}

LiveReply LiveClass::finish(const QJsonObject &request)
{
    const QJsonValue secondsValue = request.value(QStringLiteral("seconds"));
    if (!secondsValue.isDouble())
        return LiveReply::refused(400, QStringLiteral("No time spent given."));
    const int seconds = int(qBound(0.0, secondsValue.toDouble(), double(ResultLog::kLongestAttemptSeconds)));
    const QString token = request.value(QStringLiteral("student")).toString();
    Student copy;
    {
        QMutexLocker lock(&m_mutex);
        LiveReply refusal;
        Student *s = studentOf(request, &refusal);
        if (!s)
            return refusal;
        // A second finish (a resend) waits for the first and is told the same.
        while (s->finishing)
            m_finished.wait(&m_mutex);
        if (s->finished) {
            const qint64 seq = s->lastEntry;
            lock.unlock();
            m_journal.waitDurable(seq);
            return {200, QJsonObject{{QStringLiteral("saved"), true}}};
        }
        if (s->answered() < m_test.key.size())
            return LiveReply::refused(409, QStringLiteral("Not every question is answered yet."));
        s->finishing = true;
        s->seconds = seconds;
        copy = *s;
    }
    QString reason;
    const QString file = writeLog(copy, &reason);
    QMutexLocker lock(&m_mutex);
    Student &s = m_students[token];
    s.finishing = false;
    m_finished.wakeAll();
    if (file.isEmpty()) {
        emit resultNotSaved(s.name, reason);
        return LiveReply::refused(503, QStringLiteral("The teacher's computer cannot save results now."));
    }
    s.finished = true;
    s.logFile = file;
    const qint64 seq = s.lastEntry = m_journal.add({{QStringLiteral("e"), QStringLiteral("finish")},
                                                    {QStringLiteral("t"), token},
                                                    {QStringLiteral("s"), seconds},
                                                    {QStringLiteral("f"), file},
                                                    {QStringLiteral("at"), double(nowMs())}});
    lock.unlock();
    if (!m_journal.waitDurable(seq)) {
        emit answersNotKept(m_journal.failure());
        return LiveReply::refused(503, QStringLiteral("The teacher's computer cannot save results now."));
    }
    emit changed();
    return {200, QJsonObject{{QStringLiteral("saved"), true}}};
}
