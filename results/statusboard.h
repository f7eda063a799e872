#pragma once

#include "pupilstatus.h"

#include <QFutureWatcher>
#include <QObject>

#include <optional>

// The trainer's side of the pupil's status file: each step's status is
// written on a worker thread, the newest one winning, so a server that hangs
// holds no window and gets no queue. Each run has a file of its own: the
// last run's is removed when the next one's is written, and the board's own
// when the board goes (the program ends); never another's.
class StatusBoard : public QObject
{
    Q_OBJECT

public:
    static constexpr int RemovePatienceMilliseconds = 2000;

    // With an outbox folder the hidden name of each write is noted there
    // first, so that the next hand-in removes what a kill left at the server.
    StatusBoard(const QString &folder, QObject *parent, const QString &outbox = QString());
    ~StatusBoard() override;

    void post(const PupilStatus &status);
    // Whether a write is under way or waiting.
    bool busy() const { return m_writing || m_next.has_value(); }

signals:
    void written(const QString &error);

private:
    void writeNext();

    QString m_folder;
    QString m_outbox;
    QString m_fileName;
    std::optional<PupilStatus> m_next;
    bool m_writing = false;
    QFutureWatcher<QString> m_write;
};
