#include "statusboard.h"

#include "storage/outbox.h"
#include "storage/workerthreads.h"

#include <QSemaphore>
#include <QtConcurrent/QtConcurrentRun>

#include <memory>

StatusBoard::StatusBoard(const QString &folder, QObject *parent, const QString &outbox)
    : QObject(parent)
    , m_folder(folder)
    , m_outbox(outbox)
{
    connect(&m_write, &QFutureWatcher<QString>::finished, this, [this] {
        m_writing = false;
        emit written(m_write.result());
        writeNext();
    });
}

StatusBoard::~StatusBoard()
{
    if (m_fileName.isEmpty())
        return;
    // A write still under way would put the file back: it ends first. A
    // server that does not answer leaves the file, and the teacher sees the
    // pupil stopped, as he did.
    const auto done = std::make_shared<QSemaphore>();
    (void)QtConcurrent::run(WorkerThreads::pool(),
                            [folder = m_folder, name = m_fileName, write = m_write.future(), done]() mutable {
                                write.waitForFinished();
                                PupilStatus::remove(folder, name);
                                done->release();
                            });
    done->tryAcquire(1, RemovePatienceMilliseconds);
}

void StatusBoard::post(const PupilStatus &status)
{
    m_next = status;
    writeNext();
}

void StatusBoard::writeNext()
{
    if (m_writing || !m_next)
        return;
    const PupilStatus status = *std::exchange(m_next, std::nullopt);
    // A new run has a file of its own: the last run's goes as it comes.
    const QString previous = m_fileName != status.fileName() ? m_fileName : QString();
    m_fileName = status.fileName();
    m_writing = true;
    m_write.setFuture(
        QtConcurrent::run(WorkerThreads::pool(), [folder = m_folder, outbox = m_outbox, status, previous] {
            if (!previous.isEmpty())
                PupilStatus::remove(folder, previous);
            if (outbox.isEmpty())
                return PupilStatus::write(folder, status);
            Outbox notes(outbox);
            const QString hidden = Outbox::freshHiddenName();
            if (!notes.noteLeftover(status.fileName(), hidden))
                return PupilStatus::write(folder, status);
            QString error = PupilStatus::writeVia(folder, status, hidden);
            if (error.isEmpty())
                notes.forgetLeftover(status.fileName());
            return error;
        }));
}
