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
#include <memory>

namespace ModuleLoader {

// The folders searched, in order: the executable's folder, then
// <prefix>/lib/ardeno-creator beside its bin/. $ARDENO_MODULE_DIR, when set,
// is the only folder searched (for tests, and for modules kept elsewhere).
QStringList searchPath();

// Loads lib<name>.so (once per process; later calls return the cached
// result) and resolves `symbol` in it. Returns nullptr with the reason in
// `error` when the module is missing or does not load.
QFunctionPointer resolve(const QString &name, const char *symbol, QString *error = nullptr);

// What is said of a module that loads but was built for another version of
// the program (its factory refuses our interface version).
QString otherVersion(const QString &name);

// A new object of the module's interface, made by its factory
// `Interface *symbol(int version)`; nullptr with the reason (the module is
// missing, does not load, or is of another version) in `error`. Every
// module of the program is reached this way.
template <typename Interface>
std::unique_ptr<Interface> create(const QString &name, const char *symbol, int version, QString *error = nullptr)
{
    using Factory = Interface *(*)(int);
    const auto factory = reinterpret_cast<Factory>(resolve(name, symbol, error));
    if (!factory)
        return nullptr;
    std::unique_ptr<Interface> object(factory(version));
    if (!object && error)
        *error = otherVersion(name);
    return object;
}

// The one object of the module's interface the whole program shares, made
// by the first call and kept for the program's life (one module per
// interface); nullptr, with the reason in `error` on every call, when it
// cannot be had.
template <typename Interface>
Interface *shared(const QString &name, const char *symbol, int version, QString *error = nullptr)
{
    struct Loaded {
        std::unique_ptr<Interface> object;
        QString error;
    };
    static const Loaded loaded = [&] {
        Loaded l;
        l.object = create<Interface>(name, symbol, version, &l.error);
        return l;
    }();
    if (!loaded.object && error)
        *error = loaded.error;
    return loaded.object.get();
}

}
