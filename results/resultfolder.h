#pragma once

#include "resultrecord.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QVector>

// The records in a results folder, as the teacher reads them. A record is
// named once, written whole, and never changed, so each refresh reads only the
// names it has not seen and forgets the ones that are gone. Hidden files (a
// record being written), other names and anything that is not a readable
// record are skipped; the unreadable ones are counted.
class ResultFolder
{
public:
    struct Entry
    {
        QString fileName;
        ResultRecord record;
        QString attention; // why the teacher should look, in Russian; empty if nothing
    };

    explicit ResultFolder(const QString &folder);

    // The SHA-256 (hex) of each class topic by name: a record of that topic
    // with other files is marked.
    void setTopicDigests(const QHash<QString, QByteArray> &digests) { m_digests = digests; }

    // False, with the reason in error(), when the folder cannot be read.
    bool refresh();
    QString error() const { return m_error; }
    // Whether the last refresh found a record or a file come or gone.
    bool changed() const { return m_changed; }
    QString folder() const { return m_folder; }

    // Newest first.
    QVector<Entry> entries() const;
    int unreadable() const { return int(m_bad.size()); }
    // The files that are not records, in words: "2 файла не прочитаны".
    QString unreadableText() const;

private:
    std::optional<Entry> readEntry(int dir, const QString &name) const;
    qint64 uidOf(const QString &user) const;

    QString m_folder;
    QString m_error;
    QHash<QString, QByteArray> m_digests;
    QHash<QString, Entry> m_entries;
    QSet<QString> m_bad;
    bool m_changed = false;
    QByteArray m_stamp; // the folder's time, size and inode at the last full read
    mutable QHash<QString, qint64> m_uids;
};
