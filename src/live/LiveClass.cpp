#include "live/LiveClass.h"

#include "classresults/ResultLog.h"
#include "classresults/ResultLogText.h"
#include "platform/CheckedFileStream.h"
#include "platform/PrivateFolder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonValue>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
QString key(QLatin1String s) { return QString(s); }

QString randomHex(int bytes)
{
    QByteArray bits(bytes, Qt::Uninitialized);
    QRandomGenerator::system()->generate(reinterpret_cast<quint32 *>(bits.data()),
                                         reinterpret_cast<quint32 *>(bits.data() + bits.size()));
    return QString::fromLatin1(bits.toHex());
}

// A student's token: 128 random bits from the system's generator, which
// only that student's page is given.
QString newToken() { return randomHex(16); }

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

const QString LiveClass::OwnerFileName = QStringLiteral("live-class.owner");

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
    // The result is filed under the name: it must fit a file's name.
    if (name.simplified().toUtf8().size() > ResultLogText::MaxNameBytes)
        return QStringLiteral("Your name is too long for the teacher's computer to file your result under it: "
                              "please type a shorter form of it.");
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
    // Made, opened and judged once: every file of the class is made in
    // this very folder, whatever its name is made to lead to later.
    QString why;
    m_output = PrivateFolder::open(m_folder, &why);
    if (!m_output) {
        *reason = QStringLiteral("The results folder \"%1\" cannot be used: %2.").arg(m_folder, why);
        return false;
    }
    QList<QJsonObject> entries;
    if (!m_journal.open(*m_output, &entries, &why)) {
        *reason = QStringLiteral("The class's journal in \"%1\" cannot be used: %2.").arg(m_folder, why);
        return false;
    }
    if (!takeFolder(reason))
        return false;
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
        removeLeftovers();
        if (m_classId.isEmpty()) {
            // A class begun before pages were given an id of their own.
            m_classId = randomHex(8);
            remember({{QStringLiteral("e"), QStringLiteral("classid")}, {QStringLiteral("id"), m_classId}});
        }
        return true;
    }
    if (!entries.isEmpty()) {
        *reason = QStringLiteral("The results folder \"%1\" holds a journal that is not a live class's.").arg(m_folder);
        return false;
    }
    m_code = newCode();
    m_classId = randomHex(8);
    const qint64 seq = m_journal.add({{QStringLiteral("e"), QStringLiteral("class")},
                                      {QStringLiteral("code"), m_code},
                                      {QStringLiteral("id"), m_classId},
                                      {QStringLiteral("test"), m_test.id},
                                      {QStringLiteral("title"), m_test.title}});
    if (!m_journal.waitDurable(seq)) {
        *reason = QStringLiteral("The class's journal in \"%1\" cannot be written.").arg(m_folder);
        return false;
    }
    m_output->sync();
    return true;
}

bool LiveClass::takeFolder(QString *reason)
{
    const QString ownerName = OwnerFileName;
    if (!m_journal.holdExclusively()) {
        QString other = QString::fromUtf8(m_output->readSmall(ownerName, 512)).simplified();
        if (other.isEmpty())
            other = QStringLiteral("another window or program");
        *reason = QStringLiteral("The results folder \"%1\" is in use by another live class (%2). End that class "
                                 "first, or choose another folder.").arg(m_folder, other);
        return false;
    }
    // Who holds the folder, for the message a second class gets.
    const QString program = QCoreApplication::instance()
                                ? QFileInfo(QCoreApplication::applicationFilePath()).fileName()
                                : QStringLiteral("a program");
    const QByteArray owner =
        QStringLiteral("%1, process %2").arg(program, QString::number(QCoreApplication::applicationPid())).toUtf8();
    // Written whole or not at all, the teacher's alone as every file here.
    CheckedFileStream out(m_output, ownerName);
    if (out.open()) {
        out.makeOwnerOnly();
        out.write(owner);
        out.commit();
    }
    return true;
}

void LiveClass::removeLeftovers()
{
    // A result log a crash cut off before its rename: its student's page
    // sends it again, and it is written anew.
    static const QRegularExpression temporaryLog(QStringLiteral("^\\..*\\.log\\.[0-9a-z]{1,13}$"));
    for (const QString &name : m_output->names())
        if (temporaryLog.match(name).hasMatch() && m_output->entry(name) == OutputFolder::Entry::File)
            m_output->remove(name);
}

