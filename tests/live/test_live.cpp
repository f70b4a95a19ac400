// The live class without a network: the key kept back from the page (a
// damaged question keeps the frame and right answer before it, as the page
// shows it), the journal after a crash and on a failing disk, which names
// are taken, the teacher's hold on the room, and results filed under names
// as they were typed.

#include "classresults/ResultLog.h"
#include "live/LiveClass.h"
#include "live/LiveJournal.h"
#include "live/LiveRoom.h"
#include "platform/OutputFolder.h"
#include "webquiz/LiveAnswerKey.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <atomic>
#include <climits>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
QJsonObject question(const char *kind, int correct, bool tooFew = false)
{
    return {{"kind", kind}, {"correct", correct}, {"tooFew", tooFew}};
}
}

TEST(LiveAnswerKey, TakesEveryRightAnswerOutOfThePage)
{
    QJsonObject quiz{{"questions", QJsonArray{question("t", 1), question("x", 3), question("m", 2, true),
                                              question("m", 3), question("m", 7), question("t", 0)}}};
    const QList<LiveQuestionKey> key = LiveAnswerKey::takeFrom(quiz);
    const struct {
        bool trueFalse;
        const char *right;
    } expected[] = {{true, "False"}, {true, "False"}, {false, "B"}, {false, "D"}, {false, "?"}, {true, "True"}};
    ASSERT_EQ(key.size(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(key[i].trueFalse, expected[i].trueFalse) << i;
        EXPECT_EQ(key[i].right, QString::fromLatin1(expected[i].right)) << i;
        EXPECT_FALSE(quiz["questions"].toArray()[i].toObject().contains("correct")) << i;
    }
    EXPECT_TRUE(key[0].accepts("True"));
    EXPECT_FALSE(key[0].accepts("A"));
    EXPECT_TRUE(key[3].accepts("D"));
    EXPECT_FALSE(key[3].accepts("d"));
}

TEST(LiveJournal, ALineCutShortByACrashIsLeftOutAndTheNextStartsAfreshLine)
{
    QTemporaryDir dir;
    QFile f(dir.filePath(LiveJournal::FileName));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{\"e\":\"class\",\"code\":\"abc\"}\n{\"e\":\"join\",\"t\":\"12");
    f.close();
    OutputFolder folder(dir.path());
    {
        LiveJournal journal;
        QList<QJsonObject> entries;
        QString reason;
        ASSERT_TRUE(journal.open(folder, &entries, &reason)) << reason.toStdString();
        ASSERT_EQ(entries.size(), 1);
        EXPECT_TRUE(journal.waitDurable(journal.add({{"e", "port"}, {"port", 8080}})));
    }
    LiveJournal again;
    QList<QJsonObject> entries;
    QString reason;
    ASSERT_TRUE(again.open(folder, &entries, &reason));
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[1]["port"].toInt(), 8080);
    EXPECT_EQ(QFile(dir.filePath(LiveJournal::FileName)).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
}

TEST(LiveJournal, NeverOpensThroughALink)
{
    QTemporaryDir dir, elsewhere;
    const QString target = elsewhere.filePath("secret");
    QFile(target).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(target, dir.filePath(LiveJournal::FileName)));
    LiveJournal journal;
    QList<QJsonObject> entries;
    QString reason;
    EXPECT_FALSE(journal.open(OutputFolder(dir.path()), &entries, &reason));
    EXPECT_EQ(reason, QStringLiteral("a symbolic link"));
}

