#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

// The topics a pupil can choose. A topic is a folder holding the questions
// file; the folder's name is the topic's name. They are looked for in the
// class topics folder, the account's own topics, the installed ones and last
// the built-in topic beside the program; the first of a name wins.
class TopicCatalog
{
public:
    struct Topic
    {
        QString name;
        QString folder;
        bool builtIn = false;
    };

    static const QString BuiltInName;

    // Every topic found, by name in Russian order with the built-in one last.
    static QList<Topic> find(const QString &classTopics);
    static std::optional<Topic> named(const QString &name, const QString &classTopics);
    // The SHA-256 (hex) of a topic's two files, questions then answers, as
    // they stand: which files a result was earned on.
    static QByteArray digest(const QString &folder);
    // What a topic's files are now, and every pair the editor saved it with.
    struct Versions
    {
        QByteArray current;
        QSet<QByteArray> earlier;
        bool operator==(const Versions &other) const { return current == other.current && earlier == other.earlier; }
    };
    // The versions of every topic directly in a class topics folder, by name.
    static QHash<QString, Versions> versions(const QString &classTopics);

    // The account's own topics folder, where a topic is saved without a class one.
    static QString userFolder();

private:
    static QStringList searchFolders(const QString &classTopics);
    // The topics directly in one folder: its subfolders that hold the questions file.
    static QList<Topic> topicsIn(const QString &folder);
};
