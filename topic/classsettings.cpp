#include "classsettings.h"

#include <QDir>
#include <QRegularExpression>
#include <QSettings>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

QString variable(const QString &name)
{
    if (name == QLatin1String("HOME"))
        return QDir::homePath();
    if (name != QLatin1String("USER"))
        return QString();
    // USERNAME is its name on Windows; a session may set neither.
    QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
#ifdef Q_OS_UNIX
    if (user.isEmpty()) {
        if (const passwd *account = ::getpwuid(::getuid()))
            user = QString::fromLocal8Bit(account->pw_name);
    }
#endif
    return user;
}

} // namespace

QString ClassSettings::expand(const QString &written)
{
    QString path = written;
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        path.replace(0, 1, QDir::homePath());
    static const QRegularExpression name(QStringLiteral("\\$(?:\\{(\\w+)\\}|(\\w+))"));
    QString expanded;
    qsizetype from = 0;
    for (const QRegularExpressionMatch &match : name.globalMatch(path)) {
        const QString value = variable(match.captured(1) + match.captured(2));
        expanded += path.mid(from, match.capturedStart() - from);
        expanded += value.isEmpty() ? match.captured() : value;
        from = match.capturedEnd();
    }
    return expanded + path.mid(from);
}

ClassSettings ClassSettings::load()
{
    // On Linux the native format is an INI file named .conf; the user scope
    // falls back to each folder of $XDG_CONFIG_DIRS.
    QSettings file(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("tesmora"), QStringLiteral("class"));
    const auto folder = [&file](const char *key) {
        const QString value = file.value(QLatin1String("class/") + QLatin1String(key)).toString().trimmed();
        return value.isEmpty() ? QString() : QDir::cleanPath(expand(value));
    };
    ClassSettings settings;
    settings.m_topics = folder("topics");
    settings.m_results = folder("results");
    return settings;
}
