#pragma once

#include "pupilstatus.h"
#include "resultfolder.h"
#include "topiccatalog.h"

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QObject>
#include <QTimer>

#include <optional>

// The teacher's side of a results folder over time: it is listed and read on
// worker threads, a few hundred records at a time, every few seconds (a file
// server's changes reach no change watch), with what was read cached on this
// computer for the next opening and checked against the server in the
// background, and the status files of who works now read with each listing.
// Listeners hear when the rows are worth showing again (at most once a
// second while a first reading fills in), how far a reading is, and when the
// statuses were read; the feed never waits for a server that hangs.
class ResultFeed : public QObject
{
    Q_OBJECT

public:
    static constexpr int PollMilliseconds = 3000;
    static constexpr int RecordsPerRead = 250;
    static constexpr int ParallelReads = 2;
    static constexpr int ShowEveryMilliseconds = 1000;
    // The class topics (their versions, their questions) are read again
    // every this many looks, so that a topic corrected meanwhile is known.
    static constexpr int LooksPerTopicsLook = 10;

    // What the teacher's side needs of the topics: each class topic's
    // versions, and the questions of every topic it can find, by name.
    struct Topics
    {
        QHash<QString, TopicCatalog::Versions> versions;
        QHash<QString, QStringList> questions;
        QString problem; // what is wrong with the class topics folder
    };
    static Topics readTopics(const QString &classTopics);
    // One look at the folder, here and now, checked against the class
    // topics' versions: for the commands that have no window to keep open.
    static ResultFolder readOnce(const QString &folder, const QHash<QString, TopicCatalog::Versions> &versions);

    // Starts with the class topics and the cache, then the folder, then polls.
    ResultFeed(const QString &folder, const QString &classTopics, QObject *parent = nullptr);

    // Looks at the folder for new records now, as the poll does, unless a
    // look is under way; changed() follows when there is something new.
    void refresh();
    // Reads the class topics again now, as every tenth look does.
    void lookAtTopics();
    const Topics &topics() const { return m_topics; }

    const ResultFolder &folder() const { return m_folder; }
    // Newest first, openings paired with their ends: as last worked out
    // (on a worker, since ten thousand records take a while).
    QVector<ResultFolder::Entry> entries() const { return m_entries; }
    // The status files last read, those believed.
    QVector<PupilStatus> statuses() const { return m_folder.trusted(m_pupils); }
    // Whether a look is under way, until every row is there to show.
    bool reading() const { return m_reading || m_shapingRows; }
    // Whether anything at all is under way: the check of cached rows and the
    // cache's save too.
    bool busy() const { return reading() || m_inFlight > 0 || m_saving.isRunning() || m_lookingAtTopics; }
    // Records read of those to read in this look, while reading().
    int done() const { return m_done; }
    int total() const { return m_total; }

signals:
    // The rows are worth showing again.
    void changed();
    // A reading went on, or the folder could not be read (folder().error()).
    void progressed();
    // The status files were read again.
    void statusesRead();
    // The class topics were read again; changed() follows where the
    // records' flags changed by them.
    void topicsRead();

private:
    void listed();
    void readNext();
    void chunkRead(const QVector<ResultFolder::Read> &reads);
    void showNow();
    void shaped();
    void saveCache();

    ResultFolder m_folder;
    QString m_classTopics;
    Topics m_topics;
    QFutureWatcher<Topics> m_topicsLook;
    int m_looksSinceTopics = 0;
    bool m_lookingAtTopics = false;
    QVector<PupilStatus> m_pupils; // the status files last read
    QTimer m_poll;
    QString m_cachePath;
    ResultFolder::Cache m_cache;
    ResultFolder::Cache m_known; // what a look passes its reads
    QFutureWatcher<ResultFolder::Cache> m_cacheLoad;
    QFutureWatcher<std::optional<QStringList>> m_saving;
    QFutureWatcher<ResultFolder::Listing> m_listing;
    int m_inFlight = 0;
    QElapsedTimer m_lastShown;
    bool m_unshown = false;                                 // read but not yet shown
    QFutureWatcher<QVector<ResultFolder::Entry>> m_shaping; // the rows worked out from the reads
    bool m_shapingRows = false;                             // until shaped() has them, which is after the future ends
    bool m_shapeAgain = false;                              // more was read while they were
    QVector<ResultFolder::Entry> m_entries;
    QStringList m_toRead;
    QStringList m_toVerify; // names shown from the cache, to check
    int m_total = 0;        // names to read in this look
    int m_done = 0;
    bool m_reading = false;
    bool m_cacheStale = false;
};
