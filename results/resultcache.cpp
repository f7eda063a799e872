#include "resultcache.h"

#include "storage/privatefolder.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr quint32 kMagic = 0x74736d72; // "tsmr"
constexpr quint32 kVersion = 2;
// Each record follows a 1; the end is a 0, so a cut file shows.
constexpr quint8 kMore = 1;
constexpr quint8 kEnd = 0;

// The cache's folder, checked as this account's alone (and made so, with make).
bool ownFolder(const QString &path, PrivateFolder::Make make)
{
    const QFileInfo folder(QFileInfo(path).path());
    return !folder.fileName().isEmpty()
        && PrivateFolder(folder.path(), {folder.fileName()}, PrivateFolder::Base::Own, make).isOpen();
}

QString cacheHome()
{
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    return cache.isEmpty() || QDir::isRelativePath(cache) ? QDir::homePath() + QStringLiteral("/.cache") : cache;
}

// The cache file opened for reading, never through a link.
bool openCache(QFile &file, const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat st
    {
    };
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    return true;
}

// Reads the entries of an open cache, handing each to take; false when the
// file is no cache or is cut short.
template <typename Take>
bool readEntries(QFile &file, Take take)
{
    QDataStream in(&file);
    quint32 magic = 0;
    quint32 version = 0;
    in >> magic >> version;
    if (magic != kMagic || version != kVersion)
        return false;
    quint8 mark = kEnd;
    for (in >> mark; in.status() == QDataStream::Ok && mark == kMore; in >> mark) {
        ResultFolder::Read read;
        QByteArray bytes;
        in >> read.fileName >> read.size >> read.modified >> read.owner >> bytes;
        if (in.status() == QDataStream::Ok)
            take(read, bytes);
    }
    return in.status() == QDataStream::Ok && mark == kEnd;
}

void writeEntry(QDataStream &out, const ResultFolder::Read &read, const QByteArray &bytes)
{
    out << kMore << read.fileName << read.size << read.modified << read.owner << bytes;
}

} // namespace

QString ResultCache::pathFor(const QString &folder)
{
    const QByteArray key
        = QCryptographicHash::hash(QDir::cleanPath(folder).toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return cacheHome() + QStringLiteral("/tesmora/results-") + QString::fromLatin1(key) + QStringLiteral(".cache");
}

ResultFolder::Cache ResultCache::load(const QString &path)
{
    if (!ownFolder(path, PrivateFolder::Make::No))
        return {};
    QFile file;
    if (!openCache(file, path))
        return {};
    ResultFolder::Cache cache;
    const bool whole = readEntries(file, [&cache](ResultFolder::Read &read, const QByteArray &bytes) {
        read.record = ResultRecord::fromJson(bytes);
        if (read.record)
            cache.insert(read.fileName, read);
    });
    return whole ? cache : ResultFolder::Cache();
}

std::optional<QStringList> ResultCache::save(const QString &path, const ResultFolder::Cache &cache)
{
    if (!ownFolder(path, PrivateFolder::Make::IfMissing))
        return std::nullopt;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || ::fchmod(int(file.handle()), 0600) != 0)
        return std::nullopt;
    QDataStream out(&file);
    out << kMagic << kVersion;
    // What is held without its bytes came from the cache on disk: copied from there.
    QFile old;
    if (openCache(old, path)) {
        readEntries(old, [&out, &cache](const ResultFolder::Read &read, const QByteArray &bytes) {
            const auto held = cache.constFind(read.fileName);
            if (held != cache.constEnd() && held->bytes.isEmpty() && held->size == read.size
                && held->modified == read.modified)
                writeEntry(out, *held, bytes);
        });
    }
    QStringList written;
    for (const ResultFolder::Read &read : cache) {
        if (read.bytes.isEmpty())
            continue;
        writeEntry(out, read, read.bytes);
        written << read.fileName;
    }
    out << kEnd;
    if (out.status() != QDataStream::Ok || !file.commit())
        return std::nullopt;
    return written;
}
