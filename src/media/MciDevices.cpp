#include "media/MciDevices.h"
#include "media/MciCommand.h"
#include "media/MciDevice.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHash>
#include <QTimer>
#include <QMap>
#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <memory>

namespace {
constexpr int kMaxReply = 127;
const char *const kHandleProperty = "ardenoMciHandle";

// Open devices by alias (lower case: aliases ignore letter case). Shared
// pointers, so that a device closed while its open() still waits lives on
// until open() has returned.
QMap<QString, std::shared_ptr<MciDevice>> &devices()
{
    static QMap<QString, std::shared_ptr<MciDevice>> map;
    static const bool cleanup = [] {
        // Close what is still open while the application object exists:
        // players must not outlive it.
        qAddPostRoutine([] { devices().clear(); });
        return true;
    }();
    Q_UNUSED(cleanup);
    return map;
}

QHash<int, QPointer<QWidget>> &windows()
{
    static QHash<int, QPointer<QWidget>> map;
    return map;
}

int closeDevice(const QString &key)
{
    std::shared_ptr<MciDevice> dev = devices().take(key);
    if (dev)
        dev->abandon();
    return MciError::None;
}

int execute(const MciCommand &c, QString *reply)
{
    const QString key = c.target.toLower();

    if (c.verb == QLatin1String("open")) {
        if (key == QLatin1String("all"))
            return MciError::InvalidDeviceName;
        if (devices().contains(key))
            return MciError::DuplicateAlias;
        std::shared_ptr<MciDevice> dev;
        if (c.deviceType == QLatin1String("avivideo") || c.deviceType == QLatin1String("mpegvideo"))
            dev = std::make_shared<VideoDevice>();
        else if (c.deviceType == QLatin1String("sequencer"))
            dev = std::make_shared<SequencerDevice>();
        else
            return MciError::InvalidDeviceName;
        devices().insert(key, dev);            // the alias is taken while the file opens
        const int code = dev->open(c.element);
        if (devices().value(key) != dev)       // closed while opening
            return code ? code : MciError::DeviceNotReady;
        if (code != MciError::None)
            devices().remove(key);
        return code;
    }

    if (c.verb == QLatin1String("close")) {
        if (!c.words.isEmpty())
            return MciError::UnrecognizedKeyword;
        if (key == QLatin1String("all")) {
            const QStringList keys = devices().keys();
            for (const QString &k : keys)
                closeDevice(k);
            return MciError::None;
        }
        if (!devices().contains(key))
            return MciError::InvalidDeviceName;
        return closeDevice(key);
    }

    const std::shared_ptr<MciDevice> dev = devices().value(key);
    if (!dev)
        return MciError::InvalidDeviceName;
    const QString args = c.words.join(QLatin1Char(' ')).toLower();

    if (c.verb == QLatin1String("window")) {
        if (c.words.size() != 2 || c.words[0].toLower() != QLatin1String("handle"))
            return c.words.size() < 2 ? MciError::MissingParameter : MciError::UnrecognizedKeyword;
        int handle = 0;
        if (!parseMciInteger(c.words[1], &handle))
            return MciError::BadInteger;
        QWidget *w = MciDevices::windowForHandle(handle);
        if (!w)
            return MciError::NoWindow;
        return dev->setWindow(w);
    }
    if (c.verb == QLatin1String("capability")) {
        if (c.words.isEmpty())
            return MciError::MissingParameter;
        return dev->capability(args, reply);
    }
    if (c.verb == QLatin1String("where")) {
        if (args == QLatin1String("source"))
            return dev->whereSource(reply);
        if (args == QLatin1String("destination"))
            return dev->whereDestination(reply);
        return c.words.isEmpty() ? MciError::MissingParameter : MciError::UnrecognizedKeyword;
    }
    if (c.verb == QLatin1String("put")) {
        if (c.words.isEmpty() || c.words[0].toLower() != QLatin1String("destination"))
            return c.words.isEmpty() ? MciError::MissingParameter : MciError::UnrecognizedKeyword;
        if (c.words.size() == 1)
            return dev->putDestination(QRect());          // back to the default placement
        if (c.words[1].toLower() != QLatin1String("at"))
            return MciError::UnrecognizedKeyword;
        if (c.words.size() != 6)
            return c.words.size() < 6 ? MciError::MissingParameter : MciError::ExtraCharacters;
        int n[4];
        for (int i = 0; i < 4; ++i)
            if (!parseMciInteger(c.words[2 + i], &n[i]))
                return MciError::BadInteger;
        if (n[2] < 0 || n[3] < 0)
            return MciError::BadInteger;
        return dev->putDestination(QRect(n[0], n[1], n[2], n[3]));
    }
    if (c.verb == QLatin1String("play") && args == QLatin1String("wait")) {
        // "wait": return when playing has ended (user input waits meanwhile).
        const int code = dev->play();
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (dev->mode() != QLatin1String("playing") || devices().value(key) != dev)
                loop.quit();
        });
        poll.start(20);
        if (code == MciError::None)
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        return code;
    }
    if (c.verb == QLatin1String("play") || c.verb == QLatin1String("stop")) {
        if (!c.words.isEmpty())
            return MciError::UnrecognizedKeyword;
        return c.verb == QLatin1String("play") ? dev->play() : dev->stop();
    }
    if (c.verb == QLatin1String("status")) {
        if (args != QLatin1String("mode"))
            return c.words.isEmpty() ? MciError::MissingParameter : MciError::UnrecognizedKeyword;
        *reply = dev->mode();
        return MciError::None;
    }
    return MciError::UnrecognizedCommand;
}
}