TEST(LiveClass, NamesTakenAndRefused)
{
    for (const char16_t *good : {u"Anna", u"Anna B.", u"Zoë O'Brien-Łukasz", u"李小龍", u"J. R. R. Tolkien"})
        EXPECT_EQ(LiveClass::nameProblem(QString::fromUtf16(good)), QString()) << QString::fromUtf16(good).toStdString();
    for (const char16_t *bad : {u"", u"   ", u"Anna\nB", u"Anna\u202eB", u"\u200fAnna", u"a/b", u"a\\b", u"A\u2028B",
                                u"\u200bAnna"})
        EXPECT_NE(LiveClass::nameProblem(QString::fromUtf16(bad)), QString()) << QString::fromUtf16(bad).toStdString();
    EXPECT_NE(LiveClass::nameProblem(QString(101, QLatin1Char('x'))), QString());
    EXPECT_NE(LiveClass::nameProblem(QStringLiteral("a") + QChar(0) + QStringLiteral("b")), QString());
}

// ---- the room: who may join ------------------------------------------------

TEST(LiveRoom, WhoMayJoinAndWhy)
{
    using R = LiveRoom::Refusal;
    LiveRoom room;
    room.joined(QStringLiteral("Anna"));
    // Names as a teacher reads them: case, blanks and width folded.
    for (const char16_t *same : {u"Anna", u"anna", u" ANNA  ", u"\uFF21\uFF4E\uFF4E\uFF41", u"Anna\u00A0"})
        EXPECT_EQ(room.mayJoin(QString::fromUtf16(same), {}, 0), R::NameInUse) << QString::fromUtf16(same).toStdString();
    EXPECT_EQ(room.mayJoin(QStringLiteral("Anna B"), {}, 0), R::None);

    // One retake, then the name is in use again.
    room.allowRetake(QStringLiteral("ANNA"));
    EXPECT_EQ(room.mayJoin(QStringLiteral("anna"), {}, 0), R::None);
    room.joined(QStringLiteral("anna"));
    EXPECT_EQ(room.mayJoin(QStringLiteral("Anna"), {}, 0), R::NameInUse);
    // A student taken out frees the name only when no one else holds it.
    room.release(QStringLiteral("Anna"));
    EXPECT_EQ(room.mayJoin(QStringLiteral("Anna"), {}, 0), R::NameInUse);
    room.release(QStringLiteral("Anna"));
    EXPECT_EQ(room.mayJoin(QStringLiteral("Anna"), {}, 0), R::None);

    // Locked: only names let in.
    room.setLocked(true);
    EXPECT_EQ(room.mayJoin(QStringLiteral("Ben"), {}, 0), R::Locked);
    room.letIn(QStringLiteral("ben"));
    EXPECT_EQ(room.mayJoin(QStringLiteral("Ben"), {}, 0), R::None);
    room.setLocked(false);

    // A class list admits its names only.
    room.setClassList({QStringLiteral("Chen Wei"), QStringLiteral(" chen  wei "), QStringLiteral("Dora")});
    EXPECT_EQ(room.classList(), QStringList({QStringLiteral("Chen Wei"), QStringLiteral("Dora")}));
    EXPECT_EQ(room.mayJoin(QStringLiteral("Mallory"), {}, 0), R::NotOnList);
    EXPECT_EQ(room.mayJoin(QStringLiteral("chen wei"), {}, 0), R::None);

    for (R r : {R::NameInUse, R::Locked, R::NotOnList, R::TooManyJoins}) {
        EXPECT_GE(LiveRoom::status(r), 400);
        EXPECT_LT(LiveRoom::status(r), 500) << "the page stops waiting on a refusal";
        EXPECT_FALSE(LiveRoom::message(r).isEmpty());
    }
}

TEST(LiveRoom, OneDeviceJoinsAFewTimesAMinute)
{
    LiveRoom room;
    room.setLimits({3, 5});
    const QString phone = QStringLiteral("10.0.0.7"), other = QStringLiteral("10.0.0.8");
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(room.mayJoin(QStringLiteral("N%1").arg(i), phone, 1000 * i), LiveRoom::Refusal::None) << i;
        room.joined(QStringLiteral("N%1").arg(i), phone, 1000 * i);
    }
    EXPECT_EQ(room.mayJoin(QStringLiteral("N9"), phone, 5000), LiveRoom::Refusal::TooManyJoins);
    EXPECT_EQ(room.mayJoin(QStringLiteral("N9"), other, 5000), LiveRoom::Refusal::None);
    // A minute after the first join, one more may come.
    EXPECT_EQ(room.mayJoin(QStringLiteral("N9"), phone, 60000), LiveRoom::Refusal::None);
    // Names on the class list share a device more often.
    room.setClassList({QStringLiteral("Listed")});
    EXPECT_EQ(room.mayJoin(QStringLiteral("Listed"), phone, 5000), LiveRoom::Refusal::None);
}