void LiveClass::replay(const QList<QJsonObject> &entries)
{
    const int n = int(m_test.key.size());
    for (const QJsonObject &e : entries) {
        const QString kind = e.value(QStringLiteral("e")).toString();
        const QString token = e.value(QStringLiteral("t")).toString();
        const QDateTime at = QDateTime::fromMSecsSinceEpoch(qint64(e.value(QStringLiteral("at")).toDouble()));
        const QString name = e.value(QStringLiteral("n")).toString();
        if (kind == QLatin1String("class")) {
            m_code = e.value(QStringLiteral("code")).toString();
            m_classId = e.value(QStringLiteral("id")).toString();
            m_port = e.value(QStringLiteral("port")).toInt(m_port);
        } else if (kind == QLatin1String("classid")) {
            m_classId = e.value(QStringLiteral("id")).toString();
        } else if (kind == QLatin1String("port")) {
            m_port = e.value(QStringLiteral("port")).toInt();
        } else if (kind == QLatin1String("host")) {
            m_host = e.value(QStringLiteral("host")).toString();
        } else if (kind == QLatin1String("lock")) {
            m_room.setLocked(e.value(QStringLiteral("on")).toBool());
        } else if (kind == QLatin1String("letin")) {
            m_room.letIn(name);
        } else if (kind == QLatin1String("retake")) {
            m_room.allowRetake(name);
        } else if (kind == QLatin1String("list")) {
            m_room.setClassList(e.value(QStringLiteral("names")).toVariant().toStringList());
        } else if (kind == QLatin1String("join") && isToken(token) && !m_students.contains(token)
                   && !m_removed.contains(token)) {
            Student s;
            s.token = token;
            s.name = name;
            s.address = e.value(QStringLiteral("ip")).toString();
            s.joined = s.lastSeen = at;
            m_students.insert(token, s);
            m_order << token;
            m_room.joined(name);
        } else if (kind == QLatin1String("remove") && m_students.contains(token)) {
            m_room.release(m_students.value(token).name);
            m_students.remove(token);
            m_order.removeAll(token);
            m_removed.insert(token);
        } else if (Student *s = studentOf(token)) {
            s->lastSeen = at;
            // (A journal of an older page names no question: the next one.)
            const int q = e.value(QStringLiteral("q")).toInt(s->answered() + 1);
            if (kind == QLatin1String("answer") && q >= 1 && q <= n && !s->hasAnswered(q)) {
                const QString given = e.value(QStringLiteral("a")).toString();
                s->right += given == m_test.key[q - 1].right;
                s->take(q, given, e.value(QStringLiteral("ms")).toInt());
            } else if (kind == QLatin1String("saving") || kind == QLatin1String("finish")) {
                s->finished = kind == QLatin1String("finish");
                s->seconds = e.value(QStringLiteral("s")).toInt();
                s->logFile = e.value(QStringLiteral("f")).toString();
                s->nameKept = true;
                m_logNames.insert(s->logFile);
            }
        }
    }
    // A log renamed into place whose finish a crash kept out of the
    // journal: it was synced whole before its rename, so it stands, and a
    // resend of the finish is told it arrived, never written twice.
    for (Student &s : m_students)
        if (!s.finished && !s.logFile.isEmpty() && m_output->entry(s.logFile) == OutputFolder::Entry::File)
            s.finished = true;
}

QString LiveClass::code() const
{
    QMutexLocker lock(&m_mutex);
    return m_code;
}

QString LiveClass::classId() const
{
    QMutexLocker lock(&m_mutex);
    return m_classId;
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

void LiveClass::setLocked(bool locked)
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_room.isLocked() == locked)
            return;
        m_room.setLocked(locked);
    }
    remember({{QStringLiteral("e"), QStringLiteral("lock")}, {QStringLiteral("on"), locked}});
    emit changed();
}

bool LiveClass::isLocked() const
{
    QMutexLocker lock(&m_mutex);
    return m_room.isLocked();
}

void LiveClass::letIn(const QString &name)
{
    {
        QMutexLocker lock(&m_mutex);
        m_room.letIn(name.simplified());
    }
    remember({{QStringLiteral("e"), QStringLiteral("letin")}, {QStringLiteral("n"), name.simplified()}});
}

void LiveClass::allowRetake(const QString &name)
{
    {
        QMutexLocker lock(&m_mutex);
        m_room.allowRetake(name);
    }
    remember({{QStringLiteral("e"), QStringLiteral("retake")}, {QStringLiteral("n"), name}});
    emit changed();
}

