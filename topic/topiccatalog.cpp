#include "topiccatalog.h"

#include "topicfile.h"
#include "topicversions.h"

#include "storage/fileentry.h"

#include <QCollator>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>

const QString TopicCatalog::BuiltInName = QStringLiteral("Стандартная тема");

QString TopicCatalog::userFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/tesmora/topics");
}

QStringList TopicCatalog::searchFolders(const QString &classTopics)
{
    QStringList folders;
    if (!classTopics.isEmpty())
        folders << classTopics;
    // The account's own data folder first, then each of $XDG_DATA_DIRS.
    for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders << data + QStringLiteral("/tesmora/topics");
    return folders;
}

QList<TopicCatalog::Topic> TopicCatalog::topicsIn(const QString &folder)
{
    QList<Topic> topics;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString path = dir.filePath(name);
        if (QFileInfo(path + QLatin1Char('/') + TopicFile::QuestionsName).isFile())
            topics.append({name, path, false});
    }
    return topics;
}

QList<TopicCatalog::Topic> TopicCatalog::find(const QString &classTopics)
{
    QList<Topic> topics;
    QSet<QString> names;
    for (const QString &folder : searchFolders(classTopics)) {
        for (const Topic &topic : topicsIn(folder)) {
            if (!names.contains(topic.name)) {
                names.insert(topic.name);
                topics.append(topic);
            }
        }
    }
    if (topics.size() > 1) { // the collator is not set up for nothing at start
        QCollator russian{QLocale(QLocale::Russian, QLocale::Russia)};
        std::sort(topics.begin(), topics.end(),
                  [&russian](const Topic &a, const Topic &b) { return russian.compare(a.name, b.name) < 0; });
    }
    if (!names.contains(BuiltInName))
        topics.append({BuiltInName, TopicFile::trainerFolder(), true});
    return topics;
}

// Far beyond any topic: the digest of a larger file covers this much of it.
static constexpr qint64 kDigestLimit = qint64(64) * 1024 * 1024;

QByteArray TopicCatalog::digest(const QString &folder)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString &name : {TopicFile::QuestionsName, TopicFile::AnswersName}) {
        // Plain files only: a FIFO put in a file's place would wait for a
        // writer that never comes.
        if (const auto bytes = FileEntry::read(folder + QLatin1Char('/') + name, kDigestLimit, false))
            hash.addData(*bytes);
    }
    return hash.result().toHex();
}

QHash<QString, TopicCatalog::Versions> TopicCatalog::versions(const QString &classTopics)
{
    QHash<QString, Versions> byName;
    if (!classTopics.isEmpty()) {
        for (const Topic &topic : topicsIn(classTopics))
            byName.insert(topic.name, {digest(topic.folder), TopicVersions::read(topic.folder)});
    }
    return byName;
}

std::optional<TopicCatalog::Topic> TopicCatalog::named(const QString &name, const QString &classTopics)
{
    for (const Topic &topic : find(classTopics)) {
        if (topic.name == name)
            return topic;
    }
    return std::nullopt;
}
