#include "runhandin.h"

#include "resultcourier.h"
#include "runstate.h"
#include "statekeeper.h"
#include "statusboard.h"
#include "topiccatalog.h"

#include <QSemaphore>

#include <algorithm>

RunHandIn::RunHandIn(const QString &folder, const QString &stateFolder, QObject *parent)
    : m_courier(new ResultCourier(folder, parent))
    , m_board(new StatusBoard(folder, parent, stateFolder))
    , m_keeper(stateFolder.isEmpty() ? nullptr : new StateKeeper(stateFolder, parent))
{}

void RunHandIn::fillIn(ResultRecord &record) const
{
    const ResultRecord who = ResultRecord::ofThisAccount();
    record.user = who.user;
    record.name = who.name;
    record.host = who.host;
    record.topic = m_topicName;
    record.topicSha256 = m_topicDigest;
}

void RunHandIn::runStarted(const Trainer &trainer, Trainer::Modes modes, const QDateTime &now)
{
    std::optional<ResultRecord> opening = trainer.opening(modes);
    if (!opening)
        return;
    runLeft();
    m_handedIn = {};
    m_lastStep = now;
    m_stepsSeen = 0;
    m_open = true;
    m_runModes = modes;
    fillIn(*opening);
    m_courier->submit(*opening);
    keepState(trainer);
}

void RunHandIn::runLeft()
{
    // Its file stays, to be gone on with or closed at the next start.
    if (m_open && m_keeper)
        (void)m_keeper->close();
    m_open = false;
}

void RunHandIn::resumed(const RunState &state, const QString &stateName)
{
    m_handedIn = {};
    m_lastStep = state.record.finished;
    m_stepsSeen = state.record.steps.size();
    m_open = true;
    m_runModes = Trainer::modesOf(state.record.mode);
    if (m_keeper)
        m_keeper->adopt(stateName);
}

void RunHandIn::progress(const Trainer &trainer, Trainer::Modes modes, const QDateTime &now)
{
    const std::optional<ResultRecord> record = trainer.record(m_open ? m_runModes : modes, false, now);
    if (!record)
        return;
    if (record->steps.size() != m_stepsSeen) {
        m_stepsSeen = record->steps.size();
        m_lastStep = now;
    }
    keepState(trainer);
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

void RunHandIn::keepState(const Trainer &trainer)
{
    if (!m_open || !m_keeper)
        return;
    std::optional<RunState> state = trainer.state(m_runModes);
    if (!state)
        return;
    fillIn(state->record);
    state->record.finished = m_lastStep;
    state->topicFolder = m_dataFolder;
    m_keeper->post(state->fileName(), state->toJson());
}

void RunHandIn::topicLoaded(const QString &name, const QString &dataFolder)
{
    m_topicName = name.isEmpty() ? TopicCatalog::BuiltInName : name;
    m_dataFolder = dataFolder;
    m_topicDigest = dataFolder.isEmpty() ? QByteArray() : TopicCatalog::digest(dataFolder);
}

void RunHandIn::handIn(const Trainer &trainer, Trainer::Modes modes, bool timedOut, const QDateTime &now)
{
    bool &done = timedOut ? m_handedIn.timeOut : m_handedIn.graded;
    if (done) {
        m_courier->retry();
        return;
    }
    // The end is the last step's, or the limit's: a record made again from
    // the kept state, after a kill before its file was removed, is this one.
    std::optional<ResultRecord> record = trainer.record(modes, timedOut, now);
    if (!record)
        return;
    if (m_open)
        record->finished = timedOut ? record->started.addSecs(record->limitSeconds) : m_lastStep;
    done = true;
    fillIn(*record);
    std::function<void()> closeState;
    if (m_open && m_keeper)
        closeState = m_keeper->close();
    m_open = false;
    m_courier->submit(*record, closeState)->tryAcquire(1, KeepPatienceMilliseconds);
}
