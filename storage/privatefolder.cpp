#include "privatefolder.h"

#include "systemerror.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray local(const QString &path)
{
    return QFile::encodeName(path);
}

QString ownerName(uid_t uid)
{
    const passwd *account = ::getpwuid(uid);
    return account ? QString::fromLocal8Bit(account->pw_name) : QString::number(uid);
}

// Every missing folder of path, made for this account alone.
void makePath(const QString &path)
{
    const QStringList parts = QDir::cleanPath(path).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString sofar = path.startsWith(QLatin1Char('/')) ? QString() : QStringLiteral(".");
    for (const QString &part : parts) {
        sofar += QLatin1Char('/') + part;
        ::mkdir(local(sofar).constData(), 0700);
    }
}

} // namespace

PrivateFolder::PrivateFolder(const QString &base, const QStringList &own, Base kind, Make make)
    : m_path(QDir::cleanPath(base + QLatin1Char('/') + own.join(QLatin1Char('/'))))
{
    int fd = -1;
    if (!openBase(base, kind, make, &fd))
        return;
    QString path = QDir::cleanPath(base);
    for (const QString &name : own) {
        path += QLatin1Char('/') + name;
        if (!openOwn(&fd, name, path, make))
            break;
    }
    if (fd >= 0)
        ::close(fd);
}

bool PrivateFolder::refuse(const QString &path, const QString &why)
{
    m_error = QStringLiteral("Папка %1 не годится для личных файлов: %2.").arg(path, why);
    return false;
}

bool PrivateFolder::openBase(const QString &base, Base kind, Make make, int *fd)
{
    if (kind == Base::Own && make == Make::IfMissing)
        makePath(base);
    // The base may be a link (a cache home moved elsewhere): what it leads to is checked.
    *fd = ::open(local(base).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (*fd < 0) {
        m_missing = errno == ENOENT;
        m_error = SystemError::about(QStringLiteral("открыть папку"), base, errno);
        return false;
    }
    struct stat st
    {
    };
    if (kind == Base::Shared)
        return true;
    if (::fstat(*fd, &st) != 0 || st.st_uid != ::getuid())
        return refuse(base, QStringLiteral("она принадлежит учётной записи %1").arg(ownerName(st.st_uid)));
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return refuse(base, QStringLiteral("в неё могут писать другие учётные записи"));
    return true;
}

bool PrivateFolder::openOwn(int *fd, const QString &name, const QString &path, Make make)
{
    const QByteArray entry = local(name);
    if (make == Make::IfMissing && ::mkdirat(*fd, entry.constData(), 0700) != 0 && errno != EEXIST) {
        m_error = SystemError::about(QStringLiteral("создать папку"), path, errno);
        return false;
    }
    const int next = ::openat(*fd, entry.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int error = errno;
    ::close(*fd);
    *fd = next;
    if (next < 0) {
        m_missing = error == ENOENT;
        if (error == ELOOP || error == ENOTDIR)
            return refuse(path, QStringLiteral("на её месте ссылка или файл"));
        m_error = SystemError::about(QStringLiteral("открыть папку"), path, error);
        return false;
    }
    struct stat st
    {
    };
    if (::fstat(next, &st) != 0 || st.st_uid != ::getuid())
        return refuse(path, QStringLiteral("её создала учётная запись %1").arg(ownerName(st.st_uid)));
    // Ours, so ours to close: an outbox made open by an earlier version.
    if ((st.st_mode & 077) != 0 && ::fchmod(next, 0700) != 0)
        return refuse(path, QStringLiteral("она открыта другим учётным записям"));
    return true;
}

QStringList PrivateFolder::madeBefore(const QString &base, const QString &prefix)
{
    QStringList names;
    DIR *dir = ::opendir(local(base).constData());
    if (!dir)
        return names;
    while (const dirent *item = ::readdir(dir)) {
        const QString name = QFile::decodeName(item->d_name);
        struct stat st
        {
        };
        if (!name.startsWith(prefix) || name.size() != prefix.size() + 6
            || ::fstatat(::dirfd(dir), item->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0)
            names << name;
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

QString PrivateFolder::makeTemporary(const QString &base, const QString &prefix, QString *error)
{
    QByteArray pattern = local(base + QLatin1Char('/') + prefix) + "XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        *error = SystemError::about(QStringLiteral("создать папку"), QFile::decodeName(pattern), errno);
        return QString();
    }
    return QFile::decodeName(pattern).section(QLatin1Char('/'), -1);
}
