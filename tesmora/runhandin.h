#pragma once

#include "trainer.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

class QObject;
class ResultCourier;
class StatusBoard;

// The trainer's part in the class results: which runs are handed in (one
// record of each kind per run: a report pressed again repeats the same
// result, but a run that ran out of time may still be graded), and their
// records made from the trainer's state with who, where and which topic.
class RunHandIn
{
public:
    // The courier to the results folder is a child of parent.
    RunHandIn(const QString &folder, QObject *parent);

    ResultCourier *courier() const { return m_courier; }
    StatusBoard *board() const { return m_board; }
    // The topic's name (empty for the built-in one) and the files read, as
    // they stand right after they were read.
    void topicLoaded(const QString &name, const QString &dataFolder);
    void runStarted() { m_handedIn = {}; }
    // Where the run stands, for the teacher's list of who works now: at
    // its start and after each step.
    void progress(const Trainer &trainer, Trainer::Modes modes, const QDateTime &now);
    // Hands the run in once; again it only retries what waits in the outbox.
    void handIn(const Trainer &trainer, Trainer::Modes modes, bool timedOut, const QDateTime &now);

private:
    ResultCourier *m_courier;
    StatusBoard *m_board;
    QString m_topicName;
    QByteArray m_topicDigest;
    struct
    {
        bool timeOut = false;
        bool graded = false;
    } m_handedIn;
};
