#pragma once

#include "trainer.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

class QObject;
class ResultCourier;
class StateKeeper;
class StatusBoard;
struct RunState;

// The trainer's part in the class results: which runs are handed in (one
// record of each kind per run: a report pressed again repeats the same
// result, but a run that ran out of time may still be graded), and their
// records made from the trainer's state with who, where and which topic.
// Every run is on the record from its start, and its state is kept on this
// computer at each step until its end is, so that nothing a crash or a close
// interrupts is lost.
class RunHandIn
{
public:
    // The courier to the results folder and the keeper of the run's state
    // in stateFolder (none: no state kept) are children of parent.
    RunHandIn(const QString &folder, const QString &stateFolder, QObject *parent);

    ResultCourier *courier() const { return m_courier; }
    StatusBoard *board() const { return m_board; }
    StateKeeper *keeper() const { return m_keeper; }
    // The topic's name (empty for the built-in one) and the files read, as
    // they stand right after they were read.
    void topicLoaded(const QString &name, const QString &dataFolder);
    QByteArray topicDigest() const { return m_topicDigest; }
    // A run was drawn and its first question is on the screen: its opening
    // record goes in and its state is kept from here on.
    void runStarted(const Trainer &trainer, Trainer::Modes modes, const QDateTime &now);
    // A new run begins: the one open is left as it stands.
    void runLeft();
    // Goes on with the run of state, its file there already.
    void resumed(const RunState &state, const QString &stateName);
    // Where the run stands, for the teacher's list of who works now and
    // for its state: at its start and after each step.
    void progress(const Trainer &trainer, Trainer::Modes modes, const QDateTime &now);
    // A pick that is no step yet (a question picked, Test 1's candidate drawn).
    void keepState(const Trainer &trainer);
    // The longest the report waits for its record to be kept on this computer.
    static constexpr int KeepPatienceMilliseconds = 1000;

    // Hands the run in once; again it only retries what waits in the outbox.
    // Returns once the record is kept on this computer (a local disk:
    // milliseconds), so that a report on the screen has its record, or
    // after the patience above, so that a dead home folder holds nothing.
    void handIn(const Trainer &trainer, Trainer::Modes modes, bool timedOut, const QDateTime &now);

    // Who, where and which topic, filled into a record of the trainer's.
    void fillIn(ResultRecord &record) const;

private:
    ResultCourier *m_courier;
    StatusBoard *m_board;
    StateKeeper *m_keeper = nullptr;
    QString m_topicName;
    QString m_dataFolder;
    QByteArray m_topicDigest;
    QDateTime m_lastStep; // the last step's time: the end of a graded run
    qsizetype m_stepsSeen = 0;
    bool m_open = false; // a run whose state is kept
    // The mode the run was started in: a box ticked during it changes the
    // picks' rules, not which run is kept.
    Trainer::Modes m_runModes;
    struct
    {
        bool timeOut = false;
        bool graded = false;
    } m_handedIn;
};
