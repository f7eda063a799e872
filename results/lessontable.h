#pragma once

#include "pupilstatus.h"
#include "resultfolder.h"

#include <QDate>
#include <QMap>
#include <QStringList>

// The lesson at a glance: one row per pupil and topic for a day, each mode's
// last result, the newest run's time and its limit; and who works now, at
// which step, or stopped without handing in.
class LessonTable
{
public:
    // A status unchanged this long, with no record after it, is a pupil who stopped.
    static constexpr qint64 StoppedAfterSeconds = 120;
    // A status may be this far ahead of the teacher's clock (clocks differ).
    static constexpr qint64 FutureSlackSeconds = 300;
    // A mode's cell lists this many of the newest attempts, after "…".
    static constexpr qsizetype AttemptsShown = 5;

    struct Pupil
    {
        QString user;
        QString name;
        QString topic;
        // "81,25 % — 4", or "время вышло"; with more attempts than one, or
        // one not ended, each in order: "2 попытки: 81,25 % — 4; не завершена";
        // of more than AttemptsShown, the newest: "9 попыток: …; 75 % — 4; …".
        QMap<ResultMode::Value, QString> last;
        // The newest ended run's (else the newest run's): runs of their
        // own limit each, never added up against one.
        qint64 secondsSpent = 0;
        qint64 limitSeconds = 0;
        int timeRank = 0;  // 0: no run's time yet, 1: a run's not ended, 2: an ended run's
        QStringList flags; // why the teacher should look at one of the day's records
    };
    struct Working
    {
        QString text;
        bool stopped = false;
    };

    static const QStringList Header;

    // entries newest first, as the folder gives them; topic empty for all.
    static QVector<Pupil> pupils(const QVector<ResultFolder::Entry> &entries, const QDate &day, const QString &topic);
    static QStringList row(const Pupil &pupil);
    // "1 попытка", "2 попытки", "5 попыток".
    static QString attempts(int count);
    // The statuses of the day that no record has followed, each pupil's
    // newest: working while they change, stopped when they have not for
    // StoppedAfterSeconds.
    static QVector<Working> working(const QVector<PupilStatus> &statuses, const QVector<ResultFolder::Entry> &entries,
                                    const QDate &day, const QString &topic, const QDateTime &now);
};
