#include "outbox.h"

#include "checkedwriter.h"
#include "fileentry.h"
#include "systemerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kSuffix = QStringLiteral(".json");
const QString kNote = QStringLiteral(".left");
constexpr qint64 kMaxBytes = qint64(1024) * 1024;

QStringList namesEnding(const QString &folder, const QString &suffix)
{
    QStringList names = QDir(folder).entryList({QLatin1Char('*') + suffix}, QDir::Files, QDir::Name);
    names.removeIf([](const QString &name) { return name.startsWith(QLatin1Char('.')); });
    return names;
}

// mkdir for this account alone; an existing one must be a folder of its own,
// not a link to somewhere else.
bool makePrivate(const QString &path, QString *error)
{
    const QByteArray local = QFile::encodeName(path);
    if (::mkdir(local.constData(), 0700) != 0 && errno != EEXIST) {
        *error = SystemError::about(QStringLiteral("создать папку"), path, errno);
        return false;
    }
    struct stat st
    {
    };
    if (::lstat(local.constData(), &st) != 0) {
        *error = SystemError::about(QStringLiteral("открыть папку"), path, errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid() || (st.st_mode & 077) != 0) {
        *error = QStringLiteral("Папка %1 — не личная папка этой учётной записи (ссылка, чужая или открыта другим).")
                     .arg(path);
        return false;
    }
    return true;
}

} // namespace

QString Outbox::stateFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/tesmora/outbox");
}

QString Outbox::spareFolder()
{
    return QStringLiteral("/var/tmp/tesmora-%1/outbox").arg(::getuid());
}

Outbox::Outbox(const QString &folder, bool isPrivate)
    : m_folder(folder)
{
    prepare(isPrivate);
}

bool Outbox::prepare(bool isPrivate)
{
    if (isPrivate) {
        const QString parent = QFileInfo(m_folder).path();
        return makePrivate(parent, &m_error) && makePrivate(m_folder, &m_error);
    }
    if (!QDir().mkpath(m_folder)) {
        m_error = SystemError::about(QStringLiteral("создать папку"), m_folder, errno);
        return false;
    }
    return true;
}

Outbox Outbox::open()
{
    Outbox state(stateFolder());
    // Only a folder that takes a file is worth keeping a result in.
    if (state.isOpen()) {
        CheckedWriter writer(state.folder());
        const std::optional<QString> probe
            = writer.create(QStringLiteral(".probe-"), QByteArray("1"), -1, state.folder());
        if (probe && writer.remove(*probe))
            return state;
        state.m_error = writer.error();
    }
    Outbox spare(spareFolder(), true);
    if (!spare.isOpen())
        spare.m_error = state.m_error + QLatin1Char(' ') + spare.m_error;
    return spare;
}

QList<Outbox> Outbox::existing()
{
    QList<Outbox> found;
    for (const QString &folder : {stateFolder(), spareFolder()}) {
        if (FileEntry::at(folder).kind() != FileEntry::Kind::Folder)
            continue;
        Outbox box;
        box.m_folder = folder;
        found << box;
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
    return namesEnding(m_folder, kSuffix);
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

QString Outbox::leftover(const QString &name) const
{
    const std::optional<QByteArray> text = FileEntry::read(m_folder + QLatin1Char('/') + noteOf(name), 256, false);
    return text ? QString::fromUtf8(*text).trimmed() : QString();
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
