#include "resultfeed.h"

#include "folderproblem.h"
#include "resultcache.h"
#include "storage/workerthreads.h"
#include "topicfile.h"

#include <QtConcurrent/QtConcurrentRun>

ResultFeed::Topics ResultFeed::readTopics(const QString &classTopics)
{
    Topics topics;
    topics.problem = FolderProblem::ofTopics(classTopics);
    topics.versions = TopicCatalog::versions(classTopics);
    for (const TopicCatalog::Topic &topic : TopicCatalog::find(classTopics)) {
        QStringList questions;
        for (const TopicPair &pair : TopicFile::read(topic.folder).pairs)
            questions << pair.question;
        topics.questions.insert(topic.name, questions);
    }
    return topics;
}

ResultFolder ResultFeed::readOnce(const QString &folder, const QHash<QString, TopicCatalog::Versions> &versions)
{
    ResultFolder results(folder);
    results.setTopicVersions(versions);
    results.refresh();
    return results;
}

ResultFeed::ResultFeed(const QString &folder, const QString &classTopics, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
    , m_classTopics(classTopics)
    , m_cachePath(ResultCache::pathFor(folder))
{
    connect(&m_topicsLook, &QFutureWatcher<Topics>::finished, this, [this] {
        m_lookingAtTopics = false;
        m_topics = m_topicsLook.result();
        if (m_folder.setTopicVersions(m_topics.versions))
            showNow();
        emit topicsRead();
    });
    connect(&m_shaping, &QFutureWatcher<QVector<ResultFolder::Entry>>::finished, this, &ResultFeed::shaped);
    lookAtTopics();
    m_folder.keepBytes(true); // until the cache on this computer holds them
    connect(&m_listing, &QFutureWatcher<ResultFolder::Listing>::finished, this, &ResultFeed::listed);
    connect(&m_poll, &QTimer::timeout, this, &ResultFeed::refresh);
    m_poll.start(PollMilliseconds);
    // Once the cache holds a record's bytes, the feed need not.
    connect(&m_saving, &QFutureWatcher<std::optional<QStringList>>::finished, this, [this] {
        if (const std::optional<QStringList> saved = m_saving.result())
            m_folder.dropBytes(*saved);
    });
    // The cache first, read on a worker too: a home folder may be on the server.
    m_reading = true;
    connect(&m_cacheLoad, &QFutureWatcher<ResultFolder::Cache>::finished, this, [this] {
        m_cache = m_cacheLoad.result();
        m_reading = false;
        refresh();
    });
    m_cacheLoad.setFuture(
        QtConcurrent::run(WorkerThreads::pool(), [path = m_cachePath] { return ResultCache::load(path); }));
}

void ResultFeed::lookAtTopics()
{
    m_looksSinceTopics = 0;
    if (m_lookingAtTopics)
        return;
    m_lookingAtTopics = true;
    m_topicsLook.setFuture(
        QtConcurrent::run(WorkerThreads::pool(), [classTopics = m_classTopics] { return readTopics(classTopics); }));
}

void ResultFeed::refresh()
{
    if (++m_looksSinceTopics >= LooksPerTopicsLook)
        lookAtTopics();
    if (m_reading || m_inFlight > 0)
        return; // the last look has not ended: a server that hangs gets no queue
    m_reading = true;
    m_listing.setFuture(
        QtConcurrent::run(WorkerThreads::pool(), [folder = m_folder.folder(), stamp = m_folder.stamp()] {
            ResultFolder::Listing listing = ResultFolder::list(folder, stamp);
            listing.pupils = PupilStatus::readAll(folder, listing.statuses);
            return listing;
        }));
}

void ResultFeed::listed()
{
    const ResultFolder::Listing listing = m_listing.result();
    // Read every look, so that a pupil who stops shows as stopped in time.
    if (listing.error.isEmpty() && !listing.unchanged)
        m_pupils = listing.pupils;
    emit statusesRead();
    const QStringList names = m_folder.take(listing);
    if (!m_folder.error().isEmpty()) {
        m_reading = false;
        emit progressed();
        return;
    }
    // What the cache holds shows at once; whether each file is still the
    // same is asked of the server after the new ones are read.
    m_toRead = m_folder.takeCached(names, m_cache);
    if (m_toRead.size() < names.size()) {
        for (const QString &name : names) {
            if (m_cache.contains(name))
                m_toVerify << name;
        }
    }
    m_total = int(m_toRead.size());
    m_done = 0;
    // Once for the look: what was read before, and the files that were no records.
    m_known = m_folder.known(m_cache);
    if (m_folder.changed())
        showNow();
    readNext();
}

void ResultFeed::readNext()
{
    // A few reads at once: a file server answers each with a round trip.
    while (!m_toRead.isEmpty() && m_inFlight < ParallelReads) {
        const QStringList chunk = m_toRead.mid(0, RecordsPerRead);
        m_toRead.remove(0, chunk.size());
        auto *watcher = new QFutureWatcher<QVector<ResultFolder::Read>>(this);
        connect(watcher, &QFutureWatcher<QVector<ResultFolder::Read>>::finished, this, [this, watcher] {
            watcher->deleteLater();
            --m_inFlight;
            chunkRead(watcher->result());
        });
        ++m_inFlight;
        watcher->setFuture(
            QtConcurrent::run(WorkerThreads::pool(), [folder = m_folder.folder(), chunk, known = m_known] {
                return ResultFolder::read(folder, chunk, known, true);
            }));
    }
    if (m_inFlight > 0)
        return;
    if (!m_toVerify.isEmpty()) {
        // Every row is there; the cached ones are checked in the background.
        m_reading = false;
        m_toRead = std::exchange(m_toVerify, {});
        m_total = m_done = 0;
        // Shown already, unless new records came in this look.
        if (m_unshown)
            showNow();
        else
            emit progressed();
        readNext();
        return;
    }
    m_cache.clear(); // every name is checked: from now on only new ones are read
    m_known.clear();
    m_reading = false;
    if (m_unshown)
        showNow();
    emit progressed();
    saveCache();
}

void ResultFeed::chunkRead(const QVector<ResultFolder::Read> &reads)
{
    m_done += int(reads.size());
    const int before = m_folder.unreadable();
    m_folder.take(reads);
    m_cacheStale = m_cacheStale || m_folder.changed();
    m_unshown = m_unshown || m_folder.changed() || m_folder.unreadable() != before;
    // The rows fill in as they come, but not more often than the eye follows.
    if (m_unshown && (!m_lastShown.isValid() || m_lastShown.elapsed() >= ShowEveryMilliseconds))
        showNow();
    else
        emit progressed();
    readNext();
}

void ResultFeed::showNow()
{
    m_unshown = false;
    m_lastShown.start();
    if (m_shapingRows) {
        m_shapeAgain = true;
        return;
    }
    m_shapingRows = true;
    // A copy shares the reads: the window's thread goes on taking more in.
    m_shaping.setFuture(QtConcurrent::run(WorkerThreads::pool(), [folder = m_folder] { return folder.entries(); }));
}

void ResultFeed::shaped()
{
    m_entries = m_shaping.result();
    m_shapingRows = false;
    if (std::exchange(m_shapeAgain, false))
        showNow();
    emit changed();
}

void ResultFeed::saveCache()
{
    if (!m_cacheStale || m_saving.isRunning())
        return;
    m_cacheStale = false;
    m_saving.setFuture(QtConcurrent::run(WorkerThreads::pool(), [path = m_cachePath, cache = m_folder.cache()] {
        return ResultCache::save(path, cache);
    }));
}
