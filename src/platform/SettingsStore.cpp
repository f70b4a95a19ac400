#include "platform/SettingsStore.h"

#include <QSettings>
#include <memory>

namespace {
std::unique_ptr<QSettings> open(const QString &app)
{
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") + app,
        QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, app, app);
#endif
}
}

QString QtSettingsStore::value(const QString &app, const QString &section, const QString &key,
                               const QString &defaultValue) const
{
    auto s = open(app);
    return s->value(section + QLatin1Char('/') + key, defaultValue).toString();
}

void QtSettingsStore::setValue(const QString &app, const QString &section, const QString &key,
                               const QString &value)
{
    auto s = open(app);
    s->setValue(section + QLatin1Char('/') + key, value);
    s->sync();
}
