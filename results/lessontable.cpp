#include "lessontable.h"

#include "core/russianplural.h"
#include "resulttable.h"

#include <algorithm>

namespace {

QString minutes(qint64 seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString percentText(double percent)
{
    return ResultTable::percentText(percent) + QStringLiteral(" %");
}

// The day's bounds as instants, so that ten thousand records are compared
// as numbers, not each converted to local time.
struct Day
{
    qint64 from;
    qint64 to;
    explicit Day(const QDate &day)
        : from(day.startOfDay().toMSecsSinceEpoch())
        , to(day.addDays(1).startOfDay().toMSecsSinceEpoch())
    {}
    bool holds(const QDateTime &time) const
    {
        const qint64 at = time.toMSecsSinceEpoch();
        return at >= from && at < to;
    }
};

// One attempt of a pupil in a mode, as the lesson view words it.
struct Tried
{
    qint64 at = 0;                              // its start
    const ResultFolder::Entry *entry = nullptr; // its newest record, worded once kept
    bool ended = false;
    bool timedOut = false;
};

// The words of an attempt's state; a class's few results worded once each.
class StateWords
{
public:
    QString of(const ResultFolder::Entry &entry)
    {
        using Attempt = ResultFolder::Entry::Attempt;
        const ResultRecord &r = entry.record;
        if (entry.attempt == Attempt::Unfinished)
            return QStringLiteral("не завершена");
        if (entry.attempt == Attempt::Running)
            return QStringLiteral("идёт");
        if (r.timedOut)
            return QStringLiteral("время вышло");
        QString &words = m_results[{qRound64(r.percent * 1000), r.grade}];
        if (words.isEmpty())
            words = percentText(r.percent) + QStringLiteral(" — ") + r.grade;
        return words;
    }

private:
    QHash<std::pair<qint64, QString>, QString> m_results;
};

} // namespace

QString LessonTable::attempts(int count)
{
    return RussianPlural::count(count, "попытка", "попытки", "попыток");
}

const QStringList LessonTable::Header
    = {QStringLiteral("Ученик"),
       QStringLiteral("Тема"),
       ResultMode::caption(ResultMode::Training), // as the trainer's buttons name the modes
       ResultMode::caption(ResultMode::Test1),
       ResultMode::caption(ResultMode::Test2),
       QStringLiteral("Время"),
       QStringLiteral("Лимит"),
       QStringLiteral("Внимание")};

QVector<LessonTable::Pupil> LessonTable::pupils(const QVector<ResultFolder::Entry> &entries, const QDate &day,
                                                const QString &topic)
{
    QVector<Pupil> list;
    QHash<QString, int> index;
    const Day bounds(day);
    // Each pupil's attempts in each mode: when each started, and its newest record's words.
    using Attempts = QHash<QByteArray, Tried>;
    QHash<std::pair<int, ResultMode::Value>, Attempts> tried;
    for (const ResultFolder::Entry &entry : entries) {
        const ResultRecord &r = entry.record;
        if (!bounds.holds(r.finished) || (!topic.isEmpty() && r.topic != topic))
            continue;
        // A run of another topic is no result on this one: a row of its own.
        const QString key = r.user + QLatin1Char('\n') + r.topic;
        auto found = index.constFind(key);
        if (found == index.constEnd()) {
            found = index.insert(key, int(list.size()));
            list.append({r.user, QString(), r.topic, {}, 0, 0, 0, {}});
        }
        Pupil &pupil = list[*found];
        // An attempt not ended says so in its mode's column, not among the flags.
        const QString flag = entry.attempt == ResultFolder::Entry::Attempt::Ended
            ? entry.attention
            : entry.attention.section(QStringLiteral("; "), 1);
        if (!flag.isEmpty() && !pupil.flags.contains(flag))
            pupil.flags.append(flag);
        // Another's file, a borrowed name, a time to come: only its flag.
        if (entry.doubtful)
            continue;
        if (pupil.name.isEmpty())
            pupil.name = r.name;
        const bool ended = entry.attempt == ResultFolder::Entry::Attempt::Ended;
        // Newest first: the first run of each rank is the one shown.
        if (const int rank = ended ? 2 : 1; rank > pupil.timeRank) {
            pupil.secondsSpent = std::max<qint64>(0, r.started.secsTo(r.finished));
            pupil.limitSeconds = r.limitSeconds;
            pupil.timeRank = rank;
        }
        Attempts &mode = tried[{*found, r.mode}];
        const auto seen = mode.constFind(r.attemptId());
        // Newest first: the first seen is the attempt's last; but a run
        // that ran out of time and was then graded shows its grade.
        if (seen != mode.constEnd() && !(seen->timedOut && !r.timedOut && !r.opening && !r.unfinished))
            continue;
        mode.insert(r.attemptId(), {r.started.toMSecsSinceEpoch(), &entry, ended, r.timedOut});
    }
    StateWords words;
    for (auto it = tried.cbegin(); it != tried.cend(); ++it) {
        QVector<Tried> ordered(it->cbegin(), it->cend());
        std::sort(ordered.begin(), ordered.end(), [](const Tried &a, const Tried &b) { return a.at < b.at; });
        // The newest few: a cell of every attempt of a pupil who tried all
        // day would be too long to read, and to draw.
        QStringList each;
        if (ordered.size() > AttemptsShown)
            each << QStringLiteral("…");
        for (qsizetype k = std::max<qsizetype>(0, ordered.size() - AttemptsShown); k < ordered.size(); ++k)
            each << words.of(*ordered[k].entry);
        const bool plain = ordered.size() == 1 && ordered.front().ended;
        list[it.key().first].last.insert(it.key().second,
                                         plain ? each.front()
                                               : attempts(int(ordered.size())) + QStringLiteral(": ")
                                                 + each.join(QStringLiteral("; ")));
    }
    std::sort(list.begin(), list.end(), [](const Pupil &a, const Pupil &b) {
        const int byName
            = QString::localeAwareCompare(a.name.isEmpty() ? a.user : a.name, b.name.isEmpty() ? b.user : b.name);
        return byName != 0 ? byName < 0 : QString::localeAwareCompare(a.topic, b.topic) < 0;
    });
    return list;
}

QStringList LessonTable::row(const Pupil &p)
{
    return {p.name.isEmpty() ? p.user : QStringLiteral("%1 (%2)").arg(p.name, p.user),
            p.topic,
            p.last.value(ResultMode::Training),
            p.last.value(ResultMode::Test1),
            p.last.value(ResultMode::Test2),
            minutes(p.secondsSpent),
            minutes(p.limitSeconds),
            p.flags.join(QStringLiteral("; "))};
}

QVector<LessonTable::Working> LessonTable::working(const QVector<PupilStatus> &statuses,
                                                   const QVector<ResultFolder::Entry> &entries, const QDate &day,
                                                   const QString &topic, const QDateTime &now)
{
    QVector<Working> list;
    const Day bounds(day);
    // The newest record of each pupil on each computer.
    QHash<QString, qint64> newest;
    if (!statuses.isEmpty()) {
        for (const ResultFolder::Entry &e : entries) {
            if (e.doubtful || e.record.opening)
                continue; // no proof that the pupil handed in
            qint64 &at = newest[e.record.user + QLatin1Char('@') + e.record.host];
            at = std::max(at, e.record.finished.toMSecsSinceEpoch());
        }
    }
    // A pupil's newest status of the day alone: a run has a file of its
    // own, and one that claims a time still to come is no pupil's.
    const qint64 soon = now.addSecs(FutureSlackSeconds).toMSecsSinceEpoch();
    QHash<QString, const PupilStatus *> latest;
    for (const PupilStatus &s : statuses) {
        const qint64 at = s.updated.toMSecsSinceEpoch();
        if (!bounds.holds(s.updated) || at > soon || (!topic.isEmpty() && s.topic != topic))
            continue;
        const PupilStatus *&kept = latest[s.user];
        if (!kept || kept->updated.toMSecsSinceEpoch() < at)
            kept = &s;
    }
    for (const PupilStatus *pupil : std::as_const(latest)) {
        const PupilStatus &s = *pupil;
        // A record of this pupil on this computer since the run began: handed in.
        const auto found = newest.constFind(s.user + QLatin1Char('@') + s.host);
        if (found != newest.constEnd() && *found >= s.started.toMSecsSinceEpoch())
            continue;
        // The login too: a status, like a record, may carry any name.
        const QString who = s.name.isEmpty() ? s.user : QStringLiteral("%1 (%2)").arg(s.name, s.user);
        const QString where = QStringLiteral("%1, %2 — %3, %4").arg(who, s.host, s.topic, ResultMode::caption(s.mode));
        const qint64 quiet = s.updated.secsTo(now);
        if (quiet >= StoppedAfterSeconds) {
            list.append({QStringLiteral("%1: остановлено на шаге %2 из %3 в %4, результата нет")
                             .arg(where)
                             .arg(s.step)
                             .arg(PupilStatus::Steps)
                             .arg(s.updated.toLocalTime().toString(QStringLiteral("HH:mm"))),
                         true});
            continue;
        }
        const qint64 left = std::max<qint64>(0, s.limitSeconds - s.started.secsTo(now));
        list.append({QStringLiteral("%1: шаг %2 из %3, осталось %4")
                         .arg(where)
                         .arg(s.step)
                         .arg(PupilStatus::Steps)
                         .arg(minutes(left)),
                     false});
    }
    std::sort(list.begin(), list.end(), [](const Working &a, const Working &b) {
        return a.stopped != b.stopped ? b.stopped : QString::localeAwareCompare(a.text, b.text) < 0;
    });
    return list;
}