namespace MciDevices {

static std::function<void(const QString &, const MciReply &)> &observer()
{
    static std::function<void(const QString &, const MciReply &)> f;
    return f;
}

void setCommandObserver(std::function<void(const QString &, const MciReply &)> f)
{
    observer() = std::move(f);
}

MciReply send(const QString &command)
{
    MciReply r;
    MciCommand c;
    r.code = parseMciCommand(command, &c);
    if (r.code == MciError::None)
        r.code = execute(c, &r.text);
    if (r.code != MciError::None)
        r.text.clear();
    r.text.truncate(kMaxReply);
    if (observer())
        observer()(command, r);
    return r;
}

int sendString(const QString &command, QString *reply)
{
    const MciReply r = send(command);
    if (r.code == MciError::None && reply)
        *reply = r.text;
    return r.code;
}

QString errorText(int code)
{
    switch (code) {
    case MciError::None: return QStringLiteral("The command completed.");
    case MciError::UnrecognizedKeyword: return QStringLiteral("Unknown parameter for this command.");
    case MciError::UnrecognizedCommand: return QStringLiteral("Unknown command.");
    case MciError::InvalidDeviceName: return QStringLiteral("The device is not open or not known.");
    case MciError::CannotLoadDriver:
        return QStringLiteral("The device cannot play this kind of file here (for MIDI: no soundfont).");
    case MciError::BadInteger: return QStringLiteral("A number was expected.");
    case MciError::MissingParameter: return QStringLiteral("A parameter is missing.");
    case MciError::UnsupportedFunction: return QStringLiteral("The device does not support this command.");
    case MciError::FileNotFound: return QStringLiteral("The file was not found.");
    case MciError::DeviceNotReady: return QStringLiteral("The device is not ready.");
    case MciError::DeviceTypeRequired: return QStringLiteral("The device type is missing.");
    case MciError::DuplicateAlias: return QStringLiteral("The alias is already in use.");
    case MciError::InvalidFile: return QStringLiteral("The file cannot be played.");
    case MciError::ExtraCharacters: return QStringLiteral("Too many parameters.");
    case MciError::NoWindow: return QStringLiteral("No window with this handle.");
    default: break;
    }
    return QStringLiteral("Media error %1.").arg(code);
}

int registerWindow(QWidget *widget)
{
    if (!widget)
        return 0;
    const QVariant known = widget->property(kHandleProperty);
    if (known.isValid() && windows().value(known.toInt()) == widget)
        return known.toInt();
    static int next = 0x10010;
    const int handle = next++;
    windows().insert(handle, widget);
    widget->setProperty(kHandleProperty, handle);
    QObject::connect(widget, &QObject::destroyed, [handle] { windows().remove(handle); });
    return handle;
}

QWidget *windowForHandle(int handle)
{
    return windows().value(handle).data();
}

} // namespace MciDevices
