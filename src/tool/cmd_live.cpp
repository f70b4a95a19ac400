// ardeno-tool serve TEST.ard [--results DIR] [--bind ADDRESS] [--port N]
// [--qr OUT.png] [--class NAMES.csv] [--lock-after MINUTES]
// [--joins-per-minute N] [--connections-per-address N] [--shuffle]: the live class
// without a window (--qr: its address as a QR code, to show on a screen).
// The join address is the first line on standard output; each finished
// student is a line after it. The teacher holds the room by typing on
// standard input: "lock", "unlock", "let in NAME", "remove NAME", "retake
// NAME", "students". Runs until SIGINT or SIGTERM, then lets the requests
// under way end and exits 0. Started again on the same folder it serves the
// same address, and every student's page goes on.

#include "tool/ToolCommand.h"

#include "exchange/ClassList.h"
#include "live/LiveRoom.h"
#include "live/LiveSession.h"
#include "live/LiveTableModel.h"
#include "pictures/QrCode.h"
#include "platform/CheckedFile.h"
#include "platform/RegularFile.h"
#include "platform/SignalPipe.h"

#include <QCoreApplication>
#include <QBuffer>
#include <QDate>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace {
void print(const QString &text, FILE *to = stdout)
{
    std::fprintf(to, "%s\n", text.toLocal8Bit().constData());
    std::fflush(to);
}

// The teacher's word typed on standard input, said back on standard error.
void obey(LiveClass *liveClass, const QString &line)
{
    const QString command = line.simplified();
    const auto named = [&](const QString &word) -> QString {
        return command.startsWith(word + QLatin1Char(' '), Qt::CaseInsensitive) ? command.mid(word.size() + 1) : QString();
    };
    const auto tokenOf = [liveClass](const QString &name) {
        for (const LiveStudent &s : liveClass->students())
            if (LiveRoom::fold(s.name) == LiveRoom::fold(name))
                return s.token;
        return QString();
    };
    if (command.compare(QLatin1String("lock"), Qt::CaseInsensitive) == 0) {
        liveClass->setLocked(true);
        print(QStringLiteral("Joining is locked: only names let in join now."), stderr);
    } else if (command.compare(QLatin1String("unlock"), Qt::CaseInsensitive) == 0) {
        liveClass->setLocked(false);
        print(QStringLiteral("Joining is open."), stderr);
    } else if (const QString name = named(QStringLiteral("let in")); !name.isEmpty()) {
        liveClass->letIn(name);
        print(QStringLiteral("%1 may join.").arg(name), stderr);
    } else if (const QString name = named(QStringLiteral("retake")); !name.isEmpty()) {
        liveClass->allowRetake(name);
        print(QStringLiteral("%1 may join once more and take the test again.").arg(name), stderr);
    } else if (const QString name = named(QStringLiteral("remove")); !name.isEmpty()) {
        print(liveClass->remove(tokenOf(name)) ? QStringLiteral("%1 is out of the class.").arg(name)
                                               : QStringLiteral("No student %1 in the class.").arg(name),
              stderr);
    } else if (command.compare(QLatin1String("students"), Qt::CaseInsensitive) == 0) {
        const int questions = int(liveClass->test().key.size());
        for (const LiveStudent &s : liveClass->students())
            print(QStringLiteral("%1\t%2\t%3\t%4")
                      .arg(s.name, s.address, s.joined.toLocalTime().toString(QStringLiteral("HH:mm:ss")),
                           LiveTableModel::progressText(s, questions)),
                  stderr);
    } else if (!command.isEmpty()) {
        print(QStringLiteral("Say lock, unlock, let in NAME, remove NAME, retake NAME or students."), stderr);
    }
}

