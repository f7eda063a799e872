#include "checkedwriter.h"

#include "systemerror.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

namespace {

QByteArray local(const QString &name)
{
    return QFile::encodeName(name);
}

QString freshName(const QString &prefix)
{
    return prefix + QString::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, QLatin1Char('0'));
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size_t(qMin<qint64>(size, 1 << 20)));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        data += put;
        size -= put;
    }
    return true;
}

// fsync and close, both checked: a network file system reports a failed
// write as late as either.
bool syncAndClose(int fd)
{
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    const bool closed = ::close(fd) == 0;
    if (!synced)
        errno = error;
    return synced && closed;
}

} // namespace

CheckedWriter::CheckedWriter(const QString &folder)
    : m_folder(folder)
{
    m_dir = ::open(local(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#ifdef O_PATH
    // A drop box (write and search, no read) cannot be opened for reading,
    // only as a place to work in.
    if (m_dir < 0 && errno == EACCES) {
        m_dir = ::open(local(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        m_searchOnly = m_dir >= 0;
    }
#endif
    if (m_dir < 0)
        fail(QStringLiteral("открыть папку"), folder, errno);
}

CheckedWriter::~CheckedWriter()
{
    if (m_dir >= 0)
        ::close(m_dir);
}

bool CheckedWriter::fail(const QString &action, const QString &name, int error)
{
    m_error = SystemError::about(action, name, error);
    return false;
}

int CheckedWriter::openPlain(const QString &name) const
{
    const int fd = ::openat(m_dir, local(name).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    struct stat st
    {
    };
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

bool CheckedWriter::writeNew(const QString &name, const QByteArray &bytes, int mode, const QString &shownAs, int *error)
{
    const int fd = ::openat(m_dir, local(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    *error = errno;
    if (fd < 0)
        return fail(QStringLiteral("создать"), shownAs, *error);
    bool written = (mode < 0 || ::fchmod(fd, mode_t(mode)) == 0) && writeAll(fd, bytes.constData(), bytes.size());
    *error = errno;
    if (!written) {
        ::close(fd);
    } else if (!syncAndClose(fd)) {
        written = false;
        *error = errno;
    } else if (!holds(name, bytes)) {
        written = false;
        *error = EIO;
    }
    if (!written) {
        cleanUp(name);
        fail(QStringLiteral("записать"), shownAs, *error);
        if (!m_leftover.isEmpty())
            m_error += QStringLiteral(" Временный файл %1 остался в папке %2.").arg(name, m_folder);
        return false;
    }
    return true;
}

std::optional<QString> CheckedWriter::create(const QString &prefix, const QByteArray &bytes, int mode,
                                             const QString &shownAs)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString name = freshName(prefix);
        int error = 0;
        if (writeNew(name, bytes, mode, shownAs, &error))
            return name;
        if (error != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

bool CheckedWriter::createNamed(const QString &name, const QByteArray &bytes, int mode)
{
    int error = 0;
    return writeNew(name, bytes, mode, name, &error);
}

void CheckedWriter::cleanUp(const QString &name)
{
    // A full disk or a file server gone away may refuse this too; the caller
    // learns the name, so that a later attempt removes it.
    if (::unlinkat(m_dir, local(name).constData(), 0) != 0 && errno != ENOENT)
        m_leftover = name;
}

std::optional<QString> CheckedWriter::keep(const QString &name, const QString &prefix)
{
    if (modeOf(name) < 0) {
        fail(QStringLiteral("сохранить копию"), name, EINVAL);
        return std::nullopt;
    }
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString link = freshName(prefix);
        if (::linkat(m_dir, local(name).constData(), m_dir, local(link).constData(), 0) == 0)
            return link;
        if (errno != EEXIST)
            break;
    }
    // No hard links here (a file server may not have them, or the file
    // belongs to someone else): a copy, read in full and compared.
    return copy(name, prefix);
}

std::optional<QString> CheckedWriter::copy(const QString &name, const QString &prefix)
{
    const int in = openPlain(name);
    if (in < 0) {
        fail(QStringLiteral("прочитать"), name, errno);
        return std::nullopt;
    }
    QFile source;
    source.open(in, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    const QByteArray bytes = source.readAll();
    const bool complete = source.error() == QFileDevice::NoError && bytes.size() == source.size();
    const int mode = modeOf(name);
    if (!complete) {
        fail(QStringLiteral("прочитать"), name, EIO);
        return std::nullopt;
    }
    return create(prefix, bytes, mode, name);
}

bool CheckedWriter::rename(const QString &from, const QString &to)
{
    if (::renameat(m_dir, local(from).constData(), m_dir, local(to).constData()) == 0)
        return true;
    return fail(QStringLiteral("заменить"), to, errno);
}

bool CheckedWriter::replace(const QString &name, const QByteArray &bytes, int mode)
{
    const auto made = create(QLatin1Char('.') + name + QStringLiteral(".new-"), bytes, mode, name);
    if (!made)
        return false;
    if (rename(*made, name))
        return true;
    const QString why = m_error;
    remove(*made);
    m_error = why;
    return false;
}

bool CheckedWriter::publish(const QString &from, const QString &to)
{
    // A hard link never replaces a name that exists.
    if (::linkat(m_dir, local(from).constData(), m_dir, local(to).constData(), 0) == 0)
        return remove(from);
    if (errno == EEXIST)
        return fail(QStringLiteral("создать"), to, errno);
    // A folder without hard links: the name must still be free.
    if (exists(to))
        return fail(QStringLiteral("создать"), to, EEXIST);
    return rename(from, to);
}

CheckedWriter::Published CheckedWriter::publishOnce(const QString &from, const QString &to, const QByteArray &bytes)
{
    // A hard link never replaces a name that exists.
    if (::linkat(m_dir, local(from).constData(), m_dir, local(to).constData(), 0) == 0) {
        cleanUp(from);
        return Published::New;
    }
    const int error = errno;
    // Done at the server with the reply lost, or done by an earlier attempt.
    if (holds(to, bytes)) {
        cleanUp(from);
        return Published::AlreadyThere;
    }
    if (error == EEXIST || exists(to)) {
        fail(QStringLiteral("создать"), to, EEXIST);
        return Published::Taken;
    }
    // A folder without hard links: the name is free, and a rename takes it.
    if (::renameat(m_dir, local(from).constData(), m_dir, local(to).constData()) == 0)
        return Published::New;
    const int renameError = errno;
    if (holds(to, bytes))
        return Published::New;
    fail(QStringLiteral("переименовать в"), to, renameError);
    return Published::Failed;
}

bool CheckedWriter::remove(const QString &name)
{
    if (name.isEmpty() || ::unlinkat(m_dir, local(name).constData(), 0) == 0 || errno == ENOENT)
        return true;
    return fail(QStringLiteral("удалить"), name, errno);
}

bool CheckedWriter::sync()
{
    // Some file systems cannot sync a folder and say so; their renames are
    // as lasting as they get.
    if (m_searchOnly || ::fsync(m_dir) == 0 || errno == EINVAL || errno == ENOTSUP)
        return true;
    return fail(QStringLiteral("сохранить на диск папку"), m_folder, errno);
}

bool CheckedWriter::exists(const QString &name) const
{
    struct stat st
    {
    };
    return ::fstatat(m_dir, local(name).constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

int CheckedWriter::modeOf(const QString &name) const
{
    struct stat st
    {
    };
    if (::fstatat(m_dir, local(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return int(st.st_mode & 07777);
}

int CheckedWriter::modeFor(const QString &name) const
{
    struct stat st
    {
    };
    const int mode = modeOf(name);
    if (::fstat(m_dir, &st) != 0 || (st.st_mode & S_ISGID) == 0)
        return mode;
    // A new one is read by all, as topics are; the umask is not asked, since
    // asking changes it for every thread for a moment.
    return int((mode < 0 ? mode_t(0644) : mode_t(mode)) | S_IRGRP | S_IWGRP);
}

QByteArray CheckedWriter::digest(const QString &name) const
{
    const int fd = openPlain(name);
    if (fd < 0)
        return QByteArray();
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return QByteArray();
    return hash.result().toHex();
}

bool CheckedWriter::holds(const QString &name, const QByteArray &bytes) const
{
    const int fd = openPlain(name);
    if (fd < 0)
        return false;
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    return file.size() == bytes.size() && file.read(bytes.size() + 1) == bytes;
}

QString CheckedWriter::protection(const QStringList &names) const
{
#ifdef Q_OS_LINUX
    auto flags = [](int fd) {
        int value = 0;
        return fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &value) == 0 ? value : 0;
    };
    if (flags(m_dir) & (FS_APPEND_FL | FS_IMMUTABLE_FL))
        return QStringLiteral("Папка %1 защищена от изменений (атрибут append-only или immutable, см. lsattr): в ней "
                              "нельзя заменить файлы.")
            .arg(m_folder);
    for (const QString &name : names) {
        const int fd = openPlain(name);
        const int value = flags(fd);
        if (fd >= 0)
            ::close(fd);
        if (value & (FS_APPEND_FL | FS_IMMUTABLE_FL))
            return QStringLiteral("Файл %1 в папке %2 защищён от изменений (атрибут immutable или append-only, см. "
                                  "lsattr): его нельзя заменить.")
                .arg(name, m_folder);
    }
#else
    Q_UNUSED(names)
#endif
    return QString();
}