bool LiveClass::remove(const QString &token)
{
    {
        QMutexLocker lock(&m_mutex);
        const auto it = m_students.find(token);
        if (it == m_students.end())
            return false;
        m_room.release(it->name);
        m_students.erase(it);
        m_order.removeAll(token);
        m_removed.insert(token);
        // A finish waiting on this student's log wakes to find them gone.
        m_finished.wakeAll();
    }
    remember({{QStringLiteral("e"), QStringLiteral("remove")}, {QStringLiteral("t"), token}});
    emit changed();
    return true;
}

void LiveClass::setClassList(const QStringList &names)
{
    QStringList kept;
    {
        QMutexLocker lock(&m_mutex);
        m_room.setClassList(names);
        kept = m_room.classList();
    }
    remember({{QStringLiteral("e"), QStringLiteral("list")}, {QStringLiteral("names"), QJsonArray::fromStringList(kept)}});
    emit changed();
}

QStringList LiveClass::classList() const
{
    QMutexLocker lock(&m_mutex);
    return m_room.classList();
}

void LiveClass::setLimits(LiveRoom::Limits limits)
{
    QMutexLocker lock(&m_mutex);
    m_room.setLimits(limits);
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
        r.given << (student.hasAnswered(i + 1) ? student.given[i] : QStringLiteral("-"));
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
    Student *s = studentOf(token);
    if (!s) {
        *refusal = LiveReply::refused(403, m_removed.contains(token)
                                               ? QStringLiteral("Your teacher has taken you out of the class.")
                                               : QStringLiteral("This page is not one of the class's."));
        return nullptr;
    }
    s->lastSeen = QDateTime::currentDateTime();
    return s;
}

LiveClass::Student *LiveClass::studentOf(const QString &token)
{
    const auto it = isToken(token) ? m_students.find(token) : m_students.end();
    return it == m_students.end() ? nullptr : &*it;
}

LiveReply LiveClass::join(const QJsonObject &request, const QString &address)
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
        // Refused for good, said in words: the page stops waiting.
        if (m_students.size() >= MaxStudents)
            return LiveReply::refused(403, QStringLiteral("The class is full. Ask your teacher."));
        const qint64 now = nowMs();
        if (const LiveRoom::Refusal refusal = m_room.mayJoin(name, address, now); refusal != LiveRoom::Refusal::None)
            return LiveReply::refused(LiveRoom::status(refusal), LiveRoom::message(refusal));
        do
            token = newToken();
        while (m_students.contains(token) || m_removed.contains(token));
        Student s;
        s.token = token;
        s.name = name;
        s.address = address;
        s.joined = s.lastSeen = QDateTime::currentDateTime();
        seq = m_journal.add({{QStringLiteral("e"), QStringLiteral("join")},
                             {QStringLiteral("t"), token},
                             {QStringLiteral("n"), name},
                             {QStringLiteral("ip"), address},
                             {QStringLiteral("at"), double(now)}});
        s.lastEntry = seq;
        m_students.insert(token, s);
        m_order << token;
        m_room.joined(name, address, now);
    }
    if (!m_journal.waitDurable(seq)) {
        // Not kept, so not in the class: no student the journal lacks.
        QMutexLocker lock(&m_mutex);
        if (m_students.remove(token)) {
            m_order.removeAll(token);
            m_room.release(name);
        }
        return answersRefused();
    }
    emit changed();
    return {201, QJsonObject{{QStringLiteral("student"), token},
                             {QStringLiteral("name"), name},
                             {QStringLiteral("questions"), int(m_test.key.size())}}};
}

