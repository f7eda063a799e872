#include "resultfolder.h"

#include "storage/fileentry.h"
#include "storage/systemerror.h"

#include <QFile>

#include <algorithm>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool ResultFolder::refresh()
{
    // Opening the folder makes a network file system fetch its attributes
    // afresh, so an unchanged time and size mean nothing came or went. A time
    // within the last two seconds is read anyway: some servers count whole seconds.
    DIR *dir = ::opendir(QFile::encodeName(m_folder).constData());
    if (!dir) {
        m_error = QStringLiteral("Не удалось прочитать папку %1: %2").arg(m_folder, SystemError::text(errno));
        return false;
    }
    m_error.clear();
    m_changed = false;
    struct stat folder
    {
    };
    if (::fstat(::dirfd(dir), &folder) == 0) {
        const QByteArray stamp = QByteArray::number(qint64(folder.st_mtim.tv_sec)) + '.'
            + QByteArray::number(qint64(folder.st_mtim.tv_nsec)) + '/' + QByteArray::number(qint64(folder.st_size))
            + '/' + QByteArray::number(qint64(folder.st_ino));
        const bool recent = ::time(nullptr) - folder.st_mtim.tv_sec < 2;
        if (stamp == m_stamp && !recent) {
            ::closedir(dir);
            return true;
        }
        m_stamp = stamp;
    }
    QSet<QString> present;
    while (const dirent *item = ::readdir(dir)) {
        const QString name = QFile::decodeName(item->d_name);
        if (name.startsWith(QLatin1Char('.')) || !name.endsWith(QLatin1String(".json")))
            continue; // a record being written, or not a record
        present.insert(name);
        if (m_entries.contains(name) || m_bad.contains(name))
            continue;
        if (const std::optional<Entry> entry = readEntry(::dirfd(dir), name))
            m_entries.insert(name, *entry);
        else
            m_bad.insert(name);
        m_changed = true;
    }
    ::closedir(dir);
    const qsizetype before = m_entries.size() + m_bad.size();
    m_entries.removeIf([&present](const auto &item) { return !present.contains(item.key()); });
    m_bad.removeIf([&present](const QString &name) { return !present.contains(name); });
    m_changed = m_changed || m_entries.size() + m_bad.size() != before;
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

std::optional<ResultFolder::Entry> ResultFolder::readEntry(int dir, const QString &name) const
{
    struct stat st
    {
    };
    if (::fstatat(dir, QFile::encodeName(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)
        || st.st_size > ResultRecord::MaxBytes)
        return std::nullopt;
    const std::optional<QByteArray> bytes
        = FileEntry::read(m_folder + QLatin1Char('/') + name, ResultRecord::MaxBytes, false);
    if (!bytes)
        return std::nullopt;
    std::optional<ResultRecord> record = ResultRecord::fromJson(*bytes);
    if (!record)
        return std::nullopt;
    Entry entry{name, *record, QString()};
    QStringList reasons;
    if (uidOf(record->user) != qint64(st.st_uid))
        reasons << QStringLiteral("файл записан не учётной записью %1").arg(record->user);
    const auto digest = m_digests.constFind(record->topic);
    if (digest != m_digests.constEnd() && *digest != record->topicSha256)
        reasons << QStringLiteral("тема «%1» не совпадает с темой класса").arg(record->topic);
    entry.attention = reasons.join(QStringLiteral("; "));
    return entry;
}

QVector<ResultFolder::Entry> ResultFolder::entries() const
{
    QVector<Entry> list(m_entries.cbegin(), m_entries.cend());
    std::sort(list.begin(), list.end(), [](const Entry &a, const Entry &b) {
        if (a.record.finished != b.record.finished)
            return a.record.finished > b.record.finished;
        return a.fileName < b.fileName;
    });
    return list;
}
