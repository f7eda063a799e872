#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What stands under a name in a folder, seen without following a link: a
// plain file, nothing, or something the editor must neither read blindly nor
// write through (a folder, a link, a named pipe, a device).
class FileEntry
{
public:
    enum class Kind { Missing, File, Folder, Link, Pipe, Device, Socket, Unknown };

    static FileEntry at(const QString &path);

    Kind kind() const { return m_kind; }
    // For a link: where it points, and whether that is a plain file.
    QString linkTarget() const { return m_target; }
    bool linksToFile() const { return m_targetIsFile; }
    // The kind in words: "папка", "именованный канал (FIFO)", ...
    QString what() const;

    // The bytes of a plain file, at most limit + 1 of them, so that a longer
    // file shows; never blocks on a pipe or a device. A link is followed only
    // when asked. With nothing to read, errno-like code in *error.
    static std::optional<QByteArray> read(const QString &path, qint64 limit, bool followLink, int *error = nullptr);

    // Kind, size, time, inode and content digest: differs once the file was
    // changed, replaced or removed.
    static QByteArray stamp(const QString &path);

private:
    Kind m_kind = Kind::Missing;
    QString m_target;
    bool m_targetIsFile = false;
};
