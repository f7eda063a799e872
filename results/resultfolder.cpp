#include "resultfolder.h"

#include "recordcheck.h"
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
    return !name.startsWith(QLatin1Char('.')) && name.endsWith(QLatin1String(".json"));
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
// time are the same record.
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
    if (!read.reason.isEmpty() || read.size != known.size || read.modified != known.modified)
        return std::nullopt;
    read.record = known.record;
    return read;
}

ResultFolder::Read readOne(int dir, const QString &name)
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
        read.reason = errno == ELOOP ? QStringLiteral("не файл") : SystemError::text(errno);
        if (fd >= 0)
            ::close(fd);
        return read;
    }
    describe(read, st);
    QFile file;
    if (read.reason.isEmpty() && file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        const QByteArray bytes = file.read(read.size + 1); // no more than the file said it holds
        if (file.error() != QFileDevice::NoError)
            read.reason = file.errorString();
        else if (!(read.record = ResultRecord::fromJson(bytes)))
            read.reason = QStringLiteral("не запись результата (повреждена или не того вида)");
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
        lines << QStringLiteral("%1: %2").arg(it.key(), it.value());
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
        listing.error = QStringLiteral("Не удалось прочитать папку %1: %2").arg(folder, SystemError::text(errno));
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
        if (isRecordName(name))
            listing.names << name;
        else if (PupilStatus::isStatusName(name))
            listing.statuses << name;
    }
    // A listing cut short by the server is no listing: nothing is forgotten.
    if (errno != 0)
        listing.error = QStringLiteral("Не удалось прочитать папку %1: %2").arg(folder, SystemError::text(errno));
    ::closedir(dir);
    return listing;
}

QVector<ResultFolder::Read> ResultFolder::read(const QString &folder, const QStringList &names, const Cache &cache)
{
    QVector<Read> reads;
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const QString &name : names) {
        if (dir < 0) {
            reads.append({name, std::nullopt, SystemError::text(errno), -1, 0, 0});
            continue;
        }
        const auto known = cache.constFind(name);
        std::optional<Read> same = known != cache.constEnd() ? readKnown(dir, name, *known) : std::nullopt;
        reads.append(same ? *same : readOne(dir, name));
    }
    if (dir >= 0)
        ::close(dir);
    return reads;
}

QStringList ResultFolder::take(const Listing &listing)
{
    m_changed = false;
    m_error = listing.error;
    if (!listing.error.isEmpty())
        return {};
    // Unreadable files are tried again at every look.
    QStringList toRead = m_bad.keys();
    if (listing.unchanged)
        return toRead;
    m_stamp = listing.stamp;
    const QSet<QString> present(listing.names.cbegin(), listing.names.cend());
    const qsizetype before = m_read.size() + m_bad.size();
    m_read.removeIf([&present](const auto &item) { return !present.contains(item.key()); });
    m_bad.removeIf([&present](const auto &item) { return !present.contains(item.key()); });
    m_changed = m_read.size() + m_bad.size() != before;
    toRead = m_bad.keys();
    for (const QString &name : listing.names) {
        if (!m_read.contains(name) && !m_bad.contains(name))
            toRead << name;
    }
    return toRead;
}

void ResultFolder::take(const QVector<Read> &reads)
{
    for (const Read &read : reads) {
        if (read.record) {
            // A cached record found the same on the server changes nothing shown.
            const auto held = m_read.constFind(read.fileName);
            const bool same = held != m_read.constEnd() && held->size == read.size && held->modified == read.modified
                && held->owner == read.owner;
            m_bad.remove(read.fileName);
            if (same)
                continue;
            m_read.insert(read.fileName, read);
            m_changed = true;
        } else {
            const QString before = m_bad.value(read.fileName);
            m_bad.insert(read.fileName, read.reason);
            m_changed = m_changed || before != read.reason;
        }
    }
}

QStringList ResultFolder::takeCached(const QStringList &names, const Cache &cache)
{
    QStringList left;
    for (const QString &name : names) {
        const auto cached = cache.constFind(name);
        if (cached == cache.constEnd()) {
            left << name;
            continue;
        }
        m_read.insert(name, *cached);
        m_bad.remove(name);
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
        take(read(m_folder, names));
    return true;
}

qint64 ResultFolder::uidOf(const QString &user) const
{
    // One look-up per account: a class hands in many records each.
    const auto known = m_uids.constFind(user);
    if (known != m_uids.constEnd())
        return *known;
    const passwd *account = ::getpwnam(QFile::encodeName(user).constData());
    const qint64 uid = account ? qint64(account->pw_uid) : -1;
    m_uids.insert(user, uid);
    return uid;
}

bool ResultFolder::setTopicVersions(const QHash<QString, TopicCatalog::Versions> &versions)
{
    if (versions == m_versions)
        return false;
    m_versions = versions;
    return true;
}

ResultFolder::Entry ResultFolder::entryFor(const Read &read, bool ownersKnown) const
{
    Entry entry{read.fileName, *read.record, {}, {}};
    QStringList reasons;
    if (ownersKnown && read.owner >= 0 && uidOf(read.record->user) != read.owner) {
        const passwd *account = ::getpwuid(uid_t(read.owner));
        const QString owner = account ? QString::fromLocal8Bit(account->pw_name) : QString::number(read.owner);
        reasons
            << QStringLiteral("файл записан не учётной записью %1, а учётной записью %2").arg(read.record->user, owner);
    }
    const auto topic = m_versions.constFind(read.record->topic);
    if (topic != m_versions.constEnd() && topic->current != read.record->topicSha256) {
        if (topic->earlier.contains(read.record->topicSha256))
            entry.note = QStringLiteral("прежняя версия темы");
        else
            reasons << QStringLiteral("тема «%1» не совпадает с темой класса").arg(read.record->topic);
    }
    if (const QString figures = RecordCheck::disagreement(*read.record); !figures.isEmpty())
        reasons << figures;
    entry.attention = reasons.join(QStringLiteral("; "));
    return entry;
}

QVector<ResultFolder::Entry> ResultFolder::entries() const
{
    // Where every file seems to belong to the account reading the folder (a
    // file server mounted with one account's rights), owners tell nothing.
    const qint64 me = ::getuid();
    const bool ownersKnown
        = std::any_of(m_read.cbegin(), m_read.cend(), [me](const Read &read) { return read.owner != me; });
    // Sorted by the instant as a number: comparing times with their offsets
    // costs a conversion each.
    QVector<std::pair<qint64, const Read *>> order;
    order.reserve(m_read.size());
    for (const Read &read : m_read)
        order.append({read.record->finished.toMSecsSinceEpoch(), &read});
    std::sort(order.begin(), order.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first > b.first : a.second->fileName < b.second->fileName;
    });
    QVector<Entry> list;
    list.reserve(order.size());
    for (const auto &[time, found] : order)
        list.append(entryFor(*found, ownersKnown));
    return list;
}

ResultFolder::Cache ResultFolder::cache() const
{
    return m_read;
}
