#include "runhandin.h"

#include "resultcourier.h"
#include "statusboard.h"
#include "topiccatalog.h"

#include <algorithm>

RunHandIn::RunHandIn(const QString &folder, QObject *parent)
    : m_courier(new ResultCourier(folder, parent))
    , m_board(new StatusBoard(folder, parent))
{}

void RunHandIn::progress(const Trainer &trainer, Trainer::Modes modes, const QDateTime &now)
{
    const std::optional<ResultRecord> record = trainer.record(modes, false, now);
    if (!record)
        return;
    const ResultRecord who = ResultRecord::ofThisAccount();
    PupilStatus status;
    status.id = record->id;
    status.user = who.user;
    status.name = who.name;
    status.host = who.host;
    status.topic = m_topicName;
    status.mode = record->mode;
    status.step = std::min<int>(int(record->steps.size()), PupilStatus::Steps);
    status.started = record->started;
    status.limitSeconds = record->limitSeconds;
    status.updated = now;
    m_board->post(status);
}

void RunHandIn::topicLoaded(const QString &name, const QString &dataFolder)
{
    m_topicName = name.isEmpty() ? TopicCatalog::BuiltInName : name;
    m_topicDigest = dataFolder.isEmpty() ? QByteArray() : TopicCatalog::digest(dataFolder);
}

void RunHandIn::handIn(const Trainer &trainer, Trainer::Modes modes, bool timedOut, const QDateTime &now)
{
    bool &done = timedOut ? m_handedIn.timeOut : m_handedIn.graded;
    if (done) {
        m_courier->retry();
        return;
    }
    std::optional<ResultRecord> record = trainer.record(modes, timedOut, now);
    if (!record)
        return;
    done = true;
    const ResultRecord who = ResultRecord::ofThisAccount();
    record->user = who.user;
    record->name = who.name;
    record->host = who.host;
    record->topic = m_topicName;
    record->topicSha256 = m_topicDigest;
    m_courier->submit(*record);
}
