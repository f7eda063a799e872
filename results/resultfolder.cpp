#include "resultfolder.h"

#include "lookalike.h"
#include "recordcheck.h"
#include "safetext.h"
#include "storage/systemerror.h"

#include <QFile>
#include <QSet>

#include <algorithm>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isRecordName(const QString &name)
{
    // A hidden name is a record being written.
    return !name.startsWith(QLatin1Char('.'))
        && (name.endsWith(ResultRecord::Ending) || name.endsWith(ResultRecord::OpeningEnding));
}

void describe(ResultFolder::Read &read, const struct stat &st)
{
    read.owner = st.st_uid;
    read.size = st.st_size;
    read.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    if (!S_ISREG(st.st_mode))
        read.reason = QStringLiteral("не файл");
    else if (st.st_size > ResultRecord::MaxBytes)
        read.reason = QStringLiteral("больше %1 КиБ").arg(ResultRecord::MaxBytes / 1024);
}

// A name read before: only its size and time are asked for, one round trip
// to a file server; a record never changes once named, so the same size and
// time are the same record, and the same file that was none.
std::optional<ResultFolder::Read> readKnown(int dir, const QString &name, const ResultFolder::Read &known)
{
    struct stat st
    {
    };
    if (::fstatat(dir, QFile::encodeName(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    ResultFolder::Read read;
    read.fileName = name;
    describe(read, st);
    if (read.size != known.size || read.modified != known.modified || read.owner != known.owner)
        return std::nullopt;
    if (known.record && !read.reason.isEmpty())
        return std::nullopt;
    return known;
}

// A failed read that says nothing of the file: the next may succeed.
bool isTransient(int error)
{
    return error != EACCES && error != EPERM && error != ELOOP && error != EISDIR && error != ENXIO;
}

ResultFolder::Read readOne(int dir, const QString &name, bool keepBytes)
{
    ResultFolder::Read read;
    read.fileName = name;
    // Opened first and asked about after: a file server answers the open
    // and the questions about the open file from one look-up. Never follows
    // a link, never waits on a pipe.
    const int fd = ::openat(dir, QFile::encodeName(name).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat st
    {
    };
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        const int error = errno;
        read.reason = error == ELOOP ? QStringLiteral("не файл") : SystemError::text(error);
        read.transient = isTransient(error);
        if (fd >= 0)
            ::close(fd);
        return read;
    }
    describe(read, st);
    QFile file;
    if (read.reason.isEmpty() && file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        const QByteArray bytes = file.read(read.size + 1); // no more than the file said it holds
        if (file.error() != QFileDevice::NoError) {
            read.reason = file.errorString();
            read.transient = true;
        } else if ((read.record = ResultRecord::fromJson(bytes, &read.reason)) && keepBytes) {
            read.bytes = bytes;
        }
        return read;
    }
    ::close(fd);
    return read;
}

} // namespace

ResultFolder::ResultFolder(const QString &folder)
    : m_folder(folder)
{}

QString ResultFolder::unreadableText() const
{
    const int n = unreadable();
    if (n == 0)
        return QString();
    const int last = n % 10;
    const bool teen = n % 100 >= 11 && n % 100 <= 14;
    const QString files = teen || last == 0 || last >= 5 ? QStringLiteral("файлов")
        : last == 1                                      ? QStringLiteral("файл")
                                                         : QStringLiteral("файла");
    const QString verb = !teen && last == 1 ? QStringLiteral("не прочитан") : QStringLiteral("не прочитаны");
    return QStringLiteral("%1 %2 %3").arg(n).arg(files, verb);
}

QStringList ResultFolder::unreadableList() const
{
    QStringList lines;
    for (auto it = m_bad.cbegin(); it != m_bad.cend(); ++it)
        lines << QStringLiteral("%1: %2").arg(SafeText::printable(it.key()), it->reason);
    for (auto it = m_skipped.cbegin(); it != m_skipped.cend(); ++it)
        lines << QStringLiteral("%1: %2").arg(SafeText::printable(it.key()), it.value());
    std::sort(lines.begin(), lines.end());
    return lines;
}

ResultFolder::Listing ResultFolder::list(const QString &folder, const QByteArray &stamp)
{
    Listing listing;
    // Opening the folder makes a network file system fetch its attributes
    // afresh, so an unchanged time and size mean nothing came or went. A time
    // within the last two seconds is read anyway: some servers count whole seconds.
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) {
        listing.error = QStringLiteral("Папка результатов недоступна: %1 (%2)").arg(folder, SystemError::text(errno));
        return listing;
    }
    struct stat st
    {
    };
    if (::fstat(::dirfd(dir), &st) == 0) {
        listing.stamp = QByteArray::number(qint64(st.st_mtim.tv_sec)) + '.'
            + QByteArray::number(qint64(st.st_mtim.tv_nsec)) + '/' + QByteArray::number(qint64(st.st_size)) + '/'
            + QByteArray::number(qint64(st.st_ino));
        const bool recent = ::time(nullptr) - st.st_mtim.tv_sec < 2;
        if (!stamp.isEmpty() && listing.stamp == stamp && !recent) {
            ::closedir(dir);
            listing.unchanged = true;
            return listing;
        }
    }
    errno = 0;
    while (const dirent *item = ::readdir(dir)) {
        const QString name = QFile::decodeName(item->d_name);
        // A name that does not come back the same could not be opened again.
        if (QFile::encodeName(name) != item->d_name) {
            listing.skipped.insert(name, QStringLiteral("имя файла не в кодировке UTF-8"));
            continue;
        }
        if (isRecordName(name))
            listing.names << name;
        else if (PupilStatus::isStatusName(name))
            listing.statuses << name;
        else if (item->d_type == DT_DIR && !name.startsWith(QLatin1Char('.')))
            listing.skipped.insert(name, QStringLiteral("папка, не запись результата")); // counted, never entered
    }
    // A listing cut short by the server is no listing: nothing is forgotten.
    if (errno != 0)
        listing.error = QStringLiteral("Не удалось прочитать папку %1: %2").arg(folder, SystemError::text(errno));
    ::closedir(dir);
    return listing;
}

QVector<ResultFolder::Read> ResultFolder::read(const QString &folder, const QStringList &names, const Cache &known,
                                               bool keepBytes)
{
    QVector<Read> reads;
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int error = errno;
    for (const QString &name : names) {
        if (dir < 0) {
            Read failed;
            failed.fileName = name;
            failed.reason = SystemError::text(error);
            failed.transient = true;
            reads.append(failed);
            continue;
        }
        const auto before = known.constFind(name);
        std::optional<Read> same = before != known.constEnd() ? readKnown(dir, name, *before) : std::nullopt;
        reads.append(same ? *same : readOne(dir, name, keepBytes));
    }
    if (dir >= 0)
        ::close(dir);
    return reads;
}

ResultFolder::Cache ResultFolder::known(const Cache &cache) const
{
    Cache known = cache;
    for (const Read &bad : m_bad) {
        if (!bad.transient)
            known.insert(bad.fileName, bad);
    }
    return known;
}

QStringList ResultFolder::take(const Listing &listing)
{
    m_ownersKnown.reset();
    m_changed = false;
    m_error = listing.error;
    if (!listing.error.isEmpty())
        return {};
    // A failed read is tried again at every look; a file that was no record
    // is looked at every LooksPerBadCheck looks, and read only if it changed.
    const bool checkBad = ++m_looksSinceBadCheck >= LooksPerBadCheck;
    if (checkBad)
        m_looksSinceBadCheck = 0;
    if (listing.unchanged) {
        if (checkBad)
            return m_bad.keys();
        return QStringList(m_retry.cbegin(), m_retry.cend());
    }
    m_stamp = listing.stamp;
    m_statusOwners.clear();
    for (const PupilStatus &status : listing.pupils)
        m_statusOwners.insert(status.owner);
    QStringList toRead;
    qsizetype held = 0;
    for (const QString &name : listing.names) {
        if (m_read.contains(name)) {
            ++held;
            continue;
        }
        const auto bad = m_bad.constFind(name);
        held += bad != m_bad.constEnd() ? 1 : 0;
        if (bad == m_bad.constEnd() || bad->transient || checkBad)
            toRead << name;
    }
    for (auto it = listing.skipped.cbegin(); it != listing.skipped.cend(); ++it) {
        ++held;
        if (m_skipped.contains(it.key()))
            continue;
        m_skipped.insert(it.key(), it.value());
        m_changed = true;
    }
    // Something held is gone only where fewer names are present than held:
    // then, and only then, the names present are gathered to forget the rest.
    if (held < m_read.size() + m_bad.size() + m_skipped.size()) {
        QSet<QString> present(listing.names.cbegin(), listing.names.cend());
        for (auto it = listing.skipped.cbegin(); it != listing.skipped.cend(); ++it)
            present.insert(it.key());
        m_read.removeIf([&present](const auto &item) { return !present.contains(item.key()); });
        m_bad.removeIf([&present](const auto &item) { return !present.contains(item.key()); });
        m_retry.removeIf([&present](const QString &name) { return !present.contains(name); });
        m_skipped.removeIf([&present](const auto &item) { return !present.contains(item.key()); });
        m_changed = true;
    }
    return toRead;
}

void ResultFolder::take(const QVector<Read> &reads)
{
    m_ownersKnown.reset();
    for (const Read &read : reads) {
        if (read.record) {
            // A cached record found the same on the server changes nothing shown.
            const auto held = m_read.constFind(read.fileName);
            const bool same = held != m_read.constEnd() && held->size == read.size && held->modified == read.modified
                && held->owner == read.owner;
            m_bad.remove(read.fileName);
            m_retry.remove(read.fileName);
            if (same)
                continue;
            m_read.insert(read.fileName, read);
            m_changed = true;
        } else {
            const QString before = m_bad.value(read.fileName).reason;
            m_read.remove(read.fileName);
            m_bad.insert(read.fileName, read);
            if (read.transient)
                m_retry.insert(read.fileName);
            else
                m_retry.remove(read.fileName);
            m_changed = m_changed || before != read.reason;
        }
    }
}

QStringList ResultFolder::takeCached(const QStringList &names, const Cache &cache)
{
    m_ownersKnown.reset();
    QStringList left;
    for (const QString &name : names) {
        const auto cached = cache.constFind(name);
        if (cached == cache.constEnd() || !cached->record) {
            left << name;
            continue;
        }
        m_read.insert(name, *cached);
        m_bad.remove(name);
        m_retry.remove(name);
        m_changed = true;
    }
    return left;
}

bool ResultFolder::refresh()
{
    const QStringList names = take(list(m_folder, m_stamp));
    if (!m_error.isEmpty())
        return false;
    if (!names.isEmpty())
        take(read(m_folder, names, known({}), m_keepBytes));
    return true;
}

namespace {

// The account database's entry, by the reentrant calls: the rows are worked
// out on a worker while the window's thread may look an account up too.
template <typename Key, typename Lookup>
std::optional<std::pair<qint64, QString>> accountEntry(Key key, Lookup lookup, bool gecos)
{
    passwd entry{};
    passwd *found = nullptr;
    QByteArray buffer(16384, Qt::Uninitialized);
    if (lookup(key, &entry, buffer.data(), size_t(buffer.size()), &found) != 0 || !found)
        return std::nullopt;
    return std::pair<qint64, QString>(found->pw_uid, QString::fromLocal8Bit(gecos ? found->pw_gecos : found->pw_name));
}

} // namespace

const ResultFolder::Account &ResultFolder::account(const QString &user) const
{
    // One look-up per account: a class hands in many records each.
    const auto known = m_accounts.constFind(user);
    if (known != m_accounts.constEnd())
        return *known;
    Account found;
    if (const auto entry = accountEntry(QFile::encodeName(user).constData(), ::getpwnam_r, true)) {
        found.uid = entry->first;
        found.fullName = SafeText::printable(entry->second.section(QLatin1Char(','), 0, 0));
    }
    return *m_accounts.insert(user, found);
}

QString ResultFolder::ownerName(qint64 uid) const
{
    const auto entry = accountEntry(uid_t(uid), ::getpwuid_r, false);
    return entry ? SafeText::printable(entry->second) : QString::number(uid);
}

bool ResultFolder::setTopicVersions(const QHash<QString, TopicCatalog::Versions> &versions)
{
    if (versions == m_versions)
        return false;
    m_versions = versions;
    m_foldedTopics.clear();
    m_folds.clear();
    for (auto it = versions.cbegin(); it != versions.cend(); ++it)
        m_foldedTopics.insert(LookAlike::fold(it.key()), it.key());
    return true;
}

bool ResultFolder::ownersKnown() const
{
    if (m_ownersKnown)
        return *m_ownersKnown;
    // Known as soon as two files have different owners.
    qint64 seen = -1;
    const auto differs = [&seen](qint64 owner) {
        if (owner < 0 || owner == seen)
            return false;
        if (seen < 0) {
            seen = owner;
            return false;
        }
        return true;
    };
    m_ownersKnown = std::any_of(m_statusOwners.cbegin(), m_statusOwners.cend(), differs)
        || std::any_of(m_read.cbegin(), m_read.cend(), [&differs](const Read &r) { return differs(r.owner); })
        || std::any_of(m_bad.cbegin(), m_bad.cend(), [&differs](const Read &r) { return differs(r.owner); });
    return *m_ownersKnown;
}

QString ResultFolder::ownersNote() const
{
    if (m_read.isEmpty() || ownersKnown())
        return QString();
    return QStringLiteral("Кто записал файлы, по этой папке не проверить: все они принадлежат учётной записи %1.")
        .arg(ownerName(m_read.cbegin()->owner));
}

QVector<PupilStatus> ResultFolder::trusted(const QVector<PupilStatus> &statuses) const
{
    if (!ownersKnown())
        return statuses;
    QVector<PupilStatus> kept;
    for (const PupilStatus &status : statuses) {
        if (status.owner < 0 || account(status.user).uid == status.owner)
            kept.append(status);
    }
    return kept;
}

QStringList ResultFolder::flagsFor(const ResultRecord &record, qint64 owner, bool ownersKnown, bool *doubtful) const
{
    QStringList reasons;
    const Account &named = account(record.user);
    if (ownersKnown && owner >= 0 && named.uid != owner)
        reasons << QStringLiteral("файл записан не учётной записью %1, а учётной записью %2")
                       .arg(record.user, ownerName(owner));
    // The trainer writes the account's own full name: another is borrowed.
    if (named.uid >= 0 && !record.name.isEmpty() && record.name != named.fullName)
        reasons << QStringLiteral("имя «%1» — не имя учётной записи %2 («%3»)")
                       .arg(record.name, record.user, named.fullName);
    if (record.finished.toMSecsSinceEpoch() > m_now + FutureSlackSeconds * 1000)
        reasons << QStringLiteral("время окончания ещё не наступило");
    *doubtful = !reasons.isEmpty();
    const auto topic = m_versions.constFind(record.topic);
    if (topic == m_versions.constEnd()) {
        if (const QString alike = lookingLike(record.topic); !alike.isEmpty())
            reasons << QStringLiteral("похоже на тему класса «%1»").arg(alike);
    } else if (topic->current != record.topicSha256 && !topic->earlier.contains(record.topicSha256)) {
        reasons << QStringLiteral("тема «%1» не совпадает с темой класса").arg(record.topic);
    }
    if (const QString figures = RecordCheck::disagreement(record); !figures.isEmpty())
        reasons << figures;
    return reasons;
}

QString ResultFolder::lookingLike(const QString &topic) const
{
    if (m_foldedTopics.isEmpty())
        return QString();
    // Once per name: a class hands in many records of one topic.
    auto folded = m_folds.constFind(topic);
    if (folded == m_folds.constEnd())
        folded = m_folds.insert(topic, m_foldedTopics.value(LookAlike::fold(topic)));
    return *folded;
}

ResultFolder::Entry ResultFolder::entryFor(const Read &read, bool ownersKnown) const
{
    Entry entry{read.fileName, *read.record, {}, {}};
    const auto topic = m_versions.constFind(read.record->topic);
    if (topic != m_versions.constEnd() && topic->current != read.record->topicSha256
        && topic->earlier.contains(read.record->topicSha256))
        entry.note = QStringLiteral("прежняя версия темы");
    entry.attention = flagsFor(*read.record, read.owner, ownersKnown, &entry.doubtful).join(QStringLiteral("; "));
    return entry;
}

QString ResultFolder::sameRun(const Read &primary, const QVector<const Read *> &others, bool ownersKnown) const
{
    QStringList said;
    for (const Read *other : others) {
        const QString name = SafeText::printable(other->fileName);
        if (!ownersKnown)
            said << QStringLiteral("тот же id у файла %1").arg(name);
        else if (other->owner != primary.owner)
            said << QStringLiteral("файл %1 с тем же id записан учётной записью %2").arg(name, ownerName(other->owner));
    }
    return said.join(QStringLiteral("; "));
}

QVector<ResultFolder::Entry> ResultFolder::entries() const
{
    const bool ownersKnown = this->ownersKnown();
    m_now = QDateTime::currentMSecsSinceEpoch();
    // The files of one run (a record handed in again under a fresh name,
    // where another's file had taken its own) are one row: the pupil's own
    // file where owners tell, else the first by name.
    QHash<QByteArray, const Read *> runs;
    runs.reserve(m_read.size());
    QMultiHash<QByteArray, const Read *> more;
    QHash<QByteArray, const Read *> openings; // by attempt
    for (const Read &read : m_read) {
        if (read.record->opening && !read.record->id.isEmpty()) {
            const Read *&kept = openings[read.record->id];
            if (!kept || read.fileName < kept->fileName)
                kept = &read;
            continue;
        }
        const QByteArray key = read.record->id.isEmpty() ? read.fileName.toUtf8() : read.record->id;
        const auto found = runs.constFind(key);
        if (found == runs.constEnd())
            runs.insert(key, &read);
        else
            more.insert(key, &read);
    }
    const auto own
        = [this, ownersKnown](const Read *r) { return ownersKnown && account(r->record->user).uid == r->owner; };
    QVector<QVector<const Read *>> shared; // the runs of more than one file, first the one shown
    for (auto it = runs.begin(); it != runs.end(); ++it) {
        if (!more.contains(it.key()))
            continue;
        QVector<const Read *> files = more.values(it.key());
        files.append(*it);
        std::sort(files.begin(), files.end(), [&own](const Read *a, const Read *b) {
            return own(a) != own(b) ? own(a) : a->fileName < b->fileName;
        });
        *it = files.front();
        shared.append(files);
    }
    // Sorted by the instant as a number: comparing times with their offsets
    // costs a conversion each.
    QVector<std::pair<qint64, const Read *>> order;
    order.reserve(runs.size());
    QSet<QByteArray> ended;
    for (const Read *read : std::as_const(runs)) {
        order.append({read->record->finished.toMSecsSinceEpoch(), read});
        ended.insert(read->record->attemptId());
    }
    // An opening without its end is a row of its own, in its place by time.
    for (auto it = openings.cbegin(); it != openings.cend(); ++it) {
        if (!ended.contains(it.key()))
            order.append({(*it)->record->finished.toMSecsSinceEpoch(), *it});
    }
    std::sort(order.begin(), order.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first > b.first : a.second->fileName < b.second->fileName;
    });
    QVector<Entry> list;
    list.reserve(order.size());
    for (const auto &[time, read] : order)
        list.append(entryFor(*read, ownersKnown));
    for (const QVector<const Read *> &files : std::as_const(shared)) {
        const QString same = sameRun(*files.front(), files.mid(1), ownersKnown);
        if (same.isEmpty())
            continue;
        Entry &entry = *std::find_if(list.begin(), list.end(),
                                     [&files](const Entry &e) { return e.fileName == files.front()->fileName; });
        entry.attention += (entry.attention.isEmpty() ? QString() : QStringLiteral("; ")) + same;
    }
    pairOpenings(list, openings);
    countAttempts(list);
    return list;
}

