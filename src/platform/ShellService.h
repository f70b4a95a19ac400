#pragma once
// What the program asks of the desktop shell: copying a file, finding and
// starting other programs, opening a web address or mail link.

#include <QString>
#include <QStringList>
#include <QUrl>

class OpenFile;

class ShellService {
public:
    virtual ~ShellService() = default;
    // Copies one opened file to a new file `to`; the copy appears whole or
    // not at all, and never replaces (or writes through) an entry already
    // there. On failure returns false and puts the system's reason into
    // *reason.
    virtual bool copyFile(const OpenFile &from, const QString &to, QString *reason = nullptr) = 0;
    // Full path of a program found on the search path, or "".
    virtual QString findExecutable(const QString &name) const = 0;
    virtual bool startDetached(const QString &program, const QStringList &arguments) = 0;
    virtual bool openUrl(const QUrl &url) = 0;
};

class QtShellService : public ShellService {
public:
    bool copyFile(const OpenFile &from, const QString &to, QString *reason = nullptr) override;
    QString findExecutable(const QString &name) const override;
    bool startDetached(const QString &program, const QStringList &arguments) override;
    bool openUrl(const QUrl &url) override;
};
