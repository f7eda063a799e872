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
// same dead server), a folder of its own in /var/tmp. Every folder is the
// account's alone (see PrivateFolder): one that another account made first,
// or a link, is never used, and a fresh one is made beside it instead.
class Outbox
{
public:
    // $XDG_STATE_HOME/tesmora/outbox, by default ~/.local/state/tesmora/outbox.
    static QString stateFolder();
    // /var/tmp/tesmora-UID/outbox, or where another account took that name
    // first, /var/tmp/tesmora-UID.XXXXXX/outbox made by mkdtemp.
    static QString spareFolder();

    // The outbox in a folder already known to be this account's (one that
    // open() or existing() gave), as it is.
    explicit Outbox(const QString &folder);
    // The first folder that takes a file; the reasons of each otherwise.
    static Outbox open();
    // Every one that exists and is this account's, for reading what it
    // holds; the reasons for those that are not in *refused.
    static QList<Outbox> existing(QStringList *refused = nullptr);

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
    // Gives a kept file another name, which must be free.
    bool rename(const QString &from, const QString &to);
    // Keeps a file that must not be handed in under a hidden name, out of pending().
    bool setAside(const QString &name);

    // A hidden name for a file on its way in at the server, and whether a
    // name is one: the only names a note may give.
    static QString freshHiddenName();
    static bool isHiddenName(const QString &name);
    // The hidden name last used for name at the server; empty for none, and
    // for a note that names anything but a hidden name (see noteIsSound).
    QString leftover(const QString &name) const;
    bool noteIsSound(const QString &name) const;
    bool noteLeftover(const QString &name, const QString &hidden);
    void forgetLeftover(const QString &name);
    // Names whose record is gone but whose note is there.
    QStringList leftoversOnly() const;

private:
    Outbox() = default;
    static QString noteOf(const QString &name) { return name + QStringLiteral(".left"); }
    static Outbox usable(const QString &folder, QString *reasons);
    QString noteText(const QString &name) const;

    QString m_folder;
    QString m_error;
};
