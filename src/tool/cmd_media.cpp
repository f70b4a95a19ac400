// Media subcommands: the kind of a media file, the device layer's command
// strings, and playing a file the way the editor and the preview do.
#include "platform/CheckedFile.h"
#include "media/MciDevices.h"
#include "media/VideoPictureAt.h"
#include "media/WaveFile.h"
#include "media/modSound.h"
#include "platform/RegularFile.h"
#include "tool/ToolCommand.h"

#include <QBuffer>
#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <iostream>
#include <string>
#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {

int mediaKindCommand(const QStringList &args)
{
    if (args.size() != 1)
        return toolUsageError();
    std::printf("%s\n", qPrintable(mediaKindName(mediaKindOf(args[0]))));
    return 0;
}

// Reads command strings from standard input as they come, while the event
// loop keeps playing what was started; "close all" at the end of input.
int mciCommand(const QStringList &args)
{
    if (!args.isEmpty())
        return toolUsageError();
    auto runLine = [](const QByteArray &raw) {
        QString line = QString::fromLocal8Bit(raw);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const MciReply r = MciDevices::send(line);
        std::printf("%d %s\n", r.code, qPrintable(r.text));
        std::fflush(stdout);
        if (r.code != 0)
            std::fprintf(stderr, "%s\n", qPrintable(MciDevices::errorText(r.code)));
    };
#ifdef Q_OS_WIN
    // No notifier for a console: read line by line (playing goes on between
    // lines only while a command waits).
    std::string line;
    while (std::getline(std::cin, line))
        runLine(QByteArray::fromStdString(line));
#else
    QByteArray pending;
    QEventLoop loop;
    QSocketNotifier notifier(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, [&] {
        notifier.setEnabled(false);          // commands may wait; no re-entry
        char buf[4096];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n > 0)
            pending.append(buf, int(n));
        int nl;
        while ((nl = pending.indexOf('\n')) >= 0) {
            const QByteArray line = pending.left(nl);
            pending.remove(0, nl + 1);
            runLine(line);
        }
        if (n <= 0) {
            if (!pending.isEmpty())
                runLine(pending);
            loop.quit();
            return;
        }
        notifier.setEnabled(true);
    });
    loop.exec();
#endif
    CloseAll();
    return 0;
}

QString statusMode(const QString &alias)
{
    QString reply;
    return MciDevices::sendString(QStringLiteral("status ") + alias + QStringLiteral(" mode"), &reply) == 0
               ? reply : QString();
}

// Waits while the device under `alias` plays (and, if given, its window is open).
void waitWhilePlaying(const QString &alias, QWidget *window = nullptr)
{
    QPointer<QWidget> guard(window);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (statusMode(alias) != QLatin1String("playing") || (window && (!guard || !guard->isVisible())))
            loop.quit();
    });
    poll.start(50);
    loop.exec();
}

QSize videoSize(const QString &path, bool avi)
{
    QString reply;
    MciDevices::sendString((avi ? QStringLiteral("open AVIvideo!") : QStringLiteral("open MPEGvideo!")) + path
                           + QStringLiteral(" alias movie"), nullptr);
    const int code = MciDevices::sendString(QStringLiteral("where movie source"), &reply);
    CloseAll();
    const QStringList items = reply.split(QLatin1Char(' '));
    if (code != 0 || items.size() < 4)
        return {};
    return QSize(items[2].toInt(), items[3].toInt());
}

int playCommand(const QStringList &args)
{
    if (args.size() != 1)
        return toolUsageError();
    const QString path = args[0];
    const MediaKind kind = mediaKindOf(path);
    if (!QFileInfo::exists(path)) {
        std::fprintf(stderr, "%s: no such file\n", qPrintable(path));
        return 1;
    }
    // A pipe or a device is refused before anything opens it: it would
    // block the player or never end.
    if (const QString why = RegularFile::problem(path); !why.isEmpty()) {
        std::fprintf(stderr, "%s: cannot be played: %s\n", qPrintable(path), qPrintable(why));
        return 1;
    }
    switch (kind) {
    case MediaKind::Wave: {
        QString why = QStringLiteral("cannot be read");
        const QByteArray bytes = readWaveFile(path, &why);
        if (bytes.isEmpty() || !parseWave(bytes, &why).isValid()) {
            std::fprintf(stderr, "%s: cannot be played: %s\n", qPrintable(path), qPrintable(why));
            return 1;
        }
        PlayWave(path, QStringLiteral("sync"));
        return 0;
    }
    case MediaKind::Midi:
    case MediaKind::Mp3: {
        kind == MediaKind::Midi ? PlayMIDI(path) : PlayMP3(path);
        const bool started = statusMode(QStringLiteral("song")) == QLatin1String("playing");
        waitWhilePlaying(QStringLiteral("song"));
        CloseAll();
        if (!started)
            std::fprintf(stderr, "%s: cannot be played\n", qPrintable(path));
        return started ? 0 : 1;
    }
    case MediaKind::Avi:
    case MediaKind::Mpeg: {
        // The video's own size when it is known, so it shows unscaled.
        const bool avi = kind == MediaKind::Avi;
        QSize size = videoSize(path, avi);
        if (!size.isValid() || size.isEmpty())
            size = QSize(320, 240);
        QWidget window;
        window.setWindowTitle(QFileInfo(path).fileName());
        window.resize(size);
        const QString platform = QGuiApplication::platformName();
        const bool display = platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
        if (display)
            window.show();
        avi ? PlayAVI(path, &window, true) : PlayMPEG(path, &window, true);
        const bool started = statusMode(QStringLiteral("movie")) == QLatin1String("playing");
        waitWhilePlaying(QStringLiteral("movie"), display ? &window : nullptr);
        CloseAll();
        return started ? 0 : 1;
    }
    case MediaKind::Picture:
    case MediaKind::None:
        break;
    }
    std::fprintf(stderr, "%s: not a sound, tune or video (kind %s)\n", qPrintable(path),
                 qPrintable(mediaKindName(kind)));
    return 1;
}

// Writes the picture the video shows at the given time, at its natural size.
int frameCommand(const QStringList &args)
{
    if (args.size() != 3)
        return toolUsageError();
    bool ok = false;
    const double seconds = args[1].toDouble(&ok);
    if (!ok || seconds < 0)
        return toolUsageError();
    if (!QFileInfo::exists(args[0])) {
        std::fprintf(stderr, "%s: no such file\n", qPrintable(args[0]));
        return 1;
    }
    QString why;
    const QImage picture = videoPictureAt(args[0], seconds, &why);
    if (picture.isNull()) {
        std::fprintf(stderr, "%s: cannot be played: %s\n", qPrintable(args[0]), qPrintable(why));
        return 1;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG") || !CheckedFile::write(args[2], png, &why)) {
        std::fprintf(stderr, "%s: cannot be written: %s\n", qPrintable(args[2]), qPrintable(why));
        return 1;
    }
    return 0;
}

ToolCommandRegistration kindReg({"media-kind", "media-kind PATH", mediaKindCommand});
ToolCommandRegistration mciReg({"mci", "mci   (media command strings on standard input)", mciCommand});
ToolCommandRegistration playReg({"play", "play PATH", playCommand});
ToolCommandRegistration frameReg({"frame", "frame VIDEO SECONDS OUT.png", frameCommand});

} // namespace
