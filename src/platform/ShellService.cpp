#include "platform/ShellService.h"

#include "platform/CheckedFile.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

bool QtShellService::copyFile(const OpenFile &from, const QString &to, QString *reason)
{
    return CheckedFile::copy(from, to, reason, CheckedFile::Mode::NewOnly);
}

QString QtShellService::findExecutable(const QString &name) const
{
    return QStandardPaths::findExecutable(name);
}

bool QtShellService::startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

bool QtShellService::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}
