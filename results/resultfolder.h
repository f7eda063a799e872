#pragma once

#include "pupilstatus.h"
#include "resultrecord.h"
#include "topiccatalog.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QVector>

// The records in a results folder, as the teacher reads them. A record is
// named once, written whole, and never changed, so each refresh reads only the
// names it has not seen and forgets the ones that are gone. Hidden files (a
// record being written) and other names are skipped; a file that is not a
// readable record is kept with the reason and read again only once its size
// or time changes (looked at every few looks), or,
// where the read itself failed (a file server may fail one read and serve
// the next), at the next refresh. A pupil's folder in the
// folder is counted with them and never entered.
//
// The work on the folder (list, read) is done by static functions that a
// worker thread may run; what they found is taken in by the owner's thread.
class ResultFolder
{
public:
    struct Entry
    {
        QString fileName;
        ResultRecord record;
        QString attention; // why the teacher should look, in Russian; empty if nothing
        QString note;      // what to know that is no fault: an earlier version of the topic
        // Not to be taken for the pupil's own word: a file of another account,
        // a borrowed name, a time still to come. Shown, flagged, never the
        // pupil's last result or proof that a run was handed in.
        bool doubtful = false;
        // An opening record no result has followed: an attempt in progress
        // while its limit and a minute have not passed, then unfinished.
        enum class Attempt { Ended, Running, Unfinished };
        Attempt attempt = Attempt::Ended;
        // The attempts the pupil started that day in that mode, this one among them.
        int attemptsThatDay = 1;
    };
    // An attempt counts as in progress this long after its limit.
    static constexpr qint64 OverdueSlackSeconds = 60;
    // What a read of one name found: a record, or why not.
    struct Read
    {
        QString fileName;
        std::optional<ResultRecord> record;
        QString reason;
        qint64 owner = -1; // the file's owner
        qint64 size = 0;
        qint64 modified = 0;    // nanoseconds since the epoch
        bool transient = false; // the read failed, not the file: read it again at the next look
        QByteArray bytes;       // the record's bytes, where asked for (for the cache), until cached
    };
    // The names in the folder, or why it cannot be read.
    struct Listing
    {
        QString error;
        QStringList names;               // the record names present
        QStringList statuses;            // the pupils' status files present
        QHash<QString, QString> skipped; // never read, with why: pupils' folders, names not in UTF-8
        QVector<PupilStatus> pupils;     // those statuses, where the caller read them
        QByteArray stamp;                // the folder's time, size and inode
        bool unchanged = false;          // the stamp given was still right: no names
    };
    // A record may end this far after the teacher's clock (clocks differ).
    static constexpr qint64 FutureSlackSeconds = 300;
    // Records read before, by name, with the size and time they had.
    using Cache = QHash<QString, Read>;

    // A file that was no record is looked at again (its size and time, no
    // more) every this many looks: a flood of junk files is no reason to
    // ask the server about each of them at every poll.
    static constexpr int LooksPerBadCheck = 20; // a minute of polls

    explicit ResultFolder(const QString &folder);

    // The versions of each class topic by name: a record of that topic made
    // with files it never had is marked, and so is a topic whose name only
    // looks like one of them. Whether they changed.
    bool setTopicVersions(const QHash<QString, TopicCatalog::Versions> &versions);
    // Whether the records' bytes are kept until cache() has given them.
    void keepBytes(bool keep) { m_keepBytes = keep; }

    // An unchanged stamp means nothing came or went: the names are not read.
    static Listing list(const QString &folder, const QByteArray &stamp = {});
    QByteArray stamp() const { return m_stamp; }
    // Reads names in folder; a name in known with the same size and time is
    // taken from there, read or not.
    static QVector<Read> read(const QString &folder, const QStringList &names, const Cache &known = {},
                              bool keepBytes = false);
    // The reads to pass to read() with cache: those of the files that were
    // not records, so that an unchanged one is not read again.
    Cache known(const Cache &cache) const;

    // Takes a listing in: forgets what is gone and returns the names to read.
    QStringList take(const Listing &listing);
    void take(const QVector<Read> &reads);
    // Takes the names that the cache holds from there as they were; returns
    // the names it does not hold.
    QStringList takeCached(const QStringList &names, const Cache &cache);

    // Lists and reads at once. False, with the reason in error(), when the
    // folder cannot be read.
    bool refresh();
    QString error() const { return m_error; }
    // Whether the last refresh found a record or a file come or gone.
    bool changed() const { return m_changed; }
    QString folder() const { return m_folder; }

    // Newest first; one row for the files of one run (one id).
    QVector<Entry> entries() const;
    int unreadable() const { return int(m_bad.size() + m_skipped.size()); }
    // The files that are not records, in words: "2 файла не прочитаны".
    QString unreadableText() const;
    // Each of them with its reason, by name.
    QStringList unreadableList() const;
    // What was read, for the cache.
    Cache cache() const;
    // Forgets the bytes of these records, once the cache holds them.
    void dropBytes(const QStringList &names);

    // Whether the files' owners tell who wrote them: not where every file
    // has one owner (a file server mounted with one account's rights).
    bool ownersKnown() const;
    // Said once where they do not; empty where they do.
    QString ownersNote() const;
    // The statuses to believe: where owners are known, a status in a file
    // of another account than the one it names is planted.
    QVector<PupilStatus> trusted(const QVector<PupilStatus> &statuses) const;

private:
    struct Account
    {
        qint64 uid = -1; // -1: not known here
        QString fullName;
    };
    Entry entryFor(const Read &read, bool ownersKnown) const;
    // Why the teacher should look; *doubtful where the record is not the pupil's own word.
    QStringList flagsFor(const ResultRecord &record, qint64 owner, bool ownersKnown, bool *doubtful) const;
    QString lookingLike(const QString &topic) const; // the class topic it only looks like
    QString sameRun(const Read &primary, const QVector<const Read *> &others, bool ownersKnown) const;
    // The opening records with no result of their attempt, as rows, and a
    // flag on each result whose opening tells another story.
    // Each opening's state where it stands alone, and each end flagged where
    // its opening disagrees.
    void pairOpenings(QVector<Entry> &list, const QHash<QByteArray, const Read *> &openings) const;
    static void countAttempts(QVector<Entry> &list);
    const Account &account(const QString &user) const;
    QString ownerName(qint64 uid) const;

    QString m_folder;
    QString m_error;
    QHash<QString, TopicCatalog::Versions> m_versions;
    QHash<QString, QString> m_foldedTopics; // folded name, class topic
    QHash<QString, Read> m_read;            // the records read
    QHash<QString, Read> m_bad;             // the files that are not, with why
    QSet<QString> m_retry;                  // those whose read failed: read at every look
    QHash<QString, QString> m_skipped;      // names counted with them, never read, with why
    QSet<qint64> m_statusOwners;
    bool m_changed = false;
    bool m_keepBytes = false;
    int m_looksSinceBadCheck = LooksPerBadCheck - 1; // the first changed look checks them
    QByteArray m_stamp;
    mutable QHash<QString, Account> m_accounts;
    mutable QHash<QString, QString> m_folds;
    mutable std::optional<bool> m_ownersKnown;
    mutable qint64 m_now = 0; // the teacher's clock as entries() began
};
