#pragma once
// Runs a program the way the tool tests run ardeno-tool: offscreen, with
// what it reads on standard input, for at most a minute; its exit status
// (-1 when it was killed, crashed or did not end in time) and both outputs.
// `environment` changes the environment: "NAME=value" sets, "NAME=" removes.

#include <QProcess>
#include <QStringList>

struct ToolRun {
    int status = -1;
    QByteArray out, err;
};

inline ToolRun runProgram(const QString &program, const QStringList &args, const QString &cwd = QString(),
                          const QByteArray &input = QByteArray(), const QStringList &environment = {})
{
    QProcess p;
    if (!cwd.isEmpty())
        p.setWorkingDirectory(cwd);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const QString &setting : environment) {
        const QString name = setting.section(QLatin1Char('='), 0, 0), value = setting.section(QLatin1Char('='), 1);
        if (value.isEmpty())
            env.remove(name);
        else
            env.insert(name, value);
    }
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}
