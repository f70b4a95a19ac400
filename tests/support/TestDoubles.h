#pragma once
// Test doubles for the platform services: they record what the program
// showed and answer from a script. Install them with ScopedPlatform.

#include "platform/FileDialogService.h"
#include "platform/MsgBox.h"
#include "platform/Platform.h"
#include "platform/SettingsStore.h"
#include "platform/ShellService.h"
#include "platform/OpenFile.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QQueue>

class RecordingMessageService : public MessageService {
public:
    QList<MessageRequest> shown;
    QQueue<MsgResult> answers;   // next answers; when empty: Yes for Yes/No, else OK

    MsgResult show(const MessageRequest &request) override
    {
        shown.append(request);
        if (!answers.isEmpty())
            return answers.dequeue();
        return request.buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
    }
    QStringList texts() const
    {
        QStringList t;
        for (const auto &m : shown) t << m.text;
        return t;
    }
    void clear() { shown.clear(); answers.clear(); }
};

class ScriptedFileDialogService : public FileDialogService {
public:
    QList<FileDialogRequest> requests;
    QQueue<QStringList> answers;  // each: the chosen files; empty list = cancel

    void answer(const QString &path) { answers.enqueue(path.isEmpty() ? QStringList() : QStringList{path}); }

protected:
    FileDialogResult exec(const FileDialogRequest &request) override
    {
        requests.append(request);
        FileDialogResult r;
        if (answers.isEmpty())
            return r;
        r.files = answers.dequeue();
        r.accepted = !r.files.isEmpty();
        r.filterIndex = request.filterIndex;
        return r;
    }
};

class MemorySettingsStore : public SettingsStore {
public:
    QHash<QString, QString> values;   // "app/section/key" -> value
    QString value(const QString &app, const QString &section, const QString &key,
                  const QString &def) const override
    { return values.value(app + '/' + section + '/' + key, def); }
    void setValue(const QString &app, const QString &section, const QString &key,
                  const QString &v) override
    { values.insert(app + '/' + section + '/' + key, v); }
};

class FakeShellService : public ShellService {
public:
    bool failCopies = false;
    QStringList copies;                         // "from -> to"
    QHash<QString, QString> executables;        // name -> full path
    QList<QStringList> started;                 // program + arguments
    QList<QUrl> opened;

    bool copyFile(const OpenFile &from, const QString &to, QString *reason = nullptr) override
    {
        copies << from.name() + " -> " + to;
        if (failCopies) {
            if (reason)
                *reason = QStringLiteral("Permission denied");
            return false;
        }
        return QtShellService().copyFile(from, to, reason);
    }
    QString findExecutable(const QString &name) const override { return executables.value(name); }
    bool startDetached(const QString &program, const QStringList &args) override
    { started.append(QStringList{program} + args); return true; }
    bool openUrl(const QUrl &url) override { opened << url; return true; }
};

// Installs the given doubles for one scope and restores the defaults after.
struct ScopedPlatform {
    RecordingMessageService messages;
    ScriptedFileDialogService dialogs;
    MemorySettingsStore settings;
    FakeShellService shell;
    ScopedPlatform()
    {
        Platform::setMessages(&messages);
        Platform::setFileDialogs(&dialogs);
        Platform::setSettings(&settings);
        Platform::setShell(&shell);
    }
    ~ScopedPlatform()
    {
        Platform::setMessages(nullptr);
        Platform::setFileDialogs(nullptr);
        Platform::setSettings(nullptr);
        Platform::setShell(nullptr);
    }
    ScopedPlatform(const ScopedPlatform &) = delete;
    ScopedPlatform &operator=(const ScopedPlatform &) = delete;
};
