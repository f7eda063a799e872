#include "resultcourier.h"

#include "storage/workerthreads.h"

#include <QSemaphore>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <memory>

namespace {

const QString kLater = QStringLiteral("Результат сохранён на этом компьютере и будет передан учителю позже: ");

} // namespace

ResultCourier::ResultCourier(const QString &folder, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
{
    m_retry.setInterval(RetryMilliseconds);
    connect(&m_round, &QFutureWatcher<ResultStore::Round>::finished, this, [this] {
        const ResultStore::Round round = m_round.result();
        if (!m_waiting.isEmpty() && round.handed.contains(m_waiting)) {
            m_waiting.clear();
            emit reported(QStringLiteral("Результат передан учителю."));
        }
        emit retried(round);
    });
    connect(&m_retry, &QTimer::timeout, this, &ResultCourier::retry);
    m_retry.start();
}

QString ResultCourier::lineFor(const ResultStore::Written &written)
{
    switch (written.outcome) {
    case ResultStore::Outcome::HandedIn:
        // The names themselves are for tesmora --hand-in: the pupil needs the gist.
        return written.message.isEmpty()
            ? QStringLiteral("Результат передан учителю.")
            : QStringLiteral("Результат передан учителю под другим именем: прежнее занял чужой файл.");
    case ResultStore::Outcome::Kept:
        return kLater + written.message;
    case ResultStore::Outcome::NotSaved:
        break;
    }
    return QStringLiteral("Результат не сохранён: ") + written.message;
}

std::shared_ptr<QSemaphore> ResultCourier::submit(const ResultRecord &record, const std::function<void()> &afterKept)
{
    auto over = std::make_shared<QSemaphore>();
    // Each record on its own: one hanging on the server holds no other.
    auto *watcher = new QFutureWatcher<ResultStore::Written>(this);
    auto *patience = new QTimer(watcher);
    auto kept = std::make_shared<std::atomic_bool>(false);
    auto said = std::make_shared<bool>(record.opening);
    patience->setSingleShot(true);
    connect(watcher, &QFutureWatcher<ResultStore::Written>::finished, this,
            [this, watcher, patience, said, opening = record.opening] {
                patience->stop();
                --m_running;
                watcher->deleteLater();
                if (opening)
                    return;
                // Said now, even after the patience's line: the end is what stands.
                const ResultStore::Written written = watcher->result();
                m_waiting = written.outcome == ResultStore::Outcome::Kept ? written.fileName : QString();
                *said = true;
                emit reported(lineFor(written));
            });
    // Still under way: only a record known to be kept may be called so.
    connect(patience, &QTimer::timeout, this, [this, kept, said] {
        if (*said || !*kept)
            return;
        *said = true;
        emit reported(kLater + QStringLiteral("сервер не отвечает"));
    });
    const QString folder = m_folder;
    ++m_running;
    watcher->setFuture(QtConcurrent::run(WorkerThreads::pool(), [folder, record, kept, afterKept, over] {
        const ResultStore::Written written = ResultStore::keep(record);
        *kept = written.outcome == ResultStore::Outcome::Kept;
        if (*kept && afterKept)
            afterKept();
        over->release();
        return ResultStore::handInKept(folder, written);
    }));
    patience->start(PatienceMilliseconds);
    return over;
}

void ResultCourier::retry()
{
    if (busy())
        return;
    const QString folder = m_folder;
    m_round.setFuture(QtConcurrent::run(WorkerThreads::pool(), [folder] { return ResultStore::handInAll(folder); }));
}
