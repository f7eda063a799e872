#pragma once

#include "resultrecord.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

// Where an open run stands, kept on this computer at each step so that a
// trainer started again after a crash or a close goes on with the same
// attempt: the record as it stands (who, topic, mode, start, limit, the
// steps taken, the time of the last one), the draws that must not change
// (Test 2's answer order, the candidate of Test 1's turn on the screen),
// and the picks counted so far. One file per run, replaced whole.
struct RunState
{
    static constexpr int Format = 1;
    static inline const QString Ending = QStringLiteral(".state");

    ResultRecord record;      // opening false; finished: the last step's time
    QByteArray timeOutId;     // the id a time-out record of this run gets
    QString topicFolder;      // the folder its topic files were read from
    QVector<int> answerOrder; // Test 2: the answer on each row
    int candidate = -1;       // Test 1: the answer shown on the turn after the steps
    int answered = 0;         // picks counted, a question picked and not yet answered among them
    int pendingQuestion = -1; // the question picked and not yet answered

    // USER@HOST-YYYYMMDD-HHMMSS-XXXXXXXX.state, from the run's start and id.
    QString fileName() const;
    static bool isFileName(const QString &name) { return name.endsWith(Ending) && !name.startsWith(QLatin1Char('.')); }

    // Whether every one of the run's picks was made.
    bool complete() const;
    // The seconds left of the limit at now, the clock not stopping while the computer is off.
    qint64 secondsLeft(const QDateTime &now) const;

    QByteArray toJson() const;
    static std::optional<RunState> fromJson(const QByteArray &bytes);
};
