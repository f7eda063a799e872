#pragma once

#include "runstate.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// What the trainer does with the open runs this account left on this
// computer (a kill, a close, a computer switched off): a run whose picks
// are all made is handed in as the finished record they make, one whose time
// has run out as a time-out with the steps it holds, one that cannot go on
// (a state that cannot be read, topic files changed since) as unfinished;
// and the one to go on with is found. Each record is kept in the outbox
// before its state goes, so that a kill between the two loses nothing, and
// records made again from one state are the same bytes under the same name.
class AttemptRecovery
{
public:
    enum class Scope {
        Trainer, // at its start: everything, and the run to go on with
        HandIn,  // without a window: only what can no longer go on anywhere
    };
    struct Found
    {
        RunState state;
        QString name;   // of its file
        QString folder; // the outbox folder it lies in
    };
    struct Outcome
    {
        std::optional<Found> resume;
        QStringList lines; // one per run closed, or state set aside, in Russian
        int closed = 0;
    };

    // topicFolder: the folder of the topic the trainer loaded, whose runs
    // on this computer may go on.
    static Outcome run(Scope scope, const QString &topicFolder, const QDateTime &now);

    // The record that ends the run of state as it stands at now; none when
    // it may still go on. *reason: how it ended, for the pupil.
    static std::optional<ResultRecord> closing(const RunState &state, const QDateTime &now, bool topicChanged,
                                               QString *reason = nullptr);
    // The finished record a complete state's steps make, by the trainer's
    // rules over its topic files; none where they do not replay.
    static std::optional<ResultRecord> finishedOf(const RunState &state);
    static ResultRecord timeOutOf(const RunState &state);
    static ResultRecord unfinishedOf(const RunState &state);
    // Whether the topic files under state's folder are still the ones it ran on.
    static bool topicChanged(const RunState &state);
};
