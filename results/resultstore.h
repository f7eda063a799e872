#pragma once

#include "resultrecord.h"

#include <QString>
#include <QStringList>

class CheckedWriter;
class Outbox;

// A pupil's record on its way to the results folder on the school's file
// server. It is first kept whole in the account's outbox on this computer
// under the name it will have, then handed in: written whole under a hidden
// name, synced and read back, and given its name without replacing anything.
// A name that already holds the same bytes counts as handed in, so however
// often an attempt is repeated, or a reply lost, one record arrives. No
// appending and no locks, which a network file system does not keep.
class ResultStore
{
public:
    enum class Outcome { HandedIn, Kept, NotSaved };
    struct Written
    {
        Outcome outcome = Outcome::NotSaved;
        QString fileName;
        QString outbox;  // the folder it is kept in
        QString message; // why not handed in, in Russian
    };
    struct Attempt
    {
        bool handedIn = false;
        QString message;
        QString handedAs;     // the name it was handed in under, where another's file held its own
        bool refused = false; // not this account's record: set aside, never handed in
    };
    // One attempt at every record kept, oldest first.
    struct Round
    {
        int handedIn = 0;
        int left = 0;
        int refused = 0;
        QStringList lines;  // one per record, in Russian
        QStringList handed; // the names of those handed in
    };

    // Keeps the record in the outbox and makes one attempt to hand it in.
    static Written write(const QString &folder, const ResultRecord &record);
    // Only keeps it; then one attempt for what keep returned.
    static Written keep(const ResultRecord &record);
    static Written handInKept(const QString &folder, const Written &kept);
    // A record whose name or user is not this account's is set aside.
    // Where another's file holds its name at the server, it goes in under
    // a fresh one (the same id) and says so.
    static Attempt handIn(const QString &folder, Outbox &outbox, const QString &name);
    static Round handInAll(const QString &folder);

private:
    static Attempt handInAs(CheckedWriter &writer, Outbox &outbox, const QString &name, const QByteArray &bytes);
};