// ---- a class in a real folder --------------------------------------------------

namespace {
// Every fdatasync of the program goes through here: the journal's are
// counted, and one may be made to fail as a dying disk's does.
std::atomic<int> journalSyncs{0};
std::atomic<bool> failJournalSync{false};

bool isJournal(int fd)
{
    char path[PATH_MAX] = {};
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t n = ::readlink(link.constData(), path, sizeof path - 1);
    return n > 0 && QByteArray(path, int(n)).endsWith(LiveJournal::FileName.toLatin1());
}
}

extern "C" int fdatasync(int fd)
{
    static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fdatasync"));
    if (!isJournal(fd))
        return real(fd);
    if (failJournalSync) {
        errno = EIO;
        return -1;
    }
    const int result = real(fd);
    ++journalSyncs;
    return result;
}

namespace {
LiveTest rivers()
{
    LiveTest t;
    t.title = QStringLiteral("Rivers");
    t.teacher = QStringLiteral("Class 3");
    t.id = QStringLiteral("0123456789ab");
    t.key = {{false, QStringLiteral("C")}, {true, QStringLiteral("False")}, {false, QStringLiteral("A")}};
    return t;
}

struct OpenClass {
    explicit OpenClass(const QString &folder) : c(rivers(), folder)
    {
        QString reason;
        opened = c.open(&reason);
        why = reason;
    }
    QString join(const QString &name, const QString &address = QStringLiteral("10.0.0.1"))
    {
        const LiveReply r = c.join({{"name", name}}, address);
        return r.status == 201 ? r.body["student"].toString() : QString();
    }
    int answer(const QString &token, int q, const QString &given)
    {
        return c.answer({{"student", token}, {"question", q}, {"answer", given}, {"ms", 800}}).status;
    }
    LiveReply finish(const QString &token) { return c.finish({{"student", token}, {"seconds", 42}}); }
    void takeAll(const QString &token)
    {
        for (const auto &[q, given] : {qMakePair(1, "C"), qMakePair(2, "True"), qMakePair(3, "A")})
            ASSERT_EQ(answer(token, q, QString::fromLatin1(given)), 200);
    }
    LiveClass c;
    bool opened = false;
    QString why;
};

QStringList logs(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.log")}, QDir::Files | QDir::Hidden);
}
}

TEST(LiveClass, AnAnswerIsToldOnlyOnceTheJournalIsOnTheDisk)
{
    QTemporaryDir dir;
    OpenClass live(dir.path());
    ASSERT_TRUE(live.opened) << live.why.toStdString();
    const QString anna = live.join(QStringLiteral("Anna"));
    const int before = journalSyncs;
    EXPECT_EQ(live.answer(anna, 1, QStringLiteral("C")), 200);
    EXPECT_GT(journalSyncs, before) << "the reply went out before the journal's sync";

    // A disk that fails its sync keeps nothing: the page is told so.
    failJournalSync = true;
    EXPECT_EQ(live.answer(anna, 2, QStringLiteral("False")), 503);
    failJournalSync = false;
    EXPECT_EQ(live.answer(anna, 2, QStringLiteral("False")), 503) << "the journal takes nothing more until a restart";
    EXPECT_EQ(live.c.join({{"name", "Ben"}}).status, 503);
    EXPECT_EQ(live.c.students().size(), 1) << "a join the journal refused is no student";
}

