#include "savejournal.h"

#include "storage/checkedwriter.h"
#include "storage/fileentry.h"

#include <QDir>

const QString SaveJournal::FileName = QStringLiteral(".tesmora-editor-saving");

namespace {

const QByteArray kHeader = QByteArrayLiteral("tesmora-editor save 1");
const QByteArray kNone = QByteArrayLiteral("-");

// A name inside the folder, never a path out of it: the note lies in a
// folder others may write to.
bool plainName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".")
        && name != QLatin1String("..");
}

} // namespace

QByteArray SaveJournal::text() const
{
    QByteArray text = kHeader + '\n';
    for (const Entry &e : entries) {
        const bool old = !e.oldFile.isEmpty();
        text += QFile::encodeName(e.name) + ' ' + QFile::encodeName(e.newFile) + ' ' + e.newDigest + ' '
            + (old ? QFile::encodeName(e.oldFile) : kNone) + ' ' + (old ? e.oldDigest : kNone) + '\n';
    }
    return text;
}

std::optional<SaveJournal> SaveJournal::parse(const QByteArray &text)
{
    QList<QByteArray> lines = text.split('\n');
    if (lines.size() < 2 || lines.takeFirst() != kHeader || !lines.takeLast().isEmpty())
        return std::nullopt;
    SaveJournal journal;
    for (const QByteArray &line : lines) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() != 5)
            return std::nullopt;
        const bool old = f[3] != kNone;
        Entry e{QFile::decodeName(f[0]), QFile::decodeName(f[1]), f[2], old ? QFile::decodeName(f[3]) : QString(),
                old ? f[4] : QByteArray()};
        if (!plainName(e.name) || !plainName(e.newFile) || (old && !plainName(e.oldFile)))
            return std::nullopt;
        journal.entries << e;
    }
    return journal;
}

std::optional<SaveJournal> SaveJournal::load(const QString &folder)
{
    const auto bytes = FileEntry::read(QDir(folder).filePath(FileName), 65536, false);
    return bytes ? parse(*bytes) : std::nullopt;
}

SaveJournal::Finding SaveJournal::inspect(const QString &folder)
{
    Finding finding;
    if (FileEntry::at(QDir(folder).filePath(FileName)).kind() == FileEntry::Kind::Missing)
        return finding;
    const std::optional<SaveJournal> journal = load(folder);
    if (!journal) {
        // The note is written whole before anything is replaced.
        finding.state = State::Stale;
        return finding;
    }
    CheckedWriter writer(folder);
    bool allNew = true, allOld = true;
    finding.canFinish = finding.canRevert = true;
    QStringList states;
    for (const Entry &e : journal->entries) {
        const QByteArray now = writer.digest(e.name);
        const bool isNew = now == e.newDigest;
        const bool isOld = e.oldFile.isEmpty() ? now.isEmpty() : now == e.oldDigest;
        allNew = allNew && isNew;
        allOld = allOld && isOld;
        finding.canFinish = finding.canFinish && (isNew || writer.digest(e.newFile) == e.newDigest);
        finding.canRevert
            = finding.canRevert && (isOld || e.oldFile.isEmpty() || writer.digest(e.oldFile) == e.oldDigest);
        states << QStringLiteral("%1 — %2").arg(e.name,
                                                isNew       ? QStringLiteral("новый")
                                                    : isOld ? QStringLiteral("прежний")
                                                            : QStringLiteral("изменён после сбоя"));
    }
    if (allNew) {
        finding.state = State::Replaced;
        return finding;
    }
    finding.state = State::Interrupted;
    finding.description
        = QStringLiteral("Сохранение темы в папке %1 было прервано (сбой программы или компьютера). Сейчас: %2.")
              .arg(QDir::toNativeSeparators(folder), states.join(QStringLiteral(", ")));
    if (!allOld)
        finding.description += QStringLiteral(" Вопросы и ответы из разных сохранений: пары перепутаны.");
    return finding;
}

void SaveJournal::removeLeftovers(CheckedWriter &writer, const SaveJournal &journal)
{
    for (const Entry &e : journal.entries) {
        writer.remove(e.newFile);
        if (!e.oldFile.isEmpty())
            writer.remove(e.oldFile);
    }
    writer.sync();
    writer.remove(FileName);
    writer.sync();
}

bool SaveJournal::complete(CheckedWriter &writer, const SaveJournal &journal)
{
    bool kept = true;
    for (const Entry &e : journal.entries) {
        if (!e.oldFile.isEmpty() && writer.digest(e.oldFile) == e.oldDigest)
            kept = writer.rename(e.oldFile, e.name + QStringLiteral(".bak")) && kept;
    }
    removeLeftovers(writer, journal);
    return kept;
}

std::optional<QString> SaveJournal::cannotUse(const std::optional<SaveJournal> &journal, const CheckedWriter &writer,
                                              const QString &folder)
{
    if (!journal)
        return QStringLiteral("Записка о сохранении в папке %1 не читается.").arg(folder);
    if (!writer.isOpen())
        return writer.error();
    return std::nullopt;
}

std::optional<QString> SaveJournal::finish(const QString &folder)
{
    const std::optional<SaveJournal> journal = load(folder);
    CheckedWriter writer(folder);
    if (auto why = cannotUse(journal, writer, folder))
        return why;
    for (const Entry &e : journal->entries) {
        if (writer.digest(e.name) == e.newDigest)
            continue;
        if (writer.digest(e.newFile) != e.newDigest)
            return QStringLiteral("Новый %1 не сохранился целиком; закончить сохранение нельзя.").arg(e.name);
        if (!writer.rename(e.newFile, e.name))
            return writer.error();
    }
    if (!writer.sync())
        return writer.error();
    if (!complete(writer, *journal))
        return QStringLiteral("Сохранение закончено, но резервные копии не обновлены: %1").arg(writer.error());
    return std::nullopt;
}

std::optional<QString> SaveJournal::revert(const QString &folder)
{
    const std::optional<SaveJournal> journal = load(folder);
    CheckedWriter writer(folder);
    if (auto why = cannotUse(journal, writer, folder))
        return why;
    for (const Entry &e : journal->entries) {
        const QByteArray now = writer.digest(e.name);
        if (e.oldFile.isEmpty() ? now.isEmpty() : now == e.oldDigest)
            continue;
        if (e.oldFile.isEmpty()) {
            if (!writer.remove(e.name))
                return writer.error();
            continue;
        }
        if (writer.digest(e.oldFile) != e.oldDigest)
            return QStringLiteral("Прежний %1 не сохранился; вернуть прежнюю пару нельзя.").arg(e.name);
        if (!writer.rename(e.oldFile, e.name))
            return writer.error();
    }
    if (!writer.sync())
        return writer.error();
    removeLeftovers(writer, *journal);
    return std::nullopt;
}

std::optional<QString> SaveJournal::discard(const QString &folder)
{
    CheckedWriter writer(folder);
    if (!writer.isOpen())
        return writer.error();
    if (const std::optional<SaveJournal> journal = load(folder))
        removeLeftovers(writer, *journal);
    else
        writer.remove(FileName);
    return writer.sync() ? std::nullopt : std::optional<QString>(writer.error());
}
