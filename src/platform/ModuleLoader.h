#pragma once
// Parts of the program that pull in large libraries (libavcodec for the AVI
// maker's encoders, FluidSynth for tunes) live in modules of their own that
// are loaded on first use, so the editor does not pay for them at start-up.
// A module is a shared object next to the executable (the build's bin/) or
// in ../lib/ardeno-creator/ when installed; it exports one extern "C"
// factory function.

#include <QFunctionPointer>
#include <QString>
#include <QStringList>

namespace ModuleLoader {

// The folders searched, in order: the executable's folder, then
// <prefix>/lib/ardeno-creator beside its bin/. $ARDENO_MODULE_DIR, when set,
// is the only folder searched (for tests, and for modules kept elsewhere).
QStringList searchPath();

// Loads lib<name>.so (once per process; later calls return the cached
// result) and resolves `symbol` in it. Returns nullptr with the reason in
// `error` when the module is missing or does not load.
QFunctionPointer resolve(const QString &name, const char *symbol, QString *error = nullptr);

}