TEST(LiveClass, ThePageIsNamedByARandomIdKeptWithTheFolder)
{
    QTemporaryDir a, b;
    QString id;
    {
        OpenClass live(a.path());
        ASSERT_TRUE(live.opened);
        id = live.c.classId();
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{16}$")).match(id).hasMatch()) << id.toStdString();
        EXPECT_NE(id, rivers().id);
    }
    OpenClass again(a.path());
    ASSERT_TRUE(again.opened);
    EXPECT_EQ(again.c.classId(), id);
    OpenClass other(b.path());
    EXPECT_NE(other.c.classId(), id);
    // The test's identity comes with the last answer only, when the student
    // knows every right answer already.
    const QString t = other.join(QStringLiteral("Anna"));
    EXPECT_FALSE(other.c.answer({{"student", t}, {"question", 1}, {"answer", "C"}}).body.contains("test"));
    other.c.answer({{"student", t}, {"question", 2}, {"answer", "False"}});
    EXPECT_EQ(other.c.answer({{"student", t}, {"question", 3}, {"answer", "B"}}).body["test"].toString(), rivers().id);
}

TEST(LiveClass, OneServerPerFolder)
{
    QTemporaryDir dir;
    OpenClass first(dir.path());
    ASSERT_TRUE(first.opened);
    OpenClass second(dir.path());
    EXPECT_FALSE(second.opened);
    EXPECT_TRUE(second.why.contains(QStringLiteral("is in use by another live class"))) << second.why.toStdString();
    EXPECT_TRUE(second.why.contains(QStringLiteral("process %1").arg(QCoreApplication::applicationPid())));
}

