#include "topicversions.h"

#include "storage/checkedwriter.h"

#include <QFile>

#include <algorithm>

namespace {

constexpr qint64 kMaxBytes = qint64(1024) * 1024;

bool isDigest(const QByteArray &line)
{
    if (line.size() != 64)
        return false;
    return std::all_of(line.cbegin(), line.cend(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

} // namespace

const QString TopicVersions::FileName = QStringLiteral("versions.sha256");

QSet<QByteArray> TopicVersions::read(const QString &folder)
{
    QSet<QByteArray> digests;
    QFile file(folder + QLatin1Char('/') + FileName);
    if (!file.open(QIODevice::ReadOnly))
        return digests;
    // Lines that are not digests are passed over: the list is only a hint.
    for (const QByteArray &line : file.read(kMaxBytes).split('\n')) {
        if (isDigest(line.trimmed()))
            digests.insert(line.trimmed());
    }
    return digests;
}

QString TopicVersions::add(const QString &folder, const QList<QByteArray> &digests)
{
    QSet<QByteArray> known = read(folder);
    QByteArray text;
    {
        QFile file(folder + QLatin1Char('/') + FileName);
        if (file.open(QIODevice::ReadOnly))
            text = file.read(kMaxBytes);
    }
    if (!text.isEmpty() && !text.endsWith('\n'))
        text += '\n';
    bool added = false;
    for (const QByteArray &digest : digests) {
        if (isDigest(digest) && !known.contains(digest)) {
            known.insert(digest);
            text += digest + '\n';
            added = true;
        }
    }
    if (!added)
        return QString();
    CheckedWriter writer(folder);
    return writer.replace(FileName, text, writer.modeFor(FileName)) ? QString() : writer.error();
}
