#include "resultcache.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr quint32 kMagic = 0x74736d72; // "tsmr"
constexpr quint32 kVersion = 1;

} // namespace

QString ResultCache::pathFor(const QString &folder)
{
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() || QDir::isRelativePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    const QByteArray key
        = QCryptographicHash::hash(QDir::cleanPath(folder).toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return cache + QStringLiteral("/tesmora/results-") + QString::fromLatin1(key) + QStringLiteral(".cache");
}

ResultFolder::Cache ResultCache::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QDataStream in(&file);
    quint32 magic = 0;
    quint32 version = 0;
    qint32 count = 0;
    in >> magic >> version >> count;
    if (magic != kMagic || version != kVersion || count < 0)
        return {};
    ResultFolder::Cache cache;
    for (qint32 k = 0; k < count && in.status() == QDataStream::Ok; ++k) {
        ResultFolder::Read read;
        QByteArray json;
        in >> read.fileName >> read.size >> read.modified >> read.owner >> json;
        read.record = ResultRecord::fromJson(json);
        if (in.status() == QDataStream::Ok && read.record)
            cache.insert(read.fileName, read);
    }
    return in.status() == QDataStream::Ok ? cache : ResultFolder::Cache();
}

bool ResultCache::save(const QString &path, const ResultFolder::Cache &cache)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out << kMagic << kVersion << qint32(cache.size());
    // The record as the program writes it: it reads back the same.
    for (const ResultFolder::Read &read : cache)
        out << read.fileName << read.size << read.modified << read.owner << read.record->toJson();
    return out.status() == QDataStream::Ok && file.commit();
}
