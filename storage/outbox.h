#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Files kept on this computer until a file server takes them: each written
// whole with the checked writer under the name it will have there, and
// beside it a note of the hidden name last used for it at the server, so
// that a later attempt removes what an interrupted one left. The account's
// own state folder first; where that cannot be written (a home folder on the
// same dead server), a folder of its own in /var/tmp.
class Outbox
{
public:
    // $XDG_STATE_HOME/tesmora/outbox, by default ~/.local/state/tesmora/outbox.
    static QString stateFolder();
    // /var/tmp/tesmora-UID/outbox.
    static QString spareFolder();

    // The outbox in folder, made if missing (only by and for this account
    // where private is set: a link or another's folder is refused).
    explicit Outbox(const QString &folder, bool isPrivate = false);
    // The first of the two that can be opened; the reasons of both otherwise.
    static Outbox open();
    // Both, for reading what either holds.
    static QList<Outbox> existing();

    bool isOpen() const { return m_error.isEmpty() && !m_folder.isEmpty(); }
    QString folder() const { return m_folder; }
    QString error() const { return m_error; }

    // Keeps bytes under name; true also when name already holds them.
    bool keep(const QString &name, const QByteArray &bytes);
    // The names kept, oldest name first (names begin with the account and
    // the time, so this is their order of writing for one account).
    QStringList pending() const;
    std::optional<QByteArray> read(const QString &name) const;
    bool forget(const QString &name);

    // The hidden name last used for name at the server; empty for none.
    QString leftover(const QString &name) const;
    bool noteLeftover(const QString &name, const QString &hidden);
    void forgetLeftover(const QString &name);
    // Names whose record is gone but whose hidden name at the server is noted.
    QStringList leftoversOnly() const;

private:
    Outbox() = default;
    static QString noteOf(const QString &name) { return name + QStringLiteral(".left"); }
    bool prepare(bool isPrivate);

    QString m_folder;
    QString m_error;
};
