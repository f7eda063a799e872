#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Files in one folder that are known to be stored before anything relies on
// them: every write, the sync and the close are checked, and what was written
// is read back and compared. New files appear under fresh hidden names and
// take their places by a rename within the folder, the one step a network
// file server does atomically. Nothing here follows a link.
class CheckedWriter
{
public:
    explicit CheckedWriter(const QString &folder);
    ~CheckedWriter();
    CheckedWriter(const CheckedWriter &) = delete;
    CheckedWriter &operator=(const CheckedWriter &) = delete;

    bool isOpen() const { return m_dir >= 0; }
    // What went wrong last, in Russian, naming the file.
    QString error() const { return m_error; }

    // A new file holding bytes under a fresh name that begins with prefix,
    // with the given mode (-1: the usual one for new files); shownAs is the
    // name a message gives. Its name, or nothing, and then nothing is left.
    std::optional<QString> create(const QString &prefix, const QByteArray &bytes, int mode, const QString &shownAs);
    // The same under exactly this name, which must not exist yet.
    bool createNamed(const QString &name, const QByteArray &bytes, int mode = -1);
    // A second name for a plain file, exact at any size and with its own
    // mode: a hard link, or a checked copy where the folder has no links.
    std::optional<QString> keep(const QString &name, const QString &prefix);

    bool rename(const QString &from, const QString &to);
    // Puts bytes under name, over whatever file held it: written whole under
    // a hidden name first, then renamed, so a reader sees the old or the new.
    bool replace(const QString &name, const QByteArray &bytes, int mode);
    // Gives a new file the name to, which must not exist yet; from is gone after.
    bool publish(const QString &from, const QString &to);
    // The same for a file known to hold bytes, so that it is given its name
    // once however often it is tried and whatever replies a file server
    // loses: a name that already holds these bytes counts as published.
    // Another file under that name is never replaced: Taken.
    enum class Published { New, AlreadyThere, Taken, Failed };
    Published publishOnce(const QString &from, const QString &to, const QByteArray &bytes);
    bool remove(const QString &name); // true when it is gone or was never there
    bool sync();                      // the folder itself, so that its renames last
    // A file this writer made and then could not remove (a failed write's
    // remains, or a published file's first name); empty when none.
    QString leftover() const { return m_leftover; }

    // The mode of a plain file, -1 for anything else.
    int modeOf(const QString &name) const;
    // The mode a file written here should have: the one it has, and open to
    // the group as well in a folder shared by a group (its setgid bit set,
    // as a class's topics folder is, so that colleagues can correct it).
    int modeFor(const QString &name) const;
    // The SHA-256 of a plain file; empty for anything else.
    QByteArray digest(const QString &name) const;
    bool holds(const QString &name, const QByteArray &bytes) const;
    // What forbids replacing these files in this folder (the immutable or
    // append-only attribute), in words; empty when nothing does.
    QString protection(const QStringList &names) const;

    // Anything under that name, a link too.
    bool exists(const QString &name) const;

private:
    int openPlain(const QString &name) const;
    bool writeNew(const QString &name, const QByteArray &bytes, int mode, const QString &shownAs, int *error);
    std::optional<QString> copy(const QString &name, const QString &prefix);
    bool fail(const QString &action, const QString &name, int error);
    // Removes a file of this writer's own; a failure is kept in leftover().
    void cleanUp(const QString &name);

    int m_dir = -1;
    bool m_searchOnly = false; // a folder one may add to but not list
    QString m_folder;
    QString m_error;
    QString m_leftover;
};
