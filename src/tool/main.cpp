// ardeno-tool: the headless companion of the editor. Its output formats are a
// contract for scripts, so they change only deliberately.

#include "ToolCommand.h"

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

int main(int argc, char **argv)
{
    // Some commands draw (printing, pictures) or play media, which needs a
    // GUI application object; without a display they still work offscreen.
    if (!qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Ardenox"));

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return toolUsageError();
    const QString name = args.takeFirst();
    for (const ToolCommand &c : commands())
        if (name == QLatin1String(c.name))
            return c.run(args);
    return toolUsageError();
}
