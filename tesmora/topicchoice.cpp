#include "topicchoice.h"

#include "topicfile.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

TopicChoice::Arguments TopicChoice::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption topic(QStringLiteral("topic"), QString(), QStringLiteral("NAME"));
    parser.addOption(topic);
    parser.addPositionalArgument(QStringLiteral("FOLDER"), QString());
    Arguments parsed;
    // The parser expects the program's name first.
    if (!parser.parse(QStringList{QStringLiteral("tesmora")} + arguments)) {
        parsed.error = parser.errorText();
        return parsed;
    }
    const QStringList folders = parser.positionalArguments();
    parsed.folder = folders.value(0);
    parsed.topicName = parser.value(topic);
    if (folders.size() > 1)
        parsed.error = QStringLiteral("Папка темы указана больше одного раза");
    else if (!parsed.folder.isEmpty() && parser.isSet(topic))
        parsed.error = QStringLiteral("Укажите либо папку темы, либо --topic ИМЯ, но не то и другое");
    else if (parser.isSet(topic) && parsed.topicName.isEmpty())
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