TEST(LiveClass, ALogRenamedBeforeItsFinishWasKeptIsNeverWrittenTwice)
{
    QTemporaryDir dir;
    const QString journal = dir.filePath(LiveJournal::FileName);
    QString kid;
    qint64 beforeFinish = 0;
    {
        OpenClass live(dir.path());
        kid = live.join(QStringLiteral("Kid 109"));
        live.takeAll(kid);
        beforeFinish = QFileInfo(journal).size();
        ASSERT_EQ(live.finish(kid).status, 200);
    }
    // A crash after the rename, before the finish reached the journal, and
    // a temporary log of another finish cut off before its rename.
    QByteArray lines = [&] { QFile f(journal); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    lines.chop(1);
    lines.truncate(lines.lastIndexOf('\n') + 1);
    ASSERT_TRUE(lines.size() > beforeFinish) << "the log's name was in the journal before the log";
    ASSERT_TRUE(lines.contains("\"saving\"") && !lines.mid(beforeFinish).contains("\"finish\""));
    {
        QFile f(journal);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(lines);
        QFile temp(dir.filePath(QStringLiteral(".Rivers - Ben.log.3kx9a")));
        ASSERT_TRUE(temp.open(QIODevice::WriteOnly));
        temp.write("half");
    }
    OpenClass again(dir.path());
    ASSERT_TRUE(again.opened) << again.why.toStdString();
    ASSERT_EQ(again.c.students().size(), 1);
    EXPECT_TRUE(again.c.students().first().finished);
    EXPECT_EQ(again.finish(kid).status, 200);
    EXPECT_EQ(logs(dir.path()), QStringList{QStringLiteral("Rivers - Kid 109.log")});
}

TEST(LiveClass, TheTeacherHoldsTheRoom)
{
    QTemporaryDir dir;
    QString anna;
    {
        OpenClass live(dir.path());
        anna = live.join(QStringLiteral("Anna"));
        ASSERT_FALSE(anna.isEmpty());
        EXPECT_EQ(live.c.join({{"name", "ANNA "}}).status, 409) << "a name is the class's once";
        live.takeAll(anna);
        ASSERT_EQ(live.finish(anna).status, 200);
        // The report showed every right answer: no second attempt unless allowed.
        EXPECT_EQ(live.c.join({{"name", "Anna"}}).status, 409);
        live.c.allowRetake(QStringLiteral("Anna"));
        const QString again = live.join(QStringLiteral("Anna"));
        ASSERT_FALSE(again.isEmpty());
        live.takeAll(again);
        ASSERT_EQ(live.finish(again).status, 200);
        EXPECT_EQ(logs(dir.path()), QStringList({QStringLiteral("Rivers - Anna (2).log"), QStringLiteral("Rivers - Anna.log")}));

        live.c.setLocked(true);
        const LiveReply locked = live.c.join({{"name", "Late"}});
        EXPECT_EQ(locked.status, 403);
        EXPECT_EQ(locked.body["error"].toString(), QStringLiteral("The class has started. Ask your teacher to let you in."));
        live.c.letIn(QStringLiteral("Late"));
        const QString late = live.join(QStringLiteral("Late"), QStringLiteral("10.0.0.9"));
        ASSERT_FALSE(late.isEmpty());
        EXPECT_EQ(live.c.students().last().address, QStringLiteral("10.0.0.9"));

        ASSERT_TRUE(live.c.remove(late));
        const LiveReply out = live.c.answer({{"student", late}, {"question", 1}, {"answer", "A"}});
        EXPECT_EQ(out.status, 403);
        EXPECT_EQ(out.body["error"].toString(), QStringLiteral("Your teacher has taken you out of the class."));
    }
    // All of it is the journal's: a restart keeps the room as it was.
    OpenClass restarted(dir.path());
    ASSERT_TRUE(restarted.opened);
    EXPECT_TRUE(restarted.c.isLocked());
    EXPECT_EQ(restarted.c.students().size(), 2);
    EXPECT_EQ(restarted.c.join({{"name", "Anna"}}).status, 409);
    EXPECT_EQ(restarted.c.join({{"name", "Stranger"}}).status, 403);
    EXPECT_FALSE(restarted.join(QStringLiteral("Late")).isEmpty()) << "let in before, and free again";
}

TEST(LiveClass, NamesAsTypedInFileNamesAndLogs)
{
    QTemporaryDir dir;
    LiveTest greek = rivers();
    greek.title = QString::fromUtf8("Ιστορία της αρχαίας Ελλάδας και των αποικιών της στη Μεσόγειο και τον Εύξεινο Πόντο "
                                    "από τον όγδοο έως τον έκτο αιώνα");
    LiveClass c(greek, dir.path());
    QString reason;
    ASSERT_TRUE(c.open(&reason));
    // A name the folder cannot hold as a file name is refused at the join.
    const LiveReply tooLong = c.join({{"name", QString(100, QChar(0x5F20))}});
    EXPECT_EQ(tooLong.status, 422);
    EXPECT_TRUE(tooLong.body["error"].toString().contains(QStringLiteral("too long")));

    for (const QString &name : {QString::fromUtf8("张伟"), QString::fromUtf8("Ελένη"), QStringLiteral("Zoë")}) {
        const LiveReply joined = c.join({{"name", name}});
        ASSERT_EQ(joined.status, 201) << name.toStdString();
        const QString t = joined.body["student"].toString();
        for (const auto &[q, given] : {qMakePair(1, "C"), qMakePair(2, "True"), qMakePair(3, "A")})
            ASSERT_EQ(c.answer({{"student", t}, {"question", q}, {"answer", given}}).status, 200);
        ASSERT_EQ(c.finish({{"student", t}, {"seconds", 30}}).status, 200) << name.toStdString();
        const QString file = c.students().last().logFile;
        EXPECT_TRUE(file.endsWith(QStringLiteral(" - ") + name + QStringLiteral(".log"))) << file.toStdString();
        EXPECT_LE(file.toUtf8().size(), 255 - 20);
        const ResultRead read = ResultLog::read(dir.filePath(file));
        ASSERT_EQ(read.outcome, ResultRead::Outcome::Result) << read.reason.toStdString();
        EXPECT_EQ(read.result.name, name);
    }
}
