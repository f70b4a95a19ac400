#include "platform/ModuleLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QMutex>

namespace {
QString executableDir()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Headless callers without an application object (fuzzers, plain tests).
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
}

struct Loaded {
    QLibrary *library = nullptr;   // never unloaded: objects from it may live to the end
    QString error;
};
}

QStringList ModuleLoader::searchPath()
{
    const QString env = qEnvironmentVariable("ARDENO_MODULE_DIR");
    if (!env.isEmpty())
        return {env};
    const QString exe = executableDir();
    return {exe, QDir::cleanPath(exe + QStringLiteral("/../lib/ardeno-creator"))};
}

QFunctionPointer ModuleLoader::resolve(const QString &name, const char *symbol, QString *error)
{
    static QMutex mutex;
    // Kept to the end of the process (not destroyed at exit), as the modules
    // stay loaded.
    static auto &modules = *new QHash<QString, Loaded>;
    QMutexLocker lock(&mutex);
    auto it = modules.find(name);
    if (it == modules.end()) {
        Loaded loaded;
        const QString file = QStringLiteral("lib%1.so").arg(name);
        QStringList tried;
        for (const QString &dir : searchPath()) {
            const QString path = QDir(dir).filePath(file);
            if (!QFileInfo::exists(path)) {
                tried << path;
                continue;
            }
            auto *lib = new QLibrary(path);
            if (lib->load()) {
                loaded.library = lib;
                loaded.error.clear();
                break;
            }
            loaded.error = lib->errorString();
            delete lib;
        }
        if (!loaded.library && loaded.error.isEmpty())
            loaded.error = QStringLiteral("%1 not found (looked in %2)").arg(file, tried.join(QStringLiteral(", ")));
        it = modules.insert(name, loaded);
    }
    if (!it->library) {
        if (error)
            *error = it->error;
        return nullptr;
    }
    QFunctionPointer f = it->library->resolve(symbol);
    if (!f && error)
        *error = QStringLiteral("%1 lacks %2").arg(it->library->fileName(), QLatin1String(symbol));
    return f;
}

QString ModuleLoader::otherVersion(const QString &name)
{
    return QStringLiteral("lib%1.so belongs to another version of the program").arg(name);
}
