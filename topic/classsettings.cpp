#include "classsettings.h"

#include <QDir>
#include <QSettings>

ClassSettings ClassSettings::load()
{
    // On Linux the native format is an INI file named .conf; the user scope
    // falls back to each folder of $XDG_CONFIG_DIRS.
    QSettings file(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("tesmora"), QStringLiteral("class"));
    const auto folder = [&file](const char *key) {
        const QString value = file.value(QLatin1String("class/") + QLatin1String(key)).toString().trimmed();
        return value.isEmpty() ? QString() : QDir::cleanPath(value);
    };
    ClassSettings settings;
    settings.m_topics = folder("topics");
    settings.m_results = folder("results");
    return settings;
}
