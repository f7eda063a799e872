#pragma once

#include "topicsave.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>
#include <utility>

class SequentialFile;

struct TopicPair
{
    QString question;
    QString answer;
    bool operator==(const TopicPair &other) const { return question == other.question && answer == other.answer; }
};

// The trainer's two topic files, "test.txt" (questions) and "test1.txt"
// (answers), as the trainer reads them and as they can be written so that it
// reads them back exactly: read with the trainer's own field reader, checked
// for what the format cannot hold, and saved both at once or not at all.
class TopicFile
{
public:
    enum class Encoding { Windows1251, Utf8 };

    static constexpr int MaxPairs = 31;   // the trainer reads entries 0..30
    static constexpr int AskedPairs = 17; // the modes ask rows 0..16
    static const QString QuestionsName;
    static const QString AnswersName;

    struct Loaded
    {
        QVector<TopicPair> pairs;
        QStringList messages;                      // what the reader did that the teacher should know
        QSet<int> markedRows;                      // rows a message is about
        Encoding encoding = Encoding::Windows1251; // UTF-8 when a file was UTF-8 beyond ASCII
    };

    struct Refusal
    {
        int row = -1; // -1: not one row
        QString message;
        bool encoding = false; // Windows-1251 cannot hold it; UTF-8 can
    };

    // share/tesmora beside the programs' bin folder, in the build tree and in
    // an installed tree alike: where the trainer reads.
    static QString trainerFolder();

    // One file as the trainer reads it: at most MaxPairs entries, and what
    // the pupil is told when the file is missing, unreadable or longer.
    struct TrainerColumn
    {
        bool opened = false;
        QStringList entries;
        QString problem;
    };
    static TrainerColumn readForTrainer(const QString &path, const QString &what);

    static Loaded read(const QString &folder);
    // Changes whenever either file of the folder is changed, replaced or removed.
    static QByteArray stamp(const QString &folder);
    static Loaded parse(const std::optional<QByteArray> &questions, const std::optional<QByteArray> &answers);

    // An entry as the reader gives it back: without blanks at the ends.
    static QString clean(const QString &entry);

    // What the format cannot hold, before anything is written.
    static std::optional<Refusal> check(const QVector<TopicPair> &pairs, Encoding encoding);
    static QByteArray encode(const QStringList &entries, Encoding encoding);

    // Both files or neither: what check() refuses is not written, and the
    // rest is replaced as TopicSave does it (the old pair kept as .bak files).
    static TopicSave::Result save(const QString &folder, const QVector<TopicPair> &pairs, Encoding encoding);

private:
    struct Column
    {
        QStringList entries;
        QVector<int> lines;
        QVector<int> cut;
        bool more = false;
    };
    // The trainer's own loop over a file's fields, with its limit of 31 entries.
    static Column readColumn(SequentialFile &file, bool truncated);
    // The questions and the answers as they are written: without blanks at the ends.
    static std::pair<QStringList, QStringList> cleanColumns(const QVector<TopicPair> &pairs);
    static void describe(const Column &column, const QString &what, Loaded &loaded);
    static std::optional<Refusal> checkEntry(const QString &entry, int row, const QString &what, Encoding encoding);
};