LiveReply LiveClass::feedback(const Student &s, int question) const
{
    const int score = s.right;
    const LiveQuestionKey &k = m_test.key[question - 1];
    const QString given = s.given[question - 1];
    QJsonObject body{{QStringLiteral("question"), question},
                     {QStringLiteral("given"), given},
                     {QStringLiteral("right"), k.right},
                     {QStringLiteral("correct"), given == k.right},
                     {QStringLiteral("score"), score}};
    // Once every answer is known to the student, the test's own identity
    // tells nothing more: the page names a result it saves itself by it.
    if (s.answered() == int(m_test.key.size()))
        body[QStringLiteral("test")] = m_test.id;
    return {200, body};
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
        if (s->hasAnswered(q)) {
            // A resend after a lost reply: what was answered first stands.
            reply = feedback(*s, q);
            seq = s->lastEntry;
        } else if (s->finished) {
            return LiveReply::refused(409, QStringLiteral("Your answers are handed in already."));
        } else if (!m_test.key[q - 1].accepts(given)) {
            return LiveReply::refused(400, QStringLiteral("That is not an option of question %1.").arg(q));
        } else {
            const int ms = int(qBound(0.0, request.value(QStringLiteral("ms")).toDouble(),
                                      double(ResultLog::kLongestAttemptSeconds) * 1000));
            // In any order: each student may see the test in an order of their own.
            s->take(q, given, ms);
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

QString LiveClass::newLogName(const QString &studentName)
{
    // Two students of one name each get a file: "... - Anna (2).log".
    const QString first = ResultLogText::fileName(m_test.title, studentName);
    for (int number = 1;; ++number) {
        QString name = first;
        if (number > 1)
            name.insert(name.size() - 4, QStringLiteral(" (%1)").arg(number));
        if (!m_logNames.contains(name) && m_output->entry(name) == OutputFolder::Entry::None) {
            m_logNames.insert(name);
            return name;
        }
    }
}

bool LiveClass::writeTemporaryLog(const Student &student, QString *temp, QString *reason)
{
    StudentResult r = resultOf(student);
    r.date = QDateTime::currentDateTime();
    const QByteArray bytes = ResultLogText::bytes(r);
    const int fd = m_output->createTemporary(student.logFile, 0600, temp, reason);
    if (fd < 0)
        return false;
    bool ok = OutputFolder::writeAll(fd, bytes.constData(), bytes.size());
    ok = ok && ::fdatasync(fd) == 0;
    if (!ok)
        *reason = qt_error_string(errno);
    ::close(fd);
    if (!ok)
        m_output->remove(*temp);
    return ok;
}

LiveReply LiveClass::finish(const QJsonObject &request)
{
    const QJsonValue secondsValue = request.value(QStringLiteral("seconds"));
    if (!secondsValue.isDouble())
        return LiveReply::refused(400, QStringLiteral("No time spent given."));
    const int seconds = int(qBound(0.0, secondsValue.toDouble(), double(ResultLog::kLongestAttemptSeconds)));
    const QString token = request.value(QStringLiteral("student")).toString();
    const LiveReply cannotSave = LiveReply::refused(503, QStringLiteral("The teacher's computer cannot save results now."));
    Student copy;
    {
        QMutexLocker lock(&m_mutex);
        LiveReply refusal;
        Student *s = studentOf(request, &refusal);
        if (!s)
            return refusal;
        // A second finish (a resend) waits for the first and is told the
        // same. The table may grow meanwhile: the student is looked up again.
        while (s && s->finishing) {
            m_finished.wait(&m_mutex);
            s = studentOf(request, &refusal);
        }
        if (!s)
            return refusal;
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
        if (s->logFile.isEmpty())
            s->logFile = newLogName(s->name);
        copy = *s;
    }
    // The log is written whole and synced beside its name first: a full
    // disk refuses it here, before the journal is asked for anything.
    QString temp, reason;
    const bool written = writeTemporaryLog(copy, &temp, &reason);
    // Its name is the journal's before it takes the name: a crash after
    // the rename finds it there, and the resend rewrites that very file.
    bool named = copy.nameKept;
    if (written && !named) {
        QMutexLocker lock(&m_mutex);
        const qint64 seq = m_journal.add({{QStringLiteral("e"), QStringLiteral("saving")},
                                          {QStringLiteral("t"), token},
                                          {QStringLiteral("s"), seconds},
                                          {QStringLiteral("f"), copy.logFile},
                                          {QStringLiteral("at"), double(nowMs())}});
        lock.unlock();
        named = m_journal.waitDurable(seq);
    }
    const bool placed = written && named && m_output->rename(temp, copy.logFile, false, &reason) && m_output->sync();
    if (written && !placed)
        m_output->remove(temp);
    QMutexLocker lock(&m_mutex);
    Student *s = studentOf(token);
    if (s) {
        s->finishing = false;
        s->nameKept = s->nameKept || named;
    }
    m_finished.wakeAll();
    if (written && !named) {
        lock.unlock();
        return answersRefused();
    }
    if (!placed) {
        lock.unlock();
        emit resultNotSaved(copy.name, reason);
        return cannotSave;
    }
    if (!s)
        return LiveReply::refused(403, QStringLiteral("Your teacher has taken you out of the class."));
    s->finished = true;
    const qint64 seq = s->lastEntry = m_journal.add({{QStringLiteral("e"), QStringLiteral("finish")},
                                                     {QStringLiteral("t"), token},
                                                     {QStringLiteral("s"), seconds},
                                                     {QStringLiteral("f"), s->logFile},
                                                     {QStringLiteral("at"), double(nowMs())}});
    lock.unlock();
    if (!m_journal.waitDurable(seq)) {
        emit answersNotKept(m_journal.failure());
        return cannotSave;
    }
    emit changed();
    return {200, QJsonObject{{QStringLiteral("saved"), true}}};
}