namespace {

// What an opening record says that its result must say too.
bool sameStart(const ResultRecord &opening, const ResultRecord &end)
{
    return opening.user == end.user && opening.host == end.host && opening.topic == end.topic
        && opening.mode == end.mode && opening.started == end.started && opening.limitSeconds == end.limitSeconds
        && opening.topicSha256 == end.topicSha256;
}

void addFlag(ResultFolder::Entry &entry, const QString &flag)
{
    entry.attention += (entry.attention.isEmpty() ? QString() : QStringLiteral("; ")) + flag;
}

} // namespace

void ResultFolder::pairOpenings(QVector<Entry> &list, const QHash<QByteArray, const Read *> &openings) const
{
    for (Entry &entry : list) {
        if (entry.record.opening) {
            const ResultRecord &r = entry.record;
            const qint64 due = r.started.toMSecsSinceEpoch() + (r.limitSeconds + OverdueSlackSeconds) * 1000;
            entry.attempt = due < m_now ? Entry::Attempt::Unfinished : Entry::Attempt::Running;
            const QString state
                = entry.attempt == Entry::Attempt::Unfinished ? QStringLiteral("не завершена") : QStringLiteral("идёт");
            entry.attention = entry.attention.isEmpty() ? state : state + QStringLiteral("; ") + entry.attention;
            continue;
        }
        if (entry.record.unfinished) {
            entry.attempt = Entry::Attempt::Unfinished;
            entry.attention = entry.attention.isEmpty() ? QStringLiteral("не завершена")
                                                        : QStringLiteral("не завершена; ") + entry.attention;
        }
        const auto opening = openings.constFind(entry.record.attemptId());
        if (opening == openings.constEnd())
            continue;
        if (!sameStart(*(*opening)->record, entry.record))
            addFlag(entry,
                    QStringLiteral("начало попытки (%1) не совпадает с её записью")
                        .arg(SafeText::printable((*opening)->fileName)));
    }
}

void ResultFolder::countAttempts(QVector<Entry> &list)
{
    // Each attempt once, by the day it started: a time-out and its grade are one.
    QHash<QString, QSet<QByteArray>> attempts;
    const auto key = [](const ResultRecord &r) {
        // The day in the pupil's own offset: no zone to look up.
        return r.user + QLatin1Char('\n') + QChar(ushort(r.mode)) + QString::number(r.started.date().toJulianDay());
    };
    QVector<QString> keys;
    keys.reserve(list.size());
    for (const Entry &entry : std::as_const(list)) {
        keys.append(key(entry.record));
        attempts[keys.last()].insert(entry.record.attemptId());
    }
    for (qsizetype k = 0; k < list.size(); ++k)
        list[k].attemptsThatDay = int(attempts.value(keys[k]).size());
}

ResultFolder::Cache ResultFolder::cache() const
{
    return m_read;
}

void ResultFolder::dropBytes(const QStringList &names)
{
    for (const QString &name : names) {
        const auto found = m_read.find(name);
        if (found != m_read.end())
            found->bytes.clear();
    }
}
