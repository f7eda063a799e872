#include "outbox.h"

#include "checkedwriter.h"
#include "fileentry.h"
#include "privatefolder.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <unistd.h>

namespace {

// Results, and the records that open an attempt.
const QString kSuffix = QStringLiteral(".json");
const QString kOpeningSuffix = QStringLiteral(".start");
const QString kNote = QStringLiteral(".left");
const QString kSpareBase = QStringLiteral("/var/tmp");
const QString kHiddenPrefix = QStringLiteral(".record-");
constexpr qint64 kMaxBytes = qint64(1024) * 1024;

QStringList namesEnding(const QString &folder, const QString &suffix)
{
    QStringList names = QDir(folder).entryList({QLatin1Char('*') + suffix}, QDir::Files, QDir::Name);
    names.removeIf([](const QString &name) { return name.startsWith(QLatin1Char('.')); });
    return names;
}

QString stateHome()
{
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    return state.isEmpty() || QDir::isRelativePath(state) ? QDir::homePath() + QStringLiteral("/.local/state") : state;
}

QString sparePrefix()
{
    return QStringLiteral("tesmora-%1").arg(::getuid());
}

// A folder this account may keep its outbox in.
struct Place
{
    QString base;
    QStringList own;
    PrivateFolder::Base kind;
    PrivateFolder open(PrivateFolder::Make make) const { return PrivateFolder(base, own, kind, make); }
};

// Where the outbox may be, in the order tried: the state folder, the spare
// folder in /var/tmp, and those mkdtemp made for this account there when
// another account had taken the spare folder's name first.
QList<Place> places()
{
    const QString outbox = QStringLiteral("outbox");
    QList<Place> list{{stateHome(), {QStringLiteral("tesmora"), outbox}, PrivateFolder::Base::Own},
                      {kSpareBase, {sparePrefix(), outbox}, PrivateFolder::Base::Shared}};
    for (const QString &made : PrivateFolder::madeBefore(kSpareBase, sparePrefix() + QLatin1Char('.')))
        list.append({kSpareBase, {made, outbox}, PrivateFolder::Base::Shared});
    return list;
}

} // namespace

QString Outbox::stateFolder()
{
    return stateHome() + QStringLiteral("/tesmora/outbox");
}

QString Outbox::spareFolder()
{
    return kSpareBase + QLatin1Char('/') + sparePrefix() + QStringLiteral("/outbox");
}

Outbox::Outbox(const QString &folder)
    : m_folder(folder)
{}

Outbox Outbox::usable(const QString &folder, QString *reasons)
{
    // Only a folder that takes a file is worth keeping a result in.
    CheckedWriter writer(folder);
    const std::optional<QString> probe
        = writer.isOpen() ? writer.create(QStringLiteral(".probe-"), QByteArray("1"), 0600, folder) : std::nullopt;
    if (probe && writer.remove(*probe))
        return Outbox(folder);
    *reasons += (reasons->isEmpty() ? QString() : QStringLiteral(" ")) + writer.error();
    return Outbox();
}

Outbox Outbox::open()
{
    QString reasons;
    for (const Place &place : places()) {
        const PrivateFolder folder = place.open(PrivateFolder::Make::IfMissing);
        if (!folder.isOpen()) {
            reasons += (reasons.isEmpty() ? QString() : QStringLiteral(" ")) + folder.error();
            continue;
        }
        if (Outbox box = usable(folder.path(), &reasons); box.isOpen())
            return box;
    }
    // Every name taken or unusable: a folder nobody can have made first.
    QString why;
    const QString made = PrivateFolder::makeTemporary(kSpareBase, sparePrefix() + QLatin1Char('.'), &why);
    if (!made.isEmpty()) {
        const PrivateFolder fresh(kSpareBase, {made, QStringLiteral("outbox")}, PrivateFolder::Base::Shared,
                                  PrivateFolder::Make::IfMissing);
        if (Outbox box = fresh.isOpen() ? usable(fresh.path(), &why) : Outbox(); box.isOpen())
            return box;
        why += fresh.error();
    }
    Outbox none;
    none.m_error = reasons + QLatin1Char(' ') + why;
    return none;
}

QList<Outbox> Outbox::existing(QStringList *refused)
{
    QList<Outbox> found;
    for (const Place &place : places()) {
        const PrivateFolder folder = place.open(PrivateFolder::Make::No);
        if (folder.isOpen())
            found << Outbox(folder.path());
        else if (!folder.missing() && refused)
            *refused << folder.error();
    }
    return found;
}

bool Outbox::keep(const QString &name, const QByteArray &bytes)
{
    CheckedWriter writer(m_folder);
    if (!writer.isOpen()) {
        m_error = writer.error();
        return false;
    }
    if (writer.holds(name, bytes))
        return true;
    if (!writer.createNamed(name, bytes, 0600)) {
        m_error = writer.error();
        return false;
    }
    writer.sync();
    return true;
}

QStringList Outbox::pending() const
{
    QStringList names = namesEnding(m_folder, kSuffix) + namesEnding(m_folder, kOpeningSuffix);
    names.sort();
    return names;
}

std::optional<QByteArray> Outbox::read(const QString &name) const
{
    return FileEntry::read(m_folder + QLatin1Char('/') + name, kMaxBytes, false);
}

bool Outbox::forget(const QString &name)
{
    CheckedWriter writer(m_folder);
    return writer.isOpen() && writer.remove(name);
}

bool Outbox::rename(const QString &from, const QString &to)
{
    CheckedWriter writer(m_folder);
    const bool moved = writer.isOpen() && writer.publish(from, to) && writer.sync();
    if (!moved)
        m_error = writer.error();
    return moved;
}

bool Outbox::setAside(const QString &name)
{
    return rename(name, QStringLiteral(".refused-") + name);
}

QString Outbox::freshHiddenName()
{
    return kHiddenPrefix
        + QString::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, QLatin1Char('0'));
}

bool Outbox::isHiddenName(const QString &name)
{
    static const QRegularExpression hidden(QStringLiteral("^\\.record-[0-9a-f]{8}$"));
    return hidden.match(name).hasMatch();
}

QString Outbox::noteText(const QString &name) const
{
    const std::optional<QByteArray> text = FileEntry::read(m_folder + QLatin1Char('/') + noteOf(name), 256, false);
    return text ? QString::fromUtf8(*text).trimmed() : QString();
}

QString Outbox::leftover(const QString &name) const
{
    const QString hidden = noteText(name);
    return isHiddenName(hidden) ? hidden : QString();
}

bool Outbox::noteIsSound(const QString &name) const
{
    const QString hidden = noteText(name);
    return hidden.isEmpty() || isHiddenName(hidden);
}

bool Outbox::noteLeftover(const QString &name, const QString &hidden)
{
    // Written whole under a fresh name, then renamed over the note: a note
    // is never half there.
    CheckedWriter writer(m_folder);
    const std::optional<QString> fresh
        = writer.isOpen() ? writer.create(QStringLiteral(".note-"), hidden.toUtf8(), 0600, noteOf(name)) : std::nullopt;
    return fresh && writer.rename(*fresh, noteOf(name));
}

void Outbox::forgetLeftover(const QString &name)
{
    CheckedWriter writer(m_folder);
    if (writer.isOpen())
        writer.remove(noteOf(name));
}

QStringList Outbox::leftoversOnly() const
{
    QStringList names;
    for (const QString &note : namesEnding(m_folder, kNote)) {
        const QString name = note.chopped(kNote.size());
        if (!QFile::exists(m_folder + QLatin1Char('/') + name))
            names << name;
    }
    return names;
}
