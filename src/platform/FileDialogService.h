#pragma once
// Open and save dialogs. The program's dialog routines describe what they
// want in a FileDialogRequest; the installed FileDialogService shows it (a
// QFileDialog in the program, a script in tests).

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

struct FileFilter {
    QString description;   // e.g. "Ardeno Tests (*.ard)"
    QString pattern;       // e.g. "*.ard", several joined by ';'
    bool operator==(const FileFilter &o) const
    { return description == o.description && pattern == o.pattern; }
};

// Splits a Windows-style filter list: description, NUL, pattern, NUL, ...
// (trailing NULs ignored). An odd last part is taken as a description
// whose pattern is "*".
QList<FileFilter> parseNulSeparatedFilter(const QString &filter);

struct FileDialogRequest {
    // Folder: an existing folder is chosen (files are shown, not chosen).
    enum class Mode { Open, Save, Folder };
    Mode mode = Mode::Open;
    QString title;
    QList<FileFilter> filters;
    int filterIndex = 1;          // 1-based, the filter shown first
    QString initialDir;
    QString fileName;             // name proposed in the name field
    QString defaultExt;           // appended to a typed name without extension
    bool fileMustExist = false;   // open only
    bool multiSelect = false;     // open only
    bool overwritePrompt = false; // save only
    bool hideReadOnly = true;
    bool readOnly = false;        // initial state of the read-only box
    bool preview = false;         // open dialog with a preview pane
    QObject *owner = nullptr;     // the window it belongs to; none: the active one
};

struct FileDialogResult {
    bool accepted = false;
    QStringList files;            // full paths; empty when cancelled
    int filterIndex = 0;          // 1-based filter selected at the end
    bool readOnly = false;
};

class FileDialogService {
public:
    virtual ~FileDialogService() = default;

    // Shows the dialog. After a choice the chosen file's folder becomes the
    // process's working directory, as the Windows dialogs leave it, so bare
    // media names resolve against the folder last chosen.
    FileDialogResult choose(const FileDialogRequest &request);

protected:
    virtual FileDialogResult exec(const FileDialogRequest &request) = 0;
};

// Without a window system there is nothing to choose from: always cancels.
class NullFileDialogService : public FileDialogService {
protected:
    FileDialogResult exec(const FileDialogRequest &) override { return {}; }
};
