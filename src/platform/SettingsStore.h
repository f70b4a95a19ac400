#pragma once
// The per-user settings store, addressed by application name, section and
// key. The program keeps only its recent-files list there.

#include <QString>

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString value(const QString &app, const QString &section, const QString &key,
                          const QString &defaultValue) const = 0;
    virtual void setValue(const QString &app, const QString &section, const QString &key,
                          const QString &value) = 0;
};

// QSettings-backed store. On Windows it uses the registry key that programs of
// this family use (HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<app>);
// elsewhere an INI file <config folder>/<app>/<app>.ini, e.g.
// ~/.config/Ardenox/Ardenox.ini on Linux.
class QtSettingsStore : public SettingsStore {
public:
    QString value(const QString &app, const QString &section, const QString &key,
                  const QString &defaultValue) const override;
    void setValue(const QString &app, const QString &section, const QString &key,
                  const QString &value) override;
};
