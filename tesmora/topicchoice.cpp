#include "topicchoice.h"

#include "topicfile.h"

#include <QDir>
#include <QFileInfo>

TopicChoice::Arguments TopicChoice::parse(const QStringList &arguments)
{
    Arguments parsed;
    for (int k = 0; k < arguments.size(); ++k) {
        const QString &argument = arguments.at(k);
        if (argument == QLatin1String("--topic") && k + 1 < arguments.size() && parsed.topicName.isEmpty())
            parsed.topicName = arguments.at(++k);
        else if (argument.startsWith(QLatin1String("--topic=")) && parsed.topicName.isEmpty())
            parsed.topicName = argument.mid(8);
        else if (!argument.startsWith(QLatin1Char('-')) && parsed.folder.isEmpty())
            parsed.folder = argument;
        else
            parsed.error = QStringLiteral("Непонятный аргумент: %1").arg(argument);
    }
    if (parsed.error.isEmpty() && !parsed.folder.isEmpty() && !parsed.topicName.isEmpty())
        parsed.error = QStringLiteral("Укажите либо папку темы, либо --topic ИМЯ, но не то и другое");
    if (parsed.error.isEmpty() && arguments.contains(QLatin1String("--topic")) && parsed.topicName.isEmpty())
        parsed.error = QStringLiteral("После --topic нужно имя темы");
    return parsed;
}

TopicChoice::Start TopicChoice::of(const TopicCatalog::Topic &topic)
{
    return {topic.folder, topic.builtIn ? QString() : topic.name, QString()};
}

std::optional<TopicChoice::Start> TopicChoice::resolve(const Arguments &arguments,
                                                       const QList<TopicCatalog::Topic> &found)
{
    if (!arguments.folder.isEmpty()) {
        const QString folder = QDir::cleanPath(QFileInfo(arguments.folder).absoluteFilePath());
        const bool builtIn = folder == QDir::cleanPath(TopicFile::trainerFolder());
        return Start{folder, builtIn ? QString() : QFileInfo(folder).fileName(), QString()};
    }
    if (!arguments.topicName.isEmpty()) {
        for (const TopicCatalog::Topic &topic : found) {
            if (topic.name == arguments.topicName)
                return of(topic);
        }
        return Start{QString(), arguments.topicName, arguments.topicName};
    }
    if (found.size() == 1)
        return of(found.first());
    return std::nullopt;
}
