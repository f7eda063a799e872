#include "runstate.h"

#include "trainer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

QString RunState::fileName() const
{
    ResultRecord opening = record;
    opening.opening = true;
    opening.finished = record.started;
    const QString name = opening.fileName();
    return name.left(name.size() - ResultRecord::OpeningEnding.size()) + Ending;
}

bool RunState::complete() const
{
    if (record.mode == ResultMode::Test1)
        return record.steps.size() >= Trainer::Steps;
    return answered >= Trainer::Steps && pendingQuestion < 0;
}

qint64 RunState::secondsLeft(const QDateTime &now) const
{
    return record.limitSeconds - record.started.secsTo(now);
}

QByteArray RunState::toJson() const
{
    QJsonArray order;
    for (int answer : answerOrder)
        order.append(answer);
    const QJsonObject object{
        {QStringLiteral("format"), Format},
        {QStringLiteral("record"), QJsonDocument::fromJson(record.toJson()).object()},
        {QStringLiteral("timeOutId"), QString::fromLatin1(timeOutId)},
        {QStringLiteral("topicFolder"), topicFolder},
        {QStringLiteral("answerOrder"), order},
        {QStringLiteral("candidate"), candidate},
        {QStringLiteral("answered"), answered},
        {QStringLiteral("pendingQuestion"), pendingQuestion},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<RunState> RunState::fromJson(const QByteArray &bytes)
{
    if (bytes.size() > ResultRecord::MaxBytes)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    const QJsonObject o = document.object();
    if (!document.isObject() || o.value(QLatin1String("format")).toInt() != Format)
        return std::nullopt;
    // The record is read as the teacher's side reads one: no field unchecked.
    std::optional<ResultRecord> record
        = ResultRecord::fromJson(QJsonDocument(o.value(QLatin1String("record")).toObject()).toJson());
    if (!record || record->opening || record->mode == ResultMode::Lab || record->id.isEmpty())
        return std::nullopt;
    RunState s;
    s.record = *record;
    s.timeOutId = o.value(QLatin1String("timeOutId")).toString().left(64).toLatin1();
    s.topicFolder = o.value(QLatin1String("topicFolder")).toString();
    const QJsonArray order = o.value(QLatin1String("answerOrder")).toArray();
    for (const auto &answer : order)
        s.answerOrder.append(answer.toInt(-1));
    s.candidate = o.value(QLatin1String("candidate")).toInt(-1);
    s.answered = o.value(QLatin1String("answered")).toInt(-1);
    s.pendingQuestion = o.value(QLatin1String("pendingQuestion")).toInt(-1);
    if (s.answerOrder.size() > Trainer::Rows || s.answered < 0 || s.answered > Trainer::Steps
        || s.pendingQuestion >= Trainer::Rows || s.candidate >= Trainer::Rows || s.timeOutId.isEmpty())
        return std::nullopt;
    return s;
}
