#include "attemptrecovery.h"

#include "resultstore.h"
#include "storage/outbox.h"
#include "topiccatalog.h"
#include "trainer.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

QString describe(const RunState &state, const QString &how)
{
    return QStringLiteral("Прерванная работа передана учителю: %1, %2, сделано шагов %3 из %4, %5")
        .arg(state.record.topic, ResultMode::caption(state.record.mode))
        .arg(std::min<qsizetype>(state.record.steps.size(), Trainer::Steps))
        .arg(Trainer::Steps)
        .arg(how);
}

bool sameFolder(const QString &a, const QString &b)
{
    const QString left = QFileInfo(a).canonicalFilePath();
    return !left.isEmpty() && left == QFileInfo(b).canonicalFilePath();
}

} // namespace

bool AttemptRecovery::topicChanged(const RunState &state)
{
    const QByteArray now = state.topicFolder.isEmpty() ? QByteArray() : TopicCatalog::digest(state.topicFolder);
    return now != state.record.topicSha256;
}

std::optional<ResultRecord> AttemptRecovery::finishedOf(const RunState &state)
{
    Trainer trainer;
    if (!trainer.load(state.topicFolder).isEmpty() || !trainer.resume(state))
        return std::nullopt;
    const Trainer::Modes modes = Trainer::modesOf(state.record.mode);
    if (trainer.result(modes).outcome != Trainer::Result::Outcome::Graded)
        return std::nullopt;
    std::optional<ResultRecord> r = trainer.record(modes, false, state.record.finished);
    if (!r)
        return std::nullopt;
    const ResultRecord &s = state.record;
    r->user = s.user;
    r->name = s.name;
    r->host = s.host;
    r->topic = s.topic;
    r->topicSha256 = s.topicSha256;
    return r;
}

ResultRecord AttemptRecovery::timeOutOf(const RunState &state)
{
    // What the trainer hands in at its own time-out: the figures as they
    // stand, no grade, the end at the limit.
    ResultRecord r = state.record;
    r.attempt = r.id;
    r.id = state.timeOutId;
    r.timedOut = true;
    r.grade.clear();
    r.finished = r.started.addSecs(r.limitSeconds);
    return r;
}

ResultRecord AttemptRecovery::unfinishedOf(const RunState &state)
{
    ResultRecord r = state.record;
    r.unfinished = true;
    r.grade.clear();
    return r;
}

std::optional<ResultRecord> AttemptRecovery::closing(const RunState &state, const QDateTime &now, bool changed,
                                                     QString *reason)
{
    auto say = [reason](const QString &text) {
        if (reason)
            *reason = text;
    };
    if (state.complete()) {
        if (!changed) {
            if (std::optional<ResultRecord> r = finishedOf(state)) {
                say(QStringLiteral("завершена"));
                return r;
            }
        }
        say(QStringLiteral("не завершена, файлы темы изменились"));
        return unfinishedOf(state);
    }
    if (state.record.limitSeconds > 0 && state.secondsLeft(now) <= 0) {
        say(QStringLiteral("время истекло"));
        return timeOutOf(state);
    }
    if (changed) {
        say(QStringLiteral("не завершена, файлы темы изменились"));
        return unfinishedOf(state);
    }
    return std::nullopt;
}

AttemptRecovery::Outcome AttemptRecovery::run(Scope scope, const QString &topicFolder, const QDateTime &now)
{
    Outcome outcome;
    const ResultRecord me = ResultRecord::ofThisAccount();
    const QList<Outbox> boxes = Outbox::existing();
    // The ends kept already: a kill after a run's record was kept and before
    // its state went leaves both, and the record is the run's own.
    QSet<QString> kept;
    for (const Outbox &box : boxes) {
        for (const QString &name : box.pending()) {
            if (name.endsWith(ResultRecord::Ending))
                kept.insert(name.chopped(ResultRecord::Ending.size()).right(9));
        }
    }
    for (Outbox box : boxes) {
        const QStringList names
            = QDir(box.folder()).entryList({QStringLiteral("*") + RunState::Ending}, QDir::Files, QDir::Name);
        for (const QString &name : names) {
            if (!RunState::isFileName(name))
                continue;
            const std::optional<QByteArray> bytes = box.read(name);
            const std::optional<RunState> state = bytes ? RunState::fromJson(*bytes) : std::nullopt;
            if (!state || state->fileName() != name || state->record.user != me.user) {
                // Nothing in it can become a record: out of the way, kept for a look.
                if (scope == Scope::Trainer && box.setAside(name))
                    outcome.lines << QStringLiteral("Сохранённое состояние работы не читается и отложено: ") + name;
                continue;
            }
            if (kept.contains(name.chopped(RunState::Ending.size()).right(9))) {
                box.forget(name);
                continue;
            }
            const bool here = state->record.host == me.host;
            // A run on another computer may still be under way there.
            const bool mayGoOn = scope == Scope::Trainer && here;
            const bool changed = topicChanged(*state);
            QString how;
            std::optional<ResultRecord> end = closing(*state, now, changed && mayGoOn, &how);
            if (!end && scope == Scope::Trainer && here && sameFolder(state->topicFolder, topicFolder)) {
                // The newest; an older one closes once its time is over.
                if (!outcome.resume || outcome.resume->state.record.started < state->record.started)
                    outcome.resume = Found{*state, name, box.folder()};
                continue;
            }
            // Another computer's run that cannot be ended here as it should (its
            // topic files elsewhere) is left to that computer.
            if (!end || (!here && end->unfinished))
                continue;
            // The opening first: a kill during its own hand-in may have lost it.
            ResultStore::keep(ResultRecord::openingOf(state->record));
            if (ResultStore::keep(*end).outcome == ResultStore::Outcome::NotSaved)
                continue;
            box.forget(name);
            outcome.lines << describe(*state, how);
            ++outcome.closed;
        }
    }
    if (outcome.resume)
        ResultStore::keep(ResultRecord::openingOf(outcome.resume->state.record));
    return outcome;
}
