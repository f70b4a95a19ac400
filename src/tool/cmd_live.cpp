// ardeno-tool serve TEST.ard [--results DIR] [--bind ADDRESS] [--port N]
// [--qr OUT.png]: the live class without a window (--qr: its address as a
// QR code, to show on a screen). The join address is the first line on
// standard output; each finished student is a line after it. Runs until
// SIGINT or SIGTERM, then lets the requests under way end and exits 0.
// Started again on the same folder it serves the same address, and every
// student's page goes on.

#include "tool/ToolCommand.h"

#include "live/LiveSession.h"
#include "live/QrCode.h"
#include "platform/CheckedFile.h"
#include "platform/SignalPipe.h"

#include <QCoreApplication>
#include <QBuffer>
#include <QDate>
#include <QTimer>
#include <cstdio>

namespace {
void print(const QString &text, FILE *to = stdout)
{
    std::fprintf(to, "%s\n", text.toLocal8Bit().constData());
    std::fflush(to);
}

int serveCommand(const QStringList &args)
{
    QString test, results, bind, qr;
    int port = 0;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--results") && hasValue) {
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

    SignalPipe termination;
    LiveSession session;
    QString reason;
    if (!session.prepare(test, &reason) || !session.start(results, bind, port, &reason)) {
        print(reason, stderr);
        return 1;
    }
    // The QR code is written before the address is printed: a script
    // that waits for the first line finds the picture whole.
    if (!qr.isEmpty()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QrCode::image(session.joinAddress()).save(&buffer, "PNG");
        if (!CheckedFile::write(qr, png, &reason))
            print(QStringLiteral("%1 cannot be written: %2").arg(qr, reason), stderr);
    }
    print(session.joinAddress());
    for (const QString &line : session.mediaReport())
        print(line, stderr);
    print(QStringLiteral("Results go to %1. Ctrl+C ends the class.").arg(results), stderr);

    LiveClass *liveClass = session.liveClass();
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
                print(QStringLiteral("%1: %2 of %3, %4").arg(s.name).arg(s.right).arg(s.answered()).arg(s.logFile));
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
    "serve TEST.ard [--results DIR] [--bind ADDRESS] [--port N] [--qr OUT.png]",
    serveCommand,
});
}
