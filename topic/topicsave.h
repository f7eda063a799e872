#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <utility>

// Replaces a set of files in one folder (the topic's questions and answers)
// so that nothing is ever lost: the new files are written whole, synced and
// read back before any old one is touched; the old ones are kept as .bak by
// a second name, exact at any size; then the new ones are renamed into place
// one right after the other, under a note that tells the next open how to
// finish or undo a save a crash cut short. A link, a folder or a device where
// a file should be is refused, never written through.
class TopicSave
{
public:
    struct Result
    {
        bool saved = false;
        QString message; // why nothing was saved, or what to know though it was
    };

    static Result replace(const QString &folder, const QVector<std::pair<QString, QByteArray>> &files);
    // Makes a topic's folder; in a folder shared by a group (setgid) it is
    // open to the group, as the files saved in it will be. Why not, or empty.
    static QString makeFolder(const QString &folder);

private:
    static QString obstacle(const QString &folder, const QStringList &names);
};
