#include "statekeeper.h"

#include "storage/checkedwriter.h"
#include "storage/workerthreads.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSemaphore>
#include <QtConcurrent/QtConcurrentRun>

#include <memory>

namespace {

QString write(const QString &folder, const QString &previous, const QString &name, const QByteArray &bytes)
{
    CheckedWriter writer(folder);
    if (!writer.isOpen())
        return writer.error();
    if (!previous.isEmpty())
        writer.remove(previous);
    return writer.replace(name, bytes, 0600) ? QString() : writer.error();
}

} // namespace

StateKeeper::StateKeeper(const QString &folder, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
{
    connect(&m_write, &QFutureWatcher<QString>::finished, this, [this] {
        m_writing = false;
        emit written(m_write.result());
        writeNext();
    });
}

StateKeeper::~StateKeeper()
{
    // The write under way ends and what waits is written, so that the state
    // on disk is the newest when the program ends.
    if (!m_writing && !m_next)
        return;
    const auto done = std::make_shared<QSemaphore>();
    (void)QtConcurrent::run(WorkerThreads::pool(),
                            [folder = m_folder, next = m_next, previous = m_write.future(), done]() mutable {
                                previous.waitForFinished();
                                if (next)
                                    write(folder, QString(), next->first, next->second);
                                done->release();
                            });
    done->tryAcquire(1, PatienceMilliseconds);
}

void StateKeeper::post(const QString &name, const QByteArray &bytes)
{
    if (m_folder.isEmpty())
        return;
    m_next = std::make_pair(name, bytes);
    writeNext();
}

void StateKeeper::writeNext()
{
    if (m_writing || !m_next)
        return;
    auto [name, bytes] = *std::exchange(m_next, std::nullopt);
    const QString previous = m_name != name ? m_name : QString();
    m_name = name;
    m_writing = true;
    m_write.setFuture(
        QtConcurrent::run(WorkerThreads::pool(), [folder = m_folder, previous, name = name, bytes = bytes] {
            return write(folder, previous, name, bytes);
        }));
}

std::function<void()> StateKeeper::close()
{
    m_next.reset();
    const QString name = std::exchange(m_name, QString());
    if (name.isEmpty() || m_folder.isEmpty())
        return [] {};
    return [folder = m_folder, name, under = m_write.future()]() mutable {
        under.waitForFinished();
        CheckedWriter writer(folder);
        if (writer.isOpen())
            writer.remove(name);
    };
}

bool StateKeeper::waitForIdle(int patience)
{
    const QDeadlineTimer deadline(patience);
    while (busy() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return !busy();
}