int serveCommand(const QStringList &args)
{
    QString test, results, bind, qr, classList;
    int port = 0;
    double lockAfter = -1;
    bool shuffle = false;
    LiveRoom::Limits limits;
    unsigned perAddress = LiveServer::DefaultConnectionsPerAddress;
    const auto count = [](const QString &value, int *out) {
        bool ok = false;
        *out = value.toInt(&ok);
        return ok && *out > 0;
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        int n = 0;
        if (a == QLatin1String("--class") && hasValue) {
            classList = args[++i];
        } else if (a == QLatin1String("--shuffle")) {
            shuffle = true;
        } else if (a == QLatin1String("--lock-after") && hasValue) {
            bool ok = false;
            lockAfter = args[++i].toDouble(&ok);
            if (!ok || lockAfter < 0)
                return toolUsageError();
        } else if (a == QLatin1String("--joins-per-minute") && hasValue) {
            if (!count(args[++i], &n))
                return toolUsageError();
            limits.joinsPerMinute = n;
            limits.listedJoinsPerMinute = qMax(n, limits.listedJoinsPerMinute);
        } else if (a == QLatin1String("--connections-per-address") && hasValue) {
            if (!count(args[++i], &n))
                return toolUsageError();
            perAddress = unsigned(n);
        } else if (a == QLatin1String("--results") && hasValue) {
            results = args[++i];
        } else if (a == QLatin1String("--qr") && hasValue) {
            qr = args[++i];
        } else if (a == QLatin1String("--bind") && hasValue) {
            bind = args[++i];
        } else if (a == QLatin1String("--port") && hasValue) {
            bool ok = false;
            port = args[++i].toInt(&ok);
            if (!ok || port < 1 || port > 65535)
                return toolUsageError();
        } else if (test.isEmpty() && !a.startsWith(QLatin1String("--"))) {
            test = a;
        } else {
            return toolUsageError();
        }
    }
    if (test.isEmpty())
        return toolUsageError();
    if (results.isEmpty())
        results = LiveSession::defaultResultsFolder(test, QDate::currentDate());

    QStringList names;
    if (!classList.isEmpty()) {
        QString reason;
        names = ClassList::names(RegularFile::read(classList, 4 << 20, &reason), &reason);
        if (names.isEmpty()) {
            print(QStringLiteral("%1 is not a class list: %2.").arg(classList, reason), stderr);
            return 1;
        }
    }

    SignalPipe termination;
    LiveSession session;
    session.setConnectionsPerAddress(perAddress);
    if (shuffle)
        session.shuffleForEachStudent();
    QString reason;
    if (!session.prepare(test, &reason) || !session.start(results, bind, port, &reason)) {
        print(reason, stderr);
        return 1;
    }
    LiveClass *liveClass = session.liveClass();
    liveClass->setLimits(limits);
    if (!classList.isEmpty())
        liveClass->setClassList(names);
    // The QR code is written before the address is printed: a script
    // that waits for the first line finds the picture whole.
    if (!qr.isEmpty()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        const QImage code = QrCode::image(session.joinAddress());
        if (code.isNull())
            print(QStringLiteral("%1 is not written: the QR code module is missing.").arg(qr), stderr);
        else if (!code.save(&buffer, "PNG") || !CheckedFile::write(qr, png, &reason))
            print(QStringLiteral("%1 cannot be written: %2").arg(qr, reason), stderr);
    }
    print(session.joinAddress());
    if (!session.formerAddress().isEmpty())
        print(QStringLiteral("The class's address has changed (it was %1): show the new one to the class.")
                  .arg(session.formerAddress()),
              stderr);
    for (const QString &line : session.mediaReport())
        print(line, stderr);
    print(QStringLiteral("Results go to %1. Ctrl+C ends the class.").arg(results), stderr);

    QTimer lock;
    if (lockAfter >= 0) {
        lock.setSingleShot(true);
        QObject::connect(&lock, &QTimer::timeout, liveClass, [liveClass] { obey(liveClass, QStringLiteral("lock")); });
        lock.start(int(qMin(lockAfter * 60000.0, 1e9)));
    }
    // The teacher's words on standard input, a line at a time.
    QSocketNotifier teacher(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray typed;
    QObject::connect(&teacher, &QSocketNotifier::activated, liveClass, [&teacher, &typed, liveClass] {
        char block[4096];
        const ssize_t n = ::read(STDIN_FILENO, block, sizeof block);
        if (n <= 0) {
            teacher.setEnabled(false);
            return;
        }
        typed.append(block, qsizetype(n));
        for (qsizetype end; (end = typed.indexOf('\n')) >= 0; typed.remove(0, end + 1))
            obey(liveClass, QString::fromLocal8Bit(typed.left(end)));
        if (typed.size() > 4096)
            typed.clear();
    });

    QSet<QString> reported;
    // The finished are looked for a few times a second, not after every
    // answer: copying the class under its lock for each of 300 students'
    // answers would hold the server up.
    QTimer lookForFinished;
    lookForFinished.setSingleShot(true);
    lookForFinished.setInterval(250);
    QObject::connect(liveClass, &LiveClass::changed, &lookForFinished, [&lookForFinished] {
        if (!lookForFinished.isActive())
            lookForFinished.start();
    }, Qt::QueuedConnection);
    QObject::connect(&lookForFinished, &QTimer::timeout, &session, [liveClass, &reported] {
        for (const LiveStudent &s : liveClass->students()) {
            if (s.finished && !reported.contains(s.logFile)) {
                reported.insert(s.logFile);
                // One arg() for all: a name holding "%2" stays as typed.
                print(QStringLiteral("%1: %2 of %3, %4")
                          .arg(s.name, QString::number(s.right), QString::number(s.answered()), s.logFile));
            }
        }
    });
    QObject::connect(&termination, &SignalPipe::received, QCoreApplication::instance(), [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    session.stop();
    int finished = 0;
    const QList<LiveStudent> students = liveClass->students();
    for (const LiveStudent &s : students)
        finished += s.finished;
    print(QStringLiteral("The class has ended: %1 joined, %2 finished.").arg(students.size()).arg(finished), stderr);
    return 0;
}

const ToolCommandRegistration serveRegistration({
    "serve",
    "serve TEST.ard [--results DIR] [--bind ADDRESS] [--port N] [--qr OUT.png] [--class NAMES.csv] "
    "[--lock-after MINUTES] [--joins-per-minute N] [--connections-per-address N] [--shuffle]",
    serveCommand,
});
}
