// ardeno-tool: the headless companion of the editor. Its output formats are a
// contract for scripts, so they change only deliberately.

#include "tool/ToolCommand.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QApplication>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
std::vector<ToolCommand> &commands()
{
    static std::vector<ToolCommand> list;
    return list;
}
}

ToolCommandRegistration::ToolCommandRegistration(ToolCommand command)
{
    commands().push_back(std::move(command));
}

int toolUsageError()
{
    std::fprintf(stderr, "usage:\n");
    for (const ToolCommand &c : commands())
        std::fprintf(stderr, "  ardeno-tool %s\n", c.usage);
    return 2;
}

namespace {
QtMessageHandler previousMessageHandler = nullptr;

// Scripts read our stderr for the program's own messages; Qt's note that a
// console session has no runtime folder is not one of them.
void quietMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    // A display that does not answer: the tool goes on without it.
    if (message.startsWith(QLatin1String("could not connect to display"))
        || message.startsWith(QLatin1String("Could not load the Qt platform plugin")))
        return;
    if (previousMessageHandler)
        previousMessageHandler(type, context, message);
}
}

int main(int argc, char **argv)
{
    previousMessageHandler = qInstallMessageHandler(quietMessageHandler);
    // Some commands draw (printing, pictures) or play media, which needs a
    // GUI application object; without a display they still work offscreen.
    // A display named but not answering (a closed session's DISPLAY) must
    // not stop a command that only reads and writes files: the display's
    // platform is tried first, offscreen after it.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "wayland;xcb;offscreen");
        else if (qEnvironmentVariableIsSet("DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "xcb;offscreen");
        else
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Our arguments as given: the GUI toolkit takes some for itself once a
    // display is set ("--title T" would become a window title).
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Ardenox"));

    if (args.isEmpty())
        return toolUsageError();
    const QString name = args.takeFirst();
    for (const ToolCommand &c : commands())
        if (name == QLatin1String(c.name))
            return c.run(args);
    return toolUsageError();
}
