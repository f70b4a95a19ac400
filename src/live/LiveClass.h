#pragma once
// A live class: the students who joined, each one's answers as they come,
// and the result log of every finished attempt, written into the results
// folder in the web quiz's format. Safe to call from the server's threads;
// the window follows it through changed().
//
// Every step a student's page is told of is in the journal first (see
// LiveJournal), so the class started again on the same folder goes on with
// the same join code, port and students' tokens.

#include "classresults/StudentResult.h"
#include "webquiz/LiveAnswerKey.h"
#include "live/LiveJournal.h"
#include "live/LiveRoom.h"
#include "platform/OutputFolder.h"

#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QWaitCondition>
#include <memory>

struct LiveTest {
    QString title;
    QString teacher;
    QString id;                    // the test's identity, its "Test id:"
    QList<LiveQuestionKey> key;    // one per question
};

struct LiveStudent {
    QString token;                 // the teacher's computer's handle on the student
    QString name;                  // as typed (blanks simplified)
    QString address;               // the device joined from
    QDateTime joined;
    QDateTime lastSeen;
    // Per question of the test, in its order (a student may see another):
    // the option given ("" not yet) and the time on it.
    QStringList given;
    QList<int> ms;
    int right = 0;
    bool finished = false;
    int seconds = 0;
    QString logFile;               // the result's file in the folder, once chosen
    int answered() const { return int(given.size() - given.count(QString())); }
    bool hasAnswered(int question) const { return question >= 1 && question <= given.size() && !given[question - 1].isEmpty(); }
    void take(int question, const QString &answer, int milliseconds)
    {
        while (given.size() < question) {
            given << QString();
            ms << 0;
        }
        given[question - 1] = answer;
        ms[question - 1] = milliseconds;
    }
};

// What a request comes to: a status as HTTP says it, and the JSON answered.
struct LiveReply {
    int status = 200;
    QJsonObject body;
    static LiveReply refused(int status, const QString &error);
};

class LiveClass : public QObject {
    Q_OBJECT
public:
    // More join this class and are refused: a client joining in a loop
    // cannot fill the disk or the memory.
    static constexpr int MaxStudents = 1000;
    static constexpr int MaxNameLength = 100;
    static const QString OwnerFileName;

    LiveClass(LiveTest test, QString folder, QObject *parent = nullptr);
    ~LiveClass() override;

    // Makes the results folder (0700) when missing, opens it and its
    // journal, and takes up the class the journal holds. False with a
    // sentence for the teacher when the folder cannot be used or holds the
    // class of another version of the test.
    bool open(QString *reason);

    QString folder() const { return m_folder; }
    const LiveTest &test() const { return m_test; }
    // The short code of the join address, made once per folder.
    QString code() const;
    // What the class's page names the test by (its store, its saved
    // result): random, made once per folder. The test's own identity is a
    // digest of its file, right answers and all: a page that held it could
    // find the answers by trying each combination against it.
    QString classId() const;
    // The port the class was last served on (0 before the first time).
    int port() const;
    void rememberPort(int port);
    // The address the class was last served on ("" before the first time).
    QString host() const;
    void rememberHost(const QString &host);

    // `address`: the device the request came from.
    LiveReply join(const QJsonObject &request, const QString &address = QString());
    LiveReply answer(const QJsonObject &request);
    LiveReply finish(const QJsonObject &request);

    // Stops taking answers: every request then gets 410 with the reason.
    void end();
    bool hasEnded() const;

    // The teacher's hold on the room (see LiveRoom); each is kept in the
    // journal, so a class started again keeps it.
    void setLocked(bool locked);
    bool isLocked() const;
    void letIn(const QString &name);
    void allowRetake(const QString &name);
    // Takes the student out of the class: their page is told, their name is
    // free again, a result already saved stays. False for no such student.
    bool remove(const QString &token);
    void setClassList(const QStringList &names);
    QStringList classList() const;
    void setLimits(LiveRoom::Limits limits);

    // A copy of every student, in the order they joined.
    QList<LiveStudent> students() const;
    // A student as the class results read one: the answers so far, the
    // questions not reached yet unanswered.
    StudentResult resultOf(const LiveStudent &student) const;

    // Why a typed name is not taken ("" when it is): empty, longer than
    // MaxNameLength, or holding a control or direction character, a slash
    // or a backslash (a name goes into a file's name and a log's line).
    static QString nameProblem(const QString &name);

signals:
    // Something changed: a student joined, answered or finished.
    void changed();
    // The results folder refused what it was to keep (from the thread that
    // met it). Answers: the journal takes nothing more until the class is
    // started again on the folder. A result log: the page sends it again.
    void answersNotKept(const QString &reason);
    void resultNotSaved(const QString &name, const QString &reason);

private:
    struct Student : LiveStudent {
        qint64 lastEntry = 0;      // the journal entry to wait for before replying
        bool finishing = false;
        bool nameKept = false;     // logFile is the journal's
    };
    Student *studentOf(const QJsonObject &request, LiveReply *refusal);
    Student *studentOf(const QString &token);
    bool takeFolder(QString *reason);
    void removeLeftovers();
    void replay(const QList<QJsonObject> &entries);
    void remember(const QJsonObject &entry);
    QString newLogName(const QString &name);
    // Writes the student's log whole and synced as a hidden temporary file
    // beside its name; false with the reason (nothing is left then).
    bool writeTemporaryLog(const Student &student, QString *temp, QString *reason);
    LiveReply feedback(const Student &student, int question) const;
    // The 503 a page gets when the journal refused its entry; the teacher is told why.
    LiveReply answersRefused();

    LiveTest m_test;
    QString m_folder;
    OutputFolderPtr m_output;
    LiveJournal m_journal;
    mutable QMutex m_mutex;
    QWaitCondition m_finished;
    QHash<QString, Student> m_students;   // by token
    QStringList m_order;                  // tokens as they joined
    QSet<QString> m_removed;              // tokens of students the teacher removed
    QSet<QString> m_logNames;
    LiveRoom m_room;
    QString m_code;
    QString m_classId;
    int m_port = 0;
    QString m_host;
    bool m_ended = false;
};
