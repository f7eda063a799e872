#include "topicsave.h"

#include "savejournal.h"
#include "storage/checkedwriter.h"
#include "storage/fileentry.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace {

const QString kBak = QStringLiteral(".bak");

QString unchanged(const QString &why, const QString &folder)
{
    return QStringLiteral("%1\nПапка: %2. Прежние файлы не изменены.").arg(why, QDir::toNativeSeparators(folder));
}

} // namespace

QString TopicSave::obstacle(const QString &folder, const QStringList &names)
{
    const QDir dir(folder);
    for (const QString &name : names) {
        const FileEntry entry = FileEntry::at(dir.filePath(name));
        if (entry.kind() == FileEntry::Kind::Link)
            return QStringLiteral("%1 — символическая ссылка на %2. Редактор не пишет через ссылки: удалите "
                                  "ссылку или сохраните тему в другую папку.")
                .arg(name, entry.linkTarget());
        if (entry.kind() != FileEntry::Kind::Missing && entry.kind() != FileEntry::Kind::File)
            return QStringLiteral("Вместо файла %1 стоит %2. Уберите её или сохраните тему в другую папку.")
                .arg(name, entry.what());
    }
    if (FileEntry::at(dir.filePath(SaveJournal::FileName)).kind() != FileEntry::Kind::Missing)
        return QStringLiteral("Прежнее сохранение в этой папке не закончено (его записка %1 на месте). Откройте "
                              "папку заново, чтобы решить, какую пару оставить.")
            .arg(SaveJournal::FileName);
    return QString();
}

QString TopicSave::makeFolder(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return QStringLiteral("Не удалось создать папку %1").arg(QDir::toNativeSeparators(folder));
    struct stat parent
    {
    };
    struct stat made
    {
    };
    const QByteArray path = QFile::encodeName(folder);
    const QByteArray above = QFile::encodeName(QFileInfo(folder).absolutePath());
    if (::stat(above.constData(), &parent) == 0 && (parent.st_mode & S_ISGID) != 0
        && ::lstat(path.constData(), &made) == 0 && S_ISDIR(made.st_mode) && made.st_uid == ::geteuid())
        ::chmod(path.constData(), (made.st_mode & 07777) | S_ISGID | S_IRWXG);
    return QString();
}

TopicSave::Result TopicSave::replace(const QString &folder, const QVector<std::pair<QString, QByteArray>> &files)
{
    CheckedWriter writer(folder);
    if (!writer.isOpen())
        return {false, unchanged(writer.error(), folder)};
    QStringList names;
    for (const auto &file : files)
        names << file.first << file.first + kBak;
    if (const QString why = obstacle(folder, names); !why.isEmpty())
        return {false, unchanged(why, folder)};
    if (const QString why = writer.protection(names); !why.isEmpty())
        return {false, unchanged(why, folder)};
    // Nothing to change: no new files, and the backups stay what they were.
    if (std::all_of(files.begin(), files.end(), [&writer](const auto &f) { return writer.holds(f.first, f.second); }))
        return {true, QString()};

    SaveJournal journal;
    bool noted = false; // the note is ours to remove only once we wrote it
    auto abandon = [&](const QString &why) {
        if (noted) {
            SaveJournal::removeLeftovers(writer, journal);
        } else {
            for (const SaveJournal::Entry &e : std::as_const(journal.entries)) {
                writer.remove(e.newFile);
                writer.remove(e.oldFile);
            }
        }
        return Result{false, unchanged(why, folder)};
    };
    for (const auto &[name, bytes] : files) {
        SaveJournal::Entry entry{name, {}, {}, {}, {}};
        const int mode = writer.modeOf(name);
        const auto made
            = writer.create(QLatin1Char('.') + name + QStringLiteral(".new-"), bytes, writer.modeFor(name), name);
        if (!made)
            return abandon(writer.error());
        entry.newFile = *made;
        entry.newDigest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
        journal.entries << entry;
        if (mode < 0)
            continue;
        const auto kept = writer.keep(name, QLatin1Char('.') + name + QStringLiteral(".old-"));
        if (!kept)
            return abandon(writer.error());
        journal.entries.last().oldFile = *kept;
        journal.entries.last().oldDigest = writer.digest(*kept);
    }
    if (!writer.createNamed(SaveJournal::FileName, journal.text()))
        return abandon(writer.error());
    noted = true;
    if (!writer.sync())
        return abandon(writer.error());

    // The files are a mixed set only between these renames.
    for (int k = 0; k < journal.entries.size(); ++k) {
        if (writer.rename(journal.entries[k].newFile, journal.entries[k].name))
            continue;
        const QString why = writer.error();
        for (int back = 0; back < k; ++back) {
            const SaveJournal::Entry &e = journal.entries[back];
            if (e.oldFile.isEmpty())
                writer.remove(e.name);
            else
                writer.rename(e.oldFile, e.name);
        }
        return abandon(why);
    }
    if (!writer.sync())
        return {
            false,
            QStringLiteral("%1\nФайлы заменены, но не сохранены на диск; откройте папку заново.").arg(writer.error())};
    for (const auto &[name, bytes] : files) {
        if (!writer.holds(name, bytes)) {
            const auto reverted = SaveJournal::revert(folder);
            return {false,
                    QStringLiteral("После записи %1 читается иначе, чем записан (его изменила другая "
                                   "программа?). %2")
                        .arg(name, reverted ? *reverted : QStringLiteral("Прежние файлы возвращены."))};
        }
    }
    if (!SaveJournal::complete(writer, journal))
        return {true, QStringLiteral("Тема сохранена, но резервные копии .bak не обновлены: %1").arg(writer.error())};
    return {true, QString()};
}
