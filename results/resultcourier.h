#pragma once

#include "resultstore.h"

#include <QFutureWatcher>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class QSemaphore;

// Takes a window's records to the results folder off its thread, so that a
// file server that hangs never holds the window: each record is kept in the
// outbox and handed in on a worker thread, and the window hears one line of
// what became of it, after five seconds at the latest, and again when that
// changes: a record kept for later is said handed in as soon as a retry
// hands it in. Whatever stays in the outbox is tried again once a minute and
// whenever the window asks.
class ResultCourier : public QObject
{
    Q_OBJECT

public:
    static constexpr int PatienceMilliseconds = 5000;
    static constexpr int RetryMilliseconds = 60000;

    explicit ResultCourier(const QString &folder, QObject *parent = nullptr);

    // Keeps and hands in one record; reported() follows once, but not for
    // an opening record, which the pupil need not hear of. afterKept runs on
    // the worker once the record is safe on this computer. The semaphore
    // returned is released once the keeping is over, kept or not.
    std::shared_ptr<QSemaphore> submit(const ResultRecord &record, const std::function<void()> &afterKept = {});
    // One attempt at everything kept, unless one is under way.
    void retry();
    bool busy() const { return m_running > 0 || m_round.isRunning(); }

    static QString lineFor(const ResultStore::Written &written);

signals:
    // The line for below the report, in place of the one before.
    void reported(const QString &line);
    // A round of retries ended.
    void retried(const ResultStore::Round &round);

private:
    QString m_folder;
    QFutureWatcher<ResultStore::Round> m_round;
    QTimer m_retry;
    int m_running = 0; // records submitted and not yet ended
    QString m_waiting; // the name of the last record said to wait in the outbox
};
