#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

class CheckedWriter;

// The note a save leaves in the folder while it replaces files: which new
// file goes where, where the previous one is kept, and the digests of both.
// It is written and synced before the first file is replaced and removed
// after the last, so a save cut short by a crash or a power cut is
// recognised at the next open and can be finished or taken back.
class SaveJournal
{
public:
    static const QString FileName;

    struct Entry
    {
        QString name;    // the file the save replaces
        QString newFile; // the new content, under a hidden name until it takes its place
        QByteArray newDigest;
        QString oldFile; // the previous content under a hidden name; empty when there was none
        QByteArray oldDigest;
    };
    QVector<Entry> entries;

    QByteArray text() const;
    static std::optional<SaveJournal> parse(const QByteArray &text);

    enum class State {
        None,        // no save was cut short
        Replaced,    // every file is new; only the backups and the note remain
        Stale,       // cut before anything was replaced, the note itself unfinished
        Interrupted, // the teacher must choose
    };
    struct Finding
    {
        State state = State::None;
        bool canFinish = false; // every new file is there, whole
        bool canRevert = false; // every previous file is there, whole
        QString description;
    };
    static Finding inspect(const QString &folder);

    // What went wrong, or nothing.
    static std::optional<QString> finish(const QString &folder);  // the new files in place
    static std::optional<QString> revert(const QString &folder);  // the previous ones back
    static std::optional<QString> discard(const QString &folder); // the files as they are; the rest removed

    // Once every new file is in place: the previous ones become the .bak
    // files, and the note goes.
    static bool complete(CheckedWriter &writer, const SaveJournal &journal);
    static void removeLeftovers(CheckedWriter &writer, const SaveJournal &journal);

private:
    static std::optional<SaveJournal> load(const QString &folder);
    static std::optional<QString> cannotUse(const std::optional<SaveJournal> &journal, const CheckedWriter &writer,
                                            const QString &folder);
};
