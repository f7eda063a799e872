#pragma once

#include "topiccatalog.h"

#include <QStringList>

#include <optional>

// Which topic the trainer starts with, from its command line: a folder, a
// topic by name, or, with neither, the only topic found or the pupil's choice.
class TopicChoice
{
public:
    struct Start
    {
        QString folder;
        QString title;        // the topic's name in the title bar; empty for the built-in one
        QString missingTopic; // a topic asked for by name that was not found
    };

    // Parses the arguments after the program's name. std::nullopt with a
    // message when they make no sense.
    struct Arguments
    {
        QString folder;
        QString topicName;
        QString error;
    };
    static Arguments parse(const QStringList &arguments);

    // The start for a folder or a name; without either, the topics to choose from.
    static std::optional<Start> resolve(const Arguments &arguments, const QList<TopicCatalog::Topic> &found);
    static Start of(const TopicCatalog::Topic &topic);
};
