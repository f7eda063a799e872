#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

// The digests of every pair of files a topic has had, kept in its folder, so
// that a result earned on an earlier version of the topic can be told from one
// earned on files the topic never had. A file server has no appends: the list
// is written whole under a new name and renamed over the old one.
class TopicVersions
{
public:
    static const QString FileName;

    // The digests listed in the folder; none when there is no list.
    static QSet<QByteArray> read(const QString &folder);
    // Adds digests to the folder's list; why not, or empty.
    static QString add(const QString &folder, const QList<QByteArray> &digests);
};
