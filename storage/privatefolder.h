#pragma once

#include <QString>
#include <QStringList>

// A folder the programs keep for this account alone (its outbox, its cache):
// the folders of the program's own below a base are made 0700, opened one by
// one without following a link, must belong to this account, and are closed
// to others again where they were open. The base is the account's own (its
// state or cache home: it must belong to the account and be closed to
// writing by others) or shared by every account, as /var/tmp is, where
// anyone may have made a name first and only what lies below it is trusted.
class PrivateFolder
{
public:
    enum class Base { Own, Shared };
    enum class Make { IfMissing, No };

    PrivateFolder(const QString &base, const QStringList &own, Base kind, Make make);

    bool isOpen() const { return m_error.isEmpty(); }
    // Whether it was missing, with Make::No: no fault, nothing to read.
    bool missing() const { return m_missing; }
    QString path() const { return m_path; }
    QString error() const { return m_error; }

    // In a shared base, the folders that mkdtemp made for this account from
    // prefix ("tesmora-1000." for /var/tmp/tesmora-1000.XXXXXX), found again
    // by their owner and mode: oldest name first.
    static QStringList madeBefore(const QString &base, const QString &prefix);
    // A new one of them; its name, or empty with the reason in *error.
    static QString makeTemporary(const QString &base, const QString &prefix, QString *error);

private:
    bool openBase(const QString &base, Base kind, Make make, int *fd);
    bool openOwn(int *fd, const QString &name, const QString &path, Make make);
    bool refuse(const QString &path, const QString &why);

    QString m_path;
    QString m_error;
    bool m_missing = false;
};
