#include "fileentry.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef Q_OS_DARWIN
#define st_mtim st_mtimespec
#endif

namespace {

FileEntry::Kind kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return FileEntry::Kind::File;
    if (S_ISDIR(mode))
        return FileEntry::Kind::Folder;
    if (S_ISLNK(mode))
        return FileEntry::Kind::Link;
    if (S_ISFIFO(mode))
        return FileEntry::Kind::Pipe;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return FileEntry::Kind::Device;
    if (S_ISSOCK(mode))
        return FileEntry::Kind::Socket;
    return FileEntry::Kind::Unknown;
}

// Opens a plain file for reading; a pipe or a device is refused before
// anything waits on it.
int openPlain(const QString &path, bool followLink, int *error)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    struct stat st
    {
    };
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        return fd;
    if (error)
        *error = fd < 0 ? errno : (S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    if (fd >= 0)
        ::close(fd);
    return -1;
}

} // namespace

FileEntry FileEntry::at(const QString &path)
{
    FileEntry entry;
    struct stat st
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return entry;
    entry.m_kind = kindOf(st.st_mode);
    if (entry.m_kind == Kind::Link) {
        entry.m_target = QFile::symLinkTarget(path);
        struct stat target
        {
        };
        entry.m_targetIsFile = ::stat(QFile::encodeName(path).constData(), &target) == 0 && S_ISREG(target.st_mode);
    }
    return entry;
}

QString FileEntry::what() const
{
    switch (m_kind) {
    case Kind::Missing:
        return QStringLiteral("нет файла");
    case Kind::File:
        return QStringLiteral("файл");
    case Kind::Folder:
        return QStringLiteral("папка");
    case Kind::Link:
        return QStringLiteral("символическая ссылка на %1").arg(m_target);
    case Kind::Pipe:
        return QStringLiteral("именованный канал (FIFO)");
    case Kind::Device:
        return QStringLiteral("устройство");
    case Kind::Socket:
        return QStringLiteral("сокет");
    case Kind::Unknown:
        break;
    }
    return QStringLiteral("не файл");
}

std::optional<QByteArray> FileEntry::read(const QString &path, qint64 limit, bool followLink, int *error)
{
    const int fd = openPlain(path, followLink, error);
    if (fd < 0)
        return std::nullopt;
    QByteArray bytes;
    char buffer[65536];
    while (bytes.size() <= limit) {
        const ssize_t got = ::read(fd, buffer, size_t(qMin<qint64>(sizeof buffer, limit + 1 - bytes.size())));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && error)
            *error = errno;
        if (got < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    ::close(fd);
    return bytes;
}

QByteArray FileEntry::stamp(const QString &path)
{
    struct stat st
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QByteArrayLiteral("missing");
    QByteArray stamp = QByteArray::number(uint(st.st_mode)) + ' ' + QByteArray::number(qint64(st.st_size)) + ' '
        + QByteArray::number(qint64(st.st_mtim.tv_sec)) + '.' + QByteArray::number(qint64(st.st_mtim.tv_nsec)) + ' '
        + QByteArray::number(quint64(st.st_ino));
    const int fd = S_ISREG(st.st_mode) ? openPlain(path, false, nullptr) : -1;
    if (fd < 0)
        return stamp;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return stamp;
    }
    QCryptographicHash digest(QCryptographicHash::Sha256);
    digest.addData(&file);
    return stamp + ' ' + digest.result().toHex();
}
