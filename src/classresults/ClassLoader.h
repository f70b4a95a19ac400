#pragma once
// Which files a teacher's choice names, and reading them: a file as it is,
// a folder by its result logs (the files whose names end in ".log", not
// those of its sub-folders), each read as a result log. Reading runs on a
// worker thread and can be stopped; nothing is added to a class until it
// has ended.

#include "classresults/ResultLog.h"
#include "platform/WorkProgress.h"

#include <QList>
#include <QStringList>

struct ReadFile {
    QString path;
    ResultRead read;
};

namespace ClassLoader {
// The files `paths` name, folders opened, in the order given (a folder's
// files by name). A path that names nothing is kept: reading it says so.
QStringList expand(const QStringList &paths);

// Each file read; an empty list when stopped.
QList<ReadFile> readAll(const QStringList &files, WorkProgress *progress = nullptr);

// Whether a name (on the command line) is a folder or a file whose name
// ends in ".log", i.e. something for the class results.
bool isResultsPath(const QString &path);
}
