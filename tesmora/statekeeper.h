#pragma once

#include <QByteArray>
#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// Keeps an open run's state in the outbox folder, replaced whole at each
// step on a worker thread (the newest state winning), so that a step costs
// the window nothing. A new run's file replaces the last run's; a run that
// ended has its file removed once its record is kept, never before.
class StateKeeper : public QObject
{
    Q_OBJECT

public:
    static constexpr int PatienceMilliseconds = 2000;

    StateKeeper(const QString &folder, QObject *parent);
    // The newest state is on disk before the program ends, a close being no
    // more than a kill to the run.
    ~StateKeeper() override;

    QString folder() const { return m_folder; }
    void post(const QString &name, const QByteArray &bytes);
    // The run under name is over: nothing more is written for it, and the
    // callable returned removes its file after the write under way. Meant
    // to run on a worker, once the run's record is kept.
    std::function<void()> close();
    // Goes on with a file already there, as a restarted run does.
    void adopt(const QString &name) { m_name = name; }
    bool busy() const { return m_writing || m_next.has_value(); }
    // Waits for what was posted, at most for patience; for the tests and the end.
    bool waitForIdle(int patience = PatienceMilliseconds);

signals:
    void written(const QString &error);

private:
    void writeNext();

    QString m_folder;
    QString m_name;
    std::optional<std::pair<QString, QByteArray>> m_next;
    bool m_writing = false;
    QFutureWatcher<QString> m_write;
};
